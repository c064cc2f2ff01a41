#include "fluency/classreport.h"

#include "fluency/answerlog.h"
#include "fluency/factstatus.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace plovista {

namespace {

ClassReportOutcome failed(const QString &why)
{
    return {ReportFailed, why};
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

std::variant<ClassReportRequest, ClassReportOutcome> parseClassReportArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the class's fluency export from a Plovista working folder, as the fluency grid's "
                       "Export buttons do, without a display.\n"
                       "Exit status: 0 written; 1 the export failed (the reason on the standard error, the file "
                       "left as it was unless a log file could not be read); 2 wrong options."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption folder(QStringLiteral("folder"),
                                    QStringLiteral("The program's working folder, with its answer log in Log/ and "
                                                   "its settings in Files/ (the speed goal sets the threshold)."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QStringLiteral("The spreadsheet file to write (UTF-8, replaced only once whole)."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption wide(QStringLiteral("wide"),
                                  QStringLiteral("One row per student and fact family (how many facts known, "
                                                 "almost, to teach and not asked) instead of one per fact."));
    parser.addOptions({help, folder, csv, wide});
    if (!parser.parse(arguments))
        return ClassReportOutcome {ReportMisused, parser.errorText()};
    if (parser.isSet(help))
        return ClassReportOutcome {0, parser.helpText()};
    if (!parser.positionalArguments().isEmpty())
        return ClassReportOutcome {
            ReportMisused, QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst())};
    for (const QCommandLineOption *required : {&folder, &csv}) {
        if (parser.values(*required).size() > 1)
            return ClassReportOutcome {ReportMisused,
                                       QStringLiteral("--%1 given twice.").arg(required->names().constFirst())};
        if (parser.value(*required).isEmpty())
            return ClassReportOutcome {
                ReportMisused, QStringLiteral("--%1 is missing (see --help).").arg(required->names().constFirst())};
    }
    return ClassReportRequest {parser.value(folder), parser.value(csv),
                               parser.isSet(wide) ? ExportShape::Wide : ExportShape::Long};
}

ClassReportOutcome runClassReport(const ClassReportRequest &request, const QDate &today, WorkProgress *progress)
{
    const QFileInfo folder(request.folder);
    if (!folder.exists())
        return failed(QStringLiteral("The folder \"%1\" does not exist.").arg(native(request.folder)));
    if (!folder.isDir())
        return failed(QStringLiteral("\"%1\" is not a folder.").arg(native(request.folder)));
    const QString logFolder = QDir(request.folder).filePath(AnswerLogFolder);
    if (!QFileInfo(logFolder).isDir())
        return failed(QStringLiteral("No answer log in \"%1\": it has no folder \"%2\".")
                          .arg(native(request.folder), QString(AnswerLogFolder)));
    if (loggedStudents(logFolder).isEmpty())
        return failed(QStringLiteral("No student has answers in \"%1\".").arg(native(logFolder)));

    // As the program reads it: the file's value, or the default it would
    // make the file with.
    Settings settings(request.folder);
    const QString speedGoal = settings.reread(keys::SpeedGoal).value_or(keys::SpeedGoal.defaultValue);
    const ClassExport exported =
        exportClass(logFolder, fluencyThresholdMs(speedGoal), today, request.csv, progress, request.shape);
    if (exported.cancelled)
        return failed(QStringLiteral("Stopped; \"%1\" was left as it was.").arg(native(request.csv)));
    if (!exported.written.ok)
        return failed(
            QStringLiteral("\"%1\" could not be written: %2.").arg(native(request.csv), exported.written.reason));
    if (!exported.unreadable.isEmpty())
        return failed(QStringLiteral("\"%1\" was written without the answers of %2 log file(s) that could not be "
                                     "read: %3")
                          .arg(native(request.csv))
                          .arg(exported.unreadable.size())
                          .arg(exported.unreadable.join(QStringLiteral("; "))));
    return {};
}

} // namespace plovista
