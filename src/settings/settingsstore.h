#pragma once

#include "settings/numbertext.h"
#include "settings/textfile.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

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

    // Whether start-up is to make the file: it is missing (or, with
    // alsoWhenEmpty, holds zero bytes).
    bool isMissing(const QString &name, bool alsoWhenEmpty = false) const;
    // A file start-up makes: its line, or zero bytes.
    struct NewFile
    {
        QString name;
        std::optional<QString> line;
    };
    // Makes the files as write would, each atomically, but makes them safe on
    // the disk together: one sync for all of them instead of one each. A
    // result for each file, in order.
    std::vector<WriteResult> create(const std::vector<NewFile> &files) const;

    // The whole text of the file; empty when it cannot be read or is larger
    // than a settings file can be.
    std::optional<QString> readWhole(const QString &name) const;

    // Replaces the file with the value and CR LF.
    WriteResult write(const QString &name, const QString &value) const;

private:
    QString m_root;
};

} // namespace plovista
