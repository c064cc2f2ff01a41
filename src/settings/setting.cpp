#include "settings/setting.h"

#include "settings/numbertext.h"
#include "settings/settingsstore.h"
#include "teacher/passwordfile.h"

namespace plovista::formats {

std::optional<QString> readFirstField(const QString &fileText)
{
    if (fileText.isEmpty())
        return std::nullopt;
    return firstField(fileText);
}

std::optional<bool> readSwitch(const QString &fileText)
{
    const std::optional<QString> field = readFirstField(fileText);
    return field ? parseSwitch(*field) : std::nullopt;
}

std::optional<int> readWholeNumber(const QString &fileText)
{
    const std::optional<QString> field = readFirstField(fileText);
    return field ? parseWholeNumber(*field) : std::nullopt;
}

std::optional<QString> readJoinedLines(const QString &fileText)
{
    QString text = fileText;
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

std::optional<QString> readPassword(const QString &fileText)
{
    const std::optional<QString> field = readFirstField(fileText);
    return field ? passwordFromLine(*field) : std::nullopt;
}

QString textLine(const QString &value)
{
    return value;
}

QString switchLine(const bool &on)
{
    return formatSwitch(on);
}

QString wholeNumberLine(const int &value)
{
    return formatWholeNumber(value);
}

QString passwordFileLine(const QString &password)
{
    return plovista::passwordLine(password);
}

} // namespace plovista::formats
