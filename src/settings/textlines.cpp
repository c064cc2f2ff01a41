#include "settings/textlines.h"

#include <algorithm>

namespace plovista {

TextLines::TextLines()
{
    m_starts.push_back(0);
}

TextLines::TextLines(QByteArray bytes)
    : m_bytes(std::move(bytes))
    , m_encoding(textEncodingOf(m_bytes))
    , m_textStart(byteOrderMarkLength(m_bytes))
{
    const char *const data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    m_starts.reserve(static_cast<std::size_t>(std::count(data + m_textStart, data + size, '\n')) + 1);
    const bool utf8 = m_encoding == TextEncoding::Utf8;
    qsizetype lineStart = m_textStart;
    // Bytes that continue a UTF-8 character in the current line.
    qsizetype continuing = 0;
    const auto addLine = [&](qsizetype next) {
        while (static_cast<quint64>(next) >> 32 > m_wraps.size())
            m_wraps.push_back(lineCount());
        m_starts.push_back(static_cast<quint32>(next));
    };
    const auto endLine = [&](qsizetype end) {
        m_longest = std::max(m_longest, end - lineStart - continuing);
        continuing = 0;
    };
    addLine(lineStart);
    for (qsizetype i = m_textStart; i < size; ++i) {
        const char c = data[i];
        if (utf8 && (static_cast<unsigned char>(c) & 0xC0) == 0x80)
            ++continuing;
        if (c != '\n' && c != '\r')
            continue;
        endLine(i);
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        lineStart = i + 1;
        addLine(lineStart);
    }
    endLine(size);
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
