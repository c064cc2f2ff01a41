#include "drill/recordline.h"

#include "drill/goals.h"
#include "settings/numbertext.h"

#include <QDir>

#include <cmath>

namespace plovista {

namespace {

QString padded(const QString &text, qsizetype width)
{
    return text.size() >= width ? text : text + QString(width - text.size(), QLatin1Char(' '));
}

// Only blanks, as the goals are stored; a tab would be kept.
QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// The first mark between the date's fields in the locale's short date form;
// a locale that writes the month as a word has none and gets "/".
QString dateSeparator(const QLocale &locale)
{
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        if (!c.isLetterOrNumber() && !c.isSpace() && c != QLatin1Char('\''))
            return QString(c);
    }
    return QStringLiteral("/");
}

QString speedText(const RecordFields &fields)
{
    // A finished drill's speed is whole seconds over 10 to 50 facts, short
    // but for 30 facts, and is kept whole. An unfinished one's divides by any
    // count and would run far past its column: it is cut as the score screen
    // cuts a speed.
    const QString text = neutralNumberText(fields.speed);
    return fields.incomplete ? cutText(text, 4) : text;
}

} // namespace

QString recordDate(const QDate &date, const QLocale &locale)
{
    const QString separator = dateSeparator(locale);
    const auto twoDigits = [](int n) { return QStringLiteral("%1").arg(n % 100, 2, 10, QLatin1Char('0')); };
    return twoDigits(date.month()) + separator + twoDigits(date.day()) + separator + twoDigits(date.year());
}

bool recordGoalsMet(const RecordFields &fields)
{
    return !fields.incomplete &&
        checkGoals(fields.accuracy, fields.speed, {fields.accuracyGoal, fields.speedGoal}).met();
}

QString recordLine(const RecordFields &fields, const QLocale &locale)
{
    const QString accuracy = QString::number(static_cast<qint64>(std::floor(fields.accuracy)));
    const QString time =
        fields.incomplete ? QStringLiteral("Inc") : cutText(localeNumberText(fields.minutesSpent, locale), 3);

    QString line;
    line += padded(recordDate(fields.date, locale), 11);
    line += padded(fields.name, 16);
    line += padded(fields.activityCode, 7);
    line += padded(fields.formatCode, 4);
    line += padded(fields.rangeCode, 6);
    // The count as a printed number with its sign blank, then one more blank.
    line += formatWholeNumber(fields.factsCount) + QLatin1Char(' ');
    line += padded(accuracy + QLatin1Char('|') + trimBlanks(fields.accuracyGoal), 9);
    line += padded(speedText(fields) + QLatin1Char('|') + trimBlanks(fields.speedGoal), 9);
    line += padded(time, 5);
    if (recordGoalsMet(fields))
        line += QLatin1Char('*');
    line += QLatin1String("\r\n");
    return line;
}

TextLinesResult openCurrentRecords(const QString &workingFolder)
{
    TextLinesResult result = TextLines::read(QDir(workingFolder).filePath(CurrentRecordsFile));
    if (result.missing)
        result.lines = TextLines();
    return result;
}

WriteResult appendRecord(const QString &workingFolder, const RecordFields &fields, const QLocale &locale,
                         std::chrono::milliseconds lockWait)
{
    return appendTextFile(QDir(workingFolder).filePath(CurrentRecordsFile), recordLine(fields, locale),
                          TextEncoding::Windows1252, {}, lockWait);
}

} // namespace plovista
