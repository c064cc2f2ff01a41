#include "platform/beakopening.h"
#include "platform/parrotcharacter.h"
#include "platform/parrotrig.h"
#include "platform/parrotwindow.h"
#include "platform/speechengine.h"

#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace plovista;

namespace {

// Generous: these waits only keep a broken build from hanging the run.
constexpr int WaitMs = 60000;

const QString DataDir = QStringLiteral(PLOVISTA_SOURCE_DATA);
const QString DrawingPath = DataDir + QStringLiteral("/Peedy.svg");

// Calls `sample` every few milliseconds while it lives.
class Sampler
{
public:
    explicit Sampler(std::function<void()> sample)
    {
        QObject::connect(&m_timer, &QTimer::timeout, std::move(sample));
        m_timer.start(5);
    }

private:
    QTimer m_timer;
};

QtMessageHandler s_defaultHandler = nullptr;

// The offscreen platform cannot shape or raise windows and says so on every
// frame; that says nothing about the character.
void quietOffscreenLimits(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support setting window masks")) ||
        message.contains(QLatin1String("does not support raise()")))
        return;
    s_defaultHandler(type, context, message);
}

bool waitUntilIdle(const ParrotCharacter &peedy)
{
    return QTest::qWaitFor([&] { return !peedy.isBusy(); }, WaitMs);
}

} // namespace

class TestParrot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void loadsTheCharacter();
    void everyAnimationMovesHimAndFitsInHisWindow_data();
    void everyAnimationMovesHimAndFitsInHisWindow();
    void badFilesFailTheLoadAndRequestsAreIgnored_data();
    void badFilesFailTheLoadAndRequestsAreIgnored();
    void requestsReturnAtOnceAndPlayInOrder();
    void stopAllEmptiesTheQueueAndCutsTheRunningRequest();
    void droppingWaitingSpeechLetsTheRunningRequestEndAndKeepsMoves();
    void animationNamesIgnoreLetterCase_data();
    void animationNamesIgnoreLetterCase();
    void moveGlidesSteadilyToTheTarget();
    void moveWhileHiddenJumps();
    void framesAreDrawnAtTheScreensScale_data();
    void framesAreDrawnAtTheScreensScale();
    void surfaceFollowsTheCompositorAtEachShow();
    void translucentFramesLeaveNothingOfTheFrameBefore();
    void withoutPlacingTopLevelsHeStandsInsideTheWindow();
    void insideAWindowHeStepsAsideFromItsControls();
    void beakFollowsThePhonemes_data();
    void beakFollowsThePhonemes();

private:
    SpeechEngine m_engine;
};

void TestParrot::initTestCase()
{
    s_defaultHandler = qInstallMessageHandler(quietOffscreenLimits);
}

void TestParrot::loadsTheCharacter()
{
    ParrotCharacter peedy(m_engine);
    QVERIFY(!peedy.window());
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    QVERIFY(peedy.isLoaded());
    QVERIFY(peedy.window());
    QCOMPARE(peedy.window()->objectName(), QStringLiteral("Peedy"));
    QVERIFY(!peedy.window()->isVisible()); // shown only when asked
    const Qt::WindowFlags flags = peedy.window()->windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!peedy.window()->testAttribute(Qt::WA_TranslucentBackground));
    for (const char *part : {"body", "head", "eye", "lid", "upperbeak", "lowerbeak", "wing", "feet"})
        QVERIFY2(peedy.rig().partIndex(QLatin1String(part)) > 0, part);
    // About 128 pixels square, with room above for his jumps.
    QCOMPARE(peedy.rig().size().width(), 128);
    QVERIFY(peedy.rig().size().height() >= 128 && peedy.rig().size().height() <= 160);
}

void TestParrot::everyAnimationMovesHimAndFitsInHisWindow_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name :
         {"Greet", "LookDownLeftBlink", "GestureLeft", "LookLeft", "Congratulate", "Explain", "Show", "Hide", "Blink"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestParrot::everyAnimationMovesHimAndFitsInHisWindow()
{
    QFETCH(QString, name);
    ParrotRig rig;
    QVERIFY(rig.load(DrawingPath));
    const ParrotClip *clip = rig.clip(name);
    QVERIFY(clip);
    QVERIFY2(clip->durationMs >= 200 && clip->durationMs <= 2500, qPrintable(QString::number(clip->durationMs)));

    const QImage rest = rig.render(rig.restPose());
    bool moved = false;
    for (int ms = 0; ms <= clip->durationMs; ms += 20) {
        const QImage frame = rig.render(rig.pose(clip, ms));
        moved = moved || frame != rest;
        // Nothing of him is cut off by the window's edge.
        for (int x = 0; x < frame.width(); ++x) {
            QVERIFY2(qAlpha(frame.pixel(x, 0)) == 0, qPrintable(QStringLiteral("top edge at %1 ms").arg(ms)));
        }
        for (int y = 0; y < frame.height(); ++y) {
            QVERIFY2(qAlpha(frame.pixel(0, y)) == 0, qPrintable(QStringLiteral("left edge at %1 ms").arg(ms)));
            QVERIFY2(qAlpha(frame.pixel(frame.width() - 1, y)) == 0,
                     qPrintable(QStringLiteral("right edge at %1 ms").arg(ms)));
        }
    }
    QVERIFY(moved);
    // Every animation ends where the next one starts: at rest (Hide ends out of sight).
    if (name != QLatin1String("Hide"))
        QCOMPARE(rig.render(rig.pose(clip, clip->durationMs)), rest);
}

void TestParrot::badFilesFailTheLoadAndRequestsAreIgnored_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("no drawing") << "no drawing";
    QTest::newRow("no animations") << "no animations";
    QTest::newRow("drawing not svg") << "drawing not svg";
    QTest::newRow("animations not json") << "animations not json";
    QTest::newRow("part missing from drawing") << "part missing from drawing";
    QTest::newRow("animation of an unknown part") << "animation of an unknown part";
}

void TestParrot::badFilesFailTheLoadAndRequestsAreIgnored()
{
    QFETCH(QString, damage);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString drawing = dir.filePath(QStringLiteral("Peedy.svg"));
    const QString animations = dir.filePath(QStringLiteral("Peedy.anim.json"));
    QVERIFY(QFile::copy(DrawingPath, drawing));
    QVERIFY(QFile::copy(DataDir + QStringLiteral("/Peedy.anim.json"), animations));
    QFile::setPermissions(animations, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(drawing, QFile::ReadOwner | QFile::WriteOwner);

    auto rewrite = [](const QString &path, const std::function<QByteArray(QByteArray)> &change) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray changed = change(file.readAll());
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(changed);
    };
    if (damage == QLatin1String("no drawing"))
        QVERIFY(QFile::remove(drawing));
    else if (damage == QLatin1String("no animations"))
        QVERIFY(QFile::remove(animations));
    else if (damage == QLatin1String("drawing not svg"))
        rewrite(drawing, [](QByteArray) { return QByteArray("GIF89a not a drawing"); });
    else if (damage == QLatin1String("animations not json"))
        rewrite(animations, [](QByteArray text) { return text.left(text.size() / 2); });
    else if (damage == QLatin1String("part missing from drawing"))
        rewrite(drawing, [](QByteArray text) { return text.replace("id=\"lid\"", "id=\"cap\""); });
    else if (damage == QLatin1String("animation of an unknown part"))
        rewrite(animations, [](QByteArray text) { return text.replace("\"lowerbeak\": [", "\"jaw\": ["); });

    ParrotCharacter peedy(m_engine);
    QSignalSpy started(&peedy, &ParrotCharacter::requestStarted);
    QVERIFY(!peedy.load(QStringLiteral("Peedy"), drawing));
    QVERIFY(!peedy.isLoaded());
    peedy.show();
    peedy.play(QStringLiteral("Greet"));
    peedy.speak(QStringLiteral("Hello"));
    peedy.moveTo(40, 157);
    QVERIFY(!peedy.isBusy());
    QTest::qWait(50);
    QCOMPARE(started.size(), 0);
    QVERIFY(!peedy.window() || !peedy.window()->isVisible());
}

void TestParrot::requestsReturnAtOnceAndPlayInOrder()
{
    ParrotCharacter peedy(m_engine);
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    QStringList log;
    connect(&peedy, &ParrotCharacter::requestStarted, this,
            [&](const QString &r) { log << QStringLiteral("start ") + r; });
    connect(&peedy, &ParrotCharacter::requestFinished, this,
            [&](const QString &r) { log << QStringLiteral("end ") + r; });

    peedy.moveTo(40, 157);
    peedy.show();
    peedy.play(QStringLiteral("LookLeft"));
    peedy.speak(QStringLiteral("8times5,is40"));
    peedy.play(QStringLiteral("Blink"));
    peedy.hide();
    QStringList logWhenQuiet;
    peedy.whenQuiet([&] { logWhenQuiet = log; });
    // Nothing has run yet: every call only queued its request.
    QVERIFY(log.isEmpty());
    QVERIFY(peedy.isBusy());
    QVERIFY(!peedy.window()->isVisible());

    QVERIFY(waitUntilIdle(peedy));
    const QStringList expected = {
        "start move 40,157",
        "end move 40,157",
        "start show",
        "end show",
        "start play LookLeft",
        "end play LookLeft",
        "start speak 8times5,is40",
        "end speak 8times5,is40",
        "start play Blink",
        "end play Blink",
        "start hide",
        "end hide",
    };
    QCOMPARE(log, expected);
    QCOMPARE(logWhenQuiet, expected);
    QVERIFY(!peedy.window()->isVisible());
    QCOMPARE(peedy.window()->pos(), QPoint(40, 157));
}

void TestParrot::stopAllEmptiesTheQueueAndCutsTheRunningRequest()
{
    ParrotCharacter peedy(m_engine);
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    QStringList started;
    connect(&peedy, &ParrotCharacter::requestStarted, this, [&](const QString &r) { started << r; });

    peedy.show();
    peedy.play(QStringLiteral("Greet"));
    peedy.play(QStringLiteral("Congratulate"));
    peedy.speak(QStringLiteral("You need to increase your speed."));
    bool quiet = false;
    peedy.whenQuiet([&] { quiet = true; });
    QVERIFY(QTest::qWaitFor([&] { return started.contains(QLatin1String("play Greet")); }, WaitMs));

    peedy.stopAll();
    QVERIFY(!peedy.isBusy());
    // Cut at once: back at rest in the same instant, still on screen.
    ParrotRig rig;
    QVERIFY(rig.load(DrawingPath));
    QCOMPARE(peedy.window()->frame(), rig.render(rig.restPose()));
    QVERIFY(peedy.window()->isVisible());

    // A request after the stop is the next thing he does.
    peedy.play(QStringLiteral("LookLeft"));
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(started, QStringList({"show", "play Greet", "play LookLeft"}));
    QVERIFY(!quiet); // what it waited for was cut
    peedy.whenQuiet([&] { quiet = true; });
    QVERIFY(quiet); // nothing to wait for
}

void TestParrot::droppingWaitingSpeechLetsTheRunningRequestEndAndKeepsMoves()
{
    ParrotCharacter peedy(m_engine);
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    QStringList log;
    connect(&peedy, &ParrotCharacter::requestStarted, this,
            [&](const QString &r) { log << QStringLiteral("start ") + r; });
    connect(&peedy, &ParrotCharacter::requestFinished, this,
            [&](const QString &r) { log << QStringLiteral("end ") + r; });

    peedy.show();
    peedy.play(QStringLiteral("Greet"));
    peedy.speak(QStringLiteral("8times5,is40"));
    peedy.play(QStringLiteral("LookLeft"));
    peedy.moveTo(40, 157);
    peedy.speak(QStringLiteral("3times5"));
    QVERIFY(QTest::qWaitFor([&] { return log.contains(QLatin1String("start play Greet")); }, WaitMs));

    peedy.dropWaitingSpeech();
    QVERIFY(peedy.isBusy());
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(log,
             QStringList({"start show", "end show", "start play Greet", "end play Greet", "start move 40,157",
                          "end move 40,157"}));
    QCOMPARE(peedy.window()->pos(), QPoint(40, 157));
}

void TestParrot::animationNamesIgnoreLetterCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("known");
    QTest::newRow("as written") << "GestureLeft" << true;
    QTest::newRow("lower case") << "gestureleft" << true;
    QTest::newRow("upper case") << "LOOKLEFT" << true;
    QTest::newRow("mixed") << "lookDOWNleftBLINK" << true;
    QTest::newRow("unknown") << "Somersault" << false;
}

void TestParrot::animationNamesIgnoreLetterCase()
{
    QFETCH(QString, name);
    QFETCH(bool, known);
    ParrotCharacter peedy(m_engine);
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    peedy.show();
    QVERIFY(waitUntilIdle(peedy));
    const QImage rest = peedy.window()->frame();

    bool moved = false;
    bool playing = false;
    connect(&peedy, &ParrotCharacter::requestStarted, this, [&] { playing = true; });
    connect(&peedy, &ParrotCharacter::requestFinished, this, [&] { playing = false; });
    Sampler sampler([&] { moved = moved || (playing && peedy.window()->frame() != rest); });
    peedy.play(name);
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(moved, known);
}

void TestParrot::moveGlidesSteadilyToTheTarget()
{
    ParrotCharacter peedy(m_engine);
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    peedy.moveTo(40, 150);
    peedy.show();
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(peedy.window()->pos(), QPoint(40, 150));

    QList<QPoint> path;
    Sampler sampler([&] {
        if (path.isEmpty() || path.last() != peedy.window()->pos())
            path.append(peedy.window()->pos());
    });
    peedy.moveTo(440, 450);
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(peedy.window()->pos(), QPoint(440, 450));
    // He passes through points between, on the straight line, never going back.
    QVERIFY2(path.size() > 3, qPrintable(QString::number(path.size())));
    for (qsizetype i = 1; i < path.size(); ++i) {
        QVERIFY(path[i].x() > path[i - 1].x());
        QVERIFY(qAbs((path[i].x() - 40) * 3 - (path[i].y() - 150) * 4) <= 8); // on the line 300/400
    }
}

void TestParrot::moveWhileHiddenJumps()
{
    ParrotCharacter peedy(m_engine);
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    QSignalSpy finished(&peedy, &ParrotCharacter::requestFinished);
    peedy.moveTo(300, 200);
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(peedy.window()->pos(), QPoint(300, 200));
    peedy.show();
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(peedy.window()->pos(), QPoint(300, 200));
}

void TestParrot::framesAreDrawnAtTheScreensScale_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::newRow("150 %") << 1.5;
    QTest::newRow("200 %") << 2.0;
}

void TestParrot::framesAreDrawnAtTheScreensScale()
{
    QFETCH(qreal, scale);
    ParrotRig rig;
    QVERIFY(rig.load(DrawingPath, scale));
    const QImage frame = rig.render(rig.restPose());
    QCOMPARE(frame.size(), (QSizeF(rig.size()) * scale).toSize()); // a pixel of the screen each
    QCOMPARE(frame.devicePixelRatio(), scale);

    // The window keeps his size in the desktop's units, and the shaped one's
    // outline is cut there too: all of him inside it, none of the clear corner.
    ParrotWindow window(ParrotSurface::Shaped);
    window.setFrame(frame);
    QCOMPARE(window.size(), rig.size());
    const QRegion outline = window.mask();
    QVERIFY(window.rect().contains(outline.boundingRect()));
    QVERIFY(!outline.contains(QPoint(0, 0)));
    const QPoint body(rig.size().width() / 2, rig.size().height() - 40);
    QCOMPARE(qAlpha(frame.pixel((QPointF(body) * scale).toPoint())), 255);
    QVERIFY(outline.contains(body));
}

void TestParrot::surfaceFollowsTheCompositorAtEachShow()
{
    bool compositing = true;
    ParrotCharacter peedy(m_engine, {true, [&] { return compositing; }, {}});
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    const auto translucentAfterShow = [&] {
        peedy.show();
        peedy.hide();
        return waitUntilIdle(peedy) && peedy.window()->testAttribute(Qt::WA_TranslucentBackground) &&
            peedy.window()->surface() == ParrotSurface::Translucent;
    };
    QVERIFY(translucentAfterShow());
    compositing = false; // the compositor stopped while he was away
    QVERIFY(!translucentAfterShow());
    QCOMPARE(peedy.window()->surface(), ParrotSurface::Shaped);
    compositing = true;
    QVERIFY(translucentAfterShow());
}

void TestParrot::translucentFramesLeaveNothingOfTheFrameBefore()
{
    ParrotCharacter peedy(m_engine, {true, [] { return true; }, {}});
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    peedy.show();
    QVERIFY(waitUntilIdle(peedy));
    ParrotWindow &window = *peedy.window();
    const QImage before = window.frame();
    peedy.play(QStringLiteral("Greet"));
    QVERIFY(QTest::qWaitFor([&] { return window.frame() != before; }, WaitMs));
    const QImage after = window.frame();

    // The window still holds the frame before, as a window system's buffer
    // does, and paints the new one over it: nothing of the old one is left,
    // outside his new outline either (a compositor shows the whole square).
    QImage screen = before.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    window.render(&screen, window.mask().boundingRect().topLeft(), {}, QWidget::DrawChildren);
    int stale = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x)
            stale += screen.pixel(x, y) != after.pixel(x, y);
    }
    QCOMPARE(stale, 0);
    QVERIFY(waitUntilIdle(peedy));
}

void TestParrot::withoutPlacingTopLevelsHeStandsInsideTheWindow()
{
    QWidget form;
    form.setFixedSize(500, 400);
    form.move(300, 200);
    auto *help = new QPushButton(QStringLiteral("Help"), &form);
    help->setGeometry(0, 0, 500, 400);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    ParrotCharacter peedy(m_engine, {false, [] { return true; }, [&]() -> QWidget * { return &form; }});
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    peedy.moveTo(340, 350);
    peedy.show();
    QVERIFY(waitUntilIdle(peedy));
    ParrotWindow *window = peedy.window();
    QCOMPARE(window->parentWidget(), &form);
    QVERIFY(window->isVisible());
    // Where the screen point is in the window, as the window has it.
    QCOMPARE(window->pos(), form.mapFromGlobal(QPoint(340, 350)));

    // Over the controls, which he never keeps from a click.
    const QPoint body(window->width() / 2, window->height() - 40);
    QCOMPARE(qAlpha(window->frame().pixel(body)), 255);
    QCOMPARE(form.childAt(window->pos() + body), help);

    peedy.moveTo(380, 330);
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(window->pos(), form.mapFromGlobal(QPoint(380, 330)));
}

void TestParrot::insideAWindowHeStepsAsideFromItsControls()
{
    // A drill window the window system put where his perch would be.
    QWidget form;
    form.setFixedSize(320, 360);
    form.move(100, 100);
    auto *answer = new QLineEdit(&form);
    answer->setGeometry(60, 120, 90, 50);
    auto *check = new QPushButton(QStringLiteral("Check"), &form);
    check->setGeometry(100, 240, 90, 30);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    ParrotCharacter peedy(m_engine, {false, [] { return true; }, [&]() -> QWidget * { return &form; }});
    QVERIFY(peedy.load(QStringLiteral("Peedy"), DrawingPath));
    peedy.moveTo(160, 200);
    peedy.show();
    QVERIFY(waitUntilIdle(peedy));
    ParrotWindow *window = peedy.window();
    QList<QWidget *> controls {answer, check};
    // Nothing of him drawn over a control or past the window's edge.
    const auto clear = [&] {
        const QImage &frame = window->frame();
        const qreal scale = frame.devicePixelRatio();
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                const QPoint at = window->pos() + (QPointF(x, y) / scale).toPoint();
                if (qAlpha(frame.pixel(x, y)) != 0 &&
                    (!form.rect().contains(at) || std::any_of(controls.cbegin(), controls.cend(), [&](QWidget *c) {
                        return c->isVisible() && c->geometry().contains(at);
                    })))
                    return false;
            }
        }
        return true;
    };
    QVERIFY2(clear(), qPrintable(QStringLiteral("at %1,%2").arg(window->x()).arg(window->y())));

    // Gliding across the window he keeps clear of them all the way.
    bool clearAllTheWay = true;
    {
        Sampler sampler([&] { clearAllTheWay = clearAllTheWay && clear(); });
        peedy.moveTo(100 + form.width() - window->width(), 100);
        QVERIFY(waitUntilIdle(peedy));
    }
    QVERIFY(clearAllTheWay);

    // A window that grows makes room where he wanted to be.
    form.setFixedSize(700, 600);
    peedy.moveTo(100 + 400, 100 + 300);
    QVERIFY(waitUntilIdle(peedy));
    QCOMPARE(window->pos(), form.mapFromGlobal(QPoint(100 + 400, 100 + 300)));

    // A control that shows where he stands, as the answer box does for each
    // new fact: he steps aside without being asked.
    auto *later = new QLineEdit(&form);
    later->setGeometry(window->geometry().center().x() - 30, window->geometry().center().y() - 20, 60, 40);
    controls.append(later);
    later->show();
    QVERIFY(!clear());
    QTRY_VERIFY(clear());
}

void TestParrot::beakFollowsThePhonemes_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");
    QTest::newRow("before the first sound") << 0 << 0.0 << 0.0;
    QTest::newRow("opening into the vowel") << 170 << 0.3 << 0.9;
    QTest::newRow("open vowel") << 250 << 1.0 << 1.0;
    QTest::newRow("closing for p") << 360 << 0.05 << 0.05;
    QTest::newRow("close vowel") << 480 << 0.45 << 0.45;
    QTest::newRow("pause") << 700 << 0.0 << 0.0;
}

void TestParrot::beakFollowsThePhonemes()
{
    QFETCH(int, ms);
    QFETCH(double, lowest);
    QFETCH(double, highest);
    // "happy," as the engine marks it.
    const QList<SpeechMark> marks = {
        {SpeechMark::Kind::Word, 100, {}},     {SpeechMark::Kind::Phoneme, 100, "h"},
        {SpeechMark::Kind::Phoneme, 150, "a"}, {SpeechMark::Kind::Phoneme, 300, "p"},
        {SpeechMark::Kind::Phoneme, 400, "i"}, {SpeechMark::Kind::Phoneme, 600, "_:"},
    };
    const double opening = beakOpening(marks, ms);
    QVERIFY2(opening >= lowest - 1e-9 && opening <= highest + 1e-9, qPrintable(QString::number(opening)));
}

QTEST_MAIN(TestParrot)
#include "test_parrot.moc"
