#include "fluency/answerlogwriter.h"
#include "fluency/classview.h"
#include "settings/textfile.h"

#include <QDir>

#include <QTemporaryDir>
#include <QTest>

using namespace plovista;

namespace {

const QDate Day1(2026, 12, 1);
const QDate Day2(2026, 12, 2);
const QDate Today(2026, 12, 10);

// One student's drills of multiplication: every answer a first try, each
// drill on a day of its own.
class Drills
{
public:
    Drills(AnswerLogWriter &writer, const QString &student)
        : m_writer(writer)
        , m_student(student)
    { }

    // "v x family" (or "v + family"), right in ms (0: wrong), on the day.
    void answer(const QDate &day, int value, int family, int ms, Operation operation = Operation::Multiplication)
    {
        AnswerEntry e;
        e.drillId = QStringLiteral("%1-%2").arg(m_student, day.toString(Qt::ISODate));
        e.sequence = ++m_sequence;
        e.id = e.drillId + u'-' + QString::number(e.sequence);
        e.time = QDateTime(day, QTime(9, 0).addSecs(m_sequence * 10));
        e.student = m_student;
        e.operation = operation;
        e.left = value;
        e.right = family;
        e.expected = operation == Operation::Addition ? value + family : value * family;
        e.correct = ms > 0;
        e.given = e.correct ? e.expected : e.expected + 1;
        e.ms = e.correct ? ms : 4000;
        e.format = QStringLiteral("H");
        e.range = QStringLiteral("0->12");
        e.computer = QStringLiteral("PC1");
        m_writer.append(e);
    }
    // Fluent on two days: known.
    void knows(int value, int family)
    {
        answer(Day1, value, family, 1200);
        answer(Day2, value, family, 1200);
    }

private:
    AnswerLogWriter &m_writer;
    QString m_student;
    int m_sequence = 0;
};

std::vector<FactCell> cellsOf(const std::vector<HardFact> &facts)
{
    std::vector<FactCell> cells;
    for (const HardFact &f : facts)
        cells.push_back(f.cell);
    return cells;
}

FactCell times(int value, int family)
{
    return {Operation::Multiplication, family, value};
}

} // namespace

class TestClassView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Three students: each family's share known and its colour, the ten
    // hardest facts in order, the known facts over time.
    void theClassByFamiliesAndItsHardestFacts()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        {
            AnswerLogWriter writer(folder);
            Drills ann(writer, QStringLiteral("Ann Lee"));
            for (int v = 0; v <= 12; ++v)
                ann.knows(v, 7);
            ann.answer(Day2, 3, 8, 0);

            Drills ben(writer, QStringLiteral("Ben Cho"));
            for (int v = 0; v <= 9; ++v)
                ben.knows(v, 7);
            for (int v = 10; v <= 12; ++v)
                ben.answer(Day2, v, 7, 0);
            ben.answer(Day2, 3, 8, 0);
            ben.answer(Day2, 2, 6, 1500); // fluent once: almost

            Drills cy(writer, QStringLiteral("Cy Diaz"));
            cy.answer(Day1, 3, 8, 5000); // right but slow: almost
            cy.answer(Day1, 4, 8, 0);
            cy.answer(Day1, 12, 7, 0);
            for (int v = 0; v <= 9; ++v)
                cy.answer(Day1, v, 9, 0);
        }

        const ClassView view = classView(folder, Operation::Multiplication, 3000, Today);
        QVERIFY(!view.cancelled);
        QCOMPARE(view.families.front(), QStringLiteral("x2"));
        QCOMPARE(view.families.back(), QStringLiteral("x12"));
        QCOMPARE(view.students.size(), std::size_t(3));
        const auto family = [&](int student, int row) {
            const auto at = std::find(view.familyRows.cbegin(), view.familyRows.cend(), row);
            return view.students[static_cast<std::size_t>(student)]
                .families[static_cast<std::size_t>(at - view.familyRows.cbegin())];
        };
        const int sevens = family(0, 7).total();
        QCOMPARE(sevens, 13);

        QCOMPARE(view.students[0].name, QStringLiteral("Ann Lee"));
        QCOMPARE(family(0, 7).known, 13);
        QCOMPARE(familyLevel(family(0, 7)), FactLevel::KnowsIt);
        QCOMPARE(familyLevel(family(0, 8)), FactLevel::TeachIt); // the one fact asked, missed
        QCOMPARE(familyLevel(family(0, 2)), FactLevel::NotAsked);
        QCOMPARE(view.students[0].known, 13);
        QCOMPARE(view.students[0].lastPractised, std::optional<QDate>(Day2));
        QVERIFY(!view.students[0].knownByWeek.empty());
        QCOMPARE(view.students[0].knownByWeek.back().known, 13);

        // 10 of 13 known is under four in five; 3 of 13 to teach is over one in five.
        QCOMPARE(family(1, 7).known, 10);
        QCOMPARE(family(1, 7).teach, 3);
        QCOMPARE(familyLevel(family(1, 7)), FactLevel::TeachIt);
        QCOMPARE(familyLevel(family(1, 6)), FactLevel::Almost);
        QCOMPARE(family(2, 8).almost, 1);
        QCOMPARE(familyLevel(family(2, 9)), FactLevel::TeachIt);

        // 3 x 8 and 12 x 7 each to be taught to two, 3 x 8 known by none;
        // then facts one student is to be taught, those nobody knows first,
        // in the grid's order; 10 x 7 and 11 x 7 (known by Ann) do not fit.
        QCOMPARE(cellsOf(view.hardest),
                 std::vector<FactCell>({times(3, 8), times(12, 7), times(4, 8), times(0, 9), times(1, 9), times(2, 9),
                                        times(3, 9), times(4, 9), times(5, 9), times(6, 9)}));
        QCOMPARE(view.hardest[0].students.teach, 2);
        QCOMPARE(view.hardest[0].students.almost, 1);
        QCOMPARE(view.hardest[1].students.known, 1);
    }

    // A week without practice of any operation, counted in calendar days
    // from today, puts a child on the list; so does never practising.
    void theChildrenNotPractisingForAWeek()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        {
            AnswerLogWriter writer(folder);
            Drills(writer, QStringLiteral("Six Days")).answer(Today.addDays(-6), 3, 7, 1200);
            Drills seven(writer, QStringLiteral("Seven Days"));
            seven.answer(Today.addDays(-9), 3, 7, 1200);
            seven.answer(Today.addDays(-7), 3, 4, 1200, Operation::Addition);
            Drills adds(writer, QStringLiteral("Adds Daily"));
            adds.answer(Today.addDays(-30), 3, 7, 1200);
            adds.answer(Today.addDays(-1), 3, 4, 1200, Operation::Addition);
        }
        QVERIFY(writeFileAtomically(
                    QDir(folder).filePath(answerLogFileName(QStringLiteral("Zoe Never"), QStringLiteral("PC1"))),
                    answerLogHeader().toUtf8())
                    .ok);

        const ClassView view = classView(folder, Operation::Multiplication, 3000, Today);
        QCOMPARE(view.students.size(), std::size_t(4));
        const std::vector<PracticeGap> gaps = practiceGaps(view);
        QCOMPARE(gaps.size(), std::size_t(2));
        QCOMPARE(gaps[0].name, QStringLiteral("Zoe Never"));
        QVERIFY(!gaps[0].lastPractised);
        QCOMPARE(gaps[1].name, QStringLiteral("Seven Days"));
        QCOMPARE(gaps[1].lastPractised, std::optional<QDate>(Today.addDays(-7)));
    }

    void aFamilysColourFromItsShares_data()
    {
        QTest::addColumn<int>("known");
        QTest::addColumn<int>("almost");
        QTest::addColumn<int>("teach");
        QTest::addColumn<int>("notAsked");
        QTest::addColumn<FactLevel>("level");
        QTest::newRow("four in five known") << 8 << 0 << 2 << 0 << FactLevel::KnowsIt;
        QTest::newRow("under four in five, a fifth to teach") << 7 << 1 << 2 << 0 << FactLevel::TeachIt;
        QTest::newRow("a fifth of those asked to teach") << 0 << 4 << 1 << 8 << FactLevel::TeachIt;
        QTest::newRow("under a fifth to teach") << 1 << 4 << 1 << 7 << FactLevel::Almost;
        QTest::newRow("nothing asked") << 0 << 0 << 0 << 13 << FactLevel::NotAsked;
    }
    void aFamilysColourFromItsShares()
    {
        QFETCH(int, known);
        QFETCH(int, almost);
        QFETCH(int, teach);
        QFETCH(int, notAsked);
        QFETCH(FactLevel, level);
        QCOMPARE(familyLevel({known, almost, teach, notAsked}), level);
    }
};

QTEST_GUILESS_MAIN(TestClassView)

#include "test_classview.moc"
