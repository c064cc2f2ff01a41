#include "app/staleinputguard.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

namespace plovista {

StaleInputGuard::StaleInputGuard(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

void StaleInputGuard::guard(QWidget &window)
{
    auto *guard = new StaleInputGuard(window);
    // A round trip to the window system: everything the user did before the
    // window was shown arrives now and is dropped.
    QGuiApplication::sync();
    guard->m_draining = false;
}

void StaleInputGuard::release()
{
    qApp->removeEventFilter(this);
    deleteLater();
}

bool StaleInputGuard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (!m_draining && !static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
            release();
            return false;
        }
        return true;
    case QEvent::KeyRelease:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return m_draining;
    case QEvent::Hide:
        if (watched == &m_window)
            release();
        return false;
    default:
        return false;
    }
}

} // namespace plovista
