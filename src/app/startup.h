#pragma once

#include "platform/display.h"
#include "platform/systeminfo.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace plovista {

class Settings;

struct VersionClass
{
    QString code; // "VA", "XP" or empty
    bool xpStyle = false;
};

// Vista is tested first and XP second; a later match wins.
VersionClass classifyVersion(const std::optional<OsVersion> &os);

// The spoken name for what the custom-name setting holds: "AllowUserName"
// leaves it to the student's first name, anything else is the teacher's
// custom name.
QString spokenNameFrom(const QString &customName, const QString &firstName);

// What start-up found that is no setting, for the rest of the run.
struct StartupFacts
{
    DisplayMode startDisplayMode; // restored at the end; width 0 when it could not be read
    QString windowsVersionCode; // "XP", "VA" or empty
    bool xpStyle = false; // the desktop's style: Peedy's perch and its menu item
    bool peedyMissing = false; // his drawing is not installed
    QString baseGreeting; // the greeting of the rows that use it, composed at start
};

// What reading the settings at start-up gives besides the settings.
struct SettingsAtStart
{
    // One short line for each folder that could not be made and for each
    // reason files could not be written.
    QStringList failures;
    QString baseGreeting;
    QString spokenName; // before any student has typed a name
};

// Creates the folders and every missing settings file and reads them all, in
// the start-up order. A file created now gives its default, even when it could
// not be written; a file that cannot be read leaves its value as it was.
SettingsAtStart loadSettings(Settings &settings, bool xpStyle);

// Removes the new files of writes that a crash or a kill interrupted from the
// folders the program writes to: "Files", "SDat" and the working folder.
void sweepInterruptedWrites(const Settings &settings);

} // namespace plovista
