#pragma once

// A student at the keyboard of an X server the test started: key presses
// through xdotool (the server's test extension) into the real program on its
// X11 platform, for what only the whole program driven as a user drives it
// shows. No window manager is needed: the program gives the keyboard to the
// windows it opens itself.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace plovista::test {

// Xvfb of the test's own, on the first free display number from `first`;
// name() is empty where it could not start.
class Xvfb
{
public:
    explicit Xvfb(int first, const QString &screen = QStringLiteral("1024x768x24"))
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        for (int n = first; !xvfb.isEmpty() && n < first + 20 && m_name.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            const QString display = QStringLiteral(":%1").arg(n);
            // Without -noreset the server starts afresh whenever its last
            // client leaves, and refuses whoever comes in that moment.
            m_server.start(xvfb,
                           {display, QStringLiteral("-screen"), QStringLiteral("0"), screen,
                            QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
            if (!m_server.waitForStarted(5000))
                return;
            for (int i = 0; i < 100 && m_server.state() == QProcess::Running && m_name.isEmpty(); ++i) {
                if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
                    m_name = display;
                else
                    QTest::qWait(50);
            }
        }
    }
    ~Xvfb() { stop(); }
    // Ends the server, as the end of a session ends it.
    void stop()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }
    Xvfb(const Xvfb &) = delete;
    Xvfb &operator=(const Xvfb &) = delete;

    QString name() const { return m_name; }

private:
    QProcess m_server;
    QString m_name;
};

class XKeyboard
{
public:
    explicit XKeyboard(QString display)
        : m_display(std::move(display))
    { }

    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(); }

    bool press(const QStringList &keys) const
    {
        return run(QStringList {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + keys);
    }
    bool type(const QString &text) const
    {
        return run({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), text});
    }
    // The title of the window that has the keyboard.
    QString focused() const
    {
        QByteArray out;
        run({QStringLiteral("getwindowfocus"), QStringLiteral("getwindowname")}, &out);
        return QString::fromUtf8(out).trimmed();
    }
    bool waitForFocus(const QString &title, int timeoutMs = 60000) const
    {
        QElapsedTimer waited;
        waited.start();
        while (focused() != title) {
            if (waited.elapsed() > timeoutMs)
                return false;
            QTest::qWait(100);
        }
        return true;
    }

private:
    bool run(const QStringList &arguments, QByteArray *out = nullptr) const
    {
        QProcess xdotool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        xdotool.setProcessEnvironment(env);
        xdotool.start(QStringLiteral("xdotool"), arguments);
        if (!xdotool.waitForFinished(30000))
            return false;
        if (out)
            *out = xdotool.readAllStandardOutput();
        return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
    }

    QString m_display;
};

// The answers the program has logged in the working folder, one map of
// column to value each, of one student when one is named; a line still being
// written is left out.
inline QList<QHash<QString, QString>> loggedAnswers(const QString &folder, const QString &student = {})
{
    QList<QHash<QString, QString>> rows;
    const QDir log(QDir(folder).filePath(QStringLiteral("Log")));
    for (const QString &name : log.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name)) {
        QFile file(log.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.readAll();
        QList<QByteArray> lines = text.left(text.lastIndexOf('\n') + 1).split('\n');
        if (lines.size() < 2)
            continue;
        const QList<QByteArray> header = lines.takeFirst().trimmed().split(',');
        for (const QByteArray &line : std::as_const(lines)) {
            const QList<QByteArray> values = line.trimmed().split(',');
            if (values.size() != header.size())
                continue;
            QHash<QString, QString> row;
            for (qsizetype i = 0; i < header.size(); ++i)
                row.insert(QString::fromUtf8(header[i]), QString::fromUtf8(values[i]));
            if (student.isEmpty() || row.value(QStringLiteral("student")) == student)
                rows.append(row);
        }
    }
    return rows;
}

// From the start screen to a drill of the "+7" facts, vertical, 0 to 9, and
// through its first `facts` facts, by key presses. Each new fact is first
// answered 1, which no "+7" fact has; the answer log then tells the fact, and
// it is answered right when asked again. Returns why it could not, or empty.
inline QString answerPartOfADrill(const XKeyboard &keys, const QString &folder, int facts,
                                  const QString &student = QStringLiteral("Ann Lee"))
{
    if (!keys.waitForFocus(QStringLiteral("Brevandi Plovista")))
        return QStringLiteral("the start screen never took the keyboard");
    keys.type(student);
    keys.press({QStringLiteral("Return")});
    if (!keys.waitForFocus(QStringLiteral("Main Menu")))
        return QStringLiteral("the Main Menu never took the keyboard");
    keys.press({QStringLiteral("Up"), QStringLiteral("Return")}); // Multiplication up to Addition
    if (!keys.waitForFocus(QStringLiteral("Addition Menu")))
        return QStringLiteral("the Addition Menu never took the keyboard");
    // Vertical; 0 --> 12, then back to 0 --> 9; the fact family +7; Accept.
    keys.press({QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                QStringLiteral("space"), QStringLiteral("shift+Tab"), QStringLiteral("space"), QStringLiteral("Tab"),
                QStringLiteral("Tab"), QStringLiteral("Right"), QStringLiteral("Return")});
    if (!keys.waitForFocus(QStringLiteral("Vertical Mode,  Range: 0 --> 9")))
        return QStringLiteral("the drill window never took the keyboard");
    keys.press({QStringLiteral("Return")}); // Start

    for (int typed = 0; typed < 4 * facts; ++typed) {
        const QList<QHash<QString, QString>> rows = loggedAnswers(folder, student);
        const auto firstTries = std::count_if(rows.begin(), rows.end(), [](const QHash<QString, QString> &row) {
            return row.value(QStringLiteral("first_try")) == QLatin1String("1");
        });
        const bool missed = !rows.isEmpty() && rows.back().value(QStringLiteral("correct")) == QLatin1String("0");
        if (firstTries >= facts && !missed)
            return {};
        keys.type(missed ? rows.back().value(QStringLiteral("expected")) : QStringLiteral("1"));
        keys.press({QStringLiteral("Return")});
        // Keys typed while the window pauses after an answer (1 s after a
        // right one, 2 s after a wrong one) are thrown away.
        for (int i = 0; i < 60 && loggedAnswers(folder, student).size() == rows.size(); ++i)
            QTest::qWait(50);
        QTest::qWait(2300);
    }
    return QStringLiteral("the drill did not take the answers typed");
}

} // namespace plovista::test
