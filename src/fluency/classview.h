#pragma once

#include "fluency/factstatus.h"
#include "fluency/fluencygrid.h"
#include "fluency/workprogress.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace plovista {

// How many of a family's facts (or of the class, for one fact) stand at each
// level.
struct LevelCounts
{
    int known = 0;
    int almost = 0;
    int teach = 0;
    int notAsked = 0;

    int total() const { return known + almost + teach + notAsked; }
    int asked() const { return known + almost + teach; }
    void add(FactLevel level);
};

// The colour of a family's cell in the class view, from its counts: knows it
// when at least four in five of its facts are known; else teach it when one
// in five of the facts asked or more is to be taught; else not asked yet when
// none was asked; else almost.
FactLevel familyLevel(const LevelCounts &counts);

struct ClassStudent
{
    QString name;
    std::vector<LevelCounts> families; // one per family of the view, in its order
    int known = 0;
    int drilled = 0;
    std::vector<WeekCount> knownByWeek;
    std::optional<QDate> lastPractised; // of the view's operation
    std::optional<QDate> lastPractisedAny; // of any operation
};

struct HardFact
{
    FactCell cell;
    LevelCounts students;
};

// The class at a glance for one operation: each student's share of every
// family's facts known, the class's hardest facts, each student's known
// facts week by week.
struct ClassView
{
    Operation operation = Operation::Multiplication;
    int thresholdMs = DefaultFluencyThresholdMs;
    QDate today;
    QStringList families; // "x2", ..., "x12": the rows of the operation's grid the drills ask
    std::vector<int> familyRows; // those rows' numbers
    std::vector<ClassStudent> students; // in the order of the teacher's list
    // At most ten: the facts the most students are to be taught, ties going
    // to the fewest who know them, then to the grid's order; a fact nobody
    // is to be taught is not among them.
    std::vector<HardFact> hardest;
    QStringList notes; // damaged or unreadable files, each named
    bool cancelled = false;
};

inline constexpr int HardestFacts = 10;

// Calendar days without any practice that put a student on the list the
// teacher follows up.
inline constexpr int PracticeGapDays = 7;

struct PracticeGap
{
    QString name;
    std::optional<QDate> lastPractised; // of any operation; none: never
};

// The students who have practised nothing for PracticeGapDays calendar days
// or more before the view's today, those who never did among them: a child
// whose last practice was a week ago today is listed. Longest gap first, the
// teacher's order among equals.
std::vector<PracticeGap> practiceGaps(const ClassView &view);

// The list's caption, and what it says when nobody is on it, in the window
// and on the page alike.
QString practiceGapsCaption();
QString practiceGapsNone();

// A day last practised as the class view shows it: the locale's short date,
// or "never".
QString lastPractisedText(const std::optional<QDate> &day);

// Reads the log one student at a time, so memory stays that of one student
// whatever the size of the class. The progress, when given, is told of every
// piece read and can cancel: the view then says it was cancelled.
ClassView classView(const QString &logFolder, Operation operation, int thresholdMs, const QDate &today,
                    WorkProgress *progress = nullptr);

} // namespace plovista
