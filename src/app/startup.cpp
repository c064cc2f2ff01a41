#include "app/startup.h"

#include "app/appstate.h"
#include "settings/settingsfiles.h"
#include "settings/settingsstore.h"
#include "speech/greeting.h"

#include <algorithm>

namespace plovista {

VersionClass classifyVersion(const std::optional<OsVersion> &os)
{
    VersionClass result;
    if (!os || !os->nt)
        return result;
    if (os->major == 6)
        result = {QStringLiteral("VA"), true};
    if (os->major == 5 && os->minor == 1 && os->build >= 2600)
        result = {QStringLiteral("XP"), true};
    return result;
}

int perchTopFor(const QString &perchStyle)
{
    if (perchStyle == QLatin1String("XP"))
        return 157;
    if (perchStyle == QLatin1String("Standard"))
        return 150;
    return 0;
}

QString spokenNameFrom(const QString &pnameField, const QString &firstName)
{
    return pnameField == QLatin1String("AllowUserName") ? firstName : pnameField;
}

namespace {

void readText(const SettingsStore &store, const QString &name, QString &into)
{
    if (const auto field = store.read(name))
        into = *field;
}

void readSwitch(const SettingsStore &store, const QString &name, bool &into)
{
    if (const auto field = store.read(name))
        if (const auto on = parseSwitch(*field))
            into = *on;
}

} // namespace

QStringList loadSettings(const SettingsStore &store, AppState &state)
{
    QStringList failures;
    store.ensureFolders();
    for (const SettingsFile &file : settingsFiles(state.XpStyle)) {
        const WriteResult written = file.emptyFile ? store.ensureEmptyFile(file.name)
                                                   : store.ensure(file.name, file.defaultValue, file.rewriteWhenEmpty);
        if (!written.ok)
            failures << QStringLiteral("%1: %2").arg(file.name, written.error);
    }

    readText(store, QStringLiteral("Display"), state.DisplayChoice);
    readText(store, QStringLiteral("Perch"), state.PerchStyle);
    state.PerchTop = perchTopFor(state.PerchStyle);
    readText(store, QStringLiteral("Mbar"), state.MenuBarState);
    readSwitch(store, QStringLiteral("Vista"), state.VistaNotice);
    readSwitch(store, QStringLiteral("PShow"), state.PeedyEnabled);
    readSwitch(store, QStringLiteral("PShowT"), state.PeedyTeacher);
    readSwitch(store, QStringLiteral("TTS"), state.VoiceEnabled);
    readSwitch(store, QStringLiteral("PFback"), state.PeedyFeedback);
    readSwitch(store, QStringLiteral("VFback"), state.VoiceFeedback);
    readSwitch(store, QStringLiteral("PCom"), state.PeedyComments);
    readSwitch(store, QStringLiteral("VCom"), state.VoiceComments);
    readSwitch(store, QStringLiteral("PRew"), state.PeedyRewards);
    readSwitch(store, QStringLiteral("VRew"), state.VoiceRewards);
    readText(store, QStringLiteral("Sg"), state.SpeedGoal);
    readText(store, QStringLiteral("Ag"), state.AccuracyGoal);

    if (const auto field = store.read(QStringLiteral("Facts")))
        if (const auto facts = parseWholeNumber(*field))
            state.FactsCount = *facts;
    // The drill keeps a table of at most 50 used values, so a damaged file
    // holding more is lowered just as one holding fewer than 10 is raised.
    state.FactsCount = std::clamp(state.FactsCount, 10, 50);

    readText(store, QStringLiteral("MGreet"), state.GreetingMode);
    readSwitch(store, QStringLiteral("NoGreet"), state.GreetingOff);
    if (const auto greeting = store.readJoined(QStringLiteral("PGreet")))
        state.CustomGreeting = *greeting;

    if (state.GreetingMode == QLatin1String("IntegrateYes"))
        state.BaseGreeting = state.CustomGreeting;
    // Composed before the name is read, so at start it ends in ",?".
    if (state.GreetingMode == QLatin1String("IntegrateNo"))
        state.BaseGreeting = defaultBaseGreeting(state.SpokenName);
    if (const auto pname = store.read(QStringLiteral("PName")))
        state.SpokenName = spokenNameFrom(*pname, QString());
    return failures;
}

} // namespace plovista
