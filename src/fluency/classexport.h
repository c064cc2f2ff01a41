#pragma once

#include "fluency/workprogress.h"
#include "settings/textfile.h"

#include <QDate>
#include <QString>
#include <QStringView>

namespace plovista {

// A text cell as a spreadsheet must show it: text whose first character
// other than blanks, "|" and ";" could start a formula (= + - @, or their
// full-width forms), or that starts with a tab, CR or LF, gets a leading ' so
// no spreadsheet runs it as a formula.
QString spreadsheetText(QStringView text);

struct ClassExport
{
    bool cancelled = false; // nothing was written
    WriteResult written;
    int students = 0;
};

// The whole class for a spreadsheet: one row per student and fact of every
// operation, unseen facts included, students in the order of the teacher's
// list. UTF-8 with a byte-order mark, CR LF, whole numbers written as
// numbers (times in milliseconds, so no decimal separator can be misread),
// dates as ISO dates, text guarded as above. Reads and writes one student at
// a time, so its memory is that of one student's load whatever the size of
// the class. The file is replaced only when it is whole: a failed or
// cancelled export leaves the old one, if any, as it was. The progress, when
// given, is told of the bytes read and can cancel the export.
ClassExport exportClass(const QString &logFolder, int thresholdMs, const QDate &today, const QString &path,
                        WorkProgress *progress = nullptr);

} // namespace plovista
