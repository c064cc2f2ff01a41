#pragma once

// The built program run as a process of its own, for what only a whole
// process shows: signals, exit status, the display it leaves behind. A test
// that includes this defines PLOVISTA_BINARY, the program's path.

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace plovista::test {

// The signals a process catches (or has pending), from /proc.
inline bool procMaskHas(qint64 pid, const char *field, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return (line.mid(qstrlen(field)).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1U;
    return false;
}

// The real program in a folder of its own, with nothing of the desktop it was
// started from; killed at the end of the test whatever happened.
class RealProgram
{
public:
    // `extra` is set on top, such as a desktop's scale.
    explicit RealProgram(const QString &folder, const QString &display = {},
                         const QString &platform = QStringLiteral("offscreen"), const QProcessEnvironment &extra = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (display.isEmpty())
            env.remove(QStringLiteral("DISPLAY"));
        else
            env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(extra);
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(folder);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(PLOVISTA_BINARY), {});
        m_process.waitForStarted(30000);
    }
    ~RealProgram()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    RealProgram(const RealProgram &) = delete;
    RealProgram &operator=(const RealProgram &) = delete;

    bool running() const { return m_process.state() == QProcess::Running; }
    pid_t pid() const { return static_cast<pid_t>(m_process.processId()); }
    void signal(int sig) const { ::kill(pid(), sig); }

    // Waits, generously for a sanitized build on a busy machine, until the
    // program has set up its signal handling.
    bool waitUntilCatching(int sig)
    {
        for (int i = 0; i < 1200 && running(); ++i) {
            if (procMaskHas(pid(), "SigCgt:", sig))
                return true;
            QTest::qWait(50);
        }
        return false;
    }
    bool waitUntilEnded() { return m_process.waitForFinished(60000); }
    const QProcess &process() const { return m_process; }

private:
    QProcess m_process;
};

} // namespace plovista::test
