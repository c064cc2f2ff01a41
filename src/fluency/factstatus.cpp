#include "fluency/factstatus.h"

#include "selection/selectioncodes.h"
#include "settings/numbertext.h"

#include <algorithm>
#include <cmath>

namespace plovista {

FactLevel factLevel(FactStatus status)
{
    switch (status) {
    case FactStatus::Unseen:
        return FactLevel::NotAsked;
    case FactStatus::NeedsWork:
        return FactLevel::TeachIt;
    case FactStatus::Slow:
    case FactStatus::Fluent:
    case FactStatus::Stale:
        return FactLevel::Almost;
    case FactStatus::Automatic:
        return FactLevel::KnowsIt;
    }
    return FactLevel::NotAsked;
}

QString levelName(FactLevel level)
{
    switch (level) {
    case FactLevel::NotAsked:
        return QStringLiteral("not asked yet");
    case FactLevel::TeachIt:
        return QStringLiteral("teach it");
    case FactLevel::Almost:
        return QStringLiteral("almost");
    case FactLevel::KnowsIt:
        return QStringLiteral("knows it");
    }
    return {};
}

int fluencyThresholdMs(const QString &speedGoal)
{
    const double goal = leadingNumber(speedGoal);
    if (goal > 0 && goal * 1000.0 < DefaultFluencyThresholdMs)
        return static_cast<int>(std::lround(goal * 1000.0));
    return DefaultFluencyThresholdMs;
}

bool isFluent(const Attempt &attempt, int thresholdMs)
{
    return attempt.correct && attempt.ms && *attempt.ms < thresholdMs;
}

FactStatus factStatus(const std::vector<Attempt> &lastAttempts, int thresholdMs, const QDate &today)
{
    if (lastAttempts.empty())
        return FactStatus::Unseen;
    const Attempt &latest = lastAttempts.back();
    const auto wrong =
        std::count_if(lastAttempts.cbegin(), lastAttempts.cend(), [](const Attempt &a) { return !a.correct; });
    if (!latest.correct || wrong >= 2)
        return FactStatus::NeedsWork;

    // Fluent at least twice, and not all on one day.
    int fluent = 0;
    bool twoDays = false;
    QDate fluentDay;
    for (const Attempt &a : lastAttempts) {
        if (isFluent(a, thresholdMs)) {
            twoDays = twoDays || (fluent > 0 && a.day != fluentDay);
            fluentDay = a.day;
            ++fluent;
        }
    }
    if (fluent >= 2 && twoDays)
        return latest.day.daysTo(today) >= StaleAfterDays ? FactStatus::Stale : FactStatus::Automatic;
    return isFluent(latest, thresholdMs) ? FactStatus::Fluent : FactStatus::Slow;
}

std::optional<int> decidingMs(const std::vector<Attempt> &lastAttempts, int thresholdMs, FactStatus status)
{
    switch (status) {
    case FactStatus::Unseen:
    case FactStatus::NeedsWork:
        return std::nullopt;
    case FactStatus::Slow:
        return lastAttempts.back().ms;
    case FactStatus::Fluent:
    case FactStatus::Automatic:
    case FactStatus::Stale:
        break;
    }
    const auto fluent = std::find_if(lastAttempts.crbegin(), lastAttempts.crend(),
                                     [&](const Attempt &a) { return isFluent(a, thresholdMs); });
    return fluent == lastAttempts.crend() ? std::nullopt : fluent->ms;
}

std::optional<FactCell> factCell(Operation operation, int left, int right)
{
    FactCell cell {operation, 0, 0};
    switch (operation) {
    case Operation::Addition:
    case Operation::Multiplication:
        cell.row = right;
        cell.column = left;
        break;
    case Operation::Subtraction:
        cell.row = right;
        cell.column = left - right;
        break;
    case Operation::Division:
        if (right == 0 || left % right != 0)
            return std::nullopt;
        cell.row = right;
        cell.column = left / right;
        break;
    case Operation::FactsOfTen:
        // "10 - ? = v" shows 10 first, "v + ? = 10" shows 10 last.
        cell.column = left == 10 ? right : left;
        break;
    }
    if (!isGridFact(cell))
        return std::nullopt;
    return cell;
}

bool isGridFact(const FactCell &cell)
{
    if (cell.operation == Operation::FactsOfTen)
        return cell.row == 0 && cell.column >= 1 && cell.column <= 10;
    const bool inside = cell.row >= 0 && cell.row <= 12 && cell.column >= 0 && cell.column <= 12;
    return inside && !(cell.operation == Operation::Division && cell.row == 0);
}

bool isDrilledFact(const FactCell &cell, FactRange range)
{
    if (cell.operation == Operation::FactsOfTen)
        return isGridFact(cell);
    const int last = range == FactRange::ZeroToTwelve ? 12 : 9;
    return cell.row >= 2 && cell.row <= last && cell.column >= 0 && cell.column <= last;
}

int drilledFacts(Operation operation, FactRange range)
{
    int count = 0;
    for (int row = 0; row < gridRows(operation); ++row)
        for (int column = 0; column <= 12; ++column)
            count += isDrilledFact({operation, row, column}, range) ? 1 : 0;
    return count;
}

int gridRows(Operation operation)
{
    return operation == Operation::FactsOfTen ? 1 : 13;
}

QString factText(const FactCell &cell)
{
    const int c = cell.row;
    const int v = cell.column;
    const QString sign = operationSign(cell.operation);
    const auto fact = [&](int left, int right) { return QStringLiteral("%1 %2 %3").arg(left).arg(sign).arg(right); };
    switch (cell.operation) {
    case Operation::Addition:
    case Operation::Multiplication:
        return fact(v, c);
    case Operation::Subtraction:
        return fact(v + c, c);
    case Operation::Division:
        return fact(v * c, c);
    case Operation::FactsOfTen:
        // Both formats ask for the same number, so they share the cell: format
        // 2, the menu's first choice, then format 1, the answer box as "?".
        return QStringLiteral("%1 + ? = 10 or 10 - ? = %1").arg(v);
    }
    return {};
}

QString statusName(FactStatus status)
{
    switch (status) {
    case FactStatus::Unseen:
        return QStringLiteral("not asked yet");
    case FactStatus::NeedsWork:
        return QStringLiteral("needs work");
    case FactStatus::Slow:
        return QStringLiteral("right but slow");
    case FactStatus::Fluent:
        return QStringLiteral("fluent, one day so far");
    case FactStatus::Automatic:
        return QStringLiteral("automatic");
    case FactStatus::Stale:
        return QStringLiteral("automatic, not asked for 30 days");
    }
    return {};
}

} // namespace plovista
