#include "records/savedrecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    QByteArray bytes;
    QFile source(from);
    if (source.exists()) {
        if (!source.open(QIODevice::ReadOnly))
            return {false, QStringLiteral("the current records could not be read (%1)").arg(reason(source))};
        bytes = source.readAll();
        if (source.error() != QFileDevice::NoError)
            return {false, QStringLiteral("the current records could not be read (%1)").arg(reason(source))};
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return {false, reason(target)};
    if (target.write(bytes) != bytes.size()) {
        const QString why = reason(target);
        target.cancelWriting();
        return {false, why};
    }
    if (!target.commit())
        return {false, reason(target)};
    return {};
}

WriteResult renameRecordsFile(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to))
        return {false, QStringLiteral("a file of that name already exists")};
    QFile file(from);
    if (!file.rename(to))
        return {false, reason(file)};
    return {};
}

WriteResult removeRecordsFile(const QString &path)
{
    QFile file(path);
    if (!file.remove())
        return {false, reason(file)};
    return {};
}

} // namespace plovista
