#pragma once

#include "drill/facts.h"

#include <QString>

#include <array>
#include <vector>

namespace plovista {

// The controls of the drill window that a layout places, in a fixed order.
enum class FactsElement {
    FactsVariable,
    FactsSign,
    FactsConstant,
    FactsEqual,
    Text1,
    FactsVariableFix,
    FactsSignFix,
    FactsConstantFix,
    FactsEqualFix,
    FactsAnsFix,
    Label7,
    Label1,
    Label5,
    Label8,
    Label2,
    Label6,
    NextProbButt,
};
inline constexpr int FactsElementCount = static_cast<int>(FactsElement::NextProbButt) + 1;

// The object name of the control, as tests and accessibility find it.
QString factsElementName(FactsElement element);

enum class TextAlign { Left, Centre, Right };

// Where a control stands, in twips. The margins move the text inside the
// control, so a sign in a smaller font sits on the middle of the digits beside
// it whatever the top its control was given.
struct Placement
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    TextAlign align = TextAlign::Left;
    int marginTop = 0;
    int marginBottom = 0;

    friend bool operator==(const Placement &, const Placement &) = default;
};

// A drawn line from one point to another, in twips; every line of the window
// is either horizontal or vertical.
struct LineSpan
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool visible = false;

    friend bool operator==(const LineSpan &, const LineSpan &) = default;
};

enum class LayoutKind { Horizontal, Vertical, LongDivision, FactsOfTen1, FactsOfTen2 };

// Numbers that share a right edge, as a teacher writes a column of digits,
// and the rule (or bracket bar) that has to reach past them.
struct NumberColumn
{
    std::vector<FactsElement> members;
    int rule = 0; // line number 1 to 6, 0 for none
};

// Everything the drill window needs to lay itself out for one drill.
struct FactsLayout
{
    LayoutKind kind = LayoutKind::Horizontal;
    int clientWidth = 0;
    int clientHeight = 0;
    QString caption; // the window's title

    std::array<Placement, FactsElementCount> places {};
    std::array<LineSpan, 6> lines {}; // Line1 to Line6

    QString sign; // FactsSign and FactsSignFix
    int signPointSize = 24;
    int signFixPointSize = 24;
    int answerLength = 2; // longest answer Text1 takes

    // The problem row before "Start": the fixed number and "?" for the rest.
    QString variableText;
    QString constantText;

    // What a wrong answer shows beside the fact: labels and line numbers.
    std::vector<FactsElement> correctionLabels;
    std::vector<int> correctionLines;

    std::vector<NumberColumn> columns;

    Placement &at(FactsElement element) { return places[static_cast<std::size_t>(element)]; }
    const Placement &at(FactsElement element) const { return places[static_cast<std::size_t>(element)]; }
    LineSpan &line(int number) { return lines[static_cast<std::size_t>(number - 1)]; }
    const LineSpan &line(int number) const { return lines[static_cast<std::size_t>(number - 1)]; }
};

// The number font: a fixed-pitch face (Courier New or its metric twin) whose
// digits are 0.6 of its size wide. Widths of number labels are worked out
// from it, so the window must draw its numbers in exactly this size.
inline constexpr int NumberFontPixels = 26;
inline constexpr int DigitTwips = NumberFontPixels * 15 * 3 / 5;
// The middle of the digits below the top of a number label.
inline constexpr int NumberCentre = 290;
// From the outer edge of the answer box to its text: border and padding.
inline constexpr int AnswerBoxInsetTwips = 75;
// The drill button grows to hold "Get Score".
inline constexpr int GetScoreButtonWidth = 1600;

// The layout of the drill window for a choice: horizontal, vertical or long
// division for the four operations, format 1 or 2 for Facts of Ten (when the
// choice's operation is FactsOfTen; vertical is then ignored). Every control
// and line has its visibility set, so nothing of an earlier drill lingers.
FactsLayout factsLayout(const DrillChoice &choice, bool vertical);

// The layout with its number columns widened, and their rules lengthened,
// where this fact's numbers are wider than the design allows: a three-digit
// dividend under the long-division bracket. Nothing moves; only widths grow.
FactsLayout fitToFact(const FactsLayout &layout, const Fact &fact);

// The window caption for a drill: "Horizontal Mode,  Range: 0 --> 9" and the like.
QString drillCaption(const DrillChoice &choice, bool vertical);

} // namespace plovista
