#include "fluency/classexport.h"

#include "fluency/csv.h"
#include "fluency/fluencygrid.h"
#include "selection/selectioncodes.h"

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
                      QStringLiteral("Asked again"), QStringLiteral("Median ms"), QStringLiteral("Last asked"),
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
                                           QString::number(record.askedAgain), number(cell.medianMs), lastAsked} +
                              stamp);
            }
        }
    }
    return rows;
}

QString wideHeader()
{
    return csvRecord({QStringLiteral("Student"), QStringLiteral("Operation"), QStringLiteral("Family"),
                      QStringLiteral("Number"), QStringLiteral("Knows it"), QStringLiteral("Almost"),
                      QStringLiteral("Teach it"), QStringLiteral("Not asked yet"), QStringLiteral("Facts"),
                      QStringLiteral("Last practised"), QStringLiteral("Exported"), QStringLiteral("Threshold ms")});
}

// The families as the menus offer them: the fact options 2 to 12 of the four
// operations, and the one family of the Facts of Ten.
struct Family
{
    Operation operation;
    int row; // the family's row in the grid
    int number; // the number that names it
};

std::vector<Family> drilledFamilies()
{
    std::vector<Family> families;
    for (const Operation operation : AllOperations) {
        if (operation == Operation::FactsOfTen)
            families.push_back({operation, 0, 10});
        else
            for (int option = 2; option <= 12; ++option)
                families.push_back({operation, option, option});
    }
    return families;
}

// The cells of a family the drills ask, in either range.
std::vector<FactCell> drilledFactsOf(const Family &family)
{
    std::vector<FactCell> facts;
    const bool ten = family.operation == Operation::FactsOfTen;
    for (int column = ten ? 1 : 0; column <= (ten ? 10 : 12); ++column)
        facts.push_back({family.operation, family.row, column});
    return facts;
}

QString familyName(const Family &family)
{
    if (family.operation == Operation::FactsOfTen)
        return operationName(family.operation);
    return factOptionCaption(family.operation, family.number);
}

QString wideRows(const QString &student, const StudentLog &log, int thresholdMs, const QDate &today)
{
    const QStringList stamp = exportStamp(thresholdMs, today);
    QString rows;
    for (const Family &family : drilledFamilies()) {
        std::array<int, 4> atLevel {};
        QDate lastPractised;
        const std::vector<FactCell> facts = drilledFactsOf(family);
        for (const FactCell &fact : facts) {
            const FactRecord &record = log.fluency.record(fact);
            const FactLevel level = factLevel(factStatus(record.last, thresholdMs, today));
            ++atLevel[static_cast<std::size_t>(level)];
            if (!record.last.empty() && (!lastPractised.isValid() || record.last.back().day > lastPractised))
                lastPractised = record.last.back().day;
        }
        const auto count = [&](FactLevel level) { return QString::number(atLevel[static_cast<std::size_t>(level)]); };
        rows += csvRecord(QStringList {spreadsheetText(student), spreadsheetText(operationName(family.operation)),
                                       spreadsheetText(familyName(family)), QString::number(family.number),
                                       count(FactLevel::KnowsIt), count(FactLevel::Almost), count(FactLevel::TeachIt),
                                       count(FactLevel::NotAsked), QString::number(facts.size()),
                                       lastPractised.toString(Qt::ISODate)} +
                          stamp);
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
