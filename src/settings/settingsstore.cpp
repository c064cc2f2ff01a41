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

bool SettingsStore::isMissing(const QString &name, bool alsoWhenEmpty) const
{
    const QFileInfo info(pathOf(name));
    return !info.exists() || (alsoWhenEmpty && info.size() == 0);
}

std::vector<WriteResult> SettingsStore::create(const std::vector<NewFile> &files) const
{
    std::vector<NewFileBytes> bytes;
    bytes.reserve(files.size());
    for (const NewFile &file : files)
        bytes.push_back(
            {pathOf(file.name), file.line ? encodeWindows1252(*file.line + QStringLiteral("\r\n")) : QByteArray()});
    return writeFilesAtomically(bytes);
}

std::optional<QString> SettingsStore::readWhole(const QString &name) const
{
    return readTextFile(pathOf(name), SettingsFileLimit);
}

WriteResult SettingsStore::write(const QString &name, const QString &value) const
{
    return writeTextFileAtomically(pathOf(name), value + QStringLiteral("\r\n"));
}

} // namespace plovista
