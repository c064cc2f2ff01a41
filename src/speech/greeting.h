#pragma once

#include <QString>

namespace plovista {

// A phrase addressed to the student: the phrase, the spoken name and "?",
// with no blanks added.
QString addressed(const QString &phrase, const QString &spokenName);

// The greeting used for rows 4, 5, 6 and 14 when the custom greeting is not
// mixed in.
QString defaultBaseGreeting(const QString &spokenName);

// The greeting of row r (1 to 15).
QString greetingRow(int r, const QString &baseGreeting, const QString &spokenName);

// The row drawn from a uniform number in [0, 1).
int greetingRowFor(double uniform);

struct GreetingSettings
{
    QString mode; // "IntegrateYes" or "IntegrateNo"
    QString customGreeting;
    QString baseGreeting;
    QString spokenName;
};

// What Peedy says at start-up for a drawn row; empty when he says nothing.
QString startupGreeting(const GreetingSettings &settings, int row);

} // namespace plovista
