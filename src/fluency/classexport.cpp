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

} // namespace

QString spreadsheetText(QStringView text)
{
    if (!text.isEmpty()) {
        const QChar first = text.front();
        if (first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' || first == u'\r')
            return u'\'' + text.toString();
    }
    return text.toString();
}

QString classExportText(const QString &logFolder, int thresholdMs, const QDate &today)
{
    QString text(QChar(0xFEFF));
    text += csvRecord({QStringLiteral("Student"), QStringLiteral("Operation"), QStringLiteral("Fact"),
                       QStringLiteral("Status"), QStringLiteral("First tries"), QStringLiteral("Right at first try"),
                       QStringLiteral("Asked again"), QStringLiteral("Median ms"), QStringLiteral("Last asked")});
    for (const QString &student : loggedStudents(logFolder)) {
        const StudentLog log = loadStudentLog(logFolder, student);
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
                    text += csvRecord({spreadsheetText(student), spreadsheetText(operationName(operation)),
                                       spreadsheetText(factText(fact)), spreadsheetText(statusName(cell.status)),
                                       QString::number(record.firstTries), QString::number(record.rightFirstTries),
                                       QString::number(record.askedAgain), number(cell.medianMs), lastAsked});
                }
            }
        }
    }
    return text;
}

} // namespace plovista
