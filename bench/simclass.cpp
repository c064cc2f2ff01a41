#include "simclass.h"

#include "drill/drillsequence.h"
#include "platform/random.h"
#include "practice/practicesession.h"

#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <random>

namespace plovista::sim {

namespace {

// The model's parameters (docs/measurements.md describes them).
constexpr double Growth = 15.0; // how much a spaced recall multiplies stability, times ability
constexpr double EncodedDays = 0.5; // stability of a fact just shown or worked out, times ability
constexpr double LapseKeeps = 0.5; // share of stability a miss keeps
constexpr double Slip = 0.03; // a recalled answer typed wrong
constexpr double CountingRight = 0.85; // a worked-out answer right
constexpr double SkipWhenUnsure = 0.5; // a placement fact not recalled is skipped
constexpr int ThresholdMs = 3000; // the teacher's
constexpr int DrillFacts = 20;
constexpr int SecondsPerDay = 86400;

double retrievalMs(double stability)
{
    return 500.0 + 4000.0 * std::exp(-stability / 2.0);
}

struct Memory
{
    double stability = 0; // days; 0: never learned
    double last = 0; // the day (with its fraction) it was last retrieved or shown
};

class SimRandom final : public Random
{
public:
    explicit SimRandom(std::mt19937_64 &engine)
        : m_engine(engine)
    { }
    double next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine); }
    // The drill's reseed mixes in the clock; a fixed seed must not.
    void reseed() override { }

private:
    std::mt19937_64 &m_engine;
};

struct Child
{
    double ability = 1;
    double typingMs = 1000;
    std::vector<Memory> facts; // in the order of practiceFacts
    std::mt19937_64 random;

    double uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(random); }
    double noise(double sigma) { return std::exp(std::normal_distribution<double>(0.0, sigma)(random)); }

    double recall(const Memory &m, double now) const
    {
        return m.stability > 0 ? 1.0 / (1.0 + (now - m.last) / (9.0 * m.stability)) : 0.0;
    }
    void encode(Memory &m, double now)
    {
        m.stability = std::max(m.stability * LapseKeeps, EncodedDays * ability);
        m.last = now;
    }
    void recalled(Memory &m, double p, double now)
    {
        const double s = m.stability;
        m.stability =
            s * (1.0 + Growth * ability * std::pow(s, -0.15) * (std::exp(1.0 - p) - 1.0)) + 0.1 * ability / (1.0 + s);
        m.last = now;
    }
    bool automatic(const Memory &m, double now) const
    {
        return recall(m, now) >= 0.9 && retrievalMs(m.stability) < ThresholdMs;
    }

    struct Answer
    {
        std::optional<int> given;
        int ms = 0;
    };
    // One fact asked at `now`; the memory changes as the answer and its
    // feedback (the right answer shown) leave it.
    Answer answer(Memory &m, const Fact &fact, double now, bool shownFirst, int capMs)
    {
        if (shownFirst)
            m.stability = std::max(m.stability, EncodedDays * ability), m.last = now;
        const double p = recall(m, now);
        Answer a;
        if (uniform() < p) {
            a.ms = static_cast<int>(typingMs * noise(0.15) + retrievalMs(m.stability) * noise(0.2));
            const bool slip = uniform() < Slip;
            a.given = slip ? fact.answer + 1 : fact.answer;
            if (slip)
                encode(m, now);
            else
                recalled(m, p, now);
        } else if (capMs > 0 && uniform() < SkipWhenUnsure) {
            a.ms = static_cast<int>(1500 * noise(0.3));
            return a; // skipped: nothing shown, nothing learned
        } else {
            const int low = std::min(fact.left, fact.right);
            const double counting = (low <= 1 ? 1200.0 : 1500.0 + 800.0 * low) * noise(0.25);
            a.ms = static_cast<int>(typingMs * noise(0.15) + counting);
            a.given = uniform() < CountingRight ? fact.answer : fact.answer + 1;
            // The rules of 0 and 1 are learned by using them: a right answer
            // by the rule is practice of it, as a recall is.
            if (low <= 1 && a.given == fact.answer) {
                m.stability = std::max(m.stability, EncodedDays * ability);
                recalled(m, 0.5, now);
            } else {
                encode(m, now);
            }
        }
        if (capMs > 0 && a.ms > capMs) {
            a.given.reset();
            a.ms = capMs;
        }
        return a;
    }
};

// The calendar day of a school day: five a week.
int calendarDay(int schoolDay)
{
    return schoolDay / 5 * 7 + schoolDay % 5;
}

const QDate FirstDay(2026, 9, 7); // a Monday

QDateTime timeOf(double day)
{
    const auto whole = static_cast<qint64>(std::floor(day));
    const auto seconds = static_cast<int>((day - static_cast<double>(whole)) * SecondsPerDay);
    return QDateTime(FirstDay.addDays(whole), QTime(0, 0), Qt::UTC).addSecs(seconds);
}

Child makeChild(const std::vector<FactCell> &cells, unsigned long long seed)
{
    Child c;
    c.random.seed(seed);
    c.ability = std::clamp(c.noise(0.25), 0.5, 2.0);
    c.typingMs = 700 + 900 * c.uniform();
    // What the child knows already: the easy strategies mostly, the hard
    // facts seldom.
    for (const FactCell &cell : cells) {
        const int low = std::min(cell.row, cell.column), high = std::max(cell.row, cell.column);
        double known = low <= 1 ? 0.85 : (low == 2 || low == 5) ? 0.6 : (high <= 5 ? 0.35 : 0.15);
        known = std::min(0.95, known * std::sqrt(c.ability));
        Memory m;
        if (c.uniform() < known) {
            // Learned over the years before: months, and for the rules of 0
            // and 1 years.
            m.stability = low <= 1 ? 1000.0 : (20.0 + 100.0 * c.uniform()) * c.ability;
            m.last = -7.0 * c.uniform();
        }
        c.facts.push_back(m);
    }
    return c;
}

struct Tally
{
    std::vector<double> knownByWeek;
    std::vector<int> weekAllKnown; // per child; a large number when never
    double minutes = 0;
    double knownAtStart = 0;
    double knownAtCheck = 0;
    double fluentLater = 0;
    double knownChecked = 0;
    double longestMs = 0;
    int mostNew = 0;
    long long sessions = 0;
};

int knownNow(const Child &c, double now)
{
    return static_cast<int>(
        std::count_if(c.facts.cbegin(), c.facts.cend(), [&](const Memory &m) { return c.automatic(m, now); }));
}

// The retention check: every fact known at the check answered once, a month
// later, with no practice between.
void retention(Child c, double checkTime, const Options &options, Tally &t)
{
    const double later = checkTime + options.retentionDays;
    const int fluentMs = ThresholdMs + std::min(static_cast<int>(c.typingMs), TypingCapMs);
    for (Memory &m : c.facts) {
        if (!c.automatic(m, checkTime))
            continue;
        t.knownChecked += 1;
        if (c.uniform() < c.recall(m, later) && c.uniform() >= Slip) {
            const double ms = c.typingMs * c.noise(0.15) + retrievalMs(m.stability) * c.noise(0.2);
            if (ms < fluentMs)
                t.fluentLater += 1;
        }
    }
}

// The family a teacher's child would pick as weakest: the one of 2 to 9 with
// the fewest facts the grid shows known, the lower one on a tie.
int weakestFamily(const PracticeHistory &h)
{
    int best = 2, fewest = 1000;
    for (int family = 2; family <= 9; ++family) {
        int known = 0;
        for (const PracticeFact &f : h.facts)
            if (f.cell.row == family && h.level(f) == FactLevel::KnowsIt)
                ++known;
        if (known < fewest) {
            fewest = known;
            best = family;
        }
    }
    return best;
}

// One child's 90 school days under either activity.
void runChild(const std::vector<FactCell> &cells, const Options &options, int index, bool practice, Tally &t)
{
    Child c = makeChild(cells, options.seed * 1000003ULL + static_cast<unsigned long long>(index));
    c.random.seed(options.seed * 7919ULL + static_cast<unsigned long long>(index) * 2 + (practice ? 1 : 0));
    PracticeHistory history = emptyPracticeHistory(QStringLiteral("child"), Operation::Multiplication,
                                                   FactRange::ZeroToNine, ThresholdMs, FirstDay);
    const AnswerContext context {QStringLiteral("child"), QStringLiteral("H"), QString(), QString(), QString()};
    const int weeks = options.schoolDays / 5;
    std::vector<int> known(static_cast<std::size_t>(weeks + 1), 0);
    known[0] = knownNow(c, 0);
    int weekAll = 1 << 20;
    double minutes = 0;
    double checkTime = 0;
    int drillId = 0;
    for (int schoolDay = 0; schoolDay < options.schoolDays; ++schoolDay) {
        const int weekday = schoolDay % 5;
        const double start = calendarDay(schoolDay) + 10.0 / 24.0;
        double now = start;
        if (weekday == 0 || weekday == 2 || weekday == 4) {
            double spentMs = 0;
            if (practice) {
                PracticeSession session(history, Operation::Multiplication, PracticeOptions {}, timeOf(now),
                                        options.seed ^ (static_cast<quint64>(index) << 20) ^
                                            static_cast<quint64>(schoolDay));
                int fresh = 0;
                while (const std::optional<PracticeItem> item = session.current()) {
                    Child::Answer a;
                    if (item->step == PracticeStep::TypingCheck) {
                        a.ms = static_cast<int>(c.typingMs * c.noise(0.15));
                        a.given = c.uniform() < 0.98 ? item->fact.answer : item->fact.answer + 1;
                    } else {
                        const PracticeFact *f = history.find(
                            factCell(Operation::Multiplication, item->fact.left, item->fact.right).value());
                        Memory &m = c.facts[static_cast<std::size_t>(f - history.facts.data())];
                        a = c.answer(m, item->fact, now, item->step == PracticeStep::New, item->capMs);
                        fresh += item->step == PracticeStep::New ? 1 : 0;
                    }
                    now += (a.ms + ItemOverheadMs) / 1000.0 / SecondsPerDay;
                    session.answer(a.given, a.ms, timeOf(now), context);
                }
                history = session.history();
                spentMs = session.spentMs();
                t.mostNew = std::max(t.mostNew, fresh);
            } else {
                const int family = weakestFamily(history);
                DrillSetup setup;
                setup.choice = {Operation::Multiplication, FactRange::ZeroToNine, family, 2};
                setup.factsCount = DrillFacts;
                SimRandom random(c.random);
                DrillSequence drill;
                drill.prepare(DrillFacts);
                PressResult r = drill.press(QString(), setup, random);
                const QString id = QStringLiteral("d%1").arg(++drillId);
                int sequence = 0;
                while (r.fact && !r.drillOver) {
                    const Fact fact = *r.fact;
                    Memory &m = c.facts[static_cast<std::size_t>(
                        history.find(factCell(Operation::Multiplication, fact.left, fact.right).value()) -
                        history.facts.data())];
                    const Child::Answer a = c.answer(m, fact, now, false, 0);
                    now += (a.ms + ItemOverheadMs) / 1000.0 / SecondsPerDay;
                    spentMs += a.ms + ItemOverheadMs;
                    AnswerEntry e;
                    e.drillId = id;
                    e.sequence = ++sequence;
                    e.id = id + u'-' + QString::number(sequence);
                    e.time = timeOf(now);
                    e.operation = Operation::Multiplication;
                    e.left = fact.left;
                    e.right = fact.right;
                    e.expected = fact.answer;
                    e.given = a.given.value_or(AnswerEntry::NoAnswer);
                    e.correct = a.given == fact.answer;
                    e.firstTry = !r.askedAgain;
                    e.ms = a.ms;
                    history.add(e);
                    r = drill.press(QString::number(e.given), setup, random);
                }
            }
            t.longestMs = std::max(t.longestMs, spentMs);
            t.sessions += 1;
            const int week = schoolDay / 5 + 1;
            if (week <= options.checkWeek)
                minutes += spentMs / 60000.0;
        }
        if (weekday == 4) {
            const int week = schoolDay / 5 + 1;
            const double evening = calendarDay(schoolDay) + 0.75;
            known[static_cast<std::size_t>(week)] = knownNow(c, evening);
            if (known[static_cast<std::size_t>(week)] == static_cast<int>(cells.size()))
                weekAll = std::min(weekAll, week);
            if (week == options.checkWeek) {
                checkTime = evening;
                retention(c, checkTime, options, t);
            }
        }
    }
    if (t.knownByWeek.size() < known.size())
        t.knownByWeek.resize(known.size(), 0);
    for (std::size_t w = 0; w < known.size(); ++w)
        t.knownByWeek[w] += known[w];
    t.weekAllKnown.push_back(weekAll);
    t.minutes += minutes;
    t.knownAtStart += known[0];
    t.knownAtCheck += known[static_cast<std::size_t>(std::min(options.checkWeek, weeks))];
}

Condition finish(const Tally &t, const Options &options)
{
    Condition c;
    const double n = options.students;
    for (const double k : t.knownByWeek)
        c.knownByWeek.push_back(k / n);
    c.minutesToCheck = t.minutes / n;
    c.knownAtCheck = t.knownAtCheck / n;
    c.perMinute = t.minutes > 0 ? (t.knownAtCheck - t.knownAtStart) / t.minutes : 0;
    std::vector<int> weeks = t.weekAllKnown;
    std::sort(weeks.begin(), weeks.end());
    const int median = weeks.empty() ? 1 << 20 : weeks[(weeks.size() - 1) / 2];
    if (median < (1 << 20))
        c.medianWeeksAllKnown = median;
    c.retention = t.knownChecked > 0 ? t.fluentLater / t.knownChecked : 0;
    c.longestSessionMinutes = t.longestMs / 60000.0;
    c.mostNewInASession = t.mostNew;
    c.sessions = t.sessions;
    return c;
}

} // namespace

Result simulateClass(const Options &options)
{
    const std::vector<FactCell> cells = practiceFacts(Operation::Multiplication, FactRange::ZeroToNine);
    Tally drills, practice;
    for (int i = 0; i < options.students; ++i) {
        runChild(cells, options, i, false, drills);
        runChild(cells, options, i, true, practice);
    }
    Result r;
    r.facts = static_cast<int>(cells.size());
    r.weeks = options.schoolDays / 5;
    r.drills = finish(drills, options);
    r.practice = finish(practice, options);
    return r;
}

QString resultTable(const Options &options, const Result &r)
{
    QString text;
    QTextStream out(&text);
    out << "Simulated class: " << options.students << " children, " << options.schoolDays
        << " school days, 3 sessions a week, " << r.facts << " multiplication facts (0 to 9), seed " << options.seed
        << "\n\n";
    out << "week  known (drills)  known (Daily Practice)\n";
    for (std::size_t w = 0; w < r.practice.knownByWeek.size(); ++w)
        out << QStringLiteral("%1  %2  %3\n")
                   .arg(w, 4)
                   .arg(r.drills.knownByWeek[w], 14, 'f', 1)
                   .arg(r.practice.knownByWeek[w], 22, 'f', 1);
    const auto weeks = [](const Condition &c) {
        return c.medianWeeksAllKnown ? QString::number(*c.medianWeeksAllKnown) : QStringLiteral("never");
    };
    out << "\n";
    out << QStringLiteral("%1  %2  %3\n")
               .arg(QStringLiteral("figure"), -44)
               .arg(QStringLiteral("drills"), 10)
               .arg(QStringLiteral("Daily Practice"), 16);
    const auto row = [&](const QString &name, const QString &a, const QString &b) {
        out << QStringLiteral("%1  %2  %3\n").arg(name, -44).arg(a, 10).arg(b, 16);
    };
    row(QStringLiteral("minutes practised to week %1").arg(options.checkWeek),
        QString::number(r.drills.minutesToCheck, 'f', 1), QString::number(r.practice.minutesToCheck, 'f', 1));
    row(QStringLiteral("facts known at week %1").arg(options.checkWeek), QString::number(r.drills.knownAtCheck, 'f', 1),
        QString::number(r.practice.knownAtCheck, 'f', 1));
    row(QStringLiteral("automatic facts gained per minute"), QString::number(r.drills.perMinute, 'f', 3),
        QString::number(r.practice.perMinute, 'f', 3));
    row(QStringLiteral("weeks for the median child to know all"), weeks(r.drills), weeks(r.practice));
    row(QStringLiteral("still fluent %1 days after week %2").arg(options.retentionDays).arg(options.checkWeek),
        QString::number(100 * r.drills.retention, 'f', 1) + u'%',
        QString::number(100 * r.practice.retention, 'f', 1) + u'%');
    row(QStringLiteral("longest session (minutes)"), QString::number(r.drills.longestSessionMinutes, 'f', 2),
        QString::number(r.practice.longestSessionMinutes, 'f', 2));
    row(QStringLiteral("most new facts in a session"), QStringLiteral("-"),
        QString::number(r.practice.mostNewInASession));
    const double ratio = r.drills.perMinute > 0 ? r.practice.perMinute / r.drills.perMinute : 0;
    out << QStringLiteral("\nper-minute ratio (Daily Practice / drills): %1\n").arg(ratio, 0, 'f', 2);
    return text;
}

} // namespace plovista::sim
