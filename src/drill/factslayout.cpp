#include "drill/factslayout.h"

#include "drill/answerbox.h"

#include <algorithm>

namespace plovista {

namespace {

using E = FactsElement;

// The designed window: 4635 twips wide; the 5350 twips of its height include
// the caption, the menu bar and the frame, which leaves this much for controls.
constexpr int ClientWidth = 4635;
constexpr int ClientHeight = 4600;

// The digits' middle sits NumberCentre below the top of their label, level
// with the minus bars the layouts draw 300 twips below a number's top.
constexpr int NumberHeight = 600;
constexpr int NumberMarginTop = 40;
constexpr int SignHeight = 600;
// A gap between a number and the drawn line or bracket beside it; wider
// before a minus bar, which has no side bearing of its own.
constexpr int Gap = 60;
constexpr int BarGap = 120;
// How far a rule reaches past the digits above it.
constexpr int RuleOverhang = 75;

Placement number(int left, int top, int width, TextAlign align)
{
    return {left, top, width, NumberHeight, true, align, NumberMarginTop, 0};
}

// A sign or "=" label whose text sits on the middle of the digits of the
// number row that starts at rowTop, wherever its own top is.
Placement symbol(int left, int top, int width, int rowTop, TextAlign align = TextAlign::Centre)
{
    const int centre = rowTop + NumberCentre;
    const int bottomMargin = std::clamp(SignHeight - 2 * (centre - top), 0, SignHeight);
    return {left, top, width, SignHeight, true, align, 0, bottomMargin};
}

Placement box(int left, int top, int width, int height, TextAlign align)
{
    return {left, top, width, height, true, align, 0, 0};
}

// Typed digits sit level with the numbers of the row beside the box: its text
// is pushed down by a top margin (twice the shift, as the text stays centred
// in what is left).
void levelWithRow(Placement &box, int rowTop)
{
    box.marginTop = std::max(0, 2 * (rowTop + NumberCentre - (box.top + box.height / 2)));
}

LineSpan line(int x1, int y1, int x2, int y2, bool visible)
{
    return {x1, y1, x2, y2, visible};
}

int digitCount(int value)
{
    int count = 1;
    for (int v = value < 0 ? -value : value; v >= 10; v /= 10)
        ++count;
    return count + (value < 0 ? 1 : 0);
}

// Width a label needs for a number, with a little room for the side bearings.
int numberWidth(int value)
{
    return digitCount(value) * DigitTwips + 30;
}

QString signText(Operation operation)
{
    switch (operation) {
    case Operation::Addition:
    case Operation::FactsOfTen:
        return QStringLiteral("+");
    case Operation::Subtraction:
        return QStringLiteral("-");
    case Operation::Multiplication:
        return QStringLiteral("X");
    case Operation::Division:
        return QString(QChar(0x00F7));
    }
    return {};
}

// What every layout starts from: the counters, the button and the row of the
// horizontal layout, all with their visibility set.
FactsLayout baseLayout(const DrillChoice &choice)
{
    FactsLayout l;
    l.clientWidth = ClientWidth;
    l.clientHeight = ClientHeight;
    l.sign = signText(choice.operation);
    l.answerLength = maxAnswerLength(choice.operation);

    l.at(E::Label7) = {600, 200, 1400, 300, true, TextAlign::Left, 0, 0};
    l.at(E::Label1) = {2100, 200, 1000, 300, true, TextAlign::Left, 0, 0};
    l.at(E::Label5) = {3200, 200, 1000, 300, true, TextAlign::Left, 0, 0};
    l.at(E::Label8) = {900, 450, 800, 360, true, TextAlign::Left, 0, 0};
    l.at(E::Label2) = {2150, 450, 800, 360, true, TextAlign::Left, 0, 0};
    l.at(E::Label6) = {3300, 450, 800, 360, true, TextAlign::Left, 0, 0};
    l.at(E::NextProbButt) = {1500, 3900, 1400, 500, true, TextAlign::Centre, 0, 0};

    // The horizontal row. The left number ends where the sign's text begins,
    // so its label reaches a little into the sign's empty margin: room for a
    // three-digit dividend.
    l.at(E::FactsVariable) = number(600, 1700, 760, TextAlign::Right);
    l.at(E::FactsSign) = symbol(1300, 1700, 550, 1700);
    l.at(E::FactsConstant) = number(1850, 1700, 650, TextAlign::Left);
    l.at(E::FactsEqual) = symbol(2500, 1800, 400, 1700, TextAlign::Left);
    l.at(E::Text1) = box(2900, 1625, 800, 600, TextAlign::Left);

    l.at(E::FactsVariableFix) = number(600, 2800, 760, TextAlign::Right);
    l.at(E::FactsSignFix) = symbol(1350, 2800, 500, 2800);
    l.at(E::FactsConstantFix) = number(1850, 2800, 650, TextAlign::Left);
    l.at(E::FactsEqualFix) = symbol(2500, 2900, 400, 2800, TextAlign::Left);
    l.at(E::FactsAnsFix) = number(2900, 2800, 1600, TextAlign::Left);
    l.line(1) = line(1400, 2000, 1600, 2000, false);
    l.line(2) = line(1400, 3100, 1600, 3100, false);
    // Lines 3 to 6 only appear in the vertical and long-division layouts,
    // which place them; until then they are hidden where they stand.
    l.line(3) = line(1080, 2300, 1080, 2900, false);
    l.line(4) = line(600, 2600, 1600, 2600, false);
    l.line(5) = line(2300, 2600, 3300, 2600, false);
    l.line(6) = line(3240, 2300, 3240, 2900, false);

    l.variableText = QStringLiteral("?");
    l.constantText = QString::number(choice.factOption);
    return l;
}

void layHorizontal(FactsLayout &l, Operation operation)
{
    l.kind = LayoutKind::Horizontal;
    l.correctionLabels = {E::FactsVariableFix, E::FactsSignFix, E::FactsConstantFix, E::FactsEqualFix, E::FactsAnsFix};
    switch (operation) {
    case Operation::Subtraction:
        // The minus is a drawn bar, a little before the right number.
        l.at(E::FactsSign).visible = false;
        l.line(1) = line(1200, 2000, 1400, 2000, true);
        l.at(E::FactsVariable).width = 1200 - BarGap - 600;
        l.at(E::FactsVariableFix).width = 1400 - BarGap - 600;
        l.at(E::FactsConstant).left = 1700;
        l.at(E::FactsConstant).width = 800;
        l.correctionLabels = {E::FactsVariableFix, E::FactsConstantFix, E::FactsEqualFix, E::FactsAnsFix};
        l.correctionLines = {2};
        break;
    case Operation::Multiplication:
        l.signPointSize = l.signFixPointSize = 14;
        l.at(E::Text1).top = 1650;
        l.at(E::FactsSign) = symbol(1300, 1800, 550, 1700);
        l.at(E::FactsSignFix) = symbol(1350, 2900, 500, 2800);
        break;
    case Operation::Addition:
    case Operation::Division:
    case Operation::FactsOfTen:
        break;
    }
    l.at(E::Text1).width = operation == Operation::Multiplication ? 1100 : 800;
    levelWithRow(l.at(E::Text1), 1700);
}

// A column of right-aligned numbers ending at right, each label starting
// where the design puts it, or further left where a number of `digits`
// would not fit.
void alignColumn(FactsLayout &l, const std::vector<E> &members, int right, int digits = 1)
{
    const int room = digits * DigitTwips + 30;
    for (E member : members) {
        Placement &p = l.at(member);
        p.align = TextAlign::Right;
        p.left = std::min(p.left, right - room);
        p.width = right - p.left;
    }
}

void layVertical(FactsLayout &l, Operation operation, bool twoDigitOption)
{
    l.kind = LayoutKind::Vertical;
    // The rule as designed, and the correction's 1700 twips to its right, as
    // is every correction control from its twin: two lines with a gap between.
    constexpr int RuleLeft = 600;
    constexpr int RuleRight = 1600;
    constexpr int shift = 1700;
    // The numbers stand right-aligned over the digits typed in the box, all
    // over the rule; the box stands under the rule's right end, no wider.
    const int right = RuleRight - RuleOverhang;
    const int fixRight = right + shift;
    const int boxWidth = std::min(operation == Operation::Multiplication ? 1100 : 800, RuleRight - RuleLeft);
    l.at(E::Text1) = box(right + AnswerBoxInsetTwips - boxWidth, 2700, boxWidth, 810, TextAlign::Right);

    // The numbers of a vertical fact have two digits at most; a product three.
    l.at(E::FactsVariable) = number(1200, 1200, 0, TextAlign::Right);
    l.at(E::FactsConstant) = number(twoDigitOption ? 900 : 1200, 1950, 0, TextAlign::Right);
    alignColumn(l, {E::FactsVariable, E::FactsConstant}, right, 2);
    l.line(4) = line(RuleLeft, 2600, RuleRight, 2600, true);

    l.at(E::FactsVariableFix) = number(2900, 1200, 0, TextAlign::Right);
    l.at(E::FactsConstantFix) = number(twoDigitOption ? 2600 : 2900, 1950, 0, TextAlign::Right);
    l.at(E::FactsAnsFix) = number(2550, 2700, 0, TextAlign::Right);
    alignColumn(l, {E::FactsVariableFix, E::FactsConstantFix}, fixRight, 2);
    alignColumn(l, {E::FactsAnsFix}, fixRight, 3);
    l.line(5) = line(RuleLeft + shift, 2600, RuleRight + shift, 2600, false);

    const int signLeft = twoDigitOption ? 600 : 700;
    l.at(E::FactsSign) = symbol(signLeft, 2100, 500, 1950, TextAlign::Left);
    l.at(E::FactsSignFix) = symbol(signLeft + shift, 2100, 500, 1950, TextAlign::Left);
    l.columns = {{{E::FactsVariable, E::FactsConstant}, 4},
                 {{E::FactsVariableFix, E::FactsConstantFix, E::FactsAnsFix}, 5}};

    l.at(E::FactsEqual).visible = false;
    l.correctionLabels = {E::FactsVariableFix, E::FactsSignFix, E::FactsConstantFix, E::FactsAnsFix};
    l.correctionLines = {5};

    switch (operation) {
    case Operation::Addition:
        l.at(E::FactsSign) = symbol(600, 2000, 500, 1950, TextAlign::Left);
        l.at(E::FactsSignFix) = symbol(2300, 2000, 500, 1950, TextAlign::Left);
        break;
    case Operation::Subtraction:
        l.at(E::FactsSign).visible = false;
        l.line(1) = line(600, 2200, 800, 2200, true);
        l.line(2) = line(2300, 2200, 2500, 2200, false);
        l.correctionLabels = {E::FactsVariableFix, E::FactsConstantFix, E::FactsAnsFix};
        l.correctionLines = {2, 5};
        break;
    case Operation::Multiplication:
    case Operation::Division:
    case Operation::FactsOfTen:
        break;
    }
}

void layLongDivision(FactsLayout &l, bool twoDigitOption)
{
    l.kind = LayoutKind::LongDivision;
    l.at(E::Text1) = box(1100, 1400, 800, 810, TextAlign::Right);
    const int right = 1100 + 800 - AnswerBoxInsetTwips;

    // The divisor ends just before the bracket's stroke; the dividend and the
    // answer above the bar share one right edge.
    const int divisorLeft = twoDigitOption ? 350 : 480;
    l.at(E::FactsConstant) = number(divisorLeft, 2300, 1080 - Gap - divisorLeft, TextAlign::Right);
    l.at(E::FactsVariable) = number(twoDigitOption ? 1200 : 1300, 2300, 0, TextAlign::Right);
    alignColumn(l, {E::FactsVariable}, right);
    l.line(3) = line(1080, 2300, 1080, 2900, true);
    l.line(4) = line(1080, 2300, 2100, 2300, true);

    const int fixRight = 4180 - 2 * RuleOverhang;
    const int fixDivisorLeft = twoDigitOption ? 2500 : 2640;
    l.at(E::FactsConstantFix) = number(fixDivisorLeft, 2300, 3240 - Gap - fixDivisorLeft, TextAlign::Right);
    l.at(E::FactsVariableFix) = number(twoDigitOption ? 3350 : 3400, 2300, 0, TextAlign::Right);
    l.at(E::FactsAnsFix) = number(3440, 1500, 0, TextAlign::Right);
    alignColumn(l, {E::FactsVariableFix, E::FactsAnsFix}, fixRight);
    l.line(5) = line(3240, 2280, 4180, 2280, false);
    l.line(6) = line(3240, 2300, 3240, 2900, false);
    l.columns = {{{E::FactsVariable}, 4}, {{E::FactsVariableFix, E::FactsAnsFix}, 5}};

    for (E e : {E::FactsSign, E::FactsEqual})
        l.at(e).visible = false;
    l.correctionLabels = {E::FactsConstantFix, E::FactsVariableFix, E::FactsAnsFix};
    l.correctionLines = {5, 6};
}

void layFactsOfTen(FactsLayout &l, int format)
{
    l.sign = QStringLiteral("+");
    l.answerLength = 1;
    l.at(E::FactsVariable) = number(800, 1700, 0, TextAlign::Right);
    l.at(E::FactsSign) = symbol(1300, 1800, 500, 1700);
    l.at(E::FactsConstant) = number(1900, 1700, 900, TextAlign::Left);
    l.at(E::FactsEqual) = symbol(2600, 1800, 400, 1700, TextAlign::Left);
    l.at(E::Text1) = box(0, 1700, 800, 600, TextAlign::Centre);
    l.at(E::FactsVariableFix) = number(800, 2800, 0, TextAlign::Right);
    l.at(E::FactsSignFix) = symbol(1350, 2900, 450, 2800);
    l.at(E::FactsConstantFix) = number(1900, 2800, 900, TextAlign::Left);
    l.at(E::FactsEqualFix) = symbol(2600, 2900, 400, 2800, TextAlign::Left);
    l.at(E::FactsAnsFix) = number(3200, 2800, 400, TextAlign::Centre);

    Placement &text1 = l.at(E::Text1);
    text1.top = 1650;
    text1.width = 500;
    levelWithRow(text1, 1700);
    if (format == 1) {
        // 10, the minus bar, the answer box, "=" and the value.
        l.kind = LayoutKind::FactsOfTen1;
        text1.left = 2000;
        l.at(E::FactsAnsFix).left = 2050;
        l.at(E::FactsVariable).width = 1600 - BarGap - 800;
        l.at(E::FactsVariableFix).width = 1600 - BarGap - 800;
        l.at(E::FactsSign).visible = false;
        l.line(1) = line(1600, 2000, 1800, 2000, true);
        l.line(2) = line(1600, 3100, 1800, 3100, false);
        l.at(E::FactsConstant).left = 3000;
        l.at(E::FactsConstantFix).left = 3000;
        l.variableText = QStringLiteral("10");
        l.constantText = QStringLiteral("?");
        l.correctionLabels = {E::FactsVariableFix, E::FactsAnsFix, E::FactsEqualFix, E::FactsConstantFix};
        l.correctionLines = {2};
    } else {
        // The value, "+", the answer box, "=" and 10. The value's label reaches
        // to the sign so that a value of 10 fits, and the corrected answer
        // stands where the answer box stands.
        l.kind = LayoutKind::FactsOfTen2;
        text1.left = 1800;
        l.at(E::FactsVariable).left = 700;
        l.at(E::FactsVariable).width = 1300 - 700;
        l.at(E::FactsVariableFix).left = 700;
        l.at(E::FactsVariableFix).width = 1350 - 700;
        l.at(E::FactsConstant).left = 2900;
        l.at(E::FactsConstantFix).left = 2900;
        l.at(E::FactsEqual).width = 300;
        l.at(E::FactsEqualFix).width = 300;
        l.at(E::FactsAnsFix).left = 1850;
        l.at(E::FactsSign) = symbol(1300, 1750, 500, 1700);
        l.at(E::FactsSignFix) = symbol(1350, 2850, 450, 2800);
        l.signPointSize = l.signFixPointSize = 22;
        l.variableText = QStringLiteral("?");
        l.constantText = QStringLiteral("10");
        l.correctionLabels = {E::FactsVariableFix, E::FactsSignFix, E::FactsAnsFix, E::FactsEqualFix,
                              E::FactsConstantFix};
    }
}

} // namespace

QString factsElementName(FactsElement element)
{
    static const std::array<const char *, FactsElementCount> names = {
        "FactsVariable", "FactsSign",        "FactsConstant", "FactsEqual",  "Text1",       "FactsVariableFix",
        "FactsSignFix",  "FactsConstantFix", "FactsEqualFix", "FactsAnsFix", "Label7",      "Label1",
        "Label5",        "Label8",           "Label2",        "Label6",      "NextProbButt"};
    return QString::fromLatin1(names[static_cast<std::size_t>(element)]);
}

FactsLayout factsLayout(const DrillChoice &choice, bool vertical)
{
    FactsLayout l = baseLayout(choice);
    l.caption = drillCaption(choice, vertical);
    const bool twoDigitOption = choice.factOption >= 10;
    if (choice.operation == Operation::FactsOfTen) {
        layFactsOfTen(l, choice.factsOfTenFormat == 1 ? 1 : 2);
    } else {
        layHorizontal(l, choice.operation);
        if (vertical && choice.operation == Operation::Division)
            layLongDivision(l, twoDigitOption);
        else if (vertical)
            layVertical(l, choice.operation, twoDigitOption);
    }
    // The correction row waits hidden for a wrong answer.
    for (E fix : {E::FactsVariableFix, E::FactsSignFix, E::FactsConstantFix, E::FactsEqualFix, E::FactsAnsFix})
        l.at(fix).visible = false;
    return l;
}

FactsLayout fitToFact(const FactsLayout &layout, const Fact &fact)
{
    FactsLayout fitted = layout;
    const auto needed = [&fact](E element) -> int {
        switch (element) {
        case E::FactsVariable:
        case E::FactsVariableFix:
            return numberWidth(fact.left);
        case E::FactsConstant:
        case E::FactsConstantFix:
            return numberWidth(fact.right);
        case E::FactsAnsFix:
            return numberWidth(fact.answer);
        default:
            return 0;
        }
    };
    for (const NumberColumn &column : layout.columns) {
        int right = 0;
        int wanted = 0;
        for (E member : column.members) {
            const Placement &p = layout.at(member);
            right = std::max(right, p.left + p.width);
            wanted = std::max(wanted, p.left + needed(member));
        }
        if (wanted <= right)
            continue;
        alignColumn(fitted, column.members, wanted);
        if (column.rule > 0) {
            LineSpan &rule = fitted.line(column.rule);
            rule.x2 = std::max(rule.x2, wanted + RuleOverhang);
        }
    }
    return fitted;
}

QString drillCaption(const DrillChoice &choice, bool vertical)
{
    if (choice.operation == Operation::FactsOfTen)
        return QStringLiteral("Facts of Ten");
    const QString mode = vertical ? QStringLiteral("Vertical Mode") : QStringLiteral("Horizontal Mode");
    const QString range =
        choice.range == FactRange::ZeroToTwelve ? QStringLiteral("0 --> 12") : QStringLiteral("0 --> 9");
    return mode + QStringLiteral(",  Range: ") + range;
}

} // namespace plovista
