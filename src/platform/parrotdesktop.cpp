#include "platform/librarysymbols.h"
#include "platform/parrotcharacter.h"
#include "platform/parrotwindow.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

namespace plovista {

namespace {

// Xlib's few calls this needs, from the library Qt's X connection already
// loaded; nothing of it where the session is not X.
struct Xlib
{
    using InternAtom = unsigned long (*)(void *display, const char *name, int onlyIfExists);
    using GetSelectionOwner = unsigned long (*)(void *display, unsigned long selection);
    using DefaultScreen = int (*)(void *display);
    InternAtom internAtom = nullptr;
    GetSelectionOwner getSelectionOwner = nullptr;
    DefaultScreen defaultScreen = nullptr;
};

const Xlib *xlib()
{
    static const std::optional<Xlib> loaded = []() -> std::optional<Xlib> {
        LibrarySymbols library(QStringLiteral("X11"), 6);
        Xlib x;
        library.resolve(x.internAtom, "XInternAtom");
        library.resolve(x.getSelectionOwner, "XGetSelectionOwner");
        library.resolve(x.defaultScreen, "XDefaultScreen");
        if (!library.all())
            return std::nullopt;
        return x;
    }();
    return loaded ? &*loaded : nullptr;
}

// A compositing manager on X owns _NET_WM_CM_S<screen> while it runs.
bool x11Compositing()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    void *display = x11 ? static_cast<void *>(x11->display()) : nullptr;
    const Xlib *x = display ? xlib() : nullptr;
    if (!x)
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(x->defaultScreen(display));
    const unsigned long selection = x->internAtom(display, name.constData(), 0);
    return selection != 0 && x->getSelectionOwner(display, selection) != 0;
}

bool isPerch(const QWidget *window)
{
    return window && window->isVisible() && window->windowType() == Qt::Window &&
        !qobject_cast<const ParrotWindow *>(window);
}

// The program's windows in the order they were last shown, newest last: what
// is in front where the window system does not say.
class ShownWindows final : public QObject
{
public:
    ShownWindows() { qApp->installEventFilter(this); }

    QWidget *newestShown()
    {
        for (auto it = m_shown.crbegin(); it != m_shown.crend(); ++it) {
            if (isPerch(*it))
                return *it;
        }
        return nullptr;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *window = static_cast<QWidget *>(watched);
            if (window->isWindow()) {
                m_shown.removeAll(window);
                m_shown.removeAll(nullptr);
                m_shown.append(window);
            }
        }
        return false;
    }

private:
    QList<QPointer<QWidget>> m_shown;
};

// The program's window in front; a message box or other small dialog over a
// window is no perch, the window it belongs to is. With none active (the
// compositor gives the focus late, or to nobody), the one shown last.
QWidget *frontWindow(ShownWindows &shown)
{
    QWidget *window = QApplication::activeWindow();
    while (window && window->windowType() == Qt::Dialog && window->parentWidget())
        window = window->parentWidget()->window();
    if (isPerch(window))
        return window;
    return shown.newestShown();
}

} // namespace

ParrotDesktop ParrotDesktop::ofThisSession()
{
    ParrotDesktop desktop;
    const QString platform = QGuiApplication::platformName();
    // A Wayland client has no say where its top-levels go; every Wayland
    // compositor blends, but Peedy is inside another window there anyway.
    // Nor, on a Wayland session, has an X client: the compositor places
    // XWayland's windows too (weston put his at the screen's corner, in a
    // frame of its own), so there he is inside the program's windows as well.
    const bool waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    desktop.placesTopLevels =
        !platform.startsWith(QLatin1String("wayland")) && !(platform == QLatin1String("xcb") && waylandSession);
    if (platform == QLatin1String("xcb"))
        desktop.compositing = x11Compositing;
    if (!desktop.placesTopLevels && qApp) {
        auto shown = std::make_shared<ShownWindows>();
        desktop.perchWindow = [shown] { return frontWindow(*shown); };
    }
    return desktop;
}

} // namespace plovista
