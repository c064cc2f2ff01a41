#pragma once

#include "platform/systeminfo.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace plovista {

struct AppState;
class SettingsStore;

struct VersionClass
{
    QString code; // "VA", "XP" or empty
    bool xpStyle = false;
};

// Vista is tested first and XP second; a later match wins.
VersionClass classifyVersion(const std::optional<OsVersion> &os);

int perchTopFor(const QString &perchStyle);

// The spoken name for what "PName" holds: the keyword leaves it to the
// student's first name, anything else is the teacher's custom name.
QString spokenNameFrom(const QString &pnameField, const QString &firstName);

// Creates the folders and every missing settings file and reads them all into
// the state, in the start-up order. A file created now gives its default,
// even when it could not be written; a file that cannot be read leaves its
// value as it was. Returns one short line for each folder that could not be
// made and for each reason files could not be written.
QStringList loadSettings(const SettingsStore &store, AppState &state);

// Removes the new files of writes that a crash or a kill interrupted from the
// folders the program writes to: "Files", "SDat" and the working folder.
void sweepInterruptedWrites(const SettingsStore &store);

} // namespace plovista
