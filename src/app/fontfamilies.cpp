#include "app/fontfamilies.h"

#include <QFontDatabase>

namespace plovista {

QStringList installedFirst(const QStringList &families)
{
    const QStringList installed = QFontDatabase::families();
    QStringList found;
    QStringList missing;
    for (const QString &family : families)
        (installed.contains(family, Qt::CaseInsensitive) ? found : missing) << family;
    return found + missing;
}

} // namespace plovista
