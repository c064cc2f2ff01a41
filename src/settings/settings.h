#pragma once

#include "settings/setting.h"
#include "settings/settingsstore.h"
#include "settings/textfile.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace plovista {

// One setting and the value it is to take. A list of them is saved alike,
// memory and file, whatever their types.
class SettingWrite
{
public:
    template<typename T>
    SettingWrite(const Setting<T> &key, std::type_identity_t<T> value)
        : m_key(&key)
        , m_value(std::move(value))
    { }

    const AnySetting &key() const { return m_key; }
    const SettingValue &value() const { return m_value; }
    QLatin1StringView name() const;
    // The value as the line of its file holds it ("True", " 10 ").
    QString line() const;

private:
    AnySetting m_key;
    SettingValue m_value;
};

// The settings of the program: read from their files at start-up, held for
// the run, and written back, memory and file together, when they change.
// Keys are declared in settings/settingkeys.h.
class Settings final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Settings)
public:
    explicit Settings(const QString &workingFolder);

    QString workingFolder() const { return m_store.workingFolder(); }
    QString filesFolder() const { return m_store.filesFolder(); }

    // The value held; before start-up has read it, empty text, false or 0.
    template<typename T>
    T value(const Setting<T> &key) const
    {
        const auto it = m_values.constFind(key.name());
        return it == m_values.cend() ? T {} : std::get<T>(*it);
    }

    // Writes the file (a new whole file, renamed into place) and takes the
    // value. The value is taken also when the file could not be written: the
    // program goes on with it for this run.
    template<typename T>
    WriteResult write(const Setting<T> &key, std::type_identity_t<T> value)
    {
        const WriteResult written = m_store.write(key.name(), key.format.line(value));
        set(key.name(), std::move(value));
        return written;
    }
    WriteResult write(const SettingWrite &write);
    // Writes each, going on past a failure. A line for each setting whose
    // file could not be written: its file and why.
    QStringList writeAll(const std::vector<SettingWrite> &writes);

    // Reads the file again: a value found there is taken and returned; a
    // damaged or missing file returns nothing and the value stays.
    template<typename T>
    std::optional<T> reread(const Setting<T> &key)
    {
        std::optional<T> read = readFile(key);
        if (read)
            set(key.name(), *read);
        return read;
    }

    // A value for this run only; its file keeps what the teacher chose.
    template<typename T>
    void setForThisRun(const Setting<T> &key, std::type_identity_t<T> value)
    {
        set(key.name(), std::move(value));
    }

    // Runs `react` (in `context`'s thread, while `context` lives) whenever the
    // setting takes a different value.
    template<typename T, typename Functor>
    QMetaObject::Connection watch(const Setting<T> &key, const QObject *context, Functor react)
    {
        return connect(this, &Settings::changed, context,
                       [name = key.name(), react = std::move(react)](const QString &file) {
                           if (file == name)
                               react();
                       });
    }

    // What start-up did to the files.
    struct Loaded
    {
        QStringList folderFailures; // a line for each folder that could not be made
        std::vector<std::pair<QString, WriteResult>> created; // each file made now, with how its write went
    };
    // Makes the folders "Files" and "SDat" and every missing settings file
    // (all written, then made safe on the disk at once), and reads every
    // setting. A file made now gives its default, whether or not it could be
    // written; a damaged one leaves the value as it was.
    Loaded load(bool xpStyle);

Q_SIGNALS:
    void changed(const QString &file);

private:
    void set(QLatin1StringView name, SettingValue value);

    template<typename T>
    std::optional<T> readFile(const Setting<T> &key) const
    {
        const std::optional<QString> text = m_store.readWhole(key.name());
        if (!text)
            return std::nullopt;
        std::optional<T> read = key.format.read(*text);
        if (read && key.settle)
            read = key.settle(*read);
        return read;
    }

    SettingsStore m_store;
    QHash<QLatin1StringView, SettingValue> m_values;
};

} // namespace plovista
