#include "app/startup.h"

#include "app/appstate.h"
#include "settings/settingsfiles.h"
#include "settings/settingsstore.h"
#include "speech/greeting.h"

#include <QFileInfo>
#include <QHash>

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

// What start-up reads: the default of a file it has just created, whether
// or not that could be written, else the file's first field.
class SettingsReader
{
public:
    explicit SettingsReader(const SettingsStore &store)
        : m_store(store)
    { }

    void created(const QString &name, const QString &defaultValue) { m_created.insert(name, defaultValue); }

    std::optional<QString> field(const QString &name) const
    {
        if (const auto it = m_created.constFind(name); it != m_created.constEnd())
            return firstField(*it);
        return m_store.read(name);
    }
    std::optional<QString> joined(const QString &name) const
    {
        if (const auto it = m_created.constFind(name); it != m_created.constEnd())
            return *it; // no default holds a line end
        return m_store.readJoined(name);
    }

    void text(const QString &name, QString &into) const
    {
        if (const auto value = field(name))
            into = *value;
    }
    void switchValue(const QString &name, bool &into) const
    {
        if (const auto value = field(name))
            if (const auto on = parseSwitch(*value))
                into = *on;
    }

private:
    const SettingsStore &m_store;
    QHash<QString, QString> m_created;
};

// One line for each reason files could not be written, so a disk that is
// full makes one line and not twenty.
QStringList unwrittenLines(const QList<QPair<QString, QStringList>> &byReason, qsizetype fileCount)
{
    QStringList lines;
    for (const auto &[reason, names] : byReason) {
        QString which;
        if (names.size() == fileCount)
            which = QStringLiteral("None of the %1 settings files could").arg(fileCount);
        else if (names.size() == 1)
            which = QStringLiteral("The settings file \"%1\" could").arg(names.front());
        else if (names.size() <= 3)
            which = QStringLiteral("The settings files \"%1\" could").arg(names.join(QStringLiteral("\", \"")));
        else
            which = QStringLiteral("%1 settings files could").arg(names.size());
        lines << QStringLiteral("%1 not be written: %2.").arg(which, reason);
    }
    return lines;
}

} // namespace

QStringList loadSettings(const SettingsStore &store, AppState &state)
{
    QStringList failures = store.ensureFolders();
    SettingsReader read(store);
    QList<QPair<QString, QStringList>> byReason;
    const std::vector<SettingsFile> files = settingsFiles(state.XpStyle);
    for (const SettingsFile &file : files) {
        const auto written = file.emptyFile ? store.ensureEmptyFile(file.name)
                                            : store.ensure(file.name, file.defaultValue, file.rewriteWhenEmpty);
        if (!written)
            continue;
        read.created(file.name, file.defaultValue);
        if (written->ok)
            continue;
        auto group = std::find_if(byReason.begin(), byReason.end(),
                                  [&](const auto &entry) { return entry.first == written->reason; });
        if (group == byReason.end())
            group = byReason.insert(byReason.end(), {written->reason, {}});
        group->second << file.name;
    }
    // A folder that could not be made is told once, not for each of its files.
    if (failures.isEmpty() || QFileInfo(store.filesFolder()).isDir())
        failures << unwrittenLines(byReason, static_cast<qsizetype>(files.size()));

    read.text(QStringLiteral("Display"), state.DisplayChoice);
    read.text(QStringLiteral("Perch"), state.PerchStyle);
    state.PerchTop = perchTopFor(state.PerchStyle);
    read.text(QStringLiteral("Mbar"), state.MenuBarState);
    read.switchValue(QStringLiteral("Vista"), state.VistaNotice);
    read.switchValue(QStringLiteral("PShow"), state.PeedyEnabled);
    read.switchValue(QStringLiteral("PShowT"), state.PeedyTeacher);
    read.switchValue(QStringLiteral("TTS"), state.VoiceEnabled);
    read.switchValue(QStringLiteral("PFback"), state.PeedyFeedback);
    read.switchValue(QStringLiteral("VFback"), state.VoiceFeedback);
    read.switchValue(QStringLiteral("PCom"), state.PeedyComments);
    read.switchValue(QStringLiteral("VCom"), state.VoiceComments);
    read.switchValue(QStringLiteral("PRew"), state.PeedyRewards);
    read.switchValue(QStringLiteral("VRew"), state.VoiceRewards);
    read.text(QStringLiteral("Sg"), state.SpeedGoal);
    read.text(QStringLiteral("Ag"), state.AccuracyGoal);

    if (const auto field = read.field(QStringLiteral("Facts")))
        if (const auto facts = parseWholeNumber(*field))
            state.FactsCount = *facts;
    // The drill keeps a table of at most 50 used values, so a damaged file
    // holding more is lowered just as one holding fewer than 10 is raised.
    state.FactsCount = std::clamp(state.FactsCount, 10, 50);

    read.text(QStringLiteral("MGreet"), state.GreetingMode);
    read.switchValue(QStringLiteral("NoGreet"), state.GreetingOff);
    if (const auto greeting = read.joined(QStringLiteral("PGreet")))
        state.CustomGreeting = *greeting;

    if (state.GreetingMode == QLatin1String("IntegrateYes"))
        state.BaseGreeting = state.CustomGreeting;
    // Composed before the name is read, so at start it ends in ",?".
    if (state.GreetingMode == QLatin1String("IntegrateNo"))
        state.BaseGreeting = defaultBaseGreeting(state.SpokenName);
    if (const auto pname = read.field(QStringLiteral("PName")))
        state.SpokenName = spokenNameFrom(*pname, QString());
    return failures;
}

void sweepInterruptedWrites(const SettingsStore &store)
{
    const QString root = store.workingFolder();
    for (const QString &folder : {root, store.filesFolder(), root + QStringLiteral("/SDat")})
        removeInterruptedWrites(folder);
}

} // namespace plovista
