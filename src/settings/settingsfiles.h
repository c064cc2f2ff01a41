#pragma once

#include <QString>
#include <vector>

namespace plovista {

struct SettingsFile
{
    QString name;
    QString defaultValue;
    bool rewriteWhenEmpty = false; // only "Perch" and "Facts" are restored from zero bytes
    bool emptyFile = false; // "PGreet" starts as a file of zero bytes
};

// The twenty-one settings files with their defaults, in the order start-up
// ensures them. The perch default depends on the desktop's style.
std::vector<SettingsFile> settingsFiles(bool xpStyle);

} // namespace plovista
