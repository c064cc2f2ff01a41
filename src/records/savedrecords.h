#pragma once

#include "settings/textfile.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace plovista {

// The saved record files: copies of the current records under names the
// teacher types, in the folder "SDat" of the working folder.

inline constexpr qsizetype MaxSavedNameLength = 64;

// The characters of a file name before its first point (all of them when it
// has none).
QString fileBaseName(const QString &name);

// A name the teacher typed, as it becomes a file name: blanks around it go.
QString savedNameFromTyped(const QString &typed);

struct NameProblem
{
    QString text;
    QString title;
};
// Why a typed name cannot name a saved file inside "SDat"; empty when it can.
// Names that would leave the folder, hide the file, or not survive the
// records' code page are refused, each with its own words.
std::optional<NameProblem> savedNameProblem(const QString &name);

// The files of the folder, sorted by name as a teacher reads a list. Hidden
// files are left out: no saved name begins with a point, and a save under
// way writes its new file under such a name.
QStringList savedRecordFiles(const QString &folder);

// Copies a records file byte for byte into a new or replaced file. The copy
// is written beside its target and renamed into place, so a failure leaves
// both the source and an older file of that name as they were. A source that
// does not exist yet copies as an empty file.
WriteResult copyRecordsFile(const QString &from, const QString &to);

// Gives a file a new name in the same folder; never replaces another file.
WriteResult renameRecordsFile(const QString &from, const QString &to);

WriteResult removeRecordsFile(const QString &path);

} // namespace plovista
