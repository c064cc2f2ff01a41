#pragma once

#include "fluency/answerlog.h"
#include "fluency/factstatus.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace plovista {

// What the log says about one student and one fact.
struct FactRecord
{
    std::vector<Attempt> last; // the last three first tries, oldest first
    int firstTries = 0;
    int rightFirstTries = 0;
    int askedAgain = 0; // answers to the fact asked again after a miss
};

// A student's answers, fact by fact. Answers may come in any order (the
// files of several computers); each fact keeps its three latest first tries,
// so memory does not grow with the length of the log.
class StudentFluency
{
public:
    StudentFluency();
    // Answers whose numbers no drill shows are left out.
    void add(const AnswerEntry &entry);
    const FactRecord &record(const FactCell &cell) const;

private:
    std::vector<FactRecord> m_records;
};

// The time an answer counts with: from the end of the reading when the fact
// was read aloud and the reading ended before the answer, else from the
// first paint of the fact.
std::optional<int> countedMs(const AnswerEntry &entry);

struct StudentLog
{
    StudentFluency fluency;
    LogScan scan;
};

// Ids a load keeps at a time to catch an answer read twice: about 26 MB.
inline constexpr qsizetype StudentLogIdLimit = 2'000'000;

// The student's answers, fact by fact. A student with more answers than the
// id limit is read in several passes, each over a share of the ids, so the
// memory of a load has a bound whatever the length of the log. The progress,
// when given, is told of every piece read (and of the passes added), and can
// stop the load: the scan then says it was cancelled.
StudentLog loadStudentLog(const QString &logFolder, const QString &student, WorkProgress *progress = nullptr,
                          qsizetype idLimit = StudentLogIdLimit);

struct GridCell
{
    bool isFact = false;
    FactStatus status = FactStatus::Unseen;
    std::optional<int> medianMs; // of the right answers among the last three
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
    int automatic = 0;
    int facts = 0; // cells that hold a fact

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
