// What a screen reader receives from the program over AT-SPI, heard by a real
// client (the system python's pyatspi) on a desktop of the test's own:
// screenreader.sh starts the X server, the session bus and the accessibility
// bus, and skips the test where one of them cannot start.

#include "app/announcer.h"
#include "drill/factsproblems.h"
#include "support/harness.h"
#include "support/realprogram.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEventLoop>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace plovista;
using namespace plovista::test;

namespace {

// Long enough for a sanitized build on a busy machine; no check on speed.
constexpr int Patience = 60000;

// Waits in an event loop of its own, so the program answers the client's
// questions at once, as it does in its own loop, until `done` or Patience.
bool waitUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(Patience, &loop, &QEventLoop::quit);
    poll.start(5);
    if (!done())
        loop.exec();
    return done();
}

// The client's lines, as they come.
class Client
{
public:
    bool start()
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine()) {
                const QJsonObject line = QJsonDocument::fromJson(m_process.readLine()).object();
                if (line.value(QLatin1String("type")) == QLatin1String("ready"))
                    m_ready = true;
                else
                    m_events << line;
            }
        });
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(ATSPI_CLIENT)});
        return m_process.waitForStarted(Patience) && waitUntil([this] { return m_ready; });
    }
    ~Client()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(10000);
    }

    // The names of the notifications heard, in order, each as it showed. The
    // bus may tell a client of one change more than once: a repeat of the
    // last is not another notification.
    QStringList notifications() const
    {
        QStringList names;
        for (const QJsonObject &event : m_events) {
            const QString type = event.value(QLatin1String("type")).toString();
            const bool shows = type == QLatin1String("object:state-changed:showing") &&
                event.value(QLatin1String("detail1")).toInt() == 1;
            if (event.value(QLatin1String("role")) == QLatin1String("notification") && shows &&
                event.value(QLatin1String("app")) == QCoreApplication::applicationName()) {
                const QString name = event.value(QLatin1String("name")).toString();
                if (names.isEmpty() || names.constLast() != name)
                    names << name;
            }
        }
        return names;
    }
    bool heard(const QString &notification)
    {
        return waitUntil([&] { return notifications().contains(notification); });
    }
    void forget() { m_events.clear(); }

private:
    QProcess m_process;
    bool m_ready = false;
    QList<QJsonObject> m_events;
};

template<typename T>
T *control(Harness &h, const char *window, const char *name)
{
    return h.findIn<T>(QLatin1String(window), QLatin1String(name));
}

QString shownFact(Harness &h)
{
    return control<QLabel>(h, "FactsProblems", "FactsVariable")->text() + QStringLiteral(" times ") +
        control<QLabel>(h, "FactsProblems", "FactsConstant")->text();
}

int shownAnswer(Harness &h)
{
    return control<QLabel>(h, "FactsProblems", "FactsVariable")->text().toInt() *
        control<QLabel>(h, "FactsProblems", "FactsConstant")->text().toInt();
}

void answer(Harness &h, int value)
{
    auto *box = control<QLineEdit>(h, "FactsProblems", "Text1");
    QTest::keyClicks(box, QString::number(value));
    QTest::keyClick(box, Qt::Key_Return);
}

// The accessibility bus, to ask an application what a client asks.
QDBusConnection accessibilityBus()
{
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                       QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
    return QDBusConnection::connectToBus(reply.arguments().value(0).toString(), QStringLiteral("test client"));
}

QDBusMessage call(QDBusConnection &bus, const QString &service, const QString &path, const QString &interface,
                  const QString &method, const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, Patience);
}

} // namespace

class TestScreenReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") ||
            !qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
            QSKIP("Runs on the desktop screenreader.sh sets up");
        QVERIFY2(m_client.start(), "the AT-SPI client did not start listening");
        // The client listens once the program knows it does: a line told
        // until it is heard.
        QWidget window;
        Announcer probe(QStringLiteral("Probe"), &window);
        window.show();
        QTimer again;
        connect(&again, &QTimer::timeout, &probe, [&probe] { probe.announce(QStringLiteral("Are you there?")); });
        again.start(200);
        QVERIFY(waitUntil([this] { return !m_client.notifications().isEmpty(); }));
    }

    // Each fact as it goes up, and the verdict on each answer, reach the
    // screen reader as notifications, as the student sees them.
    void theDrillAnnouncesEachFactAndEachVerdict()
    {
        Harness h;
        h.start();
        auto *name = control<QLineEdit>(h, "Company", "Text1");
        // With a screen reader listening, Qt hands each key to it first and
        // takes it back from the bus: keys land a moment after they are typed.
        QTest::keyClicks(name, QStringLiteral("Ann Lee"));
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(waitUntil(
            [&] { return h.window(QStringLiteral("MainMenu")) && h.window(QStringLiteral("MainMenu"))->isVisible(); }));
        control<QPushButton>(h, "MainMenu", "AcceptButt")->click();
        control<QRadioButton>(h, "ChooseMenuMF", "Option7")->setChecked(true);
        control<QPushButton>(h, "ChooseMenuMF", "AcceptButt")->click();
        m_client.forget();

        QStringList expected;
        // Waits for what one press tells, and checks all told so far.
        const auto told = [&](qsizetype more) {
            return waitUntil([&] { return m_client.notifications().size() >= expected.size() + more; });
        };
        auto *button = control<QPushButton>(h, "FactsProblems", "NextProbButt");
        QTest::keyClick(button, Qt::Key_Return);
        QVERIFY(told(1));
        expected << shownFact(h);
        QCOMPARE(m_client.notifications(), expected);
        for (int fact = 1; fact <= 10; ++fact) {
            const QString shown = shownFact(h);
            if (fact == 2) {
                // The correction, and the fact asked again.
                answer(h, shownAnswer(h) + 1);
                QVERIFY(told(2));
                expected << QStringLiteral("Wrong. %1 is %2.").arg(shown).arg(shownAnswer(h)) << shown;
                QCOMPARE(m_client.notifications(), expected);
            }
            answer(h, shownAnswer(h));
            QVERIFY(told(2));
            expected << QStringLiteral("Right.") << (fact < 10 ? shownFact(h) : QStringLiteral("Get your score."));
            QCOMPARE(m_client.notifications(), expected);
        }
    }

    // A client that asks an accessible object for all its properties at
    // once gets an error, and the program goes on answering.
    void theProgramSurvivesAskingForAllProperties()
    {
        QTemporaryDir folder;
        RealProgram program(folder.path(), qEnvironmentVariable("DISPLAY"), QStringLiteral("xcb"));
        QDBusConnection bus = accessibilityBus();
        QVERIFY(bus.isConnected());
        const QString accessible = QStringLiteral("org.a11y.atspi.Accessible");
        const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");

        // The program's connection to the bus, found by its process, and
        // the start screen, once the program has put it up.
        const QString root = QStringLiteral("/org/a11y/atspi/accessible/root");
        QString service;
        QString window;
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QDBusMessage names =
                    call(bus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                         QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"));
                for (const QString &name : names.arguments().value(0).toStringList()) {
                    const QDBusMessage pid = call(
                        bus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"), {name});
                    if (name.startsWith(QLatin1Char(':')) && pid.arguments().value(0).toLongLong() == program.pid())
                        service = name;
                }
                if (!service.isEmpty()) {
                    const QDBusMessage child =
                        call(bus, service, root, accessible, QStringLiteral("GetChildAtIndex"), {0});
                    if (child.type() == QDBusMessage::ReplyMessage) {
                        const QDBusArgument reference = child.arguments().value(0).value<QDBusArgument>();
                        QString name;
                        QDBusObjectPath path;
                        reference.beginStructure();
                        reference >> name >> path;
                        reference.endStructure();
                        window = path.path();
                    }
                }
                return window.startsWith(QLatin1String("/org/a11y/atspi/accessible/")) || !program.running();
            },
            Patience));
        QVERIFY2(!window.isEmpty(), "the program's start screen never showed up on the accessibility bus");

        for (const QString &path : {window, root}) {
            const QDBusMessage all = call(bus, service, path, properties, QStringLiteral("GetAll"), {accessible});
            // The program that crashes on it leaves the call without an answer.
            QVERIFY2(all.errorName() != QLatin1String("org.freedesktop.DBus.Error.NoReply"),
                     qPrintable(QStringLiteral("no answer to GetAll at ") + path));
            QCOMPARE(all.type(), QDBusMessage::ErrorMessage);
            QCOMPARE(all.errorName(), QStringLiteral("org.freedesktop.DBus.Error.NotSupported"));
        }
        QVERIFY(program.running());
        const QDBusMessage name =
            call(bus, service, window, properties, QStringLiteral("Get"), {accessible, QStringLiteral("Name")});
        QCOMPARE(name.arguments().value(0).value<QDBusVariant>().variant().toString(),
                 QStringLiteral("Brevandi Plovista"));
        QDBusConnection::disconnectFromBus(bus.name());
    }

private:
    Client m_client;
};

QTEST_MAIN(TestScreenReader)
#include "test_screenreader.moc"
