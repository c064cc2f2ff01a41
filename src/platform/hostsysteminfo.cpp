#include "platform/hostsysteminfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QOperatingSystemVersion>

namespace plovista {

std::optional<OsVersion> HostSystemInfo::version()
{
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    OsVersion v;
    v.nt = os.type() == QOperatingSystemVersion::Windows;
    v.major = os.majorVersion();
    v.minor = os.minorVersion();
    v.build = os.microVersion();
    return v;
}

QString HostSystemInfo::systemFolder()
{
    // Installed: <prefix>/lib/plovista/plovista, the data in <prefix>/share/plovista.
    // Build tree: build/plovista beside build/share/plovista.
    const QDir exe(QCoreApplication::applicationDirPath());
    const QString installed = QDir::cleanPath(exe.filePath(QStringLiteral(PLOVISTA_DATA_RELATIVE)));
    if (QDir(installed).exists())
        return installed;
    return QDir::cleanPath(exe.filePath(QStringLiteral("share/plovista")));
}

} // namespace plovista
