#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

namespace plovista {

// A text cell as a spreadsheet must show it: text whose first character
// other than blanks, "|" and ";" could start a formula (= + - @, or their
// full-width forms), or that starts with a tab, CR or LF, gets a leading ' so
// no spreadsheet runs it as a formula.
QString spreadsheetText(QStringView text);

// The whole class for a spreadsheet: one row per student and fact of every
// operation, unseen facts included, students in the order of the teacher's
// list. UTF-8 with a byte-order mark, CR LF, whole numbers written as
// numbers (times in milliseconds, so no decimal separator can be misread),
// dates as ISO dates, text guarded as above. Reads one student's files at a
// time, so its memory is that of the largest student's history.
QString classExportText(const QString &logFolder, int thresholdMs, const QDate &today);

} // namespace plovista
