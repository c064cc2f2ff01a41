#include "practice/practicesession.h"

#include "fluency/fluencygrid.h"
#include "selection/selectioncodes.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"

#include <algorithm>

namespace plovista {

namespace {

constexpr int RecentKept = 60; // practice answers the accuracy and the item time are taken from
constexpr int TypingItems = 5;
constexpr int PlacementMs = 3 * 60 * 1000;
constexpr int PlacementMissesPerFamily = 2; // then the rest of the family is taken as not known yet
constexpr int RetryGap = 3; // a missed fact comes back this many items later
constexpr std::array<int, 2> RehearsalGaps {2, 4}; // a new fact is asked again after these many items
constexpr int MaxRetries = 2; // of one fact in a session
constexpr int DefaultItemMs = 4000;
// A fact answered fluently before it was ever taught was learned before: it
// comes back in a week, not tomorrow.
constexpr int KnownBox = 3;
// Due facts open a session; new facts start after this many items, and the
// rest of the due facts fill the gaps of their rehearsal.
constexpr int DueBeforeNew = 1;

// How easily a number is learned as a factor, by the strategies teachers use:
// x0, x1, x2, x5, x10, then x9, x3, x4, x6, x8, then x7, x11, x12.
int factorRank(int n)
{
    constexpr std::array<int, 13> Rank {0, 1, 2, 6, 7, 3, 8, 10, 9, 5, 4, 11, 12};
    return n >= 0 && n < 13 ? Rank[static_cast<std::size_t>(n)] : 13;
}

// The rank of a fact's strategy; lower comes in first.
int strategyRank(Operation operation, int a, int b)
{
    if (operation == Operation::Multiplication || operation == Operation::Division) {
        const int easier = std::min(factorRank(a), factorRank(b));
        // The squares come with x7, the last group but x11 and x12.
        if (a == b && easier >= 10)
            return 10;
        return easier;
    }
    // +0, +1, +2, doubles, make ten, near doubles, the rest.
    const int low = std::min(a, b);
    if (low <= 2)
        return low;
    if (a == b)
        return 3;
    if (a + b == 10)
        return 4;
    if (std::abs(a - b) == 1)
        return 5;
    return 6;
}

// The two numbers whose strategy decides: the factors of a product (and of the
// product a division undoes), the addends of a sum (and of the sum a
// subtraction undoes).
std::pair<int, int> operandsOf(const FactCell &cell)
{
    return {cell.row, cell.column};
}

int median(std::vector<int> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int percentile(std::vector<int> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[at];
}

QString drillOf(const AnswerEntry &entry)
{
    return entry.drillId.isEmpty() ? entry.id.section(u'-', 0, -2) : entry.drillId;
}

template<typename T>
void keepLast(std::vector<T> &values, std::size_t count)
{
    if (values.size() > count)
        values.erase(values.begin(), values.end() - static_cast<std::ptrdiff_t>(count));
}

} // namespace

std::vector<FactCell> practiceFacts(Operation operation, FactRange range)
{
    std::vector<FactCell> cells;
    const int last = range == FactRange::ZeroToTwelve ? 12 : 9;
    for (int row = 0; row < gridRows(operation); ++row)
        for (int column = 0; column <= 12; ++column) {
            const FactCell cell {operation, row, column};
            if (!isGridFact(cell))
                continue;
            if (operation != Operation::FactsOfTen && (row > last || column > last))
                continue;
            cells.push_back(cell);
        }
    std::stable_sort(cells.begin(), cells.end(), [&](const FactCell &x, const FactCell &y) {
        const auto [xa, xb] = operandsOf(x);
        const auto [ya, yb] = operandsOf(y);
        const int rx = strategyRank(operation, xa, xb), ry = strategyRank(operation, ya, yb);
        if (rx != ry)
            return rx < ry;
        return std::max(xa, xb) + std::min(xa, xb) < std::max(ya, yb) + std::min(ya, yb);
    });
    return cells;
}

Fact practiceFact(const FactCell &cell)
{
    DrillChoice choice;
    choice.operation = cell.operation;
    choice.factOption = cell.row;
    choice.factsOfTenFormat = 2;
    return makeFact(choice, cell.column);
}

PracticeHistory emptyPracticeHistory(const QString &student, Operation operation, FactRange range, int thresholdMs,
                                     const QDate &today)
{
    PracticeHistory h;
    h.student = student;
    h.operation = operation;
    h.range = range;
    h.thresholdMs = thresholdMs;
    h.today = today;
    for (const FactCell &cell : practiceFacts(operation, range))
        h.facts.push_back({cell, 0, {}, {}, false, {}});
    return h;
}

int PracticeHistory::fluentMs() const
{
    return thresholdMs + std::min(typingMs.value_or(0), TypingCapMs);
}

const PracticeFact *PracticeHistory::find(const FactCell &cell) const
{
    const auto it = std::find_if(facts.cbegin(), facts.cend(), [&](const PracticeFact &f) { return f.cell == cell; });
    return it == facts.cend() ? nullptr : &*it;
}

PracticeFact *PracticeHistory::find(const FactCell &cell)
{
    return const_cast<PracticeFact *>(std::as_const(*this).find(cell));
}

FactLevel PracticeHistory::level(const PracticeFact &fact) const
{
    return factLevel(factStatus(fact.last, fluentMs(), today));
}

void PracticeHistory::add(const AnswerEntry &entry)
{
    const bool practice =
        entry.activity == PracticeActivity || entry.activity == PlacementActivity || entry.activity == TypingActivity;
    const QDate day = entry.time.date();
    if (practice && (practiceDays.isEmpty() || practiceDays.back() != day)) {
        if (!practiceDays.contains(day)) {
            practiceDays.append(day);
            std::sort(practiceDays.begin(), practiceDays.end());
        }
    }
    if (entry.operation != operation)
        return;
    const QString drill = drillOf(entry);
    if (drill != currentDrill) {
        currentDrill = drill;
        missedInDrill.clear();
        typingInDrill.clear();
    }
    if (entry.activity == TypingActivity) {
        if (entry.ms)
            typingInDrill.push_back(*entry.ms);
        typingMs = std::min(median(typingInDrill), TypingCapMs);
        return;
    }
    if (entry.activity == PlacementActivity)
        placed = true;
    const std::optional<FactCell> cell = factCell(entry.operation, entry.left, entry.right);
    PracticeFact *fact = cell ? find(*cell) : nullptr;
    if (!fact)
        return;
    const int index = static_cast<int>(fact - facts.data());
    // Asked again in the session or drill that missed it: the answer is still
    // on the screen, no evidence of memory.
    const bool missedBefore = std::find(missedInDrill.cbegin(), missedInDrill.cend(), index) != missedInDrill.cend();
    if (!entry.firstTry || missedBefore)
        return;
    if (!entry.correct)
        missedInDrill.push_back(index);

    const std::optional<int> ms = countedMs(entry);
    fact->attempted = true;
    fact->last.push_back({entry.time.toMSecsSinceEpoch(), day, entry.correct, ms, 0, 0});
    keepLast(fact->last, 3);
    if (entry.activity == PracticeActivity) {
        recentResults.push_back(entry.correct);
        keepLast(recentResults, RecentKept);
        if (entry.correct && ms) {
            recentMs.push_back(*ms);
            keepLast(recentMs, RecentKept);
        }
    }

    const bool fluent = entry.correct && ms && *ms < fluentMs();
    const auto moveTo = [&](int box) {
        fact->box = box;
        fact->due = day.addDays(BoxDays[static_cast<std::size_t>(box)]);
        fact->lastAdvanced = day;
    };
    if (fact->box == 0) {
        // A session brings a fact in with its answer shown: box 1 whatever
        // the answer. Elsewhere (a drill, a placement) a fluent answer shows
        // it known already; anything less leaves it to be brought in.
        if (entry.activity == PracticeActivity)
            moveTo(1);
        else if (fluent)
            moveTo(KnownBox);
        return;
    }
    if (!entry.correct) {
        moveTo(1);
        return;
    }
    // A box goes up once a day at most, and only when the fact was due: a
    // fact answered again the same day, or early in a drill, stays.
    if (fact->lastAdvanced == day)
        return;
    if (fluent) {
        if (day >= fact->due)
            moveTo(std::min(fact->box + 1, 5));
    } else {
        moveTo(std::max(fact->box - 1, 1));
    }
}

void PracticeHistory::addAll(std::vector<AnswerEntry> entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const AnswerEntry &a, const AnswerEntry &b) {
        return a.time.toMSecsSinceEpoch() < b.time.toMSecsSinceEpoch();
    });
    for (const AnswerEntry &e : entries)
        add(e);
}

PracticeHistory practiceHistory(const QString &logFolder, const QString &student, Operation operation, int thresholdMs,
                                const QDate &today)
{
    std::vector<AnswerEntry> entries;
    bool twelve = false;
    scanStudentLog(logFolder, student, [&](const AnswerEntry &e) {
        if (e.operation == operation) {
            twelve = twelve || e.range == rangeCode(FactRange::ZeroToTwelve);
            entries.push_back(e);
        } else if (!e.activity.isEmpty()) {
            entries.push_back(e); // its day is a practice day
        }
    });
    PracticeHistory h = emptyPracticeHistory(
        student, operation, twelve ? FactRange::ZeroToTwelve : FactRange::ZeroToNine, thresholdMs, today);
    h.addAll(std::move(entries));
    return h;
}

PracticeOptions practiceOptions(const Settings &settings)
{
    PracticeOptions options;
    options.minutes = keys::withinSessionLimit(settings.value(keys::PracticeLength));
    options.facts = keys::withinSessionFacts(settings.value(keys::PracticeFacts));
    return options;
}

QList<Operation> practiceOperations(const Settings &settings)
{
    QList<Operation> operations;
    for (const QString &name : settings.value(keys::PracticeOperations).split(u';', Qt::SkipEmptyParts))
        if (const std::optional<Operation> op = operationFromName(name.trimmed()); op && !operations.contains(*op))
            operations.append(*op);
    std::sort(operations.begin(), operations.end());
    return operations;
}

PracticeSession::PracticeSession(const PracticeHistory &history, Operation operation, const PracticeOptions &options,
                                 const QDateTime &now, quint64 seed)
    : m_history(history)
    , m_before(history)
    , m_operation(operation)
    , m_options(options)
    , m_now(now)
    , m_random(seed)
{
    m_history.today = now.date();
    m_before.today = now.date();
    m_id = QStringLiteral("P%1-%2").arg(now.toMSecsSinceEpoch()).arg(seed, 16, 16, QLatin1Char('0'));
    m_placement = !history.placed;
    if (m_placement)
        planPlacement();
    else
        plan();
    next();
}

void PracticeSession::planPlacement()
{
    // Numbers shaped like the operation's answers, to copy.
    std::vector<int> answers;
    for (const PracticeFact &f : m_history.facts)
        answers.push_back(practiceFact(f.cell).answer);
    std::uniform_int_distribution<std::size_t> pick(0, answers.size() - 1);
    for (int i = 0; i < TypingItems; ++i)
        m_queue.push_back({PracticeStep::TypingCheck, -1, answers[pick(m_random)], 0});
    // Round by round, a fact of each family (the fixed number) in the order
    // the families come in, leaving out facts the log already has.
    std::vector<int> families;
    for (const PracticeFact &f : m_history.facts)
        if (std::find(families.cbegin(), families.cend(), f.cell.row) == families.cend())
            families.push_back(f.cell.row);
    // Each family's facts in a random order, so three minutes sample every
    // family rather than the easy end of the first few.
    std::vector<std::vector<int>> byFamily(families.size());
    for (std::size_t i = 0; i < m_history.facts.size(); ++i) {
        const PracticeFact &f = m_history.facts[i];
        if (!f.attempted) {
            const auto family = std::find(families.cbegin(), families.cend(), f.cell.row) - families.cbegin();
            byFamily[static_cast<std::size_t>(family)].push_back(static_cast<int>(i));
        }
    }
    for (std::vector<int> &facts : byFamily)
        std::shuffle(facts.begin(), facts.end(), m_random);
    for (std::size_t round = 0;; ++round) {
        bool any = false;
        for (const std::vector<int> &facts : byFamily) {
            if (round < facts.size()) {
                m_placementLeft.push_back(facts[round]);
                any = true;
            }
        }
        if (!any)
            break;
    }
}

void PracticeSession::plan()
{
    const QDate today = m_now.date();
    for (std::size_t i = 0; i < m_history.facts.size(); ++i) {
        const PracticeFact &f = m_history.facts[i];
        if (f.box > 0 && f.due <= today && f.lastAdvanced != today)
            m_dueLeft.push_back(static_cast<int>(i));
    }
    std::stable_sort(m_dueLeft.begin(), m_dueLeft.end(), [&](int a, int b) {
        const PracticeFact &x = m_history.facts[static_cast<std::size_t>(a)];
        const PracticeFact &y = m_history.facts[static_cast<std::size_t>(b)];
        return x.due != y.due ? x.due < y.due : x.box < y.box;
    });
    // Accuracy kept near 85 to 90 %: fewer new facts when the latest answers
    // went less well, none while many facts are being relearned.
    const std::vector<bool> &results = m_history.recentResults;
    const double right = static_cast<double>(std::count(results.cbegin(), results.cend(), true));
    const double accuracy = results.size() < 10 ? 1.0 : right / static_cast<double>(results.size());
    m_newAllowed = accuracy >= 0.85 ? 4 : accuracy >= 0.80 ? 3 : accuracy >= 0.75 ? 2 : accuracy >= 0.65 ? 1 : 0;
    const auto relearning = std::count_if(m_history.facts.cbegin(), m_history.facts.cend(),
                                          [](const PracticeFact &f) { return f.box == 1; });
    if (relearning >= 12)
        m_newAllowed = 0;
    m_newAllowed = std::min(m_newAllowed, MaxNewFacts);
}

int PracticeSession::itemMs() const
{
    // The child's slow answers, not the median: the session must end in time.
    const int ms = m_history.recentMs.size() < 5 ? DefaultItemMs : percentile(m_history.recentMs, 0.9);
    return ms + ItemOverheadMs;
}

bool PracticeSession::timeLeft(int ms) const
{
    return m_spentMs + ms <= SessionLimitMs;
}

std::optional<int> PracticeSession::nextDue()
{
    if (m_dueLeft.empty())
        return std::nullopt;
    const int fact = m_dueLeft.front();
    m_dueLeft.erase(m_dueLeft.begin());
    return fact;
}

std::optional<int> PracticeSession::nextNew()
{
    for (std::size_t i = 0; i < m_history.facts.size(); ++i) {
        const auto index = static_cast<int>(i);
        if (m_history.facts[i].box == 0 &&
            std::find(m_askedToday.cbegin(), m_askedToday.cend(), index) == m_askedToday.cend())
            return index;
    }
    return std::nullopt;
}

std::optional<int> PracticeSession::nextUnasked()
{
    for (std::size_t i = 0; i < m_history.facts.size(); ++i) {
        const auto index = static_cast<int>(i);
        if (!m_history.facts[i].attempted &&
            std::find(m_askedToday.cbegin(), m_askedToday.cend(), index) == m_askedToday.cend())
            return index;
    }
    return std::nullopt;
}

std::optional<int> PracticeSession::filler()
{
    // Facts still settling (boxes 1 to 3) not asked today, the soonest due
    // first: the known facts a new one is rehearsed among.
    std::optional<int> best;
    for (std::size_t i = 0; i < m_history.facts.size(); ++i) {
        const PracticeFact &f = m_history.facts[i];
        const auto index = static_cast<int>(i);
        if (f.box < 1 || f.box > 3 ||
            std::find(m_askedToday.cbegin(), m_askedToday.cend(), index) != m_askedToday.cend())
            continue;
        if (!best || f.due < m_history.facts[static_cast<std::size_t>(*best)].due)
            best = index;
    }
    if (best)
        return best;
    // Else any known fact, at random.
    std::vector<int> known;
    for (std::size_t i = 0; i < m_history.facts.size(); ++i)
        if (m_history.facts[i].box >= 2)
            known.push_back(static_cast<int>(i));
    if (known.empty())
        return std::nullopt;
    std::uniform_int_distribution<std::size_t> pick(0, known.size() - 1);
    return known[pick(m_random)];
}

void PracticeSession::next()
{
    m_current.reset();
    const int item = itemMs();
    if (!timeLeft(item))
        return;
    const bool lengthLeft =
        m_options.facts > 0 ? m_done < m_options.facts : m_spentMs + item <= m_options.minutes * 60 * 1000;

    // Typing items and follow-ups whose turn has come.
    const auto ready =
        std::min_element(m_queue.begin(), m_queue.end(), [](const Queued &a, const Queued &b) { return a.at < b.at; });
    if (ready != m_queue.end() && ready->at <= m_done) {
        m_current = *ready;
        m_queue.erase(ready);
        return;
    }
    if (m_placement) {
        if (m_spentMs + PlacementCapMs > PlacementMs || m_placementLeft.empty())
            return;
        m_current = Queued {PracticeStep::Placement, m_placementLeft.front(), 0, m_done};
        m_placementLeft.erase(m_placementLeft.begin());
        return;
    }
    if (lengthLeft) {
        const bool rehearsing =
            std::any_of(m_queue.cbegin(), m_queue.cend(), [&](const Queued &q) { return q.fact == m_rehearsing; });
        // A new fact only when the session goes well, and with time to
        // rehearse it; the due facts open the session and fill the gaps of
        // the rehearsal.
        const bool goingWell = m_firstTries < 6 || m_rightFirst * 10 >= m_firstTries * 8;
        const bool roomForNew =
            m_options.facts > 0 ? m_done + 4 <= m_options.facts : m_spentMs + 5 * item <= m_options.minutes * 60 * 1000;
        const bool newNow = !rehearsing && m_done >= DueBeforeNew && goingWell && roomForNew &&
            static_cast<int>(m_newToday.size()) < m_newAllowed;
        if (!newNow || m_done < DueBeforeNew) {
            if (const std::optional<int> due = nextDue()) {
                m_current = Queued {PracticeStep::Review, *due, 0, m_done};
                return;
            }
        }
        if (!rehearsing && goingWell && roomForNew && static_cast<int>(m_newToday.size()) < m_newAllowed) {
            if (const std::optional<int> fresh = nextNew()) {
                // Never asked: perhaps known already. A check first.
                const PracticeFact &f = m_history.facts[static_cast<std::size_t>(*fresh)];
                m_current = f.attempted ? Queued {PracticeStep::New, *fresh, 0, m_done}
                                        : Queued {PracticeStep::Placement, *fresh, 0, m_done, true};
                return;
            }
        }
        if (const std::optional<int> due = nextDue()) {
            m_current = Queued {PracticeStep::Review, *due, 0, m_done};
            return;
        }
    }
    // Follow-ups waiting: between them, a check of a fact never asked (it
    // may be known: then it needs no bringing in), else a known fact; or the
    // follow-up early.
    if (!m_queue.empty()) {
        if (const std::optional<int> unasked = nextUnasked(); unasked && lengthLeft) {
            m_current = Queued {PracticeStep::Placement, *unasked, 0, m_done};
            return;
        }
        if (const std::optional<int> known = filler(); known && lengthLeft) {
            m_current = Queued {PracticeStep::Review, *known, 0, m_done};
            return;
        }
        m_current = *ready;
        m_queue.erase(ready);
        return;
    }
}

std::optional<PracticeItem> PracticeSession::current() const
{
    if (!m_current)
        return std::nullopt;
    PracticeItem item;
    item.step = m_current->step;
    if (m_current->step == PracticeStep::TypingCheck) {
        item.fact.operation = m_operation;
        item.fact.answer = m_current->number;
        item.fact.left = m_current->number;
        return item;
    }
    item.fact = practiceFact(m_history.facts[static_cast<std::size_t>(m_current->fact)].cell);
    if (m_current->step == PracticeStep::Placement) {
        item.capMs = PlacementCapMs;
        item.skippable = true;
    }
    return item;
}

AnswerEntry PracticeSession::answer(std::optional<int> given, int ms, const QDateTime &time,
                                    const AnswerContext &context)
{
    const std::optional<PracticeItem> item = current();
    AnswerEntry e;
    if (!item)
        return e;
    const Queued asked = *m_current;
    e.drillId = m_id;
    e.sequence = ++m_sequence;
    e.id = m_id + u'-' + QString::number(e.sequence);
    e.time = time;
    e.student = context.student.isEmpty() ? m_history.student : context.student;
    e.operation = m_operation;
    e.left = item->fact.left;
    e.right = item->fact.right;
    e.expected = item->fact.answer;
    e.given = given.value_or(AnswerEntry::NoAnswer);
    e.firstTry = asked.step != PracticeStep::Retry;
    e.correct = given && *given == item->fact.answer;
    e.ms = std::max(ms, 0);
    e.format = context.format;
    e.range = context.range.isEmpty() ? rangeCode(m_history.range) : context.range;
    e.version = context.version;
    e.computer = context.computer;
    e.activity = asked.step == PracticeStep::TypingCheck ? TypingActivity
        : asked.step == PracticeStep::Placement          ? PlacementActivity
                                                         : PracticeActivity;
    m_spentMs += std::max(ms, 0) + ItemOverheadMs;
    ++m_done;

    const bool fluent = e.correct && ms < m_history.fluentMs();
    if (asked.fact >= 0) {
        m_history.add(e);
        if (std::find(m_askedToday.cbegin(), m_askedToday.cend(), asked.fact) == m_askedToday.cend())
            m_askedToday.push_back(asked.fact);
    } else {
        m_history.add(e);
    }
    switch (asked.step) {
    case PracticeStep::TypingCheck:
        break;
    case PracticeStep::Placement:
        if (m_placement) {
            // A family missed twice is not known: its other facts are left
            // to the sessions to bring in.
            if (!fluent) {
                const int family = m_history.facts[static_cast<std::size_t>(asked.fact)].cell.row;
                const auto misses = std::count_if(m_askedToday.cbegin(), m_askedToday.cend(), [&](int f) {
                    const PracticeFact &p = m_history.facts[static_cast<std::size_t>(f)];
                    return p.cell.row == family && p.box == 0;
                });
                if (misses >= PlacementMissesPerFamily)
                    std::erase_if(m_placementLeft, [&](int f) {
                        return m_history.facts[static_cast<std::size_t>(f)].cell.row == family;
                    });
            }
        } else if (!fluent && asked.introduce) {
            // Not known: brought in now, the next item.
            m_queue.push_back({PracticeStep::New, asked.fact, 0, m_done});
        }
        break;
    case PracticeStep::New:
        m_newToday.push_back(asked.fact);
        m_rehearsing = asked.fact;
        for (const int gap : RehearsalGaps)
            m_queue.push_back({PracticeStep::Review, asked.fact, 0, m_done + gap - 1});
        [[fallthrough]];
    case PracticeStep::Review:
    case PracticeStep::Retry:
        if (asked.step != PracticeStep::Retry) {
            ++m_firstTries;
            m_rightFirst += e.correct ? 1 : 0;
        }
        if (!e.correct) {
            const auto retries =
                std::count_if(m_retried.cbegin(), m_retried.cend(), [&](int f) { return f == asked.fact; });
            if (retries < MaxRetries) {
                m_retried.push_back(asked.fact);
                m_queue.push_back({PracticeStep::Retry, asked.fact, 0, m_done + RetryGap - 1});
            }
        }
        break;
    }
    next();
    return e;
}

int PracticeSession::left() const
{
    if (!m_current)
        return 0;
    const int item = itemMs();
    const int byTime = std::max(1, (std::min(SessionLimitMs, m_options.minutes * 60 * 1000) - m_spentMs) / item);
    if (m_placement)
        return 1 + static_cast<int>(m_queue.size()) +
            std::min(static_cast<int>(m_placementLeft.size()), (PlacementMs - m_spentMs) / PlacementCapMs);
    const int planned = 1 + static_cast<int>(m_queue.size() + m_dueLeft.size()) +
        (m_newAllowed - static_cast<int>(m_newToday.size())) * 4;
    if (m_options.facts > 0)
        return std::max(1, std::max(m_options.facts - m_done, 0) + static_cast<int>(m_queue.size()));
    return std::max(1, std::min(byTime, planned));
}

PracticeSummary PracticeSession::summary() const
{
    PracticeSummary s;
    for (const int f : m_newToday)
        s.newToday.append(practiceFact(m_history.facts[static_cast<std::size_t>(f)].cell));
    s.practiceDays = static_cast<int>(m_history.practiceDays.size());
    s.itemsDone = m_done;
    s.secondsSpent = m_spentMs / 1000;
    for (const PracticeFact &f : m_history.facts) {
        const Fact fact = practiceFact(f.cell);
        s.map.insert({fact.left, fact.right}, m_history.level(f));
    }
    // A family known in full now, and not before the session: a certificate.
    std::vector<int> families;
    for (const PracticeFact &f : m_history.facts)
        if (std::find(families.cbegin(), families.cend(), f.cell.row) == families.cend())
            families.push_back(f.cell.row);
    std::sort(families.begin(), families.end());
    const auto knownAll = [](const PracticeHistory &h, int family) {
        return std::all_of(h.facts.cbegin(), h.facts.cend(), [&](const PracticeFact &f) {
            return f.cell.row != family || h.level(f) == FactLevel::KnowsIt;
        });
    };
    for (const int family : families)
        if (knownAll(m_history, family) && !knownAll(m_before, family))
            s.familiesKnownToday.append(family);
    return s;
}

} // namespace plovista
