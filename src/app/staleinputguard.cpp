#include "app/staleinputguard.h"

#include "platform/clock.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace plovista {

StaleInputGuard::StaleInputGuard(QWidget &window, Clock &clock)
    : QObject(&window)
    , m_window(window)
    , m_clock(clock)
    , m_shownAt(clock.monotonic())
{
    qApp->installEventFilter(this);
}

void StaleInputGuard::guard(QWidget &window, Clock &clock)
{
    new StaleInputGuard(window, clock);
    // A round trip to the window system: everything the user did before the
    // window was shown arrives now, while the window is settling.
    QGuiApplication::sync();
}

void StaleInputGuard::release()
{
    qApp->removeEventFilter(this);
    deleteLater();
}

bool StaleInputGuard::settling()
{
    return m_clock.monotonic() - m_shownAt < Settle;
}

bool StaleInputGuard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        // A repeat is of a key held down from before: no key has been
        // pressed afresh yet, or the guard would be gone.
        if (settling() || static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
            // An override taken as the focused control's own fires no shortcut.
            event->accept();
            return true;
        }
        release();
        return false;
    case QEvent::KeyRelease:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!settling())
            return false;
        m_droppedButtons |= static_cast<QMouseEvent *>(event)->button();
        return true;
    case QEvent::MouseButtonRelease: {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (!(m_droppedButtons & button))
            return false;
        m_droppedButtons &= ~button;
        return true;
    }
    case QEvent::Hide:
        if (watched == &m_window)
            release();
        return false;
    default:
        return false;
    }
}

} // namespace plovista
