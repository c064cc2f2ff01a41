#pragma once

#include <QString>
#include <optional>

namespace plovista {

// The password file hides its five characters among six filler blocks:
// positions 6, 12, 18, 24 and 30 of a 35-character line hold the password.
QString passwordLine(const QString &password);
// The password stored in a line; empty when the line is too short to hold one.
std::optional<QString> passwordFromLine(const QString &line);

} // namespace plovista
