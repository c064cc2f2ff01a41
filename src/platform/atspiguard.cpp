#include "platform/atspiguard.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QTimer>

namespace plovista {

namespace {

// Where Qt's bridge answers for every accessible object, on the connection
// it names "a11y".
const QString BridgeConnection = QStringLiteral("a11y");
const QString BridgePath = QStringLiteral("/org/a11y/atspi/accessible");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");

class PropertiesCallFilter final : public QDBusVirtualObject
{
public:
    PropertiesCallFilter(QDBusVirtualObject *bridge, QObject *parent)
        : QDBusVirtualObject(parent)
        , m_bridge(bridge)
    { }

    QString introspect(const QString &path) const override { return m_bridge->introspect(path); }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        // The bridge takes the interface and the property from the first two
        // arguments of any Properties call without counting them.
        if (message.interface() == Properties && message.arguments().size() < 2) {
            connection.send(message.createErrorReply(
                QDBusError::NotSupported,
                QStringLiteral("Ask for the properties one by one with Get; GetAll is not answered here.")));
            return true;
        }
        return m_bridge->handleMessage(message, connection);
    }

private:
    QDBusVirtualObject *m_bridge;
};

} // namespace

AtSpiGuard::AtSpiGuard(QObject *parent)
    : QObject(parent)
{
    QAccessible::installActivationObserver(this);
    if (QAccessible::isActive())
        accessibilityActiveChanged(true);
}

AtSpiGuard::~AtSpiGuard()
{
    QAccessible::removeActivationObserver(this);
}

void AtSpiGuard::accessibilityActiveChanged(bool active)
{
    // The bridge registers its objects right after it tells the observers.
    if (active && !m_guarding)
        QTimer::singleShot(0, this, &AtSpiGuard::standGuard);
}

void AtSpiGuard::standGuard()
{
    QDBusConnection connection(BridgeConnection);
    if (m_guarding || !connection.isConnected())
        return;
    auto *bridge = qobject_cast<QDBusVirtualObject *>(connection.objectRegisteredAt(BridgePath));
    if (!bridge)
        return;
    connection.unregisterObject(BridgePath, QDBusConnection::UnregisterNode);
    auto *filter = new PropertiesCallFilter(bridge, this);
    m_guarding = connection.registerVirtualObject(BridgePath, filter, QDBusConnection::SubPath);
    if (!m_guarding) {
        delete filter;
        connection.registerVirtualObject(BridgePath, bridge, QDBusConnection::SubPath);
    }
}

} // namespace plovista
