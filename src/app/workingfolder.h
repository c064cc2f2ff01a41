#pragma once

#include <QString>
#include <optional>

namespace plovista {

// What keeps the program from keeping records in its working folder: told at
// start in one box, never found at the end of a drill.
struct FolderProblem
{
    QString text; // the box's text: the folder, why, and the fix
    bool canRun = true; // false when the folder cannot be opened at all
};

// Checks that this user can make and change files in the working folder: the
// folder itself, the folders the program keeps its files in ("Files", "SDat",
// "Log") and the records file appended in place, where they exist. Empty when
// all is well. In a class folder, which an administrator set for the members
// of its group, the fix names that group.
std::optional<FolderProblem> workingFolderProblem(const QString &folder, bool classFolder);

} // namespace plovista
