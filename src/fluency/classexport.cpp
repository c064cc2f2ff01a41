#include "fluency/classexport.h"

#include "fluency/csv.h"
#include "fluency/fluencygrid.h"
#include "selection/selectioncodes.h"

#include <algorithm>
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

// Every row ends with these: a row pasted into another sheet still says when
// it was exported and against which threshold.
QStringList exportStamp(int thresholdMs, const QDate &today)
{
    return {today.toString(Qt::ISODate), QString::number(thresholdMs)};
}

QString longHeader()
{
    return csvRecord({QStringLiteral("Student"), QStringLiteral("Operation"), QStringLiteral("Fact"),
                      QStringLiteral("Status"), QStringLiteral("First tries"), QStringLiteral("Right at first try"),
                      QStringLiteral("Asked again"), QStringLiteral("Time ms"), QStringLiteral("Last asked"),
                      QStringLiteral("Exported"), QStringLiteral("Threshold ms")});
}

QString longRows(const QString &student, const StudentLog &log, int thresholdMs, const QDate &today)
{
    const QStringList stamp = exportStamp(thresholdMs, today);
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
                rows +=
                    csvRecord(QStringList {spreadsheetText(student), spreadsheetText(operationName(operation)),
                                           spreadsheetText(factText(fact)), spreadsheetText(statusName(cell.status)),
                                           QString::number(record.firstTries), QString::number(record.rightFirstTries),
                                           QString::number(record.askedAgain), number(cell.ms), lastAsked} +
                              stamp);
            }
        }
    }
    return rows;
}

QString wideHeader()
{
    return csvRecord({QStringLiteral("Student"), QStringLiteral("Operation"), QStringLiteral("Family"),
                      QStringLiteral("Number"), QStringLiteral("Range"), QStringLiteral("Knows it"),
                      QStringLiteral("Almost"), QStringLiteral("Teach it"), QStringLiteral("Not asked yet"),
                      QStringLiteral("Facts"), QStringLiteral("Last practised"), QStringLiteral("Exported"),
                      QStringLiteral("Threshold ms")});
}

// A family as the fact menu names its option ("x7"); the Facts of Ten are one.
QString familyName(Operation operation, int row)
{
    return operation == Operation::FactsOfTen ? operationName(operation) : factOptionCaption(operation, row);
}

// A row per family of each operation the student's range of it drills, as the
// grid counts them: the families 2 to 9, or 2 to 12 once the student did a
// drill of the operation in the 0 to 12 range.
QString wideRows(const QString &student, const StudentLog &log, int thresholdMs, const QDate &today)
{
    const QStringList stamp = exportStamp(thresholdMs, today);
    QString rows;
    for (const Operation operation : AllOperations) {
        const bool ten = operation == Operation::FactsOfTen;
        const FactRange range = log.fluency.range(operation);
        for (int row = 0; row < gridRows(operation); ++row) {
            std::array<int, 4> atLevel {};
            int facts = 0;
            QDate lastPractised;
            for (int column = 0; column <= 12; ++column) {
                const FactCell fact {operation, row, column};
                if (!isDrilledFact(fact, range))
                    continue;
                ++facts;
                const FactRecord &record = log.fluency.record(fact);
                ++atLevel[static_cast<std::size_t>(factLevel(factStatus(record.last, thresholdMs, today)))];
                if (!record.last.empty())
                    lastPractised = std::max(lastPractised, record.last.back().day);
            }
            if (facts == 0)
                continue;
            // A computer whose clock runs ahead cannot have practised later than today.
            if (lastPractised.isValid())
                lastPractised = std::min(lastPractised, today);
            const auto count = [&](FactLevel level) {
                return QString::number(atLevel[static_cast<std::size_t>(level)]);
            };
            rows +=
                csvRecord(QStringList {spreadsheetText(student), spreadsheetText(operationName(operation)),
                                       spreadsheetText(familyName(operation, row)), QString::number(ten ? 10 : row),
                                       ten ? QString() : rangeCode(range), count(FactLevel::KnowsIt),
                                       count(FactLevel::Almost), count(FactLevel::TeachIt), count(FactLevel::NotAsked),
                                       QString::number(facts), lastPractised.toString(Qt::ISODate)} +
                          stamp);
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
                        WorkProgress *progress, ExportShape shape)
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
    const bool wide = shape == ExportShape::Wide;
    const QString header = QChar(0xFEFF) + (wide ? wideHeader() : longHeader());
    bool writing = file.write(header.toUtf8());
    for (qsizetype i = 0; writing && i < students.size(); ++i) {
        if (progress && progress->cancelled())
            break;
        const StudentLog log = loadStudentLog(logFolder, students[i], progress);
        if (log.scan.cancelled)
            break;
        result.unreadable += log.scan.unreadable;
        const QString rows =
            wide ? wideRows(students[i], log, thresholdMs, today) : longRows(students[i], log, thresholdMs, today);
        writing = file.write(rows.toUtf8());
        ++result.students;
    }
    // The file beside the old one goes with `file`.
    if (progress && progress->cancelled()) {
        result.cancelled = true;
        return result;
    }
    result.unreadable.removeDuplicates();
    result.written = file.commit();
    return result;
}

} // namespace plovista
