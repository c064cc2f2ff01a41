#include "fluency/fluencygrid.h"

#include "selection/selectioncodes.h"

#include <algorithm>

namespace plovista {

namespace {

constexpr int OperationCount = 5;
constexpr int GridSide = 13;

std::size_t slotOf(const FactCell &cell)
{
    return static_cast<std::size_t>((static_cast<int>(cell.operation) * GridSide + cell.row) * GridSide + cell.column);
}

} // namespace

StudentFluency::StudentFluency()
    : m_records(OperationCount * GridSide * GridSide)
{ }

std::optional<int> countedMs(const AnswerEntry &entry)
{
    return entry.msAfterReading ? entry.msAfterReading : entry.ms;
}

void StudentFluency::add(const AnswerEntry &entry)
{
    const std::optional<FactCell> cell = factCell(entry.operation, entry.left, entry.right);
    if (!cell)
        return;
    FactRecord &record = m_records[slotOf(*cell)];
    if (!entry.firstTry) {
        ++record.askedAgain;
        return;
    }
    ++record.firstTries;
    if (entry.correct)
        ++record.rightFirstTries;
    const Attempt attempt {entry.time.toMSecsSinceEpoch(), entry.time.date(), entry.correct, countedMs(entry)};
    // After the equal times, so answers of one instant keep the log's order.
    const auto place = std::upper_bound(record.last.begin(), record.last.end(), attempt.at,
                                        [](qint64 at, const Attempt &a) { return at < a.at; });
    record.last.insert(place, attempt);
    if (record.last.size() > 3)
        record.last.erase(record.last.begin());
}

const FactRecord &StudentFluency::record(const FactCell &cell) const
{
    return m_records[slotOf(cell)];
}

StudentLog loadStudentLog(const QString &logFolder, const QString &student, WorkProgress *progress, qsizetype idLimit)
{
    // All in one pass, as nearly every log is; when that keeps too many ids,
    // again in twice as many shares. The bytes of the try given up count
    // as read, so the progress goes only forward.
    const qint64 bytes = progress ? studentLogSize(logFolder, student) : 0;
    for (int shares = 1;; shares *= 2) {
        StudentLog log;
        bool whole = true;
        for (int share = 0; share < shares && whole; ++share) {
            const LogScan scan = scanStudentLog(logFolder, student, [&](const AnswerEntry &e) { log.fluency.add(e); },
                                                {progress, shares, share, idLimit});
            whole = !scan.tooManyIds;
            log.scan.entries += scan.entries;
            log.scan.duplicates += scan.duplicates;
            // Every pass reads every line.
            if (share == 0) {
                log.scan.damagedLines = scan.damagedLines;
                log.scan.unreadable = scan.unreadable;
            }
            if (scan.cancelled) {
                log.scan.cancelled = true;
                return log;
            }
        }
        if (whole || shares >= (1 << 20)) {
            log.scan.tooManyIds = !whole;
            return log;
        }
        if (progress)
            progress->addTotal(bytes * shares * 2);
    }
}

QString FluencyGrid::rowLabel(int row) const
{
    if (operation == Operation::FactsOfTen)
        return QStringLiteral("10");
    return operationSign(operation) + QString::number(row);
}

FluencyGrid fluencyGrid(const StudentFluency &fluency, const QString &student, Operation operation, int thresholdMs,
                        const QDate &today)
{
    FluencyGrid grid;
    grid.student = student;
    grid.operation = operation;
    grid.thresholdMs = thresholdMs;
    grid.today = today;
    grid.rows = gridRows(operation);
    const bool ten = operation == Operation::FactsOfTen;
    grid.firstColumn = ten ? 1 : 0;
    grid.columns = ten ? 10 : GridSide;
    grid.automaticInRow.assign(static_cast<std::size_t>(grid.rows), 0);
    for (int row = 0; row < grid.rows; ++row) {
        for (int index = 0; index < grid.columns; ++index) {
            const FactCell cell {operation, row, grid.columnNumber(index)};
            GridCell out;
            out.isFact = isGridFact(cell);
            if (out.isFact) {
                const FactRecord &record = fluency.record(cell);
                out.status = factStatus(record.last, thresholdMs, today);
                out.medianMs = medianRightMs(record.last);
                ++grid.facts;
                if (out.status == FactStatus::Automatic) {
                    ++grid.automaticInRow[static_cast<std::size_t>(row)];
                    ++grid.automatic;
                }
            }
            grid.cells.push_back(out);
        }
    }
    return grid;
}

} // namespace plovista
