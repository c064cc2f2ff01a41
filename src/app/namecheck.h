#pragma once

#include <QString>
#include <optional>

namespace plovista {

// The teacher's access code, compared exactly.
inline const QString AccessCode = QStringLiteral("kq");

// True when a key typed into the name box may reach it: Backspace, the blank,
// the period and the letters A-Z, a-z.
bool nameKeyAllowed(char32_t code);

struct NameRejection
{
    int rule = 0;
    QString spoken;
    QString boxText; // empty when the rule is told by speech alone
    // The box's title; a rule told by speech alone shows its spoken text
    // under it when no channel speaks.
    QString title;
};

// The first of the name rules that the name breaks; empty for a good name.
std::optional<NameRejection> checkName(const QString &name);

// The characters before the first blank (all of the name when it has none).
QString firstNameOf(const QString &name);

} // namespace plovista
