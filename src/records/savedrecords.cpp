#include "records/savedrecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace plovista {

namespace {

const QString InvalidTitle = QStringLiteral("Invalid File Name");

QString reason(const QFileDevice &file)
{
    if (file.error() == QFileDevice::PermissionsError)
        return QStringLiteral("permission denied");
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("the disk is full or unavailable");
    return file.errorString();
}

} // namespace

QString fileBaseName(const QString &name)
{
    const qsizetype point = name.indexOf(QLatin1Char('.'));
    return point < 0 ? name : name.left(point);
}

QString savedNameFromTyped(const QString &typed)
{
    return typed.trimmed();
}

std::optional<NameProblem> savedNameProblem(const QString &name)
{
    if (name.isEmpty())
        return NameProblem {QStringLiteral("Please type a name for the records file."), QStringLiteral("No File Name")};
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return NameProblem {QStringLiteral("\"%1\" cannot be used as a file name. Please type another name.").arg(name),
                            InvalidTitle};
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return NameProblem {QStringLiteral("A file name cannot contain \"/\" or \"\\\". Please type a name "
                                           "without them."),
                            InvalidTitle};
    if (name.startsWith(QLatin1Char('.')))
        return NameProblem {QStringLiteral("A file name cannot begin with a period. Please type another name."),
                            InvalidTitle};
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return NameProblem {QStringLiteral("A file name cannot contain control characters such as a tab. "
                                               "Please type another name."),
                                InvalidTitle};
        if (!fitsWindows1252(c) || c.isSurrogate())
            return NameProblem {
                QStringLiteral("The character \"%1\" cannot be used in a file name. Please type another name.")
                    .arg(c.isSurrogate() ? QStringLiteral("?") : QString(c)),
                InvalidTitle};
    }
    if (name.size() > MaxSavedNameLength)
        return NameProblem {QStringLiteral("A file name can be at most %1 characters long. Please type a shorter "
                                           "name.")
                                .arg(MaxSavedNameLength),
                            InvalidTitle};
    return std::nullopt;
}

QStringList savedRecordFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

WriteResult copyRecordsFile(const QString &from, const QString &to)
{
    // A missing current records file is saved as an empty one.
    const BytesResult source = readFileReporting(from);
    if (!source.bytes && !source.missing) {
        const QString why = QStringLiteral("the current records could not be read (%1)").arg(source.error);
        return {false, why, why};
    }
    return writeFileAtomically(to, source.bytes.value_or(QByteArray()));
}

WriteResult renameRecordsFile(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to)) {
        const QString why = QStringLiteral("a file of that name already exists");
        return {false, why, why};
    }
    QFile file(from);
    if (!file.rename(to))
        return {false, reason(file), reason(file)};
    return {};
}

WriteResult removeRecordsFile(const QString &path)
{
    QFile file(path);
    if (!file.remove())
        return {false, reason(file), reason(file)};
    return {};
}

} // namespace plovista
