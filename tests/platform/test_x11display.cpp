// The real display-mode switch against a real X server with two modes. Xvfb
// has only one mode, so this starts Xorg with the dummy driver; where that
// server is not installed or cannot start, the tests that need it are skipped.
// XWayland's, under weston, must never be switched.

#include "platform/x11display.h"
#include "settings/textfile.h"
#include "support/realprogram.h"
#include "support/xkeyboard.h"
#ifdef PLOVISTA_HAVE_XRANDR
#include "xrandrprobe.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using namespace plovista;

class TestX11Display : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        const QString xorg = QStandardPaths::findExecutable(QStringLiteral("Xorg"));
        m_why = "Xorg is not installed (xserver-xorg-core, xserver-xorg-video-dummy)";
        if (xorg.isEmpty())
            return;
        m_why = "the dummy Xorg server could not be started here (needs root or a console)";
        // A display number well away from the ones desktops and xvfb-run use.
        for (int n = 173; n < 190 && m_name.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
                continue;
            const QString display = QStringLiteral(":%1").arg(n);
            m_server.start(xorg,
                           {display, QStringLiteral("-config"), QStringLiteral(XORG_DUMMY_CONF),
                            QStringLiteral("-logfile"), m_dir.filePath(QStringLiteral("xorg.log")),
                            QStringLiteral("-noreset"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_server.waitForStarted(5000))
                break;
            for (int i = 0; i < 50 && m_server.state() == QProcess::Running; ++i) {
                if (X11Display(display.toUtf8()).current()) {
                    m_name = display.toUtf8();
                    break;
                }
                QTest::qWait(100);
            }
        }
    }

    void init()
    {
        const QByteArray test(QTest::currentTestFunction());
        if (m_name.isEmpty() && test != "xwaylandIsNeverSwitched" && test != "noServerMeansNoMode")
            QSKIP(m_why);
    }

    // XWayland offers RandR modes and takes a switch to them, but they only
    // stretch X programs on a screen the compositor keeps as it is.
    void xwaylandIsNeverSwitched()
    {
        const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
        if (weston.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("Xwayland")).isEmpty())
            QSKIP("weston and XWayland are needed (weston, xwayland)");
        QTemporaryDir runtime;
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcess compositor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        compositor.setProcessEnvironment(env);
        compositor.setProcessChannelMode(QProcess::MergedChannels);
        compositor.start(weston,
                         {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                          QStringLiteral("--width=1024"), QStringLiteral("--height=768"), QStringLiteral("--xwayland"),
                          QStringLiteral("--no-config")});
        QByteArray log;
        QByteArray name;
        for (int i = 0; i < 200 && name.isEmpty() && compositor.state() != QProcess::NotRunning; ++i) {
            compositor.waitForReadyRead(100);
            log += compositor.readAll();
            const qsizetype at = log.indexOf("xserver listening on display ");
            if (at >= 0 && log.indexOf('\n', at) > at)
                name = log.mid(at + 29, log.indexOf('\n', at) - at - 29).trimmed();
        }
        if (name.isEmpty())
            QSKIP("weston did not start XWayland here");
        auto display = std::make_unique<X11Display>(name);
        const bool switchable = display->canSwitch();
        const bool switched = display->apply({800, 600});
        const std::optional<DisplayMode> seen = display->current();
        display.reset(); // Xlib ends the process when its server goes first
        compositor.terminate();
        compositor.waitForFinished(5000);
        QVERIFY(!switchable);
        QVERIFY(!switched);
        QCOMPARE(seen, std::optional<DisplayMode>(DisplayMode {1024, 768, 0}));
    }

    void readsSwitchesAndRestores()
    {
        X11Display display(m_name);
        QCOMPARE(*display.current(), (DisplayMode {1024, 768, 60}));
        QVERIFY(display.apply({800, 600}));
        QCOMPARE(*display.current(), (DisplayMode {800, 600, 60}));
        // A mode the server does not have is refused and changes nothing.
        QVERIFY(!display.apply({123, 45}));
        QCOMPARE(*display.current(), (DisplayMode {800, 600, 60}));
        QVERIFY(display.apply({1024, 768}));
        QCOMPARE(*display.current(), (DisplayMode {1024, 768, 60}));
    }

    // 1024x768 comes at 60 and 75 Hz: the restore brings back the rate it
    // found, not the one the server picks for the size.
    void restoresTheRefreshRateItFound()
    {
#ifdef PLOVISTA_HAVE_XRANDR
        QVERIFY(xrandrprobe::setMode(m_name.constData(), 1024, 768, 75));
        X11Display display(m_name);
        const std::optional<DisplayMode> found = display.current();
        QVERIFY(found);
        QVERIFY(display.apply({800, 600}));
        QVERIFY(display.apply(*found));
        const int rate = xrandrprobe::currentRate(m_name.constData());
        xrandrprobe::setMode(m_name.constData(), 1024, 768, 60);
        QCOMPARE(rate, 75);
#else
        QSKIP("built without RandR");
#endif
    }

    void noServerMeansNoMode()
    {
        X11Display nowhere(QByteArrayLiteral(":239"));
        QVERIFY(!nowhere.current().has_value());
        QVERIFY(!nowhere.apply({800, 600}));
    }

    // The program switched the display to 800x600 at start; a termination
    // signal ends it with the display back at the size and rate it found.
    void aSignalEndsTheProgramWithTheDisplayAsFound()
    {
#ifdef PLOVISTA_HAVE_XRANDR
        QVERIFY(xrandrprobe::setMode(m_name.constData(), 1024, 768, 75));
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Files")));
        QFile choice(folder.filePath(QStringLiteral("Files/Display")));
        QVERIFY(choice.open(QIODevice::WriteOnly));
        choice.write("Change\r\n");
        choice.close();

        test::RealProgram program(folder.path(), QString::fromLatin1(m_name));
        X11Display display(m_name);
        QVERIFY(program.waitUntilCatching(SIGTERM));
        for (int i = 0; i < 1200 && display.current()->width != 800 && program.running(); ++i)
            QTest::qWait(50);
        QCOMPARE(display.current()->width, 800);
        program.signal(SIGTERM);
        QVERIFY(program.waitUntilEnded());
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().exitCode(), 0);
        const DisplayMode after = *display.current();
        xrandrprobe::setMode(m_name.constData(), 1024, 768, 60);
        QCOMPARE(after, (DisplayMode {1024, 768, 75}));
#else
        QSKIP("built without RandR");
#endif
    }

    // The interface thread is held up (the records file it writes the
    // unfinished drill to is locked by another program) when two signals come
    // 50 ms apart: the second puts the display back without that thread, and
    // the program ends as the signal ends it.
    void aSecondSignalRestoresTheDisplayWhileTheProgramIsBusy()
    {
#ifdef PLOVISTA_HAVE_XRANDR
        if (!test::XKeyboard::available())
            QSKIP("xdotool is needed (xdotool)");
        QVERIFY(xrandrprobe::setMode(m_name.constData(), 1024, 768, 75));
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Files")));
        QFile choice(folder.filePath(QStringLiteral("Files/Display")));
        QVERIFY(choice.open(QIODevice::WriteOnly));
        choice.write("Change\r\n");
        choice.close();

        test::RealProgram program(folder.path(), QString::fromLatin1(m_name), QStringLiteral("xcb"));
        const test::XKeyboard keys(QString::fromLatin1(m_name));
        const QString why = test::answerPartOfADrill(keys, folder.path(), 1);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        X11Display display(m_name);
        QCOMPARE(display.current()->width, 800);

        QFile held(folder.filePath(QStringLiteral("Madtr")));
        QVERIFY(held.open(QIODevice::WriteOnly));
        QCOMPARE(tryLockForWriting(held.handle()), 0);
        keys.press({QStringLiteral("alt"), QStringLiteral("Right"), QStringLiteral("Return")}); // Quit
        QVERIFY(keys.waitForFocus(QStringLiteral("Quit Program")));
        keys.press({QStringLiteral("y")});
        for (int i = 0; i < 100 && keys.focused() == QStringLiteral("Quit Program"); ++i)
            QTest::qWait(50);
        QTest::qWait(200);
        program.signal(SIGTERM);
        // Two signals sent before the first is taken would count as one.
        QTest::qWait(50);
        for (int i = 0; i < 100 && test::procMaskHas(program.pid(), "ShdPnd:", SIGTERM); ++i)
            QTest::qWait(10);
        program.signal(SIGTERM);
        const bool ended = program.waitUntilEnded();
        const std::optional<DisplayMode> after = display.current();
        xrandrprobe::setMode(m_name.constData(), 1024, 768, 60);
        QVERIFY2(ended, "the program kept running after a second SIGTERM");
        QCOMPARE(program.process().exitStatus(), QProcess::CrashExit);
        QVERIFY(after);
        QCOMPARE(*after, (DisplayMode {1024, 768, 75}));
        QCOMPARE(held.size(), 0);
#else
        QSKIP("built without RandR");
#endif
    }

    void cleanupTestCase()
    {
        if (m_server.state() == QProcess::Running) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QByteArray m_name;
    const char *m_why = "";
};

QTEST_GUILESS_MAIN(TestX11Display)
#include "test_x11display.moc"
