#include "platform/desktopshell.h"

#include <QDesktopServices>
#include <QUrl>

namespace plovista {

bool DesktopShell::open(const QString &url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

} // namespace plovista
