#include "fluency/fluencygrid.h"

#include "fluency/logsummary.h"
#include "selection/selectioncodes.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace plovista {

namespace {

constexpr int OperationCount = 5;
constexpr int GridSide = 13;
constexpr std::size_t SlotCount = OperationCount * GridSide * GridSide;
// Drills whose answers may still come: only the one being answered, in a file
// our writer wrote; a few more for files put together by hand.
constexpr std::size_t RecentDrills = 16;

std::size_t slotOf(const FactCell &cell)
{
    return static_cast<std::size_t>((static_cast<int>(cell.operation) * GridSide + cell.row) * GridSide + cell.column);
}

// FNV-1a over the UTF-16 text: the same on every run and every machine.
quint64 digestOf(QStringView text)
{
    quint64 hash = 14695981039346656037ULL;
    for (const QChar c : text) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return hash;
}

QString drillOf(const AnswerEntry &entry)
{
    // A line without its drill has it in its id: "<drill>-<sequence>".
    return entry.drillId.isEmpty() ? entry.id.section(u'-', 0, -2) : entry.drillId;
}

QDate mondayOf(const QDate &day)
{
    return day.addDays(1 - day.dayOfWeek());
}

bool before(const Attempt &a, const Attempt &b)
{
    if (a.at != b.at)
        return a.at < b.at;
    if (a.source != b.source)
        return a.source < b.source;
    return a.position < b.position;
}

// The last three of the attempts of every list, each list oldest first.
std::vector<Attempt> lastThree(const std::vector<const std::vector<Attempt> *> &lists)
{
    std::vector<Attempt> all;
    for (const std::vector<Attempt> *list : lists)
        all.insert(all.end(), list->cbegin(), list->cend());
    std::sort(all.begin(), all.end(), before);
    if (all.size() > 3)
        all.erase(all.begin(), all.end() - 3);
    return all;
}

} // namespace

LogFileFluency::LogFileFluency()
    : records(SlotCount)
    , packedAt(SlotCount)
    , weeks(SlotCount)
{ }

const std::vector<WeekTry> &LogFileFluency::weekTries(std::size_t slot) const
{
    Packed &packed = packedAt[slot];
    if (packed.count > 0) {
        weeks[slot] = unpackWeekTries(QByteArrayView(packedWeeks).sliced(packed.offset), packed.count);
        packed.count = 0;
    }
    return weeks[slot];
}

std::vector<WeekTry> &LogFileFluency::weekTries(std::size_t slot)
{
    std::as_const(*this).weekTries(slot);
    return weeks[slot];
}

bool LogFileFluency::validAt(qint64 nowMs) const
{
    return latestTrusted <= nowMs && nowMs < earliestAhead;
}

void LogFileFluency::add(const AnswerEntry &entry, qint64 nowMs)
{
    const quint64 digest = digestOf(drillOf(entry));
    auto drill = std::find_if(recent.begin(), recent.end(), [&](const Drill &d) { return d.digest == digest; });
    if (drill == recent.end()) {
        if (recent.size() >= RecentDrills)
            recent.erase(recent.begin());
        // A drill that comes back after others is listed twice, which only
        // its finding among the others' drills reads.
        drills.push_back(digest);
        recent.push_back({digest, -1, {}});
        drill = recent.end() - 1;
    }
    // A drill's answers are numbered as they are given: a number already
    // taken is the same answer again.
    if (entry.sequence <= drill->lastSequence) {
        ++duplicates;
        return;
    }
    drill->lastSequence = entry.sequence;
    ++answers;

    const qint64 time = entry.time.toMSecsSinceEpoch();
    if (time <= nowMs) {
        trusted = std::max(trusted, time);
        latestTrusted = std::max(latestTrusted, time);
    } else {
        earliestAhead = std::min(earliestAhead, time);
    }
    // The typing check's numbers are no facts.
    const std::optional<FactCell> cell =
        entry.activity == QLatin1String("typing") ? std::nullopt : factCell(entry.operation, entry.left, entry.right);
    if (!cell)
        return;
    const auto op = static_cast<std::size_t>(entry.operation);
    lastDay[op] = std::max(lastDay[op], entry.time.date());
    if (entry.range == rangeCode(FactRange::ZeroToTwelve))
        zeroToTwelve[op] = true;

    const std::size_t slot = slotOf(*cell);
    const auto slotNumber = static_cast<int>(slot);
    FactRecord &record = records[slot];
    const bool missedBefore =
        std::find(drill->missed.cbegin(), drill->missed.cend(), slotNumber) != drill->missed.cend();
    if (!entry.correct && !missedBefore)
        drill->missed.push_back(slotNumber);
    // Asked again in the drill that missed it, the fact is still being
    // corrected, whether it was asked right after the miss or drawn again
    // later in the drill.
    if (!entry.firstTry || missedBefore) {
        ++record.askedAgain;
        return;
    }
    ++record.firstTries;
    if (entry.correct)
        ++record.rightFirstTries;
    // The file's order is the order the answers were given, and the trusted
    // time only goes forward in it, so the latest goes last.
    record.last.push_back({trusted, entry.time.date(), entry.correct, countedMs(entry), answers, 0});
    if (record.last.size() > 3)
        record.last.erase(record.last.begin());

    WeekTry weekTry {trusted, WeekTry::NoWeek, static_cast<qint32>(entry.time.date().toJulianDay()),
                     countedMs(entry).value_or(-1), entry.correct};
    if (trusted != NoTrustedTime) {
        const QDate day = QDateTime::fromMSecsSinceEpoch(trusted, Qt::OffsetFromUTC, entry.time.offsetFromUtc()).date();
        weekTry.week = static_cast<qint32>(mondayOf(day).toJulianDay());
    }
    // A fourth try in a week hides the first of that week from every week's end.
    std::vector<WeekTry> &tries = weekTries(slot);
    const std::size_t n = tries.size();
    if (n >= 3 && tries[n - 3].week == weekTry.week)
        tries.erase(tries.begin() + static_cast<std::ptrdiff_t>(n - 3));
    tries.push_back(weekTry);
}

StudentFluency::StudentFluency()
    : m_records(SlotCount)
{ }

StudentFluency::StudentFluency(std::vector<LogFileFluency> files, const QDate &today)
    : m_files(std::move(files))
    , m_records(SlotCount)
    , m_today(today)
{
    for (std::size_t file = 0; file < m_files.size(); ++file)
        for (FactRecord &record : m_files[file].records)
            for (Attempt &a : record.last)
                a.source = static_cast<int>(file);
    for (std::size_t slot = 0; slot < SlotCount; ++slot) {
        FactRecord &merged = m_records[slot];
        std::vector<const std::vector<Attempt> *> lists;
        for (const LogFileFluency &file : m_files) {
            const FactRecord &record = file.records[slot];
            merged.firstTries += record.firstTries;
            merged.rightFirstTries += record.rightFirstTries;
            merged.askedAgain += record.askedAgain;
            if (!record.last.empty())
                lists.push_back(&record.last);
        }
        merged.last = lastThree(lists);
    }
}

const FactRecord &StudentFluency::record(const FactCell &cell) const
{
    return m_records[slotOf(cell)];
}

FactRange StudentFluency::range(Operation operation) const
{
    const auto op = static_cast<std::size_t>(operation);
    const bool twelve =
        std::any_of(m_files.cbegin(), m_files.cend(), [&](const LogFileFluency &f) { return f.zeroToTwelve[op]; });
    return twelve ? FactRange::ZeroToTwelve : FactRange::ZeroToNine;
}

std::optional<QDate> StudentFluency::lastPractised(Operation operation) const
{
    const auto op = static_cast<std::size_t>(operation);
    QDate latest;
    for (const LogFileFluency &file : m_files)
        latest = std::max(latest, file.lastDay[op]);
    if (!latest.isValid())
        return std::nullopt;
    return m_today.isValid() ? std::min(latest, m_today) : latest;
}

std::vector<StudentFluency::WeekCount> StudentFluency::knownByWeek(Operation operation, int thresholdMs,
                                                                   const QDate &today) const
{
    const auto thisWeek = static_cast<qint32>(mondayOf(today).toJulianDay());
    std::vector<std::size_t> slots;
    qint32 first = thisWeek;
    bool practised = false;
    for (int row = 0; row < gridRows(operation); ++row) {
        for (int column = 0; column < GridSide; ++column) {
            const FactCell cell {operation, row, column};
            if (!isGridFact(cell))
                continue;
            const std::size_t slot = slotOf(cell);
            slots.push_back(slot);
            for (const LogFileFluency &file : m_files) {
                for (const WeekTry &t : file.weekTries(slot)) {
                    practised = true;
                    if (t.week != WeekTry::NoWeek) {
                        first = std::min(first, t.week);
                        break; // the first dated one is the earliest of the file
                    }
                }
            }
        }
    }
    if (!practised)
        return {};

    std::vector<WeekCount> counts;
    for (qint32 week = first; week <= thisWeek; week += 7)
        counts.push_back({QDate::fromJulianDay(week), 0});
    std::vector<Attempt> last;
    for (const std::size_t slot : slots) {
        // This week counts every answer: it is what the grid shows.
        if (factStatus(m_records[slot].last, thresholdMs, today) == FactStatus::Automatic)
            ++counts.back().known;
        // Earlier weeks: each file's last three tries as they stood at the
        // week's end, taken together.
        std::vector<std::size_t> upTo(m_files.size(), 0);
        for (std::size_t i = 0; i + 1 < counts.size(); ++i) {
            const qint32 week = first + static_cast<qint32>(7 * i);
            last.clear();
            for (std::size_t file = 0; file < m_files.size(); ++file) {
                const std::vector<WeekTry> &tries = m_files[file].weekTries(slot);
                std::size_t &end = upTo[file];
                while (end < tries.size() && tries[end].week <= week)
                    ++end;
                for (std::size_t t = end > 3 ? end - 3 : 0; t < end; ++t) {
                    const WeekTry &w = tries[t];
                    last.push_back({w.at, QDate::fromJulianDay(w.day), w.correct,
                                    w.ms >= 0 ? std::optional<int>(w.ms) : std::nullopt, static_cast<qint64>(t),
                                    static_cast<int>(file)});
                }
            }
            if (last.empty())
                continue;
            std::sort(last.begin(), last.end(), before);
            if (last.size() > 3)
                last.erase(last.begin(), last.end() - 3);
            if (factStatus(last, thresholdMs, QDate::fromJulianDay(week + 6)) == FactStatus::Automatic)
                ++counts[i].known;
        }
    }
    return counts;
}

std::optional<int> countedMs(const AnswerEntry &entry)
{
    return entry.msAfterReading ? entry.msAfterReading : entry.ms;
}

StudentLog loadStudentLog(const QString &logFolder, const QString &student, WorkProgress *progress,
                          const QDateTime &now)
{
    StudentLog log;
    const qint64 nowMs = now.toMSecsSinceEpoch();
    std::vector<LogFileFluency> files;
    QSet<quint64> earlierDrills;
    for (const QString &path : studentLogFiles(logFolder, student)) {
        // The summary, when it fits the file and was read at a now that
        // trusts the same times, saves reading what it read.
        std::optional<LogSummary> summary = readSummary(path, student);
        if (summary && !summary->fluency.validAt(nowMs))
            summary.reset();
        const auto copies = [&](const LogFileFluency &f) {
            return std::any_of(f.drills.cbegin(), f.drills.cend(),
                               [&](quint64 d) { return earlierDrills.contains(d); });
        };
        if (summary && copies(summary->fluency))
            summary.reset();
        const qint64 from = summary ? summary->end : 0;
        // The progress was told of the whole file.
        if (progress && from > 0)
            progress->addTotal(-from);
        LogFileFluency file = summary ? std::move(summary->fluency) : LogFileFluency();
        int copied = 0;
        const LogFileRead read = readLogFile(path, from, progress, [&](const AnswerEntry &e) {
            if (e.student != student)
                return;
            // A drill of an earlier file: this one holds a copy.
            if (earlierDrills.contains(digestOf(drillOf(e)))) {
                ++copied;
                return;
            }
            file.add(e, nowMs);
        });
        if (read.cancelled) {
            log.scan.cancelled = true;
            break;
        }
        if (!read.unreadable.isEmpty())
            log.scan.unreadable << read.unreadable;
        // A line cut short at the end may be one being written: it is read
        // again next time, and not kept as damage.
        file.damagedLines += read.damagedLines - (read.cutTail ? 1 : 0);
        const int damaged = file.damagedLines + (read.cutTail ? 1 : 0);
        if (damaged > 0)
            log.scan.damagedFiles.append({QFileInfo(path).fileName(), damaged});
        log.scan.damagedLines += damaged;
        log.scan.duplicates += file.duplicates + copied;
        log.scan.entries += static_cast<int>(file.answers);
        // What depends on another file is not kept as this file's summary.
        if (read.unreadable.isEmpty() && copied == 0 && (!summary || read.end != from)) {
            if (const std::optional<LogDigests> digests = logDigests(path, read.end))
                writeSummary(path, {student, file, read.end, digests->head, digests->tail});
        }
        for (const quint64 d : file.drills)
            earlierDrills.insert(d);
        if (file.answers > 0)
            files.push_back(std::move(file));
    }
    log.fluency = StudentFluency(std::move(files), now.date());
    return log;
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
    grid.range = fluency.range(operation);
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
                out.ms = decidingMs(record.last, thresholdMs, out.status);
                out.drilled = isDrilledFact(cell, grid.range);
                if (out.drilled) {
                    ++grid.facts;
                    if (out.status == FactStatus::Automatic) {
                        ++grid.automaticInRow[static_cast<std::size_t>(row)];
                        ++grid.automatic;
                    }
                }
            }
            grid.cells.push_back(out);
        }
    }
    return grid;
}

} // namespace plovista
