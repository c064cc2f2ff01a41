#pragma once

#include <QString>
#include <optional>

namespace plovista {

// The password file hides its five characters among six filler blocks:
// positions 6, 12, 18, 24 and 30 of a 35-character line hold the password.
QString passwordLine(const QString &password);
// The password stored in a line; empty when the line is too short to hold one.
std::optional<QString> passwordFromLine(const QString &line);

// Why a new password could never be matched once stored, in words for the
// teacher; empty when it can be kept. The file's reading rule ends its field
// at a comma, and a character the file's code page cannot hold is stored as
// another: either would lock the teacher out.
std::optional<QString> newPasswordProblem(const QString &password);

} // namespace plovista
