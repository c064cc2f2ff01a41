#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace plovista {

// Text files move between machines in Windows-1252 with CR LF line ends.
QString decodeWindows1252(const QByteArray &bytes);
// Characters that Windows-1252 cannot hold become '?'.
QByteArray encodeWindows1252(const QString &text);
bool fitsWindows1252(QChar c);

// Reads a text file written by this program or by hand: a UTF-8 byte-order
// mark or valid multi-byte UTF-8 is taken as UTF-8, anything else as
// Windows-1252. Empty when the file cannot be read.
std::optional<QString> readTextFile(const QString &path);

struct WriteResult
{
    bool ok = true;
    QString error; // why it failed, in words a teacher can act on
};

// Replaces the file atomically (a temporary file, then a rename), so a crash
// or a full disk never leaves it half-written.
WriteResult writeTextFileAtomically(const QString &path, const QString &text);

// Appends to the file, creating it when missing. Costs the same whatever the
// size of the file.
WriteResult appendTextFile(const QString &path, const QString &text);

} // namespace plovista
