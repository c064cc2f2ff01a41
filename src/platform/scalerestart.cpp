#include "platform/scalerestart.h"

#include "app/windowplacement.h"

#include <QScreen>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace plovista {

namespace {

// Set for the program started again: the QT_SCALE_FACTOR it was started with,
// or "-" for none.
constexpr char ScaledFrom[] = "PLOVISTA_SCALED_FROM";
constexpr char ScaleFactor[] = "QT_SCALE_FACTOR";
constexpr int AssumedPanelHeight = 32;

} // namespace

void fitScaleToScreen(std::unique_ptr<QApplication> &application, const std::vector<char *> &arguments, int &argc,
                      char **argv)
{
    if (qEnvironmentVariableIsSet(ScaledFrom)) {
        // Started again: once only, and the variables as they were.
        const QByteArray before = qgetenv(ScaledFrom);
        if (before == "-")
            qunsetenv(ScaleFactor);
        else
            qputenv(ScaleFactor, before);
        qunsetenv(ScaledFrom);
        return;
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QSize available = screen->availableGeometry().size();
    // A Wayland compositor tells its clients nothing of its panels, nor does
    // one to XWayland's programs, and places the window below them: where
    // no panel is told, a bar as high as GNOME's top bar and weston's panel
    // (32 pixels) is taken to be there.
    if (available == screen->size())
        available.rheight() -= AssumedPanelHeight;
    std::optional<double> factor = scaleToFit(available);
    // Qt draws a window scaled below one pixel a pixel only in part (the start
    // screen's panel stayed blank under XWayland), so the program is never
    // made smaller than that; where the screen is too small even so, its
    // windows stay as they are.
    if (factor)
        factor = std::max(*factor, 1.0 / screen->devicePixelRatio());
    if (!factor || *factor >= 1.0)
        return;
    const QByteArray before = qgetenv(ScaleFactor);
    bool set = false;
    const double scale = before.toDouble(&set);
    const double wanted = (set && scale > 0 ? scale : 1.0) * *factor;
    application.reset();
    qputenv(ScaledFrom, before.isEmpty() ? QByteArray("-") : before);
    qputenv(ScaleFactor, QByteArray::number(wanted, 'g', 6));
    ::execv("/proc/self/exe", arguments.data());
    // Not started again: this one goes on at the desktop's scale.
    qputenv(ScaleFactor, before);
    if (before.isEmpty())
        qunsetenv(ScaleFactor);
    qunsetenv(ScaledFrom);
    application = std::make_unique<QApplication>(argc, argv);
}

} // namespace plovista
