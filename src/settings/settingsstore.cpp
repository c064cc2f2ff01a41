#include "settings/settingsstore.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

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

QStringList SettingsStore::ensureFolders() const
{
    QStringList failures;
    for (const char *folder : {"Files", "SDat"}) {
        const QString path = m_root + QLatin1Char('/') + QLatin1String(folder);
        if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
            continue;
        const int errorNumber = errno;
        if (errorNumber == EEXIST && QFileInfo(path).isDir())
            continue;
        failures << QStringLiteral("The folder \"%1\" could not be made: %2.").arg(path, fileErrorReason(errorNumber));
    }
    return failures;
}

std::optional<WriteResult> SettingsStore::ensure(const QString &name, const QString &defaultValue,
                                                 bool alsoWhenEmpty) const
{
    const QFileInfo info(pathOf(name));
    if (info.exists() && !(alsoWhenEmpty && info.size() == 0))
        return std::nullopt;
    return write(name, defaultValue);
}

std::optional<WriteResult> SettingsStore::ensureEmptyFile(const QString &name) const
{
    if (QFileInfo::exists(pathOf(name)))
        return std::nullopt;
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
