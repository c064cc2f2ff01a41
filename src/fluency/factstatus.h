#pragma once

#include "drill/facts.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace plovista {

// How well a student knows one fact, from the last three times it was asked
// at the first try (a fact asked again after a wrong answer is not another
// attempt: the correction is still on the screen).
enum class FactStatus {
    Unseen, // never asked
    NeedsWork, // the latest answer wrong, or two of the last three
    Slow, // the latest answer right, but not fluent
    Fluent, // the latest answer fluent, but not yet on two different days
    Automatic, // fluent at least twice, on two different days, the latest answer right
    Stale, // automatic, but not asked for 30 days or more
};

// The three levels a teacher reads, and "not asked yet". Knowing a fact is
// retrieving it at once, again and again: only an automatic fact is known. A
// fact answered fluently on one day, answered right but slowly, or automatic
// once but not asked for a month is on its way or slipping: almost. A fact
// last missed (or missed twice of three) is one to teach.
enum class FactLevel {
    NotAsked,
    TeachIt,
    Almost,
    KnowsIt,
};

FactLevel factLevel(FactStatus status);

// "knows it", "almost", "teach it", "not asked yet".
QString levelName(FactLevel level);

inline constexpr int DefaultFluencyThresholdMs = 3000;
inline constexpr int StaleAfterDays = 30;

// The time under which a right first answer is fluent: 3 seconds, or the
// teacher's speed goal (seconds per fact) when it asks for less.
int fluencyThresholdMs(const QString &speedGoal);

struct Attempt
{
    // When, for ordering answers of different computers: milliseconds since
    // the epoch on the computer's clock, trusted no later than now (see
    // StudentFluency).
    qint64 at = 0;
    QDate day; // the day as the computer that logged it saw it
    bool correct = false;
    std::optional<int> ms; // the time that counts, when one was taken
    qint64 position = 0; // the answer's place in its computer's file: the order of answers of one instant
    int source = 0; // the file it came from, for answers of one instant on two computers
};

// Right, and in under the threshold. An answer without a time cannot show
// that it was fluent.
bool isFluent(const Attempt &attempt, int thresholdMs);

// The status from the last attempts (at most three, oldest first), by the
// rules above; today decides staleness.
FactStatus factStatus(const std::vector<Attempt> &lastAttempts, int thresholdMs, const QDate &today);

// The time of the latest attempt that decides the status: the latest fluent
// answer of a fluent or automatic fact, the latest (right) answer of a slow
// one; none for a fact that needs work or was not asked.
std::optional<int> decidingMs(const std::vector<Attempt> &lastAttempts, int thresholdMs, FactStatus status);

// Where a fact stands in the teacher's grid of an operation: the row is the
// fixed number of its family (the fact option of the drill: the times-7
// facts fill row 7), the column the number that varies. Inverse facts share
// a cell: 12 - 5 = 7 stands in row 5, column 7, where 7 + 5 stands in the
// addition grid, and 35 / 5 where 7 x 5 does. Facts of Ten are one row:
// row 0, the column the number shown beside 10 (3 for 10 - ? = 3 and 3 + ? = 10).
struct FactCell
{
    Operation operation = Operation::Addition;
    int row = 0;
    int column = 0;
    friend bool operator==(const FactCell &, const FactCell &) = default;
};

// The cell of a fact from its operation and the two numbers it showed; empty
// for numbers no drill shows (a hand-edited line).
std::optional<FactCell> factCell(Operation operation, int left, int right);

// The cells of an operation's grid that hold a fact: rows and columns 0 to
// 12 (division has no row 0), Facts of Ten columns 1 to 10 of row 0.
bool isGridFact(const FactCell &cell);
int gridRows(Operation operation);

// Whether a drill of the range can ask the fact: the families (rows) 2 to 9
// with the numbers 0 to 9 in the 0 to 9 range, 2 to 12 with 0 to 12 in the 0
// to 12 range (the menu offers 10 to 12 only there); Facts of Ten, which have
// no range, all ten. Rows 0 and 1 are never drilled.
bool isDrilledFact(const FactCell &cell, FactRange range);
// How many: 80 or 143, and 10 for Facts of Ten.
int drilledFacts(Operation operation, FactRange range);

// "7 + 5", "12 - 5", "7 x 5", "35 / 5": the fact of a cell as the drill asks
// it, in one text. A Facts of Ten cell as the drill shows it in either format,
// "?" where the answer box stands: "3 + ? = 10 or 10 - ? = 3".
QString factText(const FactCell &cell);

// "needs work", "automatic", ...
QString statusName(FactStatus status);

} // namespace plovista
