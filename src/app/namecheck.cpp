#include "app/namecheck.h"

namespace plovista {

namespace {

bool invalidCharacter(char32_t c)
{
    // Anything above 255 cannot be written to the records file, so it is as
    // invalid as the punctuation the rule lists.
    return c <= 31 || (c >= 33 && c <= 64) || (c >= 91 && c <= 96) || c >= 123;
}

NameRejection rejection(int rule)
{
    const QString capitalize = QStringLiteral("Capitalize Name");
    switch (rule) {
    case 1: {
        const QString text = QStringLiteral("Please type your first and last name.");
        return {1, text, text, QStringLiteral("Missing Name")};
    }
    case 2: {
        const QString text = QStringLiteral("Please begin your name with a capital letter.");
        return {2, text, text, capitalize};
    }
    case 3: {
        const QString text = QStringLiteral("Please begin your first name with a capital letter.");
        return {3, text, text, capitalize};
    }
    case 4:
        return {4, QStringLiteral("Your name is too short."), QString(), QStringLiteral("Name Too Short")};
    case 5:
        return {5, QStringLiteral("Your name has incorrect characters. Please fix it."),
                QStringLiteral("Your name has invalid characters. Please fix it."),
                QStringLiteral("Invalid Characters")};
    case 6: {
        const QString text = QStringLiteral("Please put a space between your first and last name.");
        return {6, text, text, QStringLiteral("Space Missing")};
    }
    case 7: {
        const QString text = QStringLiteral("Please begin your last name with a capital letter.");
        return {7, text, text, capitalize};
    }
    default: {
        const QString text = QStringLiteral("Please leave only one space between your first and last name.");
        return {8, text, text, capitalize};
    }
    }
}

} // namespace

bool nameKeyAllowed(char32_t code)
{
    return code == 8 || code == 32 || code == 46 || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}

std::optional<NameRejection> checkName(const QString &name)
{
    const std::u32string chars = name.toStdU32String();
    if (chars.empty())
        return rejection(1);
    const char32_t first = chars.front();
    if (first >= 91)
        return rejection(2);
    if (first <= 64)
        return rejection(3);
    if (chars.size() < 4)
        return rejection(4);
    for (const char32_t c : chars)
        if (invalidCharacter(c))
            return rejection(5);
    const auto lastBlank = chars.rfind(U' ');
    if (lastBlank == std::u32string::npos)
        return rejection(6);
    if (lastBlank + 1 < chars.size() && chars[lastBlank + 1] >= U'a' && chars[lastBlank + 1] <= U'z')
        return rejection(7);
    if (chars.find(U' ') != lastBlank)
        return rejection(8);
    return std::nullopt;
}

QString firstNameOf(const QString &name)
{
    const qsizetype blank = name.indexOf(QLatin1Char(' '));
    return blank < 0 ? name : name.left(blank);
}

} // namespace plovista
