#pragma once

#include "settings/textfile.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace plovista {

// The lines of a text file kept as the file's own bytes, with an index of
// where each line starts; a line is decoded only when it is asked for. A
// records file of a million lines thus costs little more than its size, where
// decoded text would cost twice that again.
//
// CR LF, LF and CR each end a line, and the text after the last line end
// (empty when the text ends with one) is the last line, so there is always
// at least one line. The encoding is the one readTextFile would use.
class TextLines
{
public:
    TextLines();
    explicit TextLines(QByteArray bytes);

    qsizetype lineCount() const { return static_cast<qsizetype>(m_starts.size()); }
    // The line without its line end; empty outside the text.
    QString line(qsizetype index) const;
    // Characters in the longest line.
    qsizetype longestLine() const { return m_longest; }
    // No text at all; a byte-order mark alone is none.
    bool isEmpty() const { return m_bytes.size() == m_textStart; }
    // The whole text, lines joined with LF.
    QString joined() const;
    TextEncoding encoding() const { return m_encoding; }

private:
    qsizetype start(qsizetype index) const;
    QByteArrayView bytesOf(qsizetype index) const;

    QByteArray m_bytes;
    TextEncoding m_encoding = TextEncoding::Windows1252;
    qsizetype m_textStart = 0;
    // Each line's start in four bytes rather than eight: the low 32 bits,
    // and the lines at which the start passed another 4 GiB.
    std::vector<quint32> m_starts;
    std::vector<qsizetype> m_wraps;
    qsizetype m_longest = 0;
};

} // namespace plovista
