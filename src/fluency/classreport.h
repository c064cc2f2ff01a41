#pragma once

#include "fluency/classexport.h"
#include "fluency/workprogress.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <variant>

namespace plovista {

// The class export without a window, for a school's nightly job
// (`plovista-report`): the same files the fluency grid's Export buttons write,
// from a working folder of the program.
struct ClassReportRequest
{
    QString folder; // the program's working folder: Log/ and Files/ in it
    QString csv; // the file to write
    ExportShape shape = ExportShape::Long;
};

// What the command says and the status it ends with: 0 done, 1 the export
// failed, 2 the command was given wrongly. The text goes to the standard
// output for --help, else to the standard error; a failure's is one line.
struct ClassReportOutcome
{
    int status = 0;
    QString text;
};

inline constexpr int ReportFailed = 1;
inline constexpr int ReportMisused = 2;

// The request from the command's arguments (the program's name first), or
// what to say instead: the help, or what is wrong with them.
std::variant<ClassReportRequest, ClassReportOutcome> parseClassReportArguments(const QStringList &arguments);

// Writes the export, with the fluency threshold of the folder's speed goal.
// Fails, and leaves the file as it was, when the folder or its answer log is
// missing, when no student has answered, or when the file cannot be written
// or the progress is cancelled. A log file that cannot be read fails it too,
// after the file is written without that file's answers.
ClassReportOutcome runClassReport(const ClassReportRequest &request, const QDate &today,
                                  WorkProgress *progress = nullptr);

} // namespace plovista
