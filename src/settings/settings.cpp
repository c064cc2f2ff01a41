#include "settings/settings.h"

#include "settings/settingkeys.h"

namespace plovista {

QLatin1StringView SettingWrite::name() const
{
    return std::visit([](const auto *key) { return key->name(); }, m_key);
}

QString SettingWrite::line() const
{
    return std::visit(
        [this](const auto *key) {
            using T = typename std::remove_pointer_t<decltype(key)>::Value;
            return key->format.line(std::get<T>(m_value));
        },
        m_key);
}

Settings::Settings(const QString &workingFolder)
    : m_store(workingFolder)
{ }

void Settings::set(QLatin1StringView name, SettingValue value)
{
    auto it = m_values.find(name);
    if (it != m_values.end() && *it == value)
        return;
    if (it == m_values.end())
        it = m_values.insert(name, std::move(value));
    else
        *it = std::move(value);
    Q_EMIT changed(QString(name));
}

WriteResult Settings::write(const SettingWrite &write)
{
    return std::visit(
        [this, &write](const auto *key) {
            using T = typename std::remove_pointer_t<decltype(key)>::Value;
            return this->write(*key, std::get<T>(write.value()));
        },
        write.key());
}

QStringList Settings::writeAll(const std::vector<SettingWrite> &writes)
{
    QStringList failures;
    for (const SettingWrite &each : writes) {
        const WriteResult result = write(each);
        if (!result.ok)
            failures << QStringLiteral("%1: %2").arg(each.name(), result.error);
    }
    return failures;
}

Settings::Loaded Settings::load(bool xpStyle)
{
    Loaded loaded;
    loaded.folderFailures = m_store.ensureFolders();

    // Every missing file is written first and made safe on the disk in one
    // go: a first run makes all of them.
    std::vector<SettingsStore::NewFile> missing;
    std::vector<bool> created(keys::All.size(), false);
    for (std::size_t i = 0; i < keys::All.size(); ++i) {
        std::visit(
            [&](const auto *key) {
                if (!m_store.isMissing(key->name(), key->restoredWhenEmpty))
                    return;
                created[i] = true;
                missing.push_back(
                    {key->name(),
                     key->createdEmpty ? std::nullopt : std::optional(key->format.line(key->defaultFor(xpStyle)))});
            },
            keys::All[i]);
    }
    const std::vector<WriteResult> written = m_store.create(missing);
    for (std::size_t i = 0; i < missing.size(); ++i)
        loaded.created.emplace_back(missing[i].name, written[i]);

    for (std::size_t i = 0; i < keys::All.size(); ++i) {
        std::visit(
            [&](const auto *key) {
                using T = typename std::remove_pointer_t<decltype(key)>::Value;
                T taken = created[i] ? key->defaultFor(xpStyle) : readFile(*key).value_or(value(*key));
                if (key->settle)
                    taken = key->settle(taken);
                set(key->name(), std::move(taken));
            },
            keys::All[i]);
    }
    return loaded;
}

} // namespace plovista
