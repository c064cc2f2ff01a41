#include "app/agentmissing.h"
#include "app/company.h"
#include "records/savedrecords.h"
#include "settings/settingkeys.h"
#include "settings/textfile.h"
#include "support/harness.h"
#include "support/smalldisk.h"

#include <QCheckBox>
#include <QCommonStyle>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <csignal>
#include <functional>
#include <optional>

#include <sys/resource.h>
#include <sys/wait.h>

using namespace plovista;
using namespace plovista::test;

namespace {

// Runs a write in a child process that is killed a few bytes into it (by
// the file-size limit), as a kill or a crash would kill the program.
bool killedWhileWriting(const std::function<void()> &write)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit noCore {0, 0};
        const rlimit fewBytes {4, 4};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::signal(SIGXFSZ, SIG_DFL);
        ::setrlimit(RLIMIT_FSIZE, &fewBytes);
        write();
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
}

QStringList everything(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Qt's image-format plugins this process has loaded.
QStringList imageFormatPlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    QStringList loaded;
    if (maps.open(QIODevice::ReadOnly))
        for (const QByteArray &line : maps.readAll().split('\n'))
            if (const int at = line.indexOf("/imageformats/");
                at >= 0 && !loaded.contains(QString::fromUtf8(line.mid(at))))
                loaded << QString::fromUtf8(line.mid(at));
    return loaded;
}

// Calls `seen` at the first paint of any widget.
class FirstPaintSpy : public QObject
{
public:
    explicit FirstPaintSpy(std::function<void()> seen)
        : m_seen(std::move(seen))
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && m_seen) {
            m_seen();
            m_seen = nullptr;
        }
        return false;
    }

private:
    std::function<void()> m_seen;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // First in this program, before any window has been drawn in it: what
    // the start screen does not need waits until it is painted.
    void theStartScreenIsPaintedFirst()
    {
        QCOMPARE(imageFormatPlugins(), QStringList());
        Harness h;
        std::optional<std::size_t> appliedAtPaint;
        FirstPaintSpy spy([&] { appliedAtPaint = h.display->applied.size(); });
        h.app().start();
        QTRY_COMPARE(h.display->applied.size(), std::size_t(1));
        // The display mode was read, and applied as found, after the paint.
        QCOMPARE(appliedAtPaint, std::optional<std::size_t>(0));
        QCOMPARE(h.display->applied.front(), (DisplayMode {1024, 768}));
        QCOMPARE(h.app().startup().startDisplayMode, (DisplayMode {1024, 768}));
        // Qt loads every image-format plugin with the first image it reads.
        QCOMPARE(imageFormatPlugins(), QStringList());

        // The arrow of a menu bar too narrow for its menus is still Qt's own.
        QWidget window;
        auto *bar = new QMenuBar(&window);
        for (int i = 0; i < 8; ++i)
            bar->addMenu(QStringLiteral("Menu %1").arg(i));
        bar->setFixedWidth(120);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *arrow = bar->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        QTRY_VERIFY(arrow && arrow->isVisible());
        const QImage drawn = arrow->icon().pixmap(16).toImage();
        QVERIFY(!drawn.isNull());
        QCOMPARE(drawn, QCommonStyle().standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16).toImage());
    }

    // The Screen Size window tells the mode found at start also when it is
    // opened before that was read.
    void screenSizeBeforeThePaintTellsTheModeFound()
    {
        Harness h;
        h.app().start();
        h.find<QAction>(QStringLiteral("Screen"))->trigger();
        QVERIFY(h.findIn<QLabel>(QStringLiteral("ScreenSize"), QStringLiteral("Label1"))
                    ->text()
                    .startsWith(QStringLiteral("The current display setting is 1024x768 pixels.")));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(h.display->applied, std::vector<DisplayMode>({{1024, 768}}));
    }

    void firstRunOnAFreshFolder()
    {
        Harness h;
        h.start();
        QVERIFY(QFileInfo(h.folder() + QStringLiteral("/SDat")).isDir());
        QCOMPARE(QDir(h.folder() + QStringLiteral("/Files")).entryList(QDir::Files).size(), 25);
        QWidget *company = h.window(QStringLiteral("Company"));
        QVERIFY(company && company->isVisible() && company->isEnabled());
        QCOMPARE(company->windowTitle(), QStringLiteral("Brevandi Plovista"));
        QCOMPARE(QApplication::focusWidget(), h.find<QLineEdit>(QStringLiteral("Text1")));
        // The display is applied once as found and not switched.
        QCOMPARE(h.display->applied.size(), std::size_t(1));
        QCOMPARE(h.display->applied.front(), (DisplayMode {1024, 768}));
        // Peedy stays hidden and nobody greets.
        QVERIFY(!h.character->log.contains(QStringLiteral("show")));
        QVERIFY(h.character->spoken().isEmpty());
        QVERIFY(h.voice->spoken.isEmpty());
        QVERIFY(!h.find<QWidget>(QStringLiteral("Shape1"))->isVisibleTo(company));
        QVERIFY(h.boxes->asked.empty());
    }

    void displayChoiceChangeSwitchesAtStart()
    {
        Harness h;
        h.writeRaw(QStringLiteral("Display"), "Change\r\n");
        h.start();
        QCOMPARE(h.display->mode, std::optional<DisplayMode>(DisplayMode {800, 600}));
        QCOMPARE(h.app().startup().startDisplayMode, (DisplayMode {1024, 768}));
    }

    void peedyGreetsWhenEnabled()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("PName"), "Ann\r\n");
        h.random->draws = {0.0}; // row 1
        h.start();
        QVERIFY(h.random->reseeds >= 1);
        QVERIFY(h.character->log.contains(QStringLiteral("show")));
        QVERIFY(h.character->log.contains(QStringLiteral("play Greet")));
        QCOMPARE(h.character->spoken(), QStringList({"It's ~you! I am ~so happy!,Ann?"}));
        QVERIFY(h.voice->spoken.isEmpty()); // the voice never greets
        QVERIFY(h.find<QWidget>(QStringLiteral("Line1"))->isVisibleTo(h.window(QStringLiteral("Company"))));
    }

    void noGreetingWhenSwitchedOff()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("NoGreet"), "True\r\n");
        h.start();
        QVERIFY(h.character->spoken().isEmpty());
    }

    void xpPerchAndMenuItem()
    {
        {
            Harness xp(Harness::Options {true, OsVersion {true, 5, 1, 2600}});
            xp.start();
            QCOMPARE(xp.readRaw(QStringLiteral("Perch")), QByteArray("XP\r\n"));
            QCOMPARE(xp.app().speech().perchTop(), 157);
            QVERIFY(xp.find<QAction>(QStringLiteral("PeedysPerch"))->isVisible());
        }
        Harness w2k(Harness::Options {true, OsVersion {true, 5, 0, 2195}});
        w2k.start();
        QCOMPARE(w2k.readRaw(QStringLiteral("Perch")), QByteArray("Standard\r\n"));
        QVERIFY(!w2k.find<QAction>(QStringLiteral("PeedysPerch"))->isVisible());
    }

    void vistaNoticeOpensAndRemembersItsBox()
    {
        {
            Harness h(Harness::Options {true, OsVersion {true, 6, 0, 6000}});
            h.start();
            QWidget *notice = h.window(QStringLiteral("VistaNotice"));
            QVERIFY(notice && notice->isVisible());
            h.findIn<QCheckBox>(QStringLiteral("VistaNotice"), QStringLiteral("VistaCheck"))->setChecked(true);
            h.findIn<QPushButton>(QStringLiteral("VistaNotice"), QStringLiteral("Command1"))->click();
            QVERIFY(!notice->isVisible());
            QCOMPARE(h.readRaw(QStringLiteral("Vista")), QByteArray("False\r\n"));
        }

        Harness again(Harness::Options {true, OsVersion {true, 6, 0, 6000}});
        again.writeRaw(QStringLiteral("Vista"), "False\r\n");
        again.start();
        QVERIFY(!again.window(QStringLiteral("VistaNotice")));
    }

    void menuBarHiddenByInvisible()
    {
        Harness h;
        h.writeRaw(QStringLiteral("Mbar"), "Invisible\r\n");
        h.start();
        QMenuBar *bar = h.window(QStringLiteral("Company"))->findChild<QMenuBar *>();
        QVERIFY(!bar->isVisibleTo(h.window(QStringLiteral("Company"))));
        for (QAction *action : bar->actions())
            QVERIFY(!action->isVisible());
    }

    void missingCharacterStopsNormalUse()
    {
        Harness h(Harness::Options {false, OsVersion {false, 0, 0, 0}});
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.start();
        QVERIFY(!h.settings().value(keys::PeedyEnabled));
        QCOMPARE(h.readRaw(QStringLiteral("PShow")), QByteArray("True\r\n")); // not rewritten
        QVERIFY(!h.window(QStringLiteral("Company"))->isEnabled());
        QWidget *notice = h.window(QStringLiteral("AgentMissing"));
        QVERIFY(notice && notice->isVisible());
        QVERIFY(h.character->spoken().isEmpty());
        const QString text = h.findIn<QLabel>(QStringLiteral("AgentMissing"), QStringLiteral("Label1"))->text();
        QVERIFY(text.contains(QStringLiteral("(%1)").arg(h.systemInfo->folder)));
        QVERIFY(text.contains(QStringLiteral("sudo apt install --reinstall plovista")));

        // Closing asks about the download; Yes keeps the notice open.
        h.boxes->answers = {MsgYes, MsgOk};
        notice->close();
        QVERIFY(notice->isVisible());
        QVERIFY(!h.programEnded());
        QCOMPARE(h.boxes->asked.front().text, QStringLiteral("Download Peedy's files?"));
        // No ends the program after a closing notice.
        h.boxes->answers = {MsgNo, MsgOk};
        notice->close();
        QVERIFY(h.programEnded());
    }

    void vistaNoticeOpensEvenWithoutTheCharacter()
    {
        Harness h(Harness::Options {false, OsVersion {true, 6, 0, 6000}});
        h.start();
        QVERIFY(h.window(QStringLiteral("AgentMissing"))->isVisible());
        QWidget *notice = h.window(QStringLiteral("VistaNotice"));
        QVERIFY(notice && notice->isVisible());
    }

    void settingsThatCannotBeWrittenAreTold()
    {
        Harness h;
        // A plain file where the settings folder belongs: nothing can be written.
        QFile blocker(h.folder() + QStringLiteral("/Files"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        h.start();
        QCOMPARE(h.boxes->titles(), QStringList {QStringLiteral("Settings Not Saved")});
        // One line for the one cause, naming the folder, in a box that fits
        // the smallest screen the program is made for.
        const QString told = h.boxes->asked.front().text;
        QCOMPARE(told.split(QLatin1Char('\n')).front(),
                 QStringLiteral("The folder \"%1/Files\" could not be made: a file of that name is in the way.")
                     .arg(h.folder()));
        QCOMPARE(told.count(QLatin1Char('\n')), 2);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Settings Not Saved"), told, QMessageBox::Ok);
        QVERIFY(box.sizeHint().width() <= 800 && box.sizeHint().height() <= 600);

        // The program goes on with the defaults it says it goes on with.
        QCOMPARE(h.settings().value(keys::FactsCount), 10);
        QCOMPARE(h.settings().value(keys::SpeedGoal), QStringLiteral("5.0"));
        QCOMPARE(h.settings().value(keys::AccuracyGoal), QStringLiteral("100"));
        QVERIFY(h.settings().value(keys::VoiceEnabled) && h.settings().value(keys::VoiceFeedback) &&
                h.settings().value(keys::PeedyTeacher));
        QCOMPARE(h.app().speech().perchTop(), 150);
        QVERIFY(h.window(QStringLiteral("Company"))->isVisible());
    }

    // A setting changed on a full disk is told, and its file keeps the old value.
    void aSettingWrittenOnAFullDiskIsTold()
    {
        Harness h(Harness::Options {true, OsVersion {true, 6, 0, 6000}});
        h.start();
        SmallDisk disk(h.folder() + QStringLiteral("/Files"));
        if (!disk.mounted())
            QSKIP(disk.whyNot().constData());
        h.writeRaw(QStringLiteral("Vista"), "True\r\n");
        disk.fill();

        h.findIn<QCheckBox>(QStringLiteral("VistaNotice"), QStringLiteral("VistaCheck"))->setChecked(true);
        h.findIn<QPushButton>(QStringLiteral("VistaNotice"), QStringLiteral("Command1"))->click();
        QCOMPARE(h.boxes->titles(), QStringList {QStringLiteral("Setting Not Saved")});
        QVERIFY(h.boxes->asked.front().text.contains(QStringLiteral("the disk is full")));
        QCOMPARE(h.readRaw(QStringLiteral("Vista")), QByteArray("True\r\n"));
    }

    // A save or a settings write killed halfway leaves its new file behind:
    // the list of saved records never offers it, and the next start removes
    // it, but not a teacher's file of a like name nor one a write still holds.
    void interruptedWritesAreHiddenAndThenRemoved()
    {
        Harness h;
        const QString sdat = h.folder() + QStringLiteral("/SDat");
        QVERIFY(QDir().mkpath(sdat) && QDir().mkpath(h.folder() + QStringLiteral("/Files")));
        const QStringList teachers = {".class1.0123456789abcdef.txt", ".notes", "class1.ulhcaoazo2us"};
        for (const QString &name : teachers)
            QVERIFY(QFile(sdat + QLatin1Char('/') + name).open(QIODevice::WriteOnly));
        QFile madtr(h.folder() + QStringLiteral("/Madtr"));
        QVERIFY(madtr.open(QIODevice::WriteOnly) && madtr.write(QByteArray(131072, 'r')) == 131072);
        madtr.close();
        const auto save = [&](const char *name) {
            copyRecordsFile(madtr.fileName(), sdat + QLatin1Char('/') + QLatin1String(name));
        };
        QVERIFY(killedWhileWriting([&] { save("class1"); }));
        QVERIFY(killedWhileWriting(
            [&] { SettingsStore(h.folder()).write(QStringLiteral("MGreet"), QStringLiteral("IntegrateYes")); }));
        const QStringList leftInSdat = everything(sdat);
        QCOMPARE(leftInSdat.size(), teachers.size() + 1);
        QCOMPARE(savedRecordFiles(sdat), QStringList({"class1.ulhcaoazo2us"}));
        // A save under way holds its file.
        QVERIFY(killedWhileWriting([&] { save("class2"); }));
        QStringList underWay = everything(sdat);
        for (const QString &name : leftInSdat)
            underWay.removeOne(name);
        QCOMPARE(underWay.size(), 1);
        QFile held(sdat + QLatin1Char('/') + underWay.front());
        QVERIFY(held.open(QIODevice::ReadWrite) && tryLockForWriting(held.handle()) == 0);
        // The summaries beside the answer log are written the same way.
        const QString summaries = h.folder() + QStringLiteral("/Log/.summary");
        QVERIFY(QDir().mkpath(summaries));
        QVERIFY(killedWhileWriting([&] {
            writeFileAtomically(summaries + QStringLiteral("/Ann@pc.csv.0123456789abcdef.sum"),
                                QByteArray(131072, 's'));
        }));
        QCOMPARE(everything(summaries).size(), 1);

        h.start();
        QStringList kept = teachers;
        kept << underWay.front();
        kept.sort();
        QCOMPARE(everything(sdat), kept);
        QCOMPARE(everything(h.folder() + QStringLiteral("/Files")).size(), 25);
        QCOMPARE(everything(summaries), QStringList());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
