#include "drill/goals.h"

#include "settings/numbertext.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"

namespace plovista {

Goals goalsOf(const Settings &settings)
{
    return {settings.value(keys::AccuracyGoal), settings.value(keys::SpeedGoal)};
}

GoalCheck checkGoals(float accuracy, double speed, const Goals &goals)
{
    GoalCheck check;
    check.accuracyShort = accuracy < leadingNumber(goals.accuracy);
    check.speedShort = leadingNumber(neutralNumberText(speed)) > leadingNumber(goals.speed);
    check.perfect = accuracy == 100.0f && !check.speedShort;
    return check;
}

} // namespace plovista
