#include "drill/answerbox.h"

namespace plovista {

std::optional<int> answerValue(const QString &text)
{
    if (text == QLatin1String("0"))
        return 0;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const QChar ch : trimmed)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    if (!ok || value == 0)
        return std::nullopt;
    return value;
}

bool isRightAnswer(const QString &text, const Fact &fact)
{
    return answerValue(text) == fact.answer;
}

int maxAnswerLength(Operation operation)
{
    switch (operation) {
    case Operation::Multiplication:
        return 3;
    case Operation::FactsOfTen:
        return 1;
    case Operation::Addition:
    case Operation::Subtraction:
    case Operation::Division:
        break;
    }
    return 2;
}

} // namespace plovista
