#include "fluency/classexport.h"

#include "fluency/csv.h"
#include "fluency/fluencygrid.h"

#include <array>

namespace plovista {

namespace {

constexpr std::array AllOperations = {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                                      Operation::Division, Operation::FactsOfTen};

QString number(std::optional<int> value)
{
    return value ? QString::number(*value) : QString();
}

bool startsFormula(QChar c)
{
    switch (c.unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\uFF1D': // full-width = + - @, which some spreadsheets take as the plain ones
    case u'\uFF0B':
    case u'\uFF0D':
    case u'\uFF20':
        return true;
    default:
        return false;
    }
}

// Passed over by a spreadsheet on its way to a formula: blanks of every kind
// (a no-break space too) and the separators some of them read a cell with.
bool leadsToFormula(QChar c)
{
    return c.isSpace() || c == u'|' || c == u';' || c == u'\uFF5C' || c == u'\uFF1B';
}

QString rowsOf(const QString &student, const StudentLog &log, int thresholdMs, const QDate &today)
{
    QString rows;
    for (const Operation operation : AllOperations) {
        const FluencyGrid grid = fluencyGrid(log.fluency, student, operation, thresholdMs, today);
        for (int row = 0; row < grid.rows; ++row) {
            for (int index = 0; index < grid.columns; ++index) {
                const GridCell &cell = grid.at(row, index);
                if (!cell.isFact)
                    continue;
                const FactCell fact {operation, row, grid.columnNumber(index)};
                const FactRecord &record = log.fluency.record(fact);
                const QString lastAsked =
                    record.last.empty() ? QString() : record.last.back().day.toString(Qt::ISODate);
                rows += csvRecord({spreadsheetText(student), spreadsheetText(operationName(operation)),
                                   spreadsheetText(factText(fact)), spreadsheetText(statusName(cell.status)),
                                   QString::number(record.firstTries), QString::number(record.rightFirstTries),
                                   QString::number(record.askedAgain), number(cell.ms), lastAsked});
            }
        }
    }
    return rows;
}

} // namespace

QString spreadsheetText(QStringView text)
{
    if (text.isEmpty())
        return {};
    bool guard = text.front() == u'\t' || text.front() == u'\r' || text.front() == u'\n';
    for (qsizetype i = 0; !guard && i < text.size(); ++i) {
        if (startsFormula(text[i]))
            guard = true;
        else if (!leadsToFormula(text[i]))
            break;
    }
    return guard ? u'\'' + text.toString() : text.toString();
}

ClassExport exportClass(const QString &logFolder, int thresholdMs, const QDate &today, const QString &path,
                        WorkProgress *progress)
{
    ClassExport result;
    AtomicFileWriter file(path);
    const QStringList students = loggedStudents(logFolder, progress);
    if (progress) {
        qint64 total = 0;
        for (const QString &student : students)
            total += studentLogSize(logFolder, student);
        progress->restart(total);
    }
    QString header(QChar(0xFEFF));
    header += csvRecord({QStringLiteral("Student"), QStringLiteral("Operation"), QStringLiteral("Fact"),
                         QStringLiteral("Status"), QStringLiteral("First tries"), QStringLiteral("Right at first try"),
                         QStringLiteral("Asked again"), QStringLiteral("Time ms"), QStringLiteral("Last asked")});
    bool writing = file.write(header.toUtf8());
    for (qsizetype i = 0; writing && i < students.size(); ++i) {
        if (progress && progress->cancelled())
            break;
        const StudentLog log = loadStudentLog(logFolder, students[i], progress);
        if (log.scan.cancelled)
            break;
        writing = file.write(rowsOf(students[i], log, thresholdMs, today).toUtf8());
        ++result.students;
    }
    // The file beside the old one goes with `file`.
    if (progress && progress->cancelled()) {
        result.cancelled = true;
        return result;
    }
    result.written = file.commit();
    return result;
}

} // namespace plovista
