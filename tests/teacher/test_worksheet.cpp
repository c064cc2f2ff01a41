#include "platform/systemrandom.h"
#include "support/corefakes.h"
#include "teacher/worksheet.h"

#include <QRegularExpression>
#include <QTest>

#include <map>
#include <set>

using namespace plovista;

Q_DECLARE_METATYPE(plovista::Operation)
Q_DECLARE_METATYPE(plovista::FactRange)

namespace {

// A clock that never moves: every reseed sees the same time.
SystemRandom frozenRandom()
{
    return SystemRandom([] { return std::uint64_t {42}; });
}

struct ReadFact
{
    int column;
    int a; // the first number as printed, after its replacement
    int b;
    int answerColumn; // where the line over a long division starts, 0 for none
};

// A and B of a printed fact from the numbers in its text; the rows of facts
// alternate between the two shapes of their kind.
std::pair<int, int> numbersOf(Operation operation, bool secondRow, const QList<int> &n)
{
    switch (operation) {
    case Operation::FactsOfTen:
        return {secondRow ? n[1] : n[0], 0};
    case Operation::Addition:
        return {n[0], secondRow ? n[1] : n[1] - n[0]};
    case Operation::Subtraction:
        return secondRow ? std::pair {n[0] - n[1], n[1]} : std::pair {n[1], n[0] - n[1]};
    case Operation::Multiplication:
        return {n[0], secondRow ? n[1] / n[0] : n[1]};
    case Operation::Division:
        break;
    }
    return secondRow ? std::pair {n[1], n[0] / n[1]} : std::pair {n[0], n[1] / n[0]};
}

// The rows of facts of a page, each long division with the line above it.
QList<QList<ReadFact>> factRows(const PrintPage &page, Operation operation)
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    QList<QList<ReadFact>> rows;
    QList<PrintPiece> answerLines;
    for (const PrintLine &line : page.lines) {
        if (line.pointSize <= HeaderPointSize || line.pieces.isEmpty())
            continue;
        if (line.pieces[0].text == u"___") {
            answerLines = line.pieces;
            continue;
        }
        rows.append(QList<ReadFact>());
        for (const PrintPiece &piece : line.pieces) {
            QList<int> numbers;
            for (const QRegularExpressionMatch &m : number.globalMatch(piece.text))
                numbers << m.captured().toInt();
            const auto [a, b] = numbersOf(operation, rows.size() % 2 == 0, numbers);
            const qsizetype i = rows.last().size();
            rows.last().append({piece.column, a, b, i < answerLines.size() ? answerLines[i].column : 0});
        }
        answerLines.clear();
    }
    return rows;
}

WorksheetRequest requestOf(Operation operation, FactRange range = FactRange::ZeroToNine, QString message = {})
{
    return {operation, range, std::move(message), QStringLiteral("footer")};
}

} // namespace

class TestWorksheet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void numbersKeepTheirRules()
    {
        for (const int count : {10, 13, 11}) {
            SystemRandom random = frozenRandom();
            std::map<int, int> seconds;
            std::set<int> firsts;
            constexpr int Draws = 3000;
            for (int i = 0; i < Draws; ++i) {
                const WorksheetNumbers numbers = drawWorksheetNumbers(random, count);
                const std::set<int> distinct(numbers.first.begin(), numbers.first.end());
                QCOMPARE(distinct.size(), std::size_t {10});
                firsts.insert(distinct.begin(), distinct.end());
                for (const int b : numbers.second)
                    ++seconds[b];
            }
            QCOMPARE(int(firsts.size()), count); // every value of 0 to count - 1
            QVERIFY(*firsts.begin() == 0 && *firsts.rbegin() == count - 1);
            // 2 to 9 only, 7 and 8 twice as often as each of the others.
            QCOMPARE(seconds.size(), std::size_t {8});
            for (const auto &[b, times] : seconds)
                QVERIFY2(b >= 2 && b <= 9 && std::abs(times / (Draws * 10.0) - (b == 7 || b == 8 ? 0.2 : 0.1)) < 0.02,
                         qPrintable(QString::number(b)));
            // A generator stuck on one value still ends with ten different numbers.
            test::FakeRandom stuck;
            stuck.draws = {0.5};
            const WorksheetNumbers numbers = drawWorksheetNumbers(stuck, count);
            QCOMPARE(std::set<int>(numbers.first.begin(), numbers.first.end()).size(), std::size_t {10});
        }
    }

    void everyFactKeepsItsRules_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<FactRange>("range");
        QTest::addColumn<int>("highestA");
        for (const auto &[name, operation] :
             {std::pair {"addition", Operation::Addition}, std::pair {"subtraction", Operation::Subtraction},
              std::pair {"multiplication", Operation::Multiplication}, std::pair {"division", Operation::Division}}) {
            QTest::addRow("%s 0 to 9", name) << operation << FactRange::ZeroToNine << 9;
            QTest::addRow("%s 0 to 12", name) << operation << FactRange::ZeroToTwelve << 12;
        }
        QTest::newRow("facts of ten") << Operation::FactsOfTen << FactRange::ZeroToTwelve << 10;
    }
    // Many worksheets: no fact about 0 or 1 and nothing divided by them,
    // second numbers 2 to 9, the whole range met (divisors of one digit and of
    // two), every fact in its column, new numbers for every block (every row
    // of a division worksheet).
    void everyFactKeepsItsRules()
    {
        QFETCH(Operation, operation);
        QFETCH(FactRange, range);
        QFETCH(int, highestA);
        const bool division = operation == Operation::Division;
        SystemRandom random = frozenRandom();
        std::set<int> seenA;
        int repeats = 0;
        for (int sheet = 0; sheet < 100; ++sheet) {
            const QList<QList<ReadFact>> rows = factRows(worksheetPage(requestOf(operation, range), random), operation);
            QCOMPARE(rows.size(), 10);
            for (qsizetype r = 0; r < rows.size(); ++r) {
                const std::array<int, 5> columns = !division ? std::array {1, 19, 38, 57, 76}
                    : r % 2 == 0                             ? std::array {7, 26, 46, 66, 86}
                                                             : std::array {6, 25, 45, 65, 85};
                QCOMPARE(rows[r].size(), 5);
                for (std::size_t i = 0; i < 5; ++i) {
                    const ReadFact &fact = rows[r][qsizetype(i)];
                    QCOMPARE(fact.column, columns[i]);
                    // The quotient's line stands over the dividend.
                    if (division && r % 2 == 0)
                        QCOMPARE(fact.answerColumn, fact.column + int(QString::number(fact.a).size()) + 1);
                    QVERIFY2(fact.a >= 2 && fact.a <= highestA, qPrintable(QString::number(fact.a)));
                    QVERIFY(operation == Operation::FactsOfTen || (fact.b >= 2 && fact.b <= 9));
                    seenA.insert(fact.a);
                }
                // A repeat of the second numbers of the row drawn before.
                const qsizetype before = r - (division ? 1 : 2);
                repeats += before >= 0 &&
                    std::equal(rows[r].begin(), rows[r].end(), rows[before].begin(),
                               [](const ReadFact &x, const ReadFact &y) { return x.b == y.b; });
            }
            // With 0 to 9 a block's first numbers are 0 to 9 twice over, 0 and
            // 1 printed as 8 or 9 by the row they fall in.
            for (qsizetype block = 0; !division && range == FactRange::ZeroToNine && block < 5; ++block) {
                std::map<int, int> times;
                for (const ReadFact &fact : rows[block * 2] + rows[block * 2 + 1])
                    ++times[fact.a];
                for (int a = 2; a <= 7; ++a)
                    QCOMPARE(times[a], 1);
                QVERIFY(times[8] + times[9] == 4 && times[8] && times[9]);
            }
        }
        QCOMPARE(int(seenA.size()), highestA - 1); // 2 to the top of the range, ten for Facts of Ten
        // Numbers drawn afresh meet the same five second numbers by chance
        // about once in 20,000 rows.
        QVERIFY2(operation == Operation::FactsOfTen || repeats < 5, qPrintable(QString::number(repeats)));
    }

    void everyCopyIsNewWhenTheClockStandsStill()
    {
        SystemRandom random = frozenRandom();
        const QList<PrintPage> pages = worksheetPages(requestOf(Operation::Multiplication), 3, random);
        QCOMPARE(pages.size(), 3);
        QVERIFY(pages[0] != pages[1] && pages[1] != pages[2] && pages[0] != pages[2]);
    }

    // Lines, sizes and texts of a page, one letter a line by its size (header,
    // body, division, footer), upper case when it has text; and what 0 and 1
    // become in each row. The stuck generator draws second numbers 1 (as 7)
    // and first numbers 0, 1, 2, ..., or 5, ..., 9, 0, 1, ... for the second
    // row of a block.
    void pageLayout_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QStringList>("firstFacts"); // of the first two rows of facts
        QTest::addColumn<QList<int>>("replacements"); // of 0 and 1, row by row
        const QString header = QStringLiteral("hhHhhhhhhh");
        const QString blocks = QStringLiteral("Bbbb").repeated(10) + u'F';
        QTest::newRow("facts of ten, message")
            << Operation::FactsOfTen << QStringLiteral("Bring a pencil.") << QStringLiteral("hhHhhHhhhh") + blocks
            << QStringList {"__+ 4 = 10", "10 -  5 = __"} << QList<int> {4, 3, 3, 4};
        QTest::newRow("addition") << Operation::Addition << QString() << header + blocks
                                  << QStringList {" 8 +__ = 15 ", " 5 + 7 =__"} << QList<int> {8, 9, 9, 8};
        QTest::newRow("subtraction") << Operation::Subtraction << QString() << header + blocks
                                     << QStringList {" 15  - __ = 8 ", " 12  -  7  =__"} << QList<int> {8, 9, 9, 8};
        QTest::newRow("multiplication") << Operation::Multiplication << QString() << header + blocks
                                        << QStringList {" 9  x  7  =__", " 5  x __= 35 "} << QList<int> {9, 8, 8, 9};
        // Answer lines over the long divisions; four empty lines after the
        // first. Every row draws anew: the five pairs of rows.
        QTest::newRow("division") << Operation::Division << QString()
                                  << header + QStringLiteral("DDddddDddd") + QStringLiteral("DDdddDddd").repeated(4) +
                QStringLiteral("F")
                                  << QStringList {"9)63", " 63 \u00F7 9 = __"}
                                  << QList<int> {9, 8, 9, 7, 8, 6, 5, 4, 8, 6, 9, 7, 8, 6, 5, 4, 9, 8, 9, 7};
    }
    void pageLayout()
    {
        QFETCH(Operation, operation);
        QFETCH(QString, message);
        QFETCH(QString, shape);
        QFETCH(QStringList, firstFacts);
        QFETCH(QList<int>, replacements);
        test::FakeRandom random;
        const PrintPage page = worksheetPage(requestOf(operation, FactRange::ZeroToNine, message), random);
        QString shapeSeen;
        QStringList facts;
        for (const PrintLine &line : page.lines) {
            QCOMPARE(line.fontFamily, QStringLiteral("Courier"));
            const std::map<int, QChar> letters = {
                {HeaderPointSize, u'h'}, {BodyPointSize, u'b'}, {DivisionPointSize, u'd'}, {FooterPointSize, u'f'}};
            shapeSeen += line.pieces.isEmpty() ? letters.at(line.pointSize) : letters.at(line.pointSize).toUpper();
            if (line.pointSize > HeaderPointSize && !line.pieces.isEmpty() && line.pieces[0].text != u"___")
                facts << line.pieces[0].text;
        }
        QCOMPARE(shapeSeen, shape);
        QCOMPARE(page.lines[2].pieces[0].text,
                 QStringLiteral("Name_________________________________________  Date______________         ") +
                     worksheetTitle(operation));
        if (!message.isEmpty())
            QCOMPARE(page.lines[5].pieces[0].text, message);
        QCOMPARE(facts.mid(0, 2), firstFacts);

        QList<int> replaced;
        for (const double draw : {0.0, 0.55}) {
            random.draws = {draw};
            const auto rows = factRows(worksheetPage(requestOf(operation), random), operation);
            for (qsizetype r = 0; r < rows.size(); ++r)
                if (operation == Operation::Division ? draw == 0.0 : r == (draw == 0.0 ? 0 : 1))
                    replaced << rows[r][0].a << rows[r][1].a;
        }
        QCOMPARE(replaced, replacements);
    }
};

QTEST_GUILESS_MAIN(TestWorksheet)
#include "test_worksheet.moc"
