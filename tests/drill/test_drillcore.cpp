#include "drill/answerbox.h"
#include "drill/drillsequence.h"
#include "drill/drillspeech.h"
#include "drill/facts.h"
#include "drill/factslayout.h"
#include "support/corefakes.h"

#include <QTest>

#include <algorithm>
#include <random>
#include <set>

using namespace plovista;
using plovista::test::FakeRandom;

Q_DECLARE_METATYPE(plovista::Operation)
Q_DECLARE_METATYPE(plovista::FactRange)
Q_DECLARE_METATYPE(plovista::FactSign)
Q_DECLARE_METATYPE(plovista::ReadingChannel)
Q_DECLARE_METATYPE(std::vector<int>)

namespace {

// The draw that gives value v from a span: the middle of v's slice of [0, 1).
double drawFor(ValueSpan span, int v)
{
    return (v - span.low + 0.5) / span.count;
}

DrillChoice choiceOf(Operation operation, int factOption, FactRange range = FactRange::ZeroToNine, int format = 2)
{
    DrillChoice choice;
    choice.operation = operation;
    choice.factOption = factOption;
    choice.range = range;
    choice.factsOfTenFormat = format;
    return choice;
}

// A drill as the menus leave it, driven press by press as the window would.
struct Drill
{
    Drill(const DrillChoice &choice, int factsCount)
    {
        setup.choice = choice;
        setup.factsCount = factsCount;
        sequence.resetCounters();
        sequence.prepare(factsCount);
    }

    void script(std::initializer_list<int> values)
    {
        for (int v : values)
            random.draws.push_back(drawFor(valueSpan(setup.choice), v));
    }

    void scriptNoise(unsigned seed, int count)
    {
        std::mt19937 engine(seed);
        std::uniform_real_distribution<double> uniform(0.0, 1.0);
        for (int i = 0; i < count; ++i)
            random.draws.push_back(uniform(engine));
    }

    PressResult press(const QString &answer = QString()) { return sequence.press(answer, setup, random); }

    static QString rightAnswer(const PressResult &shown) { return QString::number(shown.fact->answer); }
    static QString wrongAnswer(const PressResult &shown) { return QString::number(shown.fact->answer + 1); }

    DrillSequence sequence;
    DrillSetup setup;
    FakeRandom random;
};

} // namespace

class TestDrillCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void makeFactShowsNumbersAndAnswer_data();
    void makeFactShowsNumbersAndAnswer();
    void drawCoversTheWholeSpan_data();
    void drawCoversTheWholeSpan();
    void drawRefusesUsedValuesAfterOneReseed();
    void drawEndsWithAStuckGenerator();
    void answerValue_data();
    void answerValue();
    void answerBoxFitsTheLongestAnswer_data();
    void answerBoxFitsTheLongestAnswer();
    void verticalRulesStandAsDesigned();

    void everyBlockOfTenUsesEachValueOnce_data();
    void everyBlockOfTenUsesEachValueOnce();
    void countdownAndButtonThroughADrill();
    void blockResetsOnThePressThatChecksFactTen();
    void missedValueCanComeBackInItsBlock();
    void twoWrongAnswersCountOnce();
    void wrongAnswerToLastFactEndsTheDrill();
    void emptyAnswerAsksAgainAndChangesNothing();
    void zeroIsAnAnswer();
    void feedbackDrawsComeBeforeTheNextFact();
    void closingTheWindowMarksAnIncompleteDrill();

    void spokenFacts_data();
    void spokenFacts();
    void rightFeedbackTables_data();
    void rightFeedbackTables();
    void wrongFeedbackTable_data();
    void wrongFeedbackTable();
    void switchedOffChannelsMakeNoDraw();
};

void TestDrillCore::makeFactShowsNumbersAndAnswer_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("left");
    QTest::addColumn<FactSign>("sign");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("answer");

    QTest::newRow("7 + 5") << Operation::Addition << 5 << 0 << 7 << 7 << FactSign::Plus << 5 << 12;
    QTest::newRow("12 - 5") << Operation::Subtraction << 5 << 0 << 7 << 12 << FactSign::Minus << 5 << 7;
    QTest::newRow("0 - 9") << Operation::Subtraction << 9 << 0 << 0 << 9 << FactSign::Minus << 9 << 0;
    QTest::newRow("12 x 12") << Operation::Multiplication << 12 << 0 << 12 << 12 << FactSign::Times << 12 << 144;
    QTest::newRow("36 / 4") << Operation::Division << 4 << 0 << 9 << 36 << FactSign::DividedBy << 4 << 9;
    QTest::newRow("0 / 7") << Operation::Division << 7 << 0 << 0 << 0 << FactSign::DividedBy << 7 << 0;
    QTest::newRow("ten format 1") << Operation::FactsOfTen << 0 << 1 << 3 << 10 << FactSign::Minus << 3 << 7;
    QTest::newRow("ten format 2") << Operation::FactsOfTen << 0 << 2 << 3 << 3 << FactSign::Plus << 10 << 7;
    QTest::newRow("ten, 10 leaves 0") << Operation::FactsOfTen << 0 << 2 << 10 << 10 << FactSign::Plus << 10 << 0;
}

void TestDrillCore::makeFactShowsNumbersAndAnswer()
{
    QFETCH(Operation, operation);
    QFETCH(int, option);
    QFETCH(int, format);
    QFETCH(int, value);

    const Fact fact = makeFact(choiceOf(operation, option, FactRange::ZeroToTwelve, format), value);
    QTEST(fact.left, "left");
    QTEST(fact.sign, "sign");
    QTEST(fact.right, "right");
    QTEST(fact.answer, "answer");
    QCOMPARE(fact.value, value);
}

void TestDrillCore::drawCoversTheWholeSpan_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<FactRange>("range");
    QTest::addColumn<int>("lowest");
    QTest::addColumn<int>("highest");

    QTest::newRow("0 to 9") << Operation::Addition << FactRange::ZeroToNine << 0 << 9;
    QTest::newRow("0 to 12") << Operation::Division << FactRange::ZeroToTwelve << 0 << 12;
    // The range boxes mean nothing to a Facts of Ten drill.
    QTest::newRow("ten") << Operation::FactsOfTen << FactRange::ZeroToTwelve << 1 << 10;
}

void TestDrillCore::drawCoversTheWholeSpan()
{
    QFETCH(Operation, operation);
    QFETCH(FactRange, range);
    QFETCH(int, lowest);
    QFETCH(int, highest);

    const DrillChoice choice = choiceOf(operation, 3, range);
    const UsedValueList nothingUsed {};
    FakeRandom random;
    random.draws = {0.0};
    QCOMPARE(drawFactValue(random, choice, nothingUsed, 10), lowest);
    random.draws = {0.99999};
    QCOMPARE(drawFactValue(random, choice, nothingUsed, 10), highest);
    // A generator that strays to 1 still lands in the span.
    random.draws = {1.0};
    QCOMPARE(drawFactValue(random, choice, nothingUsed, 10), highest);
}

void TestDrillCore::drawRefusesUsedValuesAfterOneReseed()
{
    const DrillChoice choice = choiceOf(Operation::Addition, 4);
    const ValueSpan span = valueSpan(choice);
    UsedValueList used {};
    used[0] = 6; // entry 0 is compared too
    used[2] = 3;
    used[10] = 5; // the last entry compared in a 10-fact drill
    used[11] = 8; // beyond the drill's facts: not compared

    FakeRandom random;
    random.draws = {drawFor(span, 3), drawFor(span, 6), drawFor(span, 5), drawFor(span, 8)};
    QCOMPARE(drawFactValue(random, choice, used, 10), 8);
    QCOMPARE(random.reseeds, 1);
    QCOMPARE(random.drawn, 4);
}

void TestDrillCore::drawEndsWithAStuckGenerator()
{
    const DrillChoice choice = choiceOf(Operation::Multiplication, 6);
    FakeRandom random;
    random.last = 0.0; // always 0: the value 0 every time

    UsedValueList used {};
    for (int i = 1; i <= 4; ++i)
        used[static_cast<std::size_t>(i)] = i - 1; // 0, 1, 2, 3 taken
    QCOMPARE(drawFactValue(random, choice, used, 10), 4);

    // A damaged list with every value taken: the draw still returns one.
    for (int i = 1; i <= 10; ++i)
        used[static_cast<std::size_t>(i)] = i - 1;
    const int value = drawFactValue(random, choice, used, 10);
    QVERIFY(value >= 0 && value <= 9);

    // A count beyond the list is held to its last entry instead of overrunning.
    QCOMPARE(drawFactValue(random, choice, used, 500), value);
}

void TestDrillCore::answerValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: no answer

    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("blank") << QStringLiteral("  ") << -1;
    QTest::newRow("00") << QStringLiteral("00") << -1;
    QTest::newRow("000") << QStringLiteral("000") << -1;
    QTest::newRow("0") << QStringLiteral("0") << 0;
    QTest::newRow("7") << QStringLiteral("7") << 7;
    QTest::newRow("07") << QStringLiteral("07") << 7;
    QTest::newRow("144") << QStringLiteral("144") << 144;
    QTest::newRow("letters after digits") << QStringLiteral("5a") << -1;
    QTest::newRow("letters") << QStringLiteral("ab") << -1;
    QTest::newRow("sign") << QStringLiteral("-3") << -1;
}

void TestDrillCore::answerValue()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<int> value = plovista::answerValue(text);
    QCOMPARE(value.value_or(-1), expected);
}

void TestDrillCore::answerBoxFitsTheLongestAnswer_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("length");
    QTest::newRow("addition") << Operation::Addition << 2;
    QTest::newRow("subtraction") << Operation::Subtraction << 2;
    QTest::newRow("multiplication") << Operation::Multiplication << 3;
    QTest::newRow("division") << Operation::Division << 2;
    QTest::newRow("ten") << Operation::FactsOfTen << 1;
}

// The box must take every answer the drill can ask, and no more digits.
void TestDrillCore::answerBoxFitsTheLongestAnswer()
{
    QFETCH(Operation, operation);
    QFETCH(int, length);
    QCOMPARE(maxAnswerLength(operation), length);

    qsizetype longest = 0;
    for (int option = 2; option <= 12; ++option) {
        for (int format = 1; format <= 2; ++format) {
            const DrillChoice choice = choiceOf(operation, option, FactRange::ZeroToTwelve, format);
            const ValueSpan span = valueSpan(choice);
            for (int v = span.low; v < span.low + span.count; ++v)
                longest = std::max(longest, QString::number(makeFact(choice, v).answer).size());
        }
    }
    QCOMPARE(longest, qsizetype(length));
}

// The rule of a vertical fact and the rule of its correction are two lines,
// 600 to 1600 and 2300 to 3300 twips, for every fact of every such drill; the
// numbers and the answer box stand within them.
void TestDrillCore::verticalRulesStandAsDesigned()
{
    using E = FactsElement;
    for (Operation operation : {Operation::Addition, Operation::Subtraction, Operation::Multiplication}) {
        for (int option = 2; option <= 12; ++option) {
            const DrillChoice choice = choiceOf(operation, option, FactRange::ZeroToTwelve);
            const FactsLayout layout = factsLayout(choice, true);
            const ValueSpan span = valueSpan(choice);
            for (int v = span.low; v < span.low + span.count; ++v) {
                const FactsLayout l = fitToFact(layout, makeFact(choice, v));
                const QByteArray where = QByteArray::number(int(operation)) + " option " + QByteArray::number(option) +
                    " value " + QByteArray::number(v);
                QVERIFY2((l.line(4) == LineSpan {600, 2600, 1600, 2600, true}), where);
                QVERIFY2((l.line(5) == LineSpan {2300, 2600, 3300, 2600, false}), where);
                const auto within = [&l](E element, int x1, int x2) {
                    const Placement &p = l.at(element);
                    return p.left + p.width <= x2 && p.left + p.width > x1;
                };
                for (E e : {E::FactsVariable, E::FactsConstant, E::Text1})
                    QVERIFY2(within(e, 600, 1600), where + " " + factsElementName(e).toLatin1());
                for (E e : {E::FactsVariableFix, E::FactsConstantFix, E::FactsAnsFix})
                    QVERIFY2(within(e, 2300, 3300), where + " " + factsElementName(e).toLatin1());
                QVERIFY2(l.at(E::Text1).left >= 600, where);
            }
        }
    }
}

void TestDrillCore::everyBlockOfTenUsesEachValueOnce_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("factsCount");
    QTest::addColumn<std::vector<int>>("allValues");

    const std::vector<int> zeroToNine {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::vector<int> oneToTen {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("10 additions") << Operation::Addition << 0 << 10 << zeroToNine;
    QTest::newRow("30 divisions") << Operation::Division << 0 << 30 << zeroToNine;
    QTest::newRow("50 multiplications") << Operation::Multiplication << 0 << 50 << zeroToNine;
    QTest::newRow("20 tens, format 1") << Operation::FactsOfTen << 1 << 20 << oneToTen;
    QTest::newRow("20 tens, format 2") << Operation::FactsOfTen << 2 << 20 << oneToTen;
    QTest::newRow("40 tens") << Operation::FactsOfTen << 2 << 40 << oneToTen;
}

void TestDrillCore::everyBlockOfTenUsesEachValueOnce()
{
    QFETCH(Operation, operation);
    QFETCH(int, format);
    QFETCH(int, factsCount);
    QFETCH(std::vector<int>, allValues);

    Drill drill(choiceOf(operation, 7, FactRange::ZeroToNine, format), factsCount);
    drill.scriptNoise(static_cast<unsigned>(factsCount) * 31u + static_cast<unsigned>(format), 20000);

    std::vector<int> shown;
    PressResult result = drill.press();
    while (result.fact) {
        QVERIFY(!result.askedAgain);
        shown.push_back(result.fact->value);
        result = drill.press(Drill::rightAnswer(result));
        QCOMPARE(result.verdict, std::optional(Verdict::Right));
    }
    QVERIFY(result.drillOver);
    QCOMPARE(int(shown.size()), factsCount);
    for (int block = 0; block < factsCount / 10; ++block) {
        std::vector<int> values(shown.begin() + block * 10, shown.begin() + block * 10 + 10);
        std::sort(values.begin(), values.end());
        QCOMPARE(values, allValues);
    }
    QCOMPARE(drill.sequence.RightCount, factsCount);
    QCOMPARE(drill.sequence.WrongCount, 0);
}

void TestDrillCore::countdownAndButtonThroughADrill()
{
    Drill drill(choiceOf(Operation::Addition, 2), 10);
    drill.script({4, 1, 7, 0, 9, 3, 2, 8, 6, 5});
    QCOMPARE(drillButtonCaption(drill.sequence.Button), QStringLiteral("Start"));

    PressResult result = drill.press();
    QCOMPARE(result.outcome, PressResult::Outcome::Started);
    QVERIFY(result.startsTiming);
    QCOMPARE(result.factsLeft, 9);
    QCOMPARE(result.fact->value, 4);
    QCOMPARE(drill.sequence.FactsShown, 1);
    QCOMPARE(drillButtonCaption(drill.sequence.Button), QStringLiteral("Check"));

    for (int checked = 1; checked <= 10; ++checked) {
        result = drill.press(Drill::rightAnswer(result));
        QCOMPARE(result.outcome, PressResult::Outcome::Answered);
        QVERIFY(!result.startsTiming);
        QCOMPARE(result.factsLeft, 10 - checked);
        QCOMPARE(result.drillOver, checked == 10);
        QCOMPARE(result.fact.has_value(), checked < 10);
    }
    QCOMPARE(drillButtonCaption(drill.sequence.Button), QStringLiteral("Get Score"));
    QCOMPARE(drill.sequence.FactNumber, 11);
    QCOMPARE(drill.sequence.FactsShown, 11);

    result = drill.press(QStringLiteral("5"));
    QCOMPARE(result.outcome, PressResult::Outcome::Score);
    QVERIFY(!result.verdict);
    QVERIFY(!result.fact);
    QCOMPARE(result.factsLeft, 0);
    QCOMPARE(drill.sequence.RightCount, 10);
}

void TestDrillCore::blockResetsOnThePressThatChecksFactTen()
{
    Drill drill(choiceOf(Operation::Multiplication, 3), 20);
    drill.script({0, 1, 2, 3, 4, 5, 6, 7, 8});
    PressResult result = drill.press();
    for (int checked = 1; checked <= 8; ++checked)
        result = drill.press(Drill::rightAnswer(result));
    QCOMPARE(result.fact->value, 8);

    // Fact 10 may only take the one value left; a draw of 0 is refused.
    drill.script({0, 5, 9});
    result = drill.press(Drill::rightAnswer(result));
    QCOMPARE(result.fact->value, 9);
    QCOMPARE(drill.sequence.FactNumber, 10);
    QVERIFY(drill.sequence.UsedValues[1].has_value());

    // The press that checks fact 10 forgets the block: fact 11 may be 0 again.
    drill.script({0});
    result = drill.press(Drill::rightAnswer(result));
    QCOMPARE(result.fact->value, 0);
    QCOMPARE(drill.sequence.FactNumber, 11);
    for (int i = 1; i <= 10; ++i)
        QVERIFY2(!drill.sequence.UsedValues[static_cast<std::size_t>(i)], qPrintable(QString::number(i)));
    QCOMPARE(drill.sequence.UsedValues[11], std::optional(0));
}

void TestDrillCore::missedValueCanComeBackInItsBlock()
{
    Drill drill(choiceOf(Operation::Multiplication, 7), 10);
    drill.script({3});
    PressResult first = drill.press();
    QCOMPARE(first.fact->value, 3);

    PressResult result = drill.press(QStringLiteral("20"));
    QCOMPARE(result.verdict, std::optional(Verdict::Wrong));
    QVERIFY(result.askedAgain);
    QCOMPARE(result.fact, first.fact);
    QCOMPARE(result.correction, first.fact);

    // Right at the second try: the value just missed may be drawn again.
    drill.script({3});
    result = drill.press(QStringLiteral("21"));
    QCOMPARE(result.verdict, std::optional(Verdict::Right));
    QVERIFY(!result.askedAgain);
    QCOMPARE(result.fact->value, 3);

    // Answered right at the first try, it is then kept out of the block.
    drill.script({3, 4});
    result = drill.press(QStringLiteral("21"));
    QCOMPARE(result.fact->value, 4);
}

void TestDrillCore::twoWrongAnswersCountOnce()
{
    Drill drill(choiceOf(Operation::Subtraction, 6), 10);
    drill.scriptNoise(5, 2000);
    PressResult result = drill.press();
    result = drill.press(Drill::rightAnswer(result));
    const Fact missed = *result.fact;

    for (int attempt = 0; attempt < 2; ++attempt) {
        result = drill.press(QString::number(missed.answer + 1));
        QCOMPARE(result.verdict, std::optional(Verdict::Wrong));
        QCOMPARE(result.correction, std::optional(missed));
        QCOMPARE(result.fact, std::optional(missed));
        QCOMPARE(drill.sequence.WrongCount, 1);
        QCOMPARE(drill.sequence.FactNumber, 3);
        QVERIFY(drill.sequence.RepeatFact);
    }
    result = drill.press(QString::number(missed.answer));
    QCOMPARE(result.verdict, std::optional(Verdict::Right));
    QVERIFY(!result.correction);
    QCOMPARE(drill.sequence.RightCount, 1);
    QCOMPARE(drill.sequence.WrongCount, 1);
    QVERIFY(!drill.sequence.RepeatFact);

    // The miss does not lengthen the drill: ten facts in all, of which the
    // first three are already shown.
    int newFacts = 3;
    while (!result.drillOver) {
        result = drill.press(Drill::rightAnswer(result));
        if (result.fact)
            ++newFacts;
    }
    QCOMPARE(newFacts, 10);
    QCOMPARE(drill.sequence.RightCount, 9);
    QCOMPARE(drill.sequence.WrongCount, 1);
}

void TestDrillCore::wrongAnswerToLastFactEndsTheDrill()
{
    Drill drill(choiceOf(Operation::Division, 8), 10);
    drill.scriptNoise(11, 2000);
    PressResult result = drill.press();
    for (int checked = 1; checked <= 9; ++checked)
        result = drill.press(Drill::rightAnswer(result));
    const Fact last = *result.fact;

    result = drill.press(Drill::wrongAnswer(result));
    QCOMPARE(result.verdict, std::optional(Verdict::Wrong));
    QCOMPARE(result.correction, std::optional(last));
    QVERIFY(result.drillOver);
    QVERIFY(!result.fact);
    QCOMPARE(result.factsLeft, 0);
    QCOMPARE(drillButtonCaption(drill.sequence.Button), QStringLiteral("Get Score"));
    QCOMPARE(drill.sequence.WrongCount, 1);
    QCOMPARE(drill.sequence.RightCount, 9);

    QCOMPARE(drill.press().outcome, PressResult::Outcome::Score);
}

void TestDrillCore::emptyAnswerAsksAgainAndChangesNothing()
{
    Drill drill(choiceOf(Operation::Addition, 9), 10);
    drill.script({6});
    PressResult shown = drill.press();
    const int drawsBefore = drill.random.drawn;

    for (const QString &nothing : {QString(), QStringLiteral("00")}) {
        const PressResult result = drill.press(nothing);
        QCOMPARE(result.outcome, PressResult::Outcome::NoAnswer);
        QVERIFY(!result.verdict);
        QVERIFY(!result.fact);
        QVERIFY(!result.drillOver);
        QCOMPARE(result.factsLeft, 9);
    }
    QCOMPARE(drill.random.drawn, drawsBefore);
    QCOMPARE(drill.sequence.FactNumber, 1);
    QCOMPARE(drill.sequence.FactsShown, 1);
    QCOMPARE(drill.sequence.RightCount + drill.sequence.WrongCount, 0);

    // The fact on display is still the one checked next.
    QCOMPARE(drill.press(QStringLiteral("15")).verdict, std::optional(Verdict::Right));
}

void TestDrillCore::zeroIsAnAnswer()
{
    Drill drill(choiceOf(Operation::Multiplication, 5), 10);
    drill.script({0});
    QCOMPARE(drill.press().fact->answer, 0);
    QCOMPARE(drill.press(QStringLiteral("0")).verdict, std::optional(Verdict::Right));
}

void TestDrillCore::feedbackDrawsComeBeforeTheNextFact()
{
    Drill drill(choiceOf(Operation::Multiplication, 5), 10);
    drill.setup.peedyFeedback = true;
    drill.setup.voiceFeedback = true;
    drill.script({8});
    drill.press();

    // Peedy's row 1, the voice's row 3, then the next fact's value 2.
    drill.random.draws = {0.05, 0.25, drawFor({0, 10}, 2)};
    PressResult result = drill.press(QStringLiteral("40"));
    const Feedback expected {
        {{PeedyStep::Kind::Say, QStringLiteral("Good!")}, {PeedyStep::Kind::Play, QStringLiteral("LookLeft")}},
        {QStringLiteral("Right!")}};
    QCOMPARE(result.feedback, expected);
    QCOMPARE(result.fact->value, 2);

    drill.random.draws = {0.0, 0.99};
    result = drill.press(QStringLiteral("11"));
    const Feedback sorry {
        {{PeedyStep::Kind::Say, QStringLiteral("Sorry")}, {PeedyStep::Kind::Say, QStringLiteral("2times5,is10")}},
        {QStringLiteral("Sorry"), QStringLiteral("2times5,is10")}};
    QCOMPARE(result.feedback, sorry);
}

void TestDrillCore::closingTheWindowMarksAnIncompleteDrill()
{
    Drill drill(choiceOf(Operation::Addition, 3), 10);
    drill.scriptNoise(3, 2000);
    PressResult result = drill.press();
    result = drill.press(Drill::rightAnswer(result));
    result = drill.press(Drill::rightAnswer(result));
    QCOMPARE(drill.sequence.FactNumber, 3);
    QVERIFY(drill.sequence.closeWindow(10));
    QVERIFY(drill.sequence.IncompleteDrill);

    // The next press clears the mark again.
    result = drill.press(Drill::rightAnswer(result));
    QVERIFY(!drill.sequence.IncompleteDrill);

    while (drill.sequence.FactNumber < 10)
        result = drill.press(Drill::rightAnswer(result));
    QVERIFY(result.fact);
    QVERIFY(!drill.sequence.closeWindow(10));
    QVERIFY(!drill.sequence.IncompleteDrill);
}

void TestDrillCore::spokenFacts_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<ReadingChannel>("channel");
    QTest::addColumn<QString>("correction");
    // What a screen reader is told of the fact and of a wrong answer.
    QTest::addColumn<QString>("announced");
    QTest::addColumn<QString>("wrong");

    const auto direct = ReadingChannel::PeedyAndVoice;
    QTest::newRow("addition") << Operation::Addition << 5 << 0 << 8 << "8plus5" << direct << "8plus5,is13"
                              << "8 plus 5"
                              << "Wrong. 8 plus 5 is 13.";
    QTest::newRow("subtraction") << Operation::Subtraction << 5 << 0 << 8 << "13minus5" << direct << "13minus5,is8"
                                 << "13 minus 5"
                                 << "Wrong. 13 minus 5 is 8.";
    QTest::newRow("multiplication") << Operation::Multiplication << 5 << 0 << 8 << "8times5" << direct << "8times5,is40"
                                    << "8 times 5"
                                    << "Wrong. 8 times 5 is 40.";
    QTest::newRow("division") << Operation::Division << 5 << 0 << 8 << "40divided by5" << direct << "40divided by5,is8"
                              << "40 divided by 5"
                              << "Wrong. 40 divided by 5 is 8.";
    QTest::newRow("two digits") << Operation::Multiplication << 12 << 0 << 11 << "11times12" << direct
                                << "11times12,is132"
                                << "11 times 12"
                                << "Wrong. 11 times 12 is 132.";
    QTest::newRow("ten, format 1") << Operation::FactsOfTen << 0 << 1 << 3 << "10minus what,is3"
                                   << ReadingChannel::Feedback << "10minus7,is3"
                                   << "10 minus what is 3"
                                   << "Wrong. 10 minus 7 is 3.";
    QTest::newRow("ten, format 2") << Operation::FactsOfTen << 0 << 2 << 3 << "3Plus what,is10" << direct
                                   << "3plus7,is10"
                                   << "3 plus what is 10"
                                   << "Wrong. 3 plus 7 is 10.";
}

void TestDrillCore::spokenFacts()
{
    QFETCH(Operation, operation);
    QFETCH(int, option);
    QFETCH(int, format);
    QFETCH(int, value);

    const Fact fact = makeFact(choiceOf(operation, option, FactRange::ZeroToTwelve, format), value);
    const FactReading reading = factReading(fact);
    QTEST(reading.text, "reading");
    QTEST(reading.channel, "channel");
    QTEST(correctionReading(fact), "correction");
    QTEST(factAnnouncement(fact), "announced");
    QTEST(wrongAnnouncement(fact), "wrong");
}

void TestDrillCore::rightFeedbackTables_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("peedySays");
    QTest::addColumn<bool>("looksLeft");
    QTest::addColumn<QString>("voiceSays");

    QTest::newRow("1") << 1 << "Good!" << true << "Good!";
    QTest::newRow("2") << 2 << "Yes!" << false << "Yes!";
    QTest::newRow("3") << 3 << "Right!" << false << "Right!";
    QTest::newRow("4") << 4 << QString() << false << QString();
    QTest::newRow("5") << 5 << "Correct!" << false << "Correct!";
    QTest::newRow("6") << 6 << "Correct!" << true << "Correct!";
    QTest::newRow("7") << 7 << "Yes!" << false << "Yes!";
    QTest::newRow("8") << 8 << "Good!" << false << "Good!";
    QTest::newRow("9") << 9 << "Right!" << false << "Right!";
    QTest::newRow("10") << 10 << QString() << true << "Right!";
}

void TestDrillCore::rightFeedbackTables()
{
    QFETCH(int, row);
    QFETCH(QString, peedySays);
    QFETCH(bool, looksLeft);
    QFETCH(QString, voiceSays);

    std::vector<PeedyStep> peedy;
    if (!peedySays.isEmpty())
        peedy.push_back({PeedyStep::Kind::Say, peedySays});
    if (looksLeft)
        peedy.push_back({PeedyStep::Kind::Play, QStringLiteral("LookLeft")});
    const QStringList voice = voiceSays.isEmpty() ? QStringList() : QStringList {voiceSays};

    // Each channel draws its own row: the other one gets row 4, which says nothing.
    const double thisRow = (row - 0.5) / 10;
    const double silentRow = 0.35;
    FakeRandom random;
    random.draws = {thisRow, silentRow};
    QCOMPARE(rightFeedback(random, true, true), (Feedback {peedy, {}}));
    random.draws = {silentRow, thisRow};
    QCOMPARE(rightFeedback(random, true, true), (Feedback {{}, voice}));
}

void TestDrillCore::wrongFeedbackTable_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("said");
    QTest::newRow("1") << 1 << "Sorry";
    QTest::newRow("2") << 2 << "No";
    QTest::newRow("3") << 3 << "Wrong";
    QTest::newRow("4") << 4 << "Sorry";
    QTest::newRow("5") << 5 << "Wrong";
    QTest::newRow("6") << 6 << "No";
    QTest::newRow("7") << 7 << "Sorry";
}

void TestDrillCore::wrongFeedbackTable()
{
    QFETCH(int, row);
    QFETCH(QString, said);

    const Fact fact = makeFact(choiceOf(Operation::FactsOfTen, 0, FactRange::ZeroToNine, 1), 3);
    const QString correction = QStringLiteral("10minus7,is3");
    const double thisRow = (row - 0.5) / 7;

    FakeRandom random;
    random.draws = {thisRow, 0.0};
    Feedback feedback = wrongFeedback(random, true, true, fact);
    QCOMPARE(feedback.peedy,
             (std::vector<PeedyStep> {{PeedyStep::Kind::Say, said}, {PeedyStep::Kind::Say, correction}}));
    QCOMPARE(feedback.voice, (QStringList {QStringLiteral("Sorry"), correction}));

    random.draws = {0.0, thisRow};
    feedback = wrongFeedback(random, true, true, fact);
    QCOMPARE(feedback.peedy.front().value, QStringLiteral("Sorry"));
    QCOMPARE(feedback.voice, (QStringList {said, correction}));
}

void TestDrillCore::switchedOffChannelsMakeNoDraw()
{
    const Fact fact = makeFact(choiceOf(Operation::Addition, 2), 1);
    FakeRandom random;
    random.draws = {0.15, 0.55};

    // With Peedy silent the voice takes the first draw.
    QCOMPARE(rightFeedback(random, false, true), (Feedback {{}, {QStringLiteral("Yes!")}}));
    QCOMPARE(random.drawn, 1);
    QCOMPARE(wrongFeedback(random, false, false, fact), Feedback {});
    QCOMPARE(rightFeedback(random, false, false), Feedback {});
    QCOMPARE(random.drawn, 1);
    QCOMPARE(wrongFeedback(random, true, false, fact).peedy.front().value, QStringLiteral("Sorry"));
    QCOMPARE(random.drawn, 2);
}

QTEST_GUILESS_MAIN(TestDrillCore)
#include "test_drillcore.moc"
