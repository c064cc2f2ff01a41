#include "settings/settingsstore.h"

#include <QDir>
#include <QFileInfo>

namespace plovista {

QString firstField(const QString &line)
{
    qsizetype i = 0;
    while (i < line.size() && line[i] == QLatin1Char(' '))
        ++i;
    const auto endsField = [&line](qsizetype at, QChar mark) {
        return line[at] == mark || line[at] == QLatin1Char('\r') || line[at] == QLatin1Char('\n');
    };
    if (i < line.size() && line[i] == QLatin1Char('"')) {
        qsizetype close = i + 1;
        while (close < line.size() && !endsField(close, QLatin1Char('"')))
            ++close;
        return line.mid(i + 1, close - i - 1);
    }
    qsizetype end = i;
    while (end < line.size() && !endsField(end, QLatin1Char(',')))
        ++end;
    QString field = line.mid(i, end - i);
    while (field.endsWith(QLatin1Char(' ')))
        field.chop(1);
    return field;
}

std::optional<bool> parseSwitch(const QString &field)
{
    if (field.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || field == QLatin1String("#TRUE#"))
        return true;
    if (field.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || field == QLatin1String("#FALSE#"))
        return false;
    return std::nullopt;
}

std::optional<int> parseWholeNumber(const QString &field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    if (!ok || value < -32768 || value > 32767)
        return std::nullopt;
    return value;
}

SettingsStore::SettingsStore(QString workingFolder)
    : m_root(std::move(workingFolder))
{ }

QString SettingsStore::filesFolder() const
{
    return m_root + QStringLiteral("/Files");
}

QString SettingsStore::pathOf(const QString &name) const
{
    QString file = name;
    file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (file.startsWith(QLatin1String("Files/")))
        file = file.mid(6);
    return filesFolder() + QLatin1Char('/') + file;
}

bool SettingsStore::ensureFolders() const
{
    QDir root(m_root);
    const bool files = root.exists(QStringLiteral("Files")) || root.mkpath(QStringLiteral("Files"));
    const bool sdat = root.exists(QStringLiteral("SDat")) || root.mkpath(QStringLiteral("SDat"));
    return files && sdat;
}

WriteResult SettingsStore::ensure(const QString &name, const QString &defaultValue, bool alsoWhenEmpty) const
{
    const QFileInfo info(pathOf(name));
    if (info.exists() && !(alsoWhenEmpty && info.size() == 0))
        return {};
    return write(name, defaultValue);
}

WriteResult SettingsStore::ensureEmptyFile(const QString &name) const
{
    if (QFileInfo::exists(pathOf(name)))
        return {};
    return writeTextFileAtomically(pathOf(name), QString());
}

std::optional<QString> SettingsStore::read(const QString &name) const
{
    const std::optional<QString> text = readTextFile(pathOf(name), SettingsFileLimit);
    if (!text || text->isEmpty())
        return std::nullopt;
    return firstField(*text);
}

std::optional<QString> SettingsStore::readJoined(const QString &name) const
{
    std::optional<QString> text = readTextFile(pathOf(name), SettingsFileLimit);
    if (!text)
        return std::nullopt;
    text->remove(QLatin1Char('\r'));
    text->remove(QLatin1Char('\n'));
    return text;
}

WriteResult SettingsStore::write(const QString &name, const QString &value) const
{
    return writeTextFileAtomically(pathOf(name), value + QStringLiteral("\r\n"));
}

} // namespace plovista
