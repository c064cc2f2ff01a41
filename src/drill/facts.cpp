#include "drill/facts.h"

#include "platform/random.h"

#include <algorithm>
#include <cmath>

namespace plovista {

namespace {

// A fair generator needs on average count draws to find the last free value
// of a block; this many refusals in a row only happen with a stuck generator.
constexpr int MaxDraws = 1000;

int lastComparedIndex(int factsCount)
{
    return std::clamp(factsCount, 0, static_cast<int>(std::tuple_size_v<UsedValueList>) - 1);
}

bool isUsed(const UsedValueList &used, int factsCount, int value)
{
    const int last = lastComparedIndex(factsCount);
    for (int i = 0; i <= last; ++i)
        if (used[static_cast<std::size_t>(i)] == value)
            return true;
    return false;
}

int drawOnce(Random &random, ValueSpan span)
{
    // The clamp keeps a generator that strays outside [0, 1) inside the span.
    const int offset = static_cast<int>(std::floor(random.next() * span.count));
    return span.low + std::clamp(offset, 0, span.count - 1);
}

} // namespace

ValueSpan valueSpan(const DrillChoice &choice)
{
    if (choice.operation == Operation::FactsOfTen)
        return {1, 10};
    if (choice.range == FactRange::ZeroToTwelve)
        return {0, 13};
    return {0, 10};
}

Fact makeFact(const DrillChoice &choice, int value)
{
    const int c = choice.factOption;
    Fact fact;
    fact.operation = choice.operation;
    fact.value = value;
    switch (choice.operation) {
    case Operation::Addition:
        fact.left = value;
        fact.sign = FactSign::Plus;
        fact.right = c;
        fact.answer = value + c;
        break;
    case Operation::Subtraction:
        fact.left = value + c;
        fact.sign = FactSign::Minus;
        fact.right = c;
        fact.answer = value;
        break;
    case Operation::Multiplication:
        fact.left = value;
        fact.sign = FactSign::Times;
        fact.right = c;
        fact.answer = value * c;
        break;
    case Operation::Division:
        fact.left = value * c;
        fact.sign = FactSign::DividedBy;
        fact.right = c;
        fact.answer = value;
        break;
    case Operation::FactsOfTen:
        // Format 2 is the menu's initial choice, so anything but 1 reads as 2.
        fact.factsOfTenFormat = choice.factsOfTenFormat == 1 ? 1 : 2;
        fact.answer = 10 - value;
        if (fact.factsOfTenFormat == 1) {
            fact.left = 10;
            fact.sign = FactSign::Minus;
            fact.right = value;
        } else {
            fact.left = value;
            fact.sign = FactSign::Plus;
            fact.right = 10;
        }
        break;
    }
    return fact;
}

int drawFactValue(Random &random, const DrillChoice &choice, const UsedValueList &used, int factsCount)
{
    const ValueSpan span = valueSpan(choice);
    random.reseed();
    int value = drawOnce(random, span);
    for (int attempt = 1; attempt < MaxDraws && isUsed(used, factsCount, value); ++attempt)
        value = drawOnce(random, span);
    if (!isUsed(used, factsCount, value))
        return value;
    for (int step = 1; step < span.count; ++step) {
        const int candidate = span.low + (value - span.low + step) % span.count;
        if (!isUsed(used, factsCount, candidate))
            return candidate;
    }
    return value;
}

bool isBlockEnd(int factNumber)
{
    return factNumber == 10 || factNumber == 20 || factNumber == 30 || factNumber == 40 || factNumber == 50;
}

void clearBlock(UsedValueList &used, int factsCount)
{
    const int last = lastComparedIndex(factsCount);
    for (int i = 1; i <= last; ++i)
        used[static_cast<std::size_t>(i)].reset();
}

} // namespace plovista
