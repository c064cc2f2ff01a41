#pragma once

#include <array>
#include <optional>

namespace plovista {

class Random;

enum class Operation { Addition, Subtraction, Multiplication, Division, FactsOfTen };

enum class FactRange { ZeroToNine, ZeroToTwelve };

// What the selection windows hold for the running drill. The drill reads it
// again on every press, as the menus stay loaded behind the drill window.
struct DrillChoice
{
    Operation operation = Operation::Multiplication;
    FactRange range = FactRange::ZeroToNine;
    int factOption = 0; // the fixed operand, 2 to 12; unused by Facts of Ten
    int factsOfTenFormat = 2; // 1: "10 -- A = B", 2: "A + B = 10"
};

enum class FactSign { Plus, Minus, Times, DividedBy };

// One fact as the drill window shows it. left goes to FactsVariable and right
// to FactsConstant; in a Facts of Ten drill the answer box stands between the
// sign and "=", and right is the number shown after "=".
struct Fact
{
    Operation operation = Operation::Addition;
    int factsOfTenFormat = 0; // 1 or 2 in a Facts of Ten drill, else 0
    int value = 0; // the drawn value
    int left = 0;
    FactSign sign = FactSign::Plus;
    int right = 0;
    int answer = 0;

    friend bool operator==(const Fact &, const Fact &) = default;
};

// Values drawn in the current block of ten facts, by fact number. Index 0 is
// never written but is compared all the same.
using UsedValueList = std::array<std::optional<int>, 101>;

// The values a draw can give for this choice: low, low + 1, ... low + count - 1.
struct ValueSpan
{
    int low = 0;
    int count = 10;
};
ValueSpan valueSpan(const DrillChoice &choice);

// Turns a drawn value into the numbers shown and the right answer. Subtraction
// and division are built backwards from the value, so their answer is always
// the value itself and never negative or fractional.
Fact makeFact(const DrillChoice &choice, int value);

// Draws the varying operand of a new fact: reseeds, then draws until the value
// is not among entries 0 to factsCount of used. Always returns: should a
// damaged used list or a stuck generator keep refusing, it settles on a value
// of the span that is still free, or on the last draw when none is.
int drawFactValue(Random &random, const DrillChoice &choice, const UsedValueList &used, int factsCount);

// The press that checks fact 10, 20, 30, 40 or 50 starts a new block.
bool isBlockEnd(int factNumber);

// Forgets the values of the block: entries 1 to factsCount.
void clearBlock(UsedValueList &used, int factsCount);

} // namespace plovista
