#include "fluency/classview.h"

#include "fluency/answerlog.h"

#include <algorithm>

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
    for (const QString &name : students) {
        if (progress && progress->cancelled())
            break;
        const StudentLog log = loadStudentLog(logFolder, name, progress);
        if (log.scan.cancelled)
            break;
        ClassStudent student = tally.add(fluencyGrid(log.fluency, name, operation, thresholdMs, today));
        student.knownByWeek = log.fluency.knownByWeek(operation, thresholdMs, today);
        student.lastPractised = log.fluency.lastPractised(operation);
        view.students.push_back(std::move(student));
        for (const QString &file : log.scan.unreadable)
            view.notes << QStringLiteral("Not read: %1.").arg(file);
        for (const auto &[file, lines] : log.scan.damagedFiles)
            view.notes << QStringLiteral("%1 damaged line(s) of \"%2\" left out.").arg(lines).arg(file);
    }
    view.cancelled = progress && progress->cancelled();
    view.hardest = tally.hardest();
    return view;
}

} // namespace plovista
