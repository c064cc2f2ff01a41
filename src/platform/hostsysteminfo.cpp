#include "platform/hostsysteminfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QOperatingSystemVersion>
#include <QSysInfo>

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

QString HostSystemInfo::computerName()
{
    const QString host = QSysInfo::machineHostName();
    if (!host.isEmpty())
        return host;
    // Without a host name, the machine's own identifier still tells the
    // computers of a room apart.
    const QByteArray id = QSysInfo::machineUniqueId();
    return id.isEmpty() ? QStringLiteral("computer") : QString::fromLatin1(id.left(12));
}

} // namespace plovista
