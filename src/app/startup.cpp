#include "app/startup.h"

#include "fluency/answerlog.h"
#include "fluency/logsummary.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"
#include "speech/greeting.h"

#include <QFileInfo>

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

QString spokenNameFrom(const QString &customName, const QString &firstName)
{
    return customName == QLatin1String("AllowUserName") ? firstName : customName;
}

namespace {

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

SettingsAtStart loadSettings(Settings &settings, bool xpStyle)
{
    const Settings::Loaded loaded = settings.load(xpStyle);
    SettingsAtStart result;
    result.failures = loaded.folderFailures;
    QList<QPair<QString, QStringList>> byReason;
    for (const auto &[name, written] : loaded.created) {
        if (written.ok)
            continue;
        auto group = std::find_if(byReason.begin(), byReason.end(),
                                  [&](const auto &entry) { return entry.first == written.reason; });
        if (group == byReason.end())
            group = byReason.insert(byReason.end(), {written.reason, {}});
        group->second << name;
    }
    // A folder that could not be made is told once, not for each of its files.
    if (result.failures.isEmpty() || QFileInfo(settings.filesFolder()).isDir())
        result.failures << unwrittenLines(byReason, static_cast<qsizetype>(keys::All.size()));

    const QString mode = settings.value(keys::GreetingMode);
    if (mode == QLatin1String("IntegrateYes"))
        result.baseGreeting = settings.value(keys::CustomGreeting);
    // Composed before the name is read, so at start it ends in ",?".
    if (mode == QLatin1String("IntegrateNo"))
        result.baseGreeting = defaultBaseGreeting(QString());
    result.spokenName = spokenNameFrom(settings.value(keys::CustomName), QString());
    return result;
}

void sweepInterruptedWrites(const Settings &settings)
{
    const QString root = settings.workingFolder();
    const QString summaries = QStringLiteral("%1/%2/%3").arg(root, AnswerLogFolder, SummaryFolder);
    for (const QString &folder : {root, settings.filesFolder(), root + QStringLiteral("/SDat"), summaries})
        removeInterruptedWrites(folder);
}

} // namespace plovista
