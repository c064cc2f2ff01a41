// Where the real program's windows land under a real window manager: Xvfb
// with openbox. Skipped where either is missing.

#include "support/realprogram.h"
#include "xwindowprobe.h"

#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace plovista::test;

class TestWindowPlacement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (xvfb.isEmpty() || openbox.isEmpty())
            QSKIP("Xvfb and openbox are needed (xvfb, openbox)");
        for (int n = 151; n < 170 && m_name.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            const QString display = QStringLiteral(":%1").arg(n);
            m_server.start(xvfb,
                           {display, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("800x600x24"),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_server.waitForStarted(5000))
                break;
            for (int i = 0; i < 100 && m_server.state() == QProcess::Running; ++i) {
                if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
                    m_name = display.toUtf8();
                    break;
                }
                QTest::qWait(50);
            }
        }
        if (m_name.isEmpty())
            QSKIP("Xvfb could not be started here");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_name));
        m_windowManager.setProcessEnvironment(env);
        m_windowManager.start(openbox, {});
        for (int i = 0; i < 200 && !xwindowprobe::windowManagerRunning(m_name.constData()); ++i)
            QTest::qWait(50);
        if (!xwindowprobe::windowManagerRunning(m_name.constData()))
            QSKIP("openbox did not take charge of the screen");
    }

    // The start screen goes to the top left of the screen with its title bar,
    // and the buttons on it, in sight.
    void theStartScreensTitleBarIsOnTheScreen()
    {
        QTemporaryDir folder;
        RealProgram program(folder.path(), QString::fromLatin1(m_name), QStringLiteral("xcb"));
        std::optional<xwindowprobe::Box> frame;
        for (int i = 0; i < 1200 && !frame && program.running(); ++i) {
            frame = xwindowprobe::frameOf(m_name.constData(), "Brevandi Plovista");
            if (!frame)
                QTest::qWait(50);
        }
        QVERIFY2(frame, "the start screen never appeared");
        // The window manager frames a window some time after it is mapped.
        const auto topLeft = [this] {
            const auto box = xwindowprobe::frameOf(m_name.constData(), "Brevandi Plovista");
            return box ? QPoint(box->x, box->y) : QPoint(-1000, -1000);
        };
        QTRY_COMPARE_WITH_TIMEOUT(topLeft(), QPoint(0, 0), 60000);
    }

    // A desktop at 200% leaves the 800x600 screen 400x300 of room in Qt's
    // logical pixels: the program scales itself down until its start screen
    // fits, title bar and all.
    void theStartScreenFitsAtTwiceTheScale()
    {
        QTemporaryDir folder;
        QProcessEnvironment scale;
        scale.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        RealProgram program(folder.path(), QString::fromLatin1(m_name), QStringLiteral("xcb"), scale);
        const auto frame = [this] { return xwindowprobe::frameOf(m_name.constData(), "Brevandi Plovista"); };
        for (int i = 0; i < 1200 && !frame() && program.running(); ++i)
            QTest::qWait(50);
        QVERIFY2(frame(), "the start screen never appeared");
        const auto box = [&] {
            const auto seen = frame();
            return seen ? QRect(seen->x, seen->y, seen->width, seen->height) : QRect();
        };
        // The window manager frames a window some time after it is mapped.
        QTRY_VERIFY2_WITH_TIMEOUT(QRect(0, 0, 800, 600).contains(box()) && box().y() == 0,
                                  qPrintable(QStringLiteral("%1x%2").arg(box().width()).arg(box().height())), 60000);
        QVERIFY(box().width() > 600);
    }

    void cleanupTestCase()
    {
        for (QProcess *process : {&m_windowManager, &m_server}) {
            if (process->state() == QProcess::Running) {
                process->terminate();
                process->waitForFinished(5000);
            }
        }
    }

private:
    QProcess m_server;
    QProcess m_windowManager;
    QByteArray m_name;
};

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "test_windowplacement.moc"
