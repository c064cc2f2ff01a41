#pragma once

#include <QAccessible>
#include <QObject>

namespace plovista {

// Keeps a screen reader's bridge from bringing the program down. Qt 6.4's
// AT-SPI bridge reads a second argument of every D-Bus Properties call to an
// accessible object; Properties.GetAll has one, and the program crashes on
// it. Once the bridge is up, the guard stands in front of it: such a call is
// answered with an error, every other call goes on to the bridge unchanged.
// Nothing is done where the bridge never starts (no accessibility bus).
class AtSpiGuard final : public QObject, public QAccessible::ActivationObserver
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AtSpiGuard)
public:
    explicit AtSpiGuard(QObject *parent = nullptr);
    ~AtSpiGuard() override;

    // Whether the guard stands in front of the bridge now.
    bool guarding() const { return m_guarding; }

    void accessibilityActiveChanged(bool active) override;

private:
    void standGuard();

    bool m_guarding = false;
};

} // namespace plovista
