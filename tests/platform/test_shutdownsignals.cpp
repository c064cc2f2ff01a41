// Termination signals against the real program, run as its own process (on
// an X server of the test's own where it is driven by keys), and the signal
// watcher on its own.

#include "platform/shutdownsignals.h"
#include "support/realprogram.h"
#include "support/xkeyboard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace plovista;
using namespace plovista::test;

class TestShutdownSignals : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hangupStaysIgnoredUnderNohup()
    {
        std::signal(SIGHUP, SIG_IGN);
        {
            ShutdownSignals watch([] {});
            struct sigaction hup = {};
            sigaction(SIGHUP, nullptr, &hup);
            QVERIFY(hup.sa_handler == SIG_IGN);
            struct sigaction term = {};
            sigaction(SIGTERM, nullptr, &term);
            QVERIFY(term.sa_handler != SIG_DFL && term.sa_handler != SIG_IGN);
        }
        struct sigaction after = {};
        sigaction(SIGHUP, nullptr, &after);
        std::signal(SIGHUP, SIG_DFL);
        QVERIFY(after.sa_handler == SIG_IGN);
    }

    // A student three facts into a drill when the session ends, by a signal
    // or by its X server going away: the drill is in "Madtr" as unfinished,
    // once, and the program ends.
    void theSessionEndingMidDrillRecordsTheDrill_data()
    {
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("SIGTERM") << true;
        QTest::newRow("the X server goes") << false;
    }
    void theSessionEndingMidDrillRecordsTheDrill()
    {
        QFETCH(bool, bySignal);
        if (!XKeyboard::available())
            QSKIP("xdotool is needed (xdotool)");
        Xvfb server(131);
        if (server.name().isEmpty())
            QSKIP("Xvfb could not be started here (xvfb)");
        QTemporaryDir folder;
        RealProgram program(folder.path(), server.name(), QStringLiteral("xcb"));
        const QString why = answerPartOfADrill(XKeyboard(server.name()), folder.path(), 3);
        QVERIFY2(why.isEmpty(), qPrintable(why));

        if (bySignal)
            program.signal(SIGTERM);
        else
            server.stop();
        QVERIFY2(program.waitUntilEnded(), "the program kept running");
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        if (bySignal)
            QCOMPARE(program.process().exitCode(), 0);
        QFile madtr(QDir(folder.path()).filePath(QStringLiteral("Madtr")));
        QVERIFY2(madtr.open(QIODevice::ReadOnly), "no record was written");
        const QByteArray records = madtr.readAll();
        QCOMPARE(records.count("\r\n"), 1);
        QVERIFY2(records.contains("Ann Lee") && records.endsWith("Inc  \r\n"), records.constData());
    }

    // "Files" is a plain file, so no settings file can be written and the
    // start-up stops at a message box, in an event loop of its own, before
    // the program's main loop has even begun.
    void aSignalEndsTheProgramWhileAStartUpBoxIsUp()
    {
        QTemporaryDir folder;
        QFile blocker(folder.filePath(QStringLiteral("Files")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        RealProgram program(folder.path());
        QVERIFY(program.waitUntilCatching(SIGTERM));
        program.signal(SIGTERM);
        QVERIFY2(program.waitUntilEnded(), "the program kept running after SIGTERM");
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().exitCode(), 0);
    }

    // An X server that takes the connection and never answers holds the
    // program inside start-up, where no event is handled: the first signal
    // cannot be acted on, so the second must end it.
    void aSecondSignalEndsAProgramThatCannotEnd()
    {
        const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(server >= 0);
        QString display;
        for (int n = 191; n < 220 && display.isEmpty(); ++n) {
            // The abstract socket Xlib tries first on Linux; it needs no file.
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            const QByteArray name = QByteArray("/tmp/.X11-unix/X") + QByteArray::number(n);
            std::memcpy(address.sun_path + 1, name.constData(), static_cast<std::size_t>(name.size()));
            const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
            if (!QFile::exists(QString::fromLatin1(name)) &&
                ::bind(server, reinterpret_cast<sockaddr *>(&address), length) == 0 && ::listen(server, 4) == 0)
                display = QStringLiteral(":%1").arg(n);
        }
        if (display.isEmpty()) {
            ::close(server);
            QSKIP("no free X display number for the silent server");
        }

        QTemporaryDir folder;
        RealProgram program(folder.path(), display);
        // The program is stuck once it has connected and waits for the reply.
        int client = -1;
        for (int i = 0; i < 1200 && client < 0 && program.running(); ++i) {
            client = ::accept4(server, nullptr, nullptr, SOCK_NONBLOCK);
            if (client < 0)
                QTest::qWait(50);
        }
        const bool connected = client >= 0 && program.waitUntilCatching(SIGTERM);
        bool ended = false;
        if (connected) {
            program.signal(SIGTERM);
            // Two signals sent before the first is taken would count as one.
            for (int i = 0; i < 1200 && procMaskHas(program.pid(), "ShdPnd:", SIGTERM); ++i)
                QTest::qWait(50);
            program.signal(SIGTERM);
            ended = program.waitUntilEnded();
        }
        if (client >= 0)
            ::close(client);
        ::close(server);
        QVERIFY2(connected, "the program never reached its display");
        QVERIFY2(ended, "the program kept running after a second SIGTERM");
    }
};

QTEST_GUILESS_MAIN(TestShutdownSignals)
#include "test_shutdownsignals.moc"
