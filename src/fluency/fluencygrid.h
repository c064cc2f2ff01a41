#pragma once

#include "fluency/answerlog.h"
#include "fluency/factstatus.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace plovista {

// What the log says about one student and one fact.
struct FactRecord
{
    std::vector<Attempt> last; // the last three first tries, oldest first
    int firstTries = 0;
    int rightFirstTries = 0;
    int askedAgain = 0; // answers to the fact asked again after a miss in its drill
};

// A first try as the weeks of known facts keep it: of each week, the last
// three of a fact, which are all that week's end can show.
struct WeekTry
{
    qint64 at = 0; // as Attempt::at
    qint32 week = NoWeek; // the Julian day of its week's Monday; NoWeek when its time is not trusted yet
    qint32 day = 0; // the Julian day the computer saw
    qint32 ms = -1; // the time that counts; -1 when none was taken
    bool correct = false;

    static constexpr qint32 NoWeek = std::numeric_limits<qint32>::min();
};

// What one log file (one student on one computer) says, as far as it was
// read: the file is written in the order the answers were given, so its
// answers are taken in that order, a line at a time, and the state can be
// kept and taken further when the file grows.
struct LogFileFluency
{
    LogFileFluency();
    // The next answer of the file. Times later than nowMs are not trusted.
    void add(const AnswerEntry &entry, qint64 nowMs);
    // Whether what was taken in is what a fresh read at nowMs would take in:
    // no time of the file lies between the now it was read at and this one.
    bool validAt(qint64 nowMs) const;

    // A drill lately answered in the file.
    struct Drill
    {
        quint64 digest = 0;
        int lastSequence = -1;
        std::vector<int> missed; // the facts (slots) missed in it so far
    };

    std::vector<FactRecord> records; // by slot: operation, row, column
    // A fact's tries by week, in the file's order. Those of a summary are
    // unpacked when first asked for, so a load that needs no weeks (a grid)
    // or one operation's decodes no more; not to be asked from two threads at
    // once.
    const std::vector<WeekTry> &weekTries(std::size_t slot) const;
    std::vector<WeekTry> &weekTries(std::size_t slot);
    // A summary's tries: where each slot's stand in the bytes, and how many.
    struct Packed
    {
        qsizetype offset = 0;
        quint32 count = 0; // 0: none left packed
    };
    QByteArray packedWeeks;
    mutable std::vector<Packed> packedAt; // by slot
    mutable std::vector<std::vector<WeekTry>> weeks; // by slot: those unpacked
    std::array<QDate, 5> lastDay {}; // by operation: the latest day any of its facts was answered
    std::array<bool, 5> zeroToTwelve {}; // by operation: a drill of it in the 0 to 12 range
    std::vector<quint64> drills; // every drill of the file, as digests of their ids, in their order
    std::vector<Drill> recent; // the last drills, latest last
    qint64 answers = 0; // answers taken in: every line but copies
    qint64 trusted = NoTrustedTime; // the latest time of the file not past now
    qint64 latestTrusted = NoTrustedTime; // the latest time seen that was not past now
    qint64 earliestAhead = NoTimeAhead; // the earliest time seen that was past now
    int duplicates = 0; // lines of an answer already taken in
    int damagedLines = 0; // whole lines that could not be read

    static constexpr qint64 NoTrustedTime = std::numeric_limits<qint64>::min();
    static constexpr qint64 NoTimeAhead = std::numeric_limits<qint64>::max();
};

// A student's answers, fact by fact, from the files of every computer. Within
// a file the answers go in the order they were written (drill by drill, each
// drill's answers by their sequence). Between computers they go by the clock,
// but never past now: a computer whose clock runs ahead has its answers put at
// its own latest time that is not past now, or before every other computer's
// answers when it has none, so a clock a year ahead cannot make its answers
// the latest for a year. A fact asked again in a drill after it was missed in
// that drill is a repeat, whatever the line says. Each fact keeps its three
// latest first tries, so memory does not grow with the length of the log.
class StudentFluency
{
public:
    StudentFluency();
    // The files in the order they were read; a file's answers go before
    // another's of the same instant when it comes first. Today is the day
    // they were read on.
    StudentFluency(std::vector<LogFileFluency> files, const QDate &today);

    const FactRecord &record(const FactCell &cell) const;
    // The range whose facts the grid of the operation counts: 0 to 12 once the
    // student did a drill of it in that range (its facts include those of 0 to
    // 9), else 0 to 9.
    FactRange range(Operation operation) const;
    // The known facts (automatic: "knows it") at the end of each week, Monday
    // first, from the first week the operation was practised to today's week,
    // which counts every answer; empty when it never was.
    struct WeekCount
    {
        QDate weekStart;
        int known = 0;
    };
    std::vector<WeekCount> knownByWeek(Operation operation, int thresholdMs, const QDate &today) const;
    // The latest day the operation was practised, by the computers' clocks
    // but never later than the day the answers were read.
    std::optional<QDate> lastPractised(Operation operation) const;
    const std::vector<LogFileFluency> &files() const { return m_files; }

private:
    std::vector<LogFileFluency> m_files;
    std::vector<FactRecord> m_records;
    QDate m_today;
};

using WeekCount = StudentFluency::WeekCount;

// The time an answer counts with: from the end of the reading when the fact
// was read aloud and the reading ended before the answer, else from the
// first paint of the fact.
std::optional<int> countedMs(const AnswerEntry &entry);

struct StudentLog
{
    StudentFluency fluency;
    LogScan scan;
};

// The student's answers, fact by fact, from every file of the log folder
// that may hold them. A drill found in an earlier file (a file copied into
// the folder) is left out of the later ones. The progress, when given, is
// told of every piece read, and can stop the load: the scan then says it was
// cancelled. Times later than now are not trusted.
StudentLog loadStudentLog(const QString &logFolder, const QString &student, WorkProgress *progress = nullptr,
                          const QDateTime &now = QDateTime::currentDateTime());

struct GridCell
{
    bool isFact = false;
    FactStatus status = FactStatus::Unseen;
    bool drilled = false; // a drill of the grid's range can ask it
    std::optional<int> ms; // of the latest attempt that decides the status; none when it needs work
};

// One student's grid of one operation, as the teacher sees and prints it.
struct FluencyGrid
{
    QString student;
    Operation operation = Operation::Addition;
    int thresholdMs = DefaultFluencyThresholdMs;
    QDate today;
    int rows = 13;
    int firstColumn = 0; // the number of the first column: 0, or 1 for Facts of Ten
    int columns = 13;
    std::vector<GridCell> cells; // row by row
    std::vector<int> automaticInRow;
    int automatic = 0; // of the drilled facts
    FactRange range = FactRange::ZeroToNine; // the range whose facts are counted
    int facts = 0; // the facts a drill of the range can ask

    const GridCell &at(int row, int columnIndex) const
    {
        return cells[static_cast<std::size_t>(row * columns + columnIndex)];
    }
    int columnNumber(int columnIndex) const { return firstColumn + columnIndex; }
    // "+5", "-5", "x5", the division sign and 5; "10" for Facts of Ten.
    QString rowLabel(int row) const;
};

FluencyGrid fluencyGrid(const StudentFluency &fluency, const QString &student, Operation operation, int thresholdMs,
                        const QDate &today);

} // namespace plovista
