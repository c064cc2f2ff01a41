#pragma once

#include "settings/textlines.h"

#include <QDate>
#include <QLocale>
#include <QString>

namespace plovista {

// The current records file, in the working folder beside "Files".
inline constexpr QLatin1String CurrentRecordsFile("Madtr");

// One drill as the current records file keeps it.
struct RecordFields
{
    QDate date;
    QString name; // StudentName, as typed
    QString activityCode; // "+7", "x12", "\u00F7" "3", "F10"
    QString formatCode; // "H", "V", "1", "2"
    QString rangeCode; // "0->9", "0->12", or empty
    int factsCount = 0;
    float accuracy = 0.0f;
    QString accuracyGoal; // as stored
    double speed = 0.0;
    QString speedGoal; // as stored
    double minutesSpent = 0.0;
    bool incomplete = false; // a drill left unfinished: "Inc" for the time
};

// "mm/dd/yy" with the locale's date separator.
QString recordDate(const QDate &date, const QLocale &locale = QLocale::system());

// The goals-met mark: the speed is compared as the record writes it, so the
// mark always agrees with the line. An unfinished drill never earns it.
bool recordGoalsMet(const RecordFields &fields);

// One fixed-column line with its CR LF. Columns stand under the records
// viewer's headings; a value longer than its column is kept whole and pushes
// the rest of the line to the right.
QString recordLine(const RecordFields &fields, const QLocale &locale = QLocale::system());

// The current records of the working folder, as lines read from the file when
// they are asked for (see TextLines). A file not written yet holds no records
// and reads as empty; one that cannot be read (a folder or a pipe in its place,
// no permission) says why.
TextLinesResult openCurrentRecords(const QString &workingFolder);

// Appends the record to the current records file of the working folder,
// creating the file when it is missing. On failure nothing of the line stays.
// Another program holding the file fails it once lockWait has passed.
WriteResult appendRecord(const QString &workingFolder, const RecordFields &fields,
                         const QLocale &locale = QLocale::system(),
                         std::chrono::milliseconds lockWait = AppendLockWait);

} // namespace plovista
