#pragma once

#include "settings/numbertext.h"
#include "settings/textfile.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace plovista {

// The first field of a one-value line: leading blanks skipped; a quoted field
// runs to the next quote; otherwise it runs to the first comma; trailing
// blanks of an unquoted field dropped. Either kind ends at a line end, so a
// value never carries one.
QString firstField(const QString &line);

// A switch as the files hold it.
inline QString formatSwitch(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}
// The Boolean of a switch field; empty for anything but "True" or "False".
std::optional<bool> parseSwitch(const QString &field);
// A whole number field; empty when it is not one or does not fit 16 bits.
std::optional<int> parseWholeNumber(const QString &field);

// A settings file holds one short value; anything larger is damaged and is
// not read at all.
inline constexpr qint64 SettingsFileLimit = 64 * 1024;

// The one-value settings files in the folder "Files" of a working folder.
class SettingsStore
{
public:
    explicit SettingsStore(QString workingFolder);

    QString workingFolder() const { return m_root; }
    QString filesFolder() const;
    QString pathOf(const QString &name) const;

    // Creates the folders "Files" and "SDat" when they are missing. A line
    // for each folder that could not be made, naming it and why.
    QStringList ensureFolders() const;

    // Writes the default when the file is missing (or, with alsoWhenEmpty,
    // when it holds zero bytes). The default is written as the whole line.
    // Empty when the file was there and nothing was written.
    std::optional<WriteResult> ensure(const QString &name, const QString &defaultValue,
                                      bool alsoWhenEmpty = false) const;
    // Creates a file of zero bytes when it is missing (the custom greeting).
    std::optional<WriteResult> ensureEmptyFile(const QString &name) const;

    // The first field of the file; empty when the file cannot be read, is
    // empty, or is larger than a settings file can be.
    std::optional<QString> read(const QString &name) const;
    // The whole file with every CR and LF removed (the custom greeting).
    std::optional<QString> readJoined(const QString &name) const;

    // Replaces the file with the value and CR LF.
    WriteResult write(const QString &name, const QString &value) const;

private:
    QString m_root;
};

} // namespace plovista
