#pragma once

#include "settings/textfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace plovista {

struct TextLinesResult;

// The lines of a text file with an index of where each line starts; a line is
// read and decoded only when it is asked for. Read from a file, the file is
// gone through once, a piece at a time, and then kept open: a records file of
// a million lines costs its index (four bytes a line), not its size, and the
// lines shown are those of the file as it was opened, even when another file
// is renamed into its place. Lines added to it later are not among them; a
// file shortened under it shows what is left of its lines and nothing else.
//
// CR LF, LF and CR each end a line, and the text after the last line end
// (empty when the text ends with one) is the last line, so there is always
// at least one line. The encoding is the one readTextFile would use.
class TextLines
{
public:
    TextLines();
    // Lines of bytes held in memory.
    explicit TextLines(QByteArray bytes);
    // The lines of a file, by readFileReporting's rules for opening it.
    static TextLinesResult read(const QString &path);

    qsizetype lineCount() const { return static_cast<qsizetype>(m_starts.size()); }
    // The line without its line end; empty outside the text.
    QString line(qsizetype index) const;
    // Up to `count` lines from `first`, read in one go; none outside the text.
    QStringList lines(qsizetype first, qsizetype count) const;
    // Characters in the longest line.
    qsizetype longestLine() const { return m_longest; }
    // No text at all; a byte-order mark alone is none.
    bool isEmpty() const { return m_size == m_textStart; }
    // The whole text, lines joined with LF.
    QString joined() const;
    TextEncoding encoding() const { return m_encoding; }

private:
    struct Scan;
    void scan(Scan &scan, QByteArrayView piece);
    void finish(Scan &scan);
    void addLine(qint64 start);
    qint64 start(qsizetype index) const;
    // The bytes from one offset to another, fewer where the file has been
    // shortened since it was read.
    QByteArray bytesBetween(qint64 from, qint64 to) const;

    QByteArray m_bytes;
    std::optional<ReadOnlyFile> m_file;
    qint64 m_size = 0; // bytes of text, the byte-order mark included
    TextEncoding m_encoding = TextEncoding::Windows1252;
    qint64 m_textStart = 0;
    // Each line's start in four bytes rather than eight: the low 32 bits,
    // and the lines at which the start passed another 4 GiB.
    std::vector<quint32> m_starts;
    std::vector<qsizetype> m_wraps;
    qsizetype m_longest = 0;
};

struct TextLinesResult
{
    std::optional<TextLines> lines; // empty when the file could not be read
    bool missing = false; // there is no file of that name
    QString error; // why it could not be read, in words a teacher can act on
};

} // namespace plovista
