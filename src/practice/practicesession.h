#pragma once

#include "drill/facts.h"
#include "fluency/answerlog.h"
#include "fluency/answerrecorder.h"
#include "fluency/factstatus.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <array>
#include <optional>
#include <random>
#include <vector>

namespace plovista {

class Settings;

// What a line of the answer log was given in (AnswerEntry::activity): empty
// for the drills, and these for Daily Practice. Typing lines are the typing
// check's numbers, no facts: the fluency grid leaves them out.
inline constexpr QLatin1String PracticeActivity("practice");
inline constexpr QLatin1String PlacementActivity("placement");
inline constexpr QLatin1String TypingActivity("typing");

// The boxes a fact moves through: box 1 comes back after a day, box 5 after a
// month. Box 0 is a fact not brought in yet.
inline constexpr std::array<int, 6> BoxDays {0, 1, 3, 7, 14, 30};
inline constexpr int MaxNewFacts = 4; // a session brings in at most this many
inline constexpr int TypingCapMs = 2000; // the typing time that counts, at most
inline constexpr int PlacementCapMs = 6000; // a placement fact ends as skipped after this
inline constexpr int SessionLimitMs = 10 * 60 * 1000; // no session runs longer
inline constexpr int ItemOverheadMs = 1200; // feedback and the next fact's showing, per item

enum class PracticeStep {
    TypingCheck, // copy the number (fact.answer), shown alone
    Placement, // is the fact known already? capped, skippable
    Review, // a fact brought in before, or a new one rehearsed
    New, // brought in now: the window shows it with its answer first, then asks it
    Retry, // missed a few items ago: asked again
};

struct PracticeItem
{
    PracticeStep step = PracticeStep::Review;
    Fact fact; // for TypingCheck: fact.answer is the number to copy
    int capMs = 0; // > 0: the item ends as skipped after this long
    bool skippable = false; // the "skip" key is offered
};

// What the log says of one fact of the operation for Daily Practice.
struct PracticeFact
{
    FactCell cell;
    int box = 0; // 0: not brought in; 1 to 5: BoxDays
    QDate due; // when it comes back; invalid in box 0
    QDate lastAdvanced; // a box goes up at most once a day
    bool attempted = false; // asked at least once, in a drill, a placement or a session
    std::vector<Attempt> last; // the last three first tries, as the grid keeps them
};

// A student's Daily Practice of one operation, replayed from the answer log:
// every answer of the operation counts, the drills' too, in the order given.
// No state is kept anywhere else: the log is the one record.
struct PracticeHistory
{
    QString student;
    Operation operation = Operation::Multiplication;
    FactRange range = FactRange::ZeroToNine;
    int thresholdMs = DefaultFluencyThresholdMs; // the teacher's
    QDate today;
    std::optional<int> typingMs; // the median of the latest typing check, capped; none yet
    bool placed = false; // a placement of the operation is in the log
    std::vector<PracticeFact> facts; // the practice facts, in the order new ones come in
    QList<QDate> practiceDays; // days with a Daily Practice answer (any operation), oldest first
    std::vector<bool> recentResults; // the latest first tries of practice, oldest first
    std::vector<int> recentMs; // the times of the latest practice answers, for how long an item takes

    // The time under which a right answer is fluent for this child.
    int fluentMs() const;
    // Takes one more answer of the log, in the order given.
    void add(const AnswerEntry &entry);
    // The answers of the log so far, sorted; only the operation's are used
    // as facts, practice days from every operation.
    void addAll(std::vector<AnswerEntry> entries);

    const PracticeFact *find(const FactCell &cell) const;
    PracticeFact *find(const FactCell &cell);
    FactLevel level(const PracticeFact &fact) const;

    // Replay bookkeeping: the session or drill being read, and what it missed.
    QString currentDrill;
    std::vector<int> missedInDrill; // indexes into facts
    std::vector<int> typingInDrill; // the typing check being read
};

// An empty history of the operation: every practice fact in box 0.
PracticeHistory emptyPracticeHistory(const QString &student, Operation operation, FactRange range, int thresholdMs,
                                     const QDate &today);

// The facts Daily Practice teaches for an operation and range, in the order
// new ones come in: the easy strategies first (x0, x1, x2, x5, x10 ...), the
// hardest last. The cells of the teacher's grid.
std::vector<FactCell> practiceFacts(Operation operation, FactRange range);
// The fact of a cell as the drill would show it.
Fact practiceFact(const FactCell &cell);

struct PracticeOptions
{
    int minutes = 8; // the session's length
    int facts = 0; // 0: by minutes; else this many items
};
PracticeOptions practiceOptions(const Settings &settings);
// The operations the teacher offers, in the menu's order.
QList<Operation> practiceOperations(const Settings &settings);

struct PracticeSummary
{
    QList<Fact> newToday; // brought in today, in order
    int practiceDays = 0; // days with a session, this one included
    int itemsDone = 0;
    int secondsSpent = 0;
    QMap<QPair<int, int>, FactLevel> map; // (left, right) of every practice fact -> level
    QList<int> familiesKnownToday; // families known in full for the first time today: a certificate each
};

// One Daily Practice session: the placement the first time, else the due
// facts, up to four new ones rehearsed among known ones, and the missed ones
// asked again. The same history, options, now and seed give the same session.
class PracticeSession
{
public:
    PracticeSession(const PracticeHistory &history, Operation operation, const PracticeOptions &options,
                    const QDateTime &now, quint64 seed);

    bool isPlacement() const { return m_placement; }
    std::optional<PracticeItem> current() const;
    // The answer to current(): nullopt when skipped or timed out. Moves on,
    // and returns the answer as the log keeps it, to be handed to the answer
    // log's writer; nothing else is written for a session.
    AnswerEntry answer(std::optional<int> given, int ms, const QDateTime &time, const AnswerContext &context);
    int left() const; // items left, as the window shows it (an estimate: misses add some)
    bool finished() const { return !current().has_value(); }
    PracticeSummary summary() const;
    // The session's id in the log: every answer's drill column.
    QString id() const { return m_id; }
    // The history with this session's answers taken in.
    const PracticeHistory &history() const { return m_history; }
    int spentMs() const { return m_spentMs; }

private:
    void plan();
    void planPlacement();
    void next();
    std::optional<int> nextDue();
    std::optional<int> nextNew();
    std::optional<int> nextUnasked();
    std::optional<int> filler();
    int itemMs() const;
    bool timeLeft(int ms) const;

    struct Queued
    {
        PracticeStep step;
        int fact; // index into the history's facts; -1 for a typing item
        int number = 0; // the typing item's number
        int at = 0; // asked no earlier than this item
        bool introduce = false; // a check that brings the fact in when it is not known
    };

    PracticeHistory m_history;
    PracticeHistory m_before;
    Operation m_operation;
    PracticeOptions m_options;
    QDateTime m_now;
    std::mt19937_64 m_random;
    QString m_id;
    bool m_placement = false;
    std::optional<Queued> m_current;
    std::vector<Queued> m_queue; // asked in order, each when its at has come
    std::vector<int> m_dueLeft; // due facts not asked yet, most overdue first
    std::vector<int> m_askedToday;
    std::vector<int> m_newToday;
    std::vector<int> m_placementLeft;
    std::vector<int> m_retried; // a fact once for each retry it had
    int m_newAllowed = 0;
    int m_done = 0;
    int m_rightFirst = 0;
    int m_firstTries = 0;
    int m_spentMs = 0;
    int m_sequence = 0;
    int m_rehearsing = -1; // the new fact still being rehearsed
};

// Everything the log says of the student for the operation, read from the
// log folder (every file of the student, every activity).
PracticeHistory practiceHistory(const QString &logFolder, const QString &student, Operation operation, int thresholdMs,
                                const QDate &today);

} // namespace plovista
