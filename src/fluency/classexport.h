#pragma once

#include "fluency/workprogress.h"
#include "settings/textfile.h"

#include <QDate>
#include <QString>
#include <QStringList>
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
    // Log files that could not be read, each with why: the export lacks
    // their answers.
    QStringList unreadable;
};

enum class ExportShape {
    // One row per student and fact of every operation, unseen facts too:
    // the fine detail, for a pivot table.
    Long,
    // One row per student and fact family: how many of the family's drilled
    // facts the student knows, almost knows, is to be taught and was never
    // asked, and the last day practised. Read as it opens.
    Wide,
};

// The whole class for a spreadsheet, students in the order of the teacher's
// list. Every row ends with the day of the export and the fluency threshold,
// so a row copied elsewhere keeps them and the header stays the first line.
// UTF-8 with a byte-order mark, CR LF, whole numbers written as numbers
// (times in milliseconds, so no decimal separator can be misread), dates as
// ISO dates, text guarded as above. Reads and writes one student at a time,
// so its memory is that of one student's load whatever the size of the
// class. The file is replaced only when it is whole: a failed or cancelled
// export leaves the old one, if any, as it was. The progress, when given, is
// told of the bytes read and can cancel the export.
ClassExport exportClass(const QString &logFolder, int thresholdMs, const QDate &today, const QString &path,
                        WorkProgress *progress = nullptr, ExportShape shape = ExportShape::Long);

} // namespace plovista
