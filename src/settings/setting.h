#pragma once

#include <QLatin1StringView>
#include <QString>

#include <optional>
#include <variant>

namespace plovista {

// How one kind of value stands in its settings file: the reading rule, from
// the whole text of the file, and the line the value is written as (the
// file holds that line and CR LF).
template<typename T>
struct SettingFormat
{
    // Empty when the file does not hold a value of this kind: the setting
    // then keeps the value it had.
    std::optional<T> (*read)(const QString &fileText) = nullptr;
    QString (*line)(const T &value) = nullptr;
};

// One setting: its file in "Files", how the file holds it and what a missing
// file is created with. Declared once, in settings/settingkeys.h; windows
// and rules read and write the setting through its key.
template<typename T>
struct Setting
{
    using Value = T;

    const char *file = nullptr;
    SettingFormat<T> format;
    T defaultValue {};
    // The default on a desktop of the XP style, where it differs.
    std::optional<T> xpStyleDefault;
    // A file of zero bytes is taken as missing and created again.
    bool restoredWhenEmpty = false;
    // A missing file is created with zero bytes, not with the default's line.
    bool createdEmpty = false;
    // What start-up makes of the value it read (or kept), where the rest of
    // the program relies on a range.
    T (*settle)(T value) = nullptr;

    QLatin1StringView name() const { return QLatin1StringView(file); }
    T defaultFor(bool xpStyle) const { return xpStyle && xpStyleDefault ? *xpStyleDefault : defaultValue; }
};

// The values settings hold: text, a switch or a whole number.
using SettingValue = std::variant<QString, bool, int>;
// Any key, for what goes through every setting alike (start-up, a list of
// writes).
using AnySetting = std::variant<const Setting<QString> *, const Setting<bool> *, const Setting<int> *>;

// The formats of the settings files.
namespace formats {

std::optional<QString> readFirstField(const QString &fileText);
std::optional<bool> readSwitch(const QString &fileText);
std::optional<int> readWholeNumber(const QString &fileText);
std::optional<QString> readJoinedLines(const QString &fileText);
std::optional<QString> readPassword(const QString &fileText);
QString textLine(const QString &value);
QString switchLine(const bool &on);
QString wholeNumberLine(const int &value);
QString passwordFileLine(const QString &password);

// The first field of the file (settingsstore.h gives the rule).
inline constexpr SettingFormat<QString> Text {&readFirstField, &textLine};
// "True" or "False".
inline constexpr SettingFormat<bool> Switch {&readSwitch, &switchLine};
// A number with a blank before and after it (" 10 ").
inline constexpr SettingFormat<int> WholeNumber {&readWholeNumber, &wholeNumberLine};
// The whole file with its line ends removed, so lines run together; written
// as one line.
inline constexpr SettingFormat<QString> JoinedLines {&readJoinedLines, &textLine};
// The teacher's password hidden in its padded line (teacher/passwordfile.h).
inline constexpr SettingFormat<QString> Password {&readPassword, &passwordFileLine};

} // namespace formats

} // namespace plovista
