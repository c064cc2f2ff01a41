#pragma once

#include <QString>

namespace plovista {

class Settings;

// The teacher's goals as stored in their settings files ("90", "3.0").
struct Goals
{
    QString accuracy;
    QString speed;
};
Goals goalsOf(const Settings &settings);

struct GoalCheck
{
    bool accuracyShort = false; // below the accuracy goal
    bool speedShort = false; // slower than the goal
    bool perfect = false; // 100 percent within the speed goal
    bool met() const { return !accuracyShort && !speedShort; }
};

// The one goal rule, for the score screen and the record's mark alike. The
// speed is compared as the record writes it (15 significant digits), so the
// mark always agrees with the line and the screen with the mark.
GoalCheck checkGoals(float accuracy, double speed, const Goals &goals);

} // namespace plovista
