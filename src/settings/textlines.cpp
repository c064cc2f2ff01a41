#include "settings/textlines.h"

#include <algorithm>
#include <cstring>

namespace plovista {

TextLines::TextLines()
{
    m_starts.push_back(0);
}

namespace {

const char *find(const char *from, const char *to, char c)
{
    const void *found = std::memchr(from, c, static_cast<std::size_t>(to - from));
    return found ? static_cast<const char *>(found) : to;
}

} // namespace

TextLines::TextLines(QByteArray bytes)
    : m_bytes(std::move(bytes))
    , m_encoding(textEncodingOf(m_bytes))
    , m_textStart(byteOrderMarkLength(m_bytes))
{
    const char *const data = m_bytes.constData();
    const char *const end = data + m_bytes.size();
    const char *from = data + m_textStart;
    m_starts.reserve(static_cast<std::size_t>(std::count(from, end, '\n')) + 1);
    const auto addLine = [&](const char *lineStart) {
        const qsizetype next = lineStart - data;
        while (static_cast<quint64>(next) >> 32 > m_wraps.size())
            m_wraps.push_back(lineCount());
        m_starts.push_back(static_cast<quint32>(next));
    };
    const bool utf8 = m_encoding == TextEncoding::Utf8;
    const auto endLine = [&](const char *lineEnd) {
        // Bytes that continue a UTF-8 character are no characters of their own.
        const qsizetype continuing = utf8
            ? std::count_if(from, lineEnd, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; })
            : 0;
        m_longest = std::max(m_longest, lineEnd - from - continuing);
    };
    // Line by line from one LF to the next, which the C library finds fast:
    // a CR before an LF ends a line of its own unless it is the LF's partner.
    addLine(from);
    for (;;) {
        const char *lf = find(from, end, '\n');
        for (const char *cr = find(from, lf, '\r'); cr != lf; cr = find(from, lf, '\r')) {
            if (lf != end && cr + 1 == lf)
                break;
            endLine(cr);
            from = cr + 1;
            addLine(from);
        }
        if (lf == end) {
            endLine(end);
            break;
        }
        endLine(lf > from && lf[-1] == '\r' ? lf - 1 : lf);
        from = lf + 1;
        addLine(from);
    }
}

qsizetype TextLines::start(qsizetype index) const
{
    const auto wraps = std::upper_bound(m_wraps.begin(), m_wraps.end(), index) - m_wraps.begin();
    return static_cast<qsizetype>((static_cast<quint64>(wraps) << 32) | m_starts[static_cast<std::size_t>(index)]);
}

QByteArrayView TextLines::bytesOf(qsizetype index) const
{
    if (index < 0 || index >= lineCount())
        return {};
    const qsizetype from = start(index);
    if (index + 1 == lineCount())
        return QByteArrayView(m_bytes).sliced(from);
    qsizetype to = start(index + 1) - 1; // its line end
    if (to > from && m_bytes[to] == '\n' && m_bytes[to - 1] == '\r')
        --to;
    return QByteArrayView(m_bytes).sliced(from, to - from);
}

QString TextLines::line(qsizetype index) const
{
    return decodeText(bytesOf(index), m_encoding);
}

QString TextLines::joined() const
{
    QString text;
    for (qsizetype i = 0; i < lineCount(); ++i) {
        if (i > 0)
            text += QLatin1Char('\n');
        text += line(i);
    }
    return text;
}

} // namespace plovista
