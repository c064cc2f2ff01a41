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
};

// The first and second number of a printed fact, from the numbers in its
// text; rows alternate between the two shapes of their kind.
std::pair<int, int> numbersOf(Operation operation, bool secondRow, const QList<int> &n)
{
    switch (operation) {
    case Operation::FactsOfTen:
        return {secondRow ? n[1] : n[0], 0};
    case Operation::Addition:
        return secondRow ? std::pair {n[0], n[1]} : std::pair {n[0], n[1] - n[0]};
    case Operation::Subtraction:
        return secondRow ? std::pair {n[0] - n[1], n[1]} : std::pair {n[1], n[0] - n[1]};
    case Operation::Multiplication:
        return secondRow ? std::pair {n[0], n[1] / n[0]} : std::pair {n[0], n[1]};
    case Operation::Division:
        break;
    }
    return secondRow ? std::pair {n[1], n[0] / n[1]} : std::pair {n[0], n[1] / n[0]};
}

// The rows of facts of a page; a division page's answer lines are left out.
QList<QList<ReadFact>> factRows(const PrintPage &page, Operation operation)
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    QList<QList<ReadFact>> rows;
    for (const PrintLine &line : page.lines) {
        if (line.pointSize == HeaderPointSize || line.pointSize == FooterPointSize || line.pieces.isEmpty() ||
            line.pieces.first().text == QLatin1String("___"))
            continue;
        QList<ReadFact> row;
        for (const PrintPiece &piece : line.pieces) {
            QList<int> numbers;
            for (const QRegularExpressionMatch &m : number.globalMatch(piece.text))
                numbers << m.captured().toInt();
            const auto [a, b] = numbersOf(operation, rows.size() % 2 == 1, numbers);
            row.append({piece.column, a, b});
        }
        rows.append(row);
    }
    return rows;
}

WorksheetRequest requestOf(Operation operation, FactRange range = FactRange::ZeroToNine, QString message = {})
{
    return {operation, range, std::move(message), QStringLiteral("footer")};
}

// One letter a line: "h"eader, "b"ody, "d"ivision, "f"ooter by its size,
// upper case when it has text.
QString shapeOf(const PrintPage &page)
{
    QString shape;
    for (const PrintLine &line : page.lines) {
        const QChar c = line.pointSize == HeaderPointSize ? u'h'
            : line.pointSize == BodyPointSize             ? u'b'
            : line.pointSize == DivisionPointSize         ? u'd'
                                                          : u'f';
        shape += line.pieces.isEmpty() ? c : c.toUpper();
    }
    return shape;
}

} // namespace

class TestWorksheet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void numbersKeepTheirRules_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("0 to 9") << 10;
        QTest::newRow("0 to 12") << 13;
        QTest::newRow("Facts of Ten, 0 to 10") << 11;
    }
    void numbersKeepTheirRules()
    {
        QFETCH(int, count);
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
        QCOMPARE(int(firsts.size()), count); // every value of 0 to count - 1 drawn
        QVERIFY(*firsts.begin() == 0 && *firsts.rbegin() == count - 1);
        // 2 to 9 only, 7 and 8 twice as often as each of the others.
        QCOMPARE(seconds.size(), std::size_t {8});
        for (const auto &[b, times] : seconds) {
            const double expected = (b == 7 || b == 8) ? 0.2 : 0.1;
            QVERIFY2(b >= 2 && b <= 9 && std::abs(double(times) / (Draws * 10) - expected) < 0.02,
                     qPrintable(QString::number(b)));
        }
        // A generator stuck on one value still ends with ten different numbers.
        test::FakeRandom stuck;
        stuck.draws = {0.5};
        const WorksheetNumbers numbers = drawWorksheetNumbers(stuck, count);
        QCOMPARE(std::set<int>(numbers.first.begin(), numbers.first.end()).size(), std::size_t {10});
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
    // Many worksheets: no fact about 0 or 1 (nor dividing by them), second
    // numbers 2 to 9, the whole range met, every fact in its column.
    void everyFactKeepsItsRules()
    {
        QFETCH(Operation, operation);
        QFETCH(FactRange, range);
        QFETCH(int, highestA);
        SystemRandom random = frozenRandom();
        std::set<int> seenA;
        for (int sheet = 0; sheet < 100; ++sheet) {
            const QList<QList<ReadFact>> rows = factRows(worksheetPage(requestOf(operation, range), random), operation);
            QCOMPARE(rows.size(), 10);
            for (qsizetype r = 0; r < rows.size(); ++r) {
                const std::array<int, 5> &columns = operation != Operation::Division ? FactColumns
                    : r % 2 == 0                                                     ? LongDivisionColumns
                                                                                     : DivisionColumns;
                QCOMPARE(rows[r].size(), 5);
                for (std::size_t i = 0; i < 5; ++i) {
                    const ReadFact &fact = rows[r][qsizetype(i)];
                    QCOMPARE(fact.column, columns[i]);
                    QVERIFY2(fact.a >= 2 && fact.a <= highestA, qPrintable(QString::number(fact.a)));
                    QVERIFY(operation == Operation::FactsOfTen || (fact.b >= 2 && fact.b <= 9));
                    seenA.insert(fact.a);
                }
            }
        }
        QCOMPARE(int(seenA.size()), highestA - 1); // 2 to the top of the range, ten for Facts of Ten
    }

    // With the range 0 to 9 a block's first numbers are 0 to 9 twice over,
    // 0 and 1 printed as 8 or 9 by the row they fall in.
    void additionBlocksCoverTwoToNine()
    {
        SystemRandom random = frozenRandom();
        for (int sheet = 0; sheet < 100; ++sheet) {
            const auto rows = factRows(worksheetPage(requestOf(Operation::Addition), random), Operation::Addition);
            for (qsizetype block = 0; block < 5; ++block) {
                std::map<int, int> times;
                for (const ReadFact &fact : rows[block * 2] + rows[block * 2 + 1])
                    ++times[fact.a];
                for (int a = 2; a <= 7; ++a)
                    QCOMPARE(times[a], 1);
                QCOMPARE(times[8] + times[9], 4);
                QVERIFY(times[8] >= 1 && times[9] >= 1);
            }
        }
    }

    // Every block, every division row and every copy has numbers of its own,
    // even with the clock standing still.
    void numbersAreFreshForEveryBlockRowAndCopy_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("rowsPerDraw");
        QTest::newRow("addition blocks") << Operation::Addition << 2;
        QTest::newRow("division rows") << Operation::Division << 1;
    }
    void numbersAreFreshForEveryBlockRowAndCopy()
    {
        QFETCH(Operation, operation);
        QFETCH(int, rowsPerDraw);
        SystemRandom random = frozenRandom();
        const QList<PrintPage> pages = worksheetPages(requestOf(operation), 3, random);
        QCOMPARE(pages.size(), 3);
        QVERIFY(pages[0] != pages[1] && pages[1] != pages[2] && pages[0] != pages[2]);
        for (const PrintPage &page : pages) {
            QList<QList<std::pair<int, int>>> draws;
            const auto rows = factRows(page, operation);
            for (qsizetype r = 0; r < rows.size(); ++r) {
                if (r % rowsPerDraw == 0)
                    draws.append(QList<std::pair<int, int>>());
                for (const ReadFact &fact : rows[r])
                    draws.last().append({fact.a, fact.b});
            }
            for (qsizetype i = 1; i < draws.size(); ++i)
                QVERIFY2(draws[i] != draws[i - 1], qPrintable(QStringLiteral("draw %1 repeats").arg(i)));
        }
    }

    // Lines, sizes and texts of the page. The stuck generator draws first
    // numbers 0, 1, 2, ... and second numbers 1, which becomes 7.
    void pageLayout_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QStringList>("firstFacts"); // of the first two rows of facts
        const QString blocks = QStringLiteral("Bbbb").repeated(10) + u'F';
        QTest::newRow("facts of ten, message")
            << Operation::FactsOfTen << QStringLiteral("Bring a pencil.") << QStringLiteral("hhHhhHhhhh") + blocks
            << QStringList {"__+ 4 = 10", "10 -  5 = __"};
        QTest::newRow("addition") << Operation::Addition << QString() << QStringLiteral("hhHhhhhhhh") + blocks
                                  << QStringList {" 8 +__ = 15 ", " 5 + 7 =__"};
        QTest::newRow("subtraction") << Operation::Subtraction << QString() << QStringLiteral("hhHhhhhhhh") + blocks
                                     << QStringList {" 15  - __ = 8 ", " 12  -  7  =__"};
        QTest::newRow("multiplication") << Operation::Multiplication << QString()
                                        << QStringLiteral("hhHhhhhhhh") + blocks
                                        << QStringList {" 9  x  7  =__", " 5  x __= 35 "};
        // Answer lines over the long divisions; four empty lines after the first.
        QTest::newRow("division") << Operation::Division << QString()
                                  << QStringLiteral("hhHhhhhhhhDDddddDddd") + QStringLiteral("DDdddDddd").repeated(4) +
                QStringLiteral("F")
                                  << QStringList {"9)63", " 63 \u00F7 9 = __"};
    }
    void pageLayout()
    {
        QFETCH(Operation, operation);
        QFETCH(QString, message);
        QFETCH(QString, shape);
        QFETCH(QStringList, firstFacts);
        test::FakeRandom random;
        const PrintPage page = worksheetPage(requestOf(operation, FactRange::ZeroToNine, message), random);
        QCOMPARE(shapeOf(page), shape);
        for (const PrintLine &line : page.lines)
            QCOMPARE(line.fontFamily, QStringLiteral("Courier"));
        QCOMPARE(page.lines[2].pieces.first().text,
                 QStringLiteral("Name_________________________________________  Date______________         ") +
                     worksheetTitle(operation));
        if (!message.isEmpty())
            QCOMPARE(page.lines[5].pieces.first().text, message);
        QStringList facts;
        for (const PrintLine &line : page.lines)
            if (line.pointSize > HeaderPointSize && !line.pieces.isEmpty() && line.pieces[0].text != u"___")
                facts << line.pieces.first().text;
        QCOMPARE(facts.mid(0, 2), firstFacts);
    }

    // The line a quotient is written on stands over the dividend, after a
    // divisor of one digit or of two.
    void answerLinesStandOverTheDividends()
    {
        SystemRandom random = frozenRandom();
        std::set<qsizetype> divisorWidths;
        for (int sheet = 0; sheet < 20; ++sheet) {
            const PrintPage page = worksheetPage(requestOf(Operation::Division, FactRange::ZeroToTwelve), random);
            for (qsizetype i = 0; i + 1 < page.lines.size(); ++i) {
                const QList<PrintPiece> &answers = page.lines[i].pieces;
                if (answers.isEmpty() || answers.first().text != u"___")
                    continue;
                const QList<PrintPiece> &facts = page.lines[i + 1].pieces;
                QCOMPARE(answers.size(), facts.size());
                for (qsizetype k = 0; k < facts.size(); ++k) {
                    const qsizetype bracket = facts[k].text.indexOf(u')');
                    divisorWidths.insert(bracket);
                    QCOMPARE(answers[k].column, facts[k].column + bracket + 1);
                }
            }
        }
        QCOMPARE(divisorWidths, std::set<qsizetype>({1, 2}));
    }
};

QTEST_GUILESS_MAIN(TestWorksheet)
#include "test_worksheet.moc"
