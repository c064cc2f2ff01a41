#include "speech/greeting.h"

#include <cmath>

namespace plovista {

QString addressed(const QString &phrase, const QString &spokenName)
{
    return phrase + spokenName + QLatin1Char('?');
}

QString defaultBaseGreeting(const QString &spokenName)
{
    return addressed(QStringLiteral("Hello. I am ~so happy to work with you.,"), spokenName);
}

QString greetingRow(int r, const QString &baseGreeting, const QString &spokenName)
{
    const QString buenos = QStringLiteral("Buenos Dias! Or is it Buenos No~chezz? I have lost track!,");
    switch (r) {
    case 1:
        return addressed(QStringLiteral("It's ~you! I am ~so happy!,"), spokenName);
    case 2:
    case 10:
        return addressed(buenos, spokenName);
    case 3:
        return addressed(QStringLiteral("I am ~so glad to see you!,"), spokenName);
    case 7:
        return addressed(QStringLiteral("Hello! I am ~so happy to see you!,"), spokenName);
    case 8:
        return addressed(QStringLiteral("I am ~really happy to see you!,"), spokenName);
    case 9:
        return addressed(QStringLiteral("Hi! How are ~you?,"), spokenName);
    case 11:
        return addressed(QStringLiteral("Hi! I am ~so happy to ~see you!,"), spokenName);
    case 12:
        return addressed(QStringLiteral("Hi! I am feeling ~great. How are ~you?,"), spokenName);
    case 13:
        return addressed(QStringLiteral("It is ~so good to be with you!,"), spokenName);
    case 15:
        return addressed(QStringLiteral("I am here to ~work with you. Let's get started!,"), spokenName);
    default: // 4, 5, 6, 14
        return baseGreeting;
    }
}

int greetingRowFor(double uniform)
{
    return static_cast<int>(std::floor(15.0 * uniform)) + 1;
}

QString startupGreeting(const GreetingSettings &settings, int row)
{
    const QString taken = greetingRow(row, settings.baseGreeting, settings.spokenName);
    // With the custom greeting mixed in and left empty, the drawn greeting is
    // said once, not once for the mixing and again for the empty custom text.
    if (settings.mode == QLatin1String("IntegrateYes"))
        return taken;
    if (settings.mode == QLatin1String("IntegrateNo") && !settings.customGreeting.isEmpty())
        return settings.customGreeting;
    if (settings.customGreeting.isEmpty())
        return taken;
    return QString(); // a damaged mode with a custom greeting: nothing to say
}

} // namespace plovista
