#include "fluency/classview.h"

#include "fluency/answerlog.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <optional>
#include <thread>

namespace plovista {

void LevelCounts::add(FactLevel level)
{
    switch (level) {
    case FactLevel::KnowsIt:
        ++known;
        break;
    case FactLevel::Almost:
        ++almost;
        break;
    case FactLevel::TeachIt:
        ++teach;
        break;
    case FactLevel::NotAsked:
        ++notAsked;
        break;
    }
}

FactLevel familyLevel(const LevelCounts &counts)
{
    if (counts.total() > 0 && counts.known * 5 >= counts.total() * 4)
        return FactLevel::KnowsIt;
    if (counts.asked() > 0 && counts.teach * 5 >= counts.asked())
        return FactLevel::TeachIt;
    if (counts.asked() == 0)
        return FactLevel::NotAsked;
    return FactLevel::Almost;
}

namespace {

// The families and the per-fact counts of the class, one student's grid at a
// time.
class ClassTally
{
public:
    // Every fact a drill of the operation can ask, in the grid's order; its
    // families are the rows that hold one.
    explicit ClassTally(Operation operation)
    {
        const bool ten = operation == Operation::FactsOfTen;
        FluencyGrid layout;
        layout.operation = operation;
        for (int row = 0; row < gridRows(operation); ++row) {
            bool drilled = false;
            for (int column = ten ? 1 : 0; column <= (ten ? 10 : 12); ++column) {
                const FactCell cell {operation, row, column};
                if (isGridFact(cell) && isDrilledFact(cell, FactRange::ZeroToTwelve)) {
                    drilled = true;
                    m_facts.push_back({cell, {}});
                }
            }
            if (drilled) {
                m_families << layout.rowLabel(row);
                m_familyRows.push_back(row);
            }
        }
    }

    // Counts the facts of the student's range only: a student who drills 0
    // to 9 is not counted short for the facts of 10 to 12.
    ClassStudent add(const FluencyGrid &grid)
    {
        ClassStudent student;
        student.name = grid.student;
        student.families.resize(m_familyRows.size());
        for (HardFact &fact : m_facts) {
            const GridCell &cell = grid.at(fact.cell.row, fact.cell.column - grid.firstColumn);
            if (!cell.drilled)
                continue;
            const auto family = std::find(m_familyRows.cbegin(), m_familyRows.cend(), fact.cell.row);
            const FactLevel level = factLevel(cell.status);
            student.families[static_cast<std::size_t>(family - m_familyRows.cbegin())].add(level);
            fact.students.add(level);
        }
        for (const LevelCounts &family : student.families) {
            student.known += family.known;
            student.drilled += family.total();
        }
        return student;
    }

    const QStringList &families() const { return m_families; }
    const std::vector<int> &familyRows() const { return m_familyRows; }

    std::vector<HardFact> hardest() const
    {
        std::vector<HardFact> facts;
        std::copy_if(m_facts.cbegin(), m_facts.cend(), std::back_inserter(facts),
                     [](const HardFact &f) { return f.students.teach > 0; });
        // Stable: the grid's order among equals.
        std::stable_sort(facts.begin(), facts.end(), [](const HardFact &a, const HardFact &b) {
            if (a.students.teach != b.students.teach)
                return a.students.teach > b.students.teach;
            return a.students.known < b.students.known;
        });
        if (facts.size() > static_cast<std::size_t>(HardestFacts))
            facts.resize(HardestFacts);
        return facts;
    }

private:
    QStringList m_families;
    std::vector<int> m_familyRows;
    std::vector<HardFact> m_facts;
};

// What the class view keeps of one student's log.
struct LoadedStudent
{
    bool cancelled = false;
    FluencyGrid grid;
    std::vector<WeekCount> knownByWeek;
    std::optional<QDate> lastPractised;
    std::optional<QDate> lastPractisedAny;
    QStringList notes;
};

LoadedStudent loadStudent(const QString &logFolder, const QString &name, Operation operation, int thresholdMs,
                          const QDate &today, WorkProgress *progress)
{
    const StudentLog log = loadStudentLog(logFolder, name, progress);
    LoadedStudent student;
    student.cancelled = log.scan.cancelled;
    if (student.cancelled)
        return student;
    student.grid = fluencyGrid(log.fluency, name, operation, thresholdMs, today);
    student.knownByWeek = log.fluency.knownByWeek(operation, thresholdMs, today);
    student.lastPractised = log.fluency.lastPractised(operation);
    for (const Operation any : {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                                Operation::Division, Operation::FactsOfTen})
        student.lastPractisedAny = std::max(student.lastPractisedAny, log.fluency.lastPractised(any));
    for (const QString &file : log.scan.unreadable)
        student.notes << QStringLiteral("Not read: %1.").arg(file);
    for (const auto &[file, lines] : log.scan.damagedFiles)
        student.notes << QStringLiteral("%1 damaged line(s) of \"%2\" left out.").arg(lines).arg(file);
    return student;
}

} // namespace

ClassView classView(const QString &logFolder, Operation operation, int thresholdMs, const QDate &today,
                    WorkProgress *progress)
{
    ClassView view;
    view.operation = operation;
    view.thresholdMs = thresholdMs;
    view.today = today;
    ClassTally tally(operation);
    view.families = tally.families();
    view.familyRows = tally.familyRows();

    const QStringList students = loggedStudents(logFolder, progress);
    if (progress) {
        qint64 total = 0;
        for (const QString &student : students)
            total += studentLogSize(logFolder, student);
        progress->restart(total);
    }
    // Two students are read at once, each on a thread of its own, so the first
    // opening of a class, which reads every answer ever logged, takes the
    // time of half the class on two cores. A student's load is read by the
    // thread that made it alone; the tally takes the students in order.
    for (qsizetype next = 0; next < students.size(); next += 2) {
        if (progress && progress->cancelled())
            break;
        const qsizetype count = std::min<qsizetype>(2, students.size() - next);
        std::array<std::optional<LoadedStudent>, 2> loaded;
        {
            std::vector<std::jthread> readers;
            for (qsizetype i = 1; i < count; ++i)
                readers.emplace_back([&, i] {
                    loaded[std::size_t(i)] =
                        loadStudent(logFolder, students[next + i], operation, thresholdMs, today, progress);
                });
            loaded[0] = loadStudent(logFolder, students[next], operation, thresholdMs, today, progress);
        }
        bool stopped = false;
        for (std::optional<LoadedStudent> &one : loaded) {
            if (!one)
                continue;
            if (one->cancelled) {
                stopped = true;
                break;
            }
            ClassStudent student = tally.add(one->grid);
            student.knownByWeek = std::move(one->knownByWeek);
            student.lastPractised = one->lastPractised;
            student.lastPractisedAny = one->lastPractisedAny;
            view.students.push_back(std::move(student));
            view.notes << one->notes;
        }
        if (stopped)
            break;
    }
    view.cancelled = progress && progress->cancelled();
    view.hardest = tally.hardest();
    return view;
}

std::vector<PracticeGap> practiceGaps(const ClassView &view)
{
    std::vector<PracticeGap> gaps;
    for (const ClassStudent &student : view.students) {
        if (!student.lastPractisedAny || student.lastPractisedAny->daysTo(view.today) >= PracticeGapDays)
            gaps.push_back({student.name, student.lastPractisedAny});
    }
    // An empty optional sorts first: those who never practised lead.
    std::stable_sort(gaps.begin(), gaps.end(),
                     [](const PracticeGap &a, const PracticeGap &b) { return a.lastPractised < b.lastPractised; });
    return gaps;
}

QString practiceGapsCaption()
{
    return QStringLiteral("Not practised for %1 days or more (any operation)").arg(PracticeGapDays);
}

QString practiceGapsNone()
{
    return QStringLiteral("None: every student practised in the last %1 days.").arg(PracticeGapDays);
}

QString lastPractisedText(const std::optional<QDate> &day)
{
    return day ? QLocale::system().toString(*day, QLocale::ShortFormat) : QStringLiteral("never");
}

} // namespace plovista
