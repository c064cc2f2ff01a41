#pragma once

#include "drill/facts.h"

#include <QString>

#include <optional>

namespace plovista {

// The value of the answer box text, or nothing when the student must be asked
// to type an answer: an empty box, "00" and any other spelling of zero than
// "0" itself count as no answer. The box takes digits only; text with anything
// else in it (pasted, say) is treated as no answer too rather than by its
// leading digits, so "5a" never passes for 5.
std::optional<int> answerValue(const QString &text);

// True when the text answers the fact right; no answer is never right.
bool isRightAnswer(const QString &text, const Fact &fact);

// The longest answer the box accepts: 2 characters for addition, subtraction
// and division, 3 for multiplication, 1 for Facts of Ten.
int maxAnswerLength(Operation operation);

} // namespace plovista
