#include "settings/textlines.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace plovista {

namespace {

// A file is gone through this much at a time, so reading a large one never
// holds more of it than this.
constexpr qint64 Piece = 1 << 20;

const char *find(const char *from, const char *to, char c)
{
    const void *found = std::memchr(from, c, static_cast<std::size_t>(to - from));
    return found ? static_cast<const char *>(found) : to;
}

bool continuesCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

// What going through the text has found so far; a line may begin in one piece
// and end in another, a CR LF and a UTF-8 character may be split between two.
struct TextLines::Scan
{
    bool started = false;
    qint64 offset = 0; // where the next piece starts
    bool crPending = false; // the last piece ended with a CR, its LF perhaps next
    qint64 lineBytes = 0;
    qint64 lineContinuing = 0; // bytes of the line that continue a UTF-8 character
    qint64 longestBytes = 0;
    qint64 longestCharacters = 0; // as UTF-8
    bool anyHigh = false;
    bool utf8 = true; // no piece so far is wrong as UTF-8
    bool tailHigh = false; // the last piece may end inside a UTF-8 character
    QStringDecoder decoder {QStringDecoder::Utf8};

    void endLine()
    {
        longestBytes = std::max(longestBytes, lineBytes);
        longestCharacters = std::max(longestCharacters, lineBytes - lineContinuing);
        lineBytes = 0;
        lineContinuing = 0;
    }
};

TextLines::TextLines()
{
    m_starts.push_back(0);
}

TextLines::TextLines(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    Scan scan;
    this->scan(scan, m_bytes);
    finish(scan);
}

TextLinesResult TextLines::read(const QString &path)
{
    OpenResult opened = openFileReporting(path);
    TextLinesResult result;
    result.missing = opened.missing;
    result.error = opened.error;
    if (!opened.file)
        return result;

    TextLines text;
    text.m_starts.clear();
    text.m_file = std::move(opened.file);
    Scan scan;
    QByteArray buffer(Piece, Qt::Uninitialized);
    do {
        const qint64 got = text.m_file->readAt(scan.offset, buffer.data(), Piece);
        if (got < 0) {
            result.error = QStringLiteral("%1 (%2)").arg(fileErrorReason(errno), path);
            return result;
        }
        const bool first = !scan.started;
        text.scan(scan, QByteArrayView(buffer.constData(), got));
        // A file seldom changes its kind of lines part way, so the first piece
        // tells about how many there will be.
        if (first && got > 0 && opened.size > got)
            text.m_starts.reserve(static_cast<std::size_t>(std::min<double>(
                double(text.lineCount()) * double(opened.size) / double(got) * 1.05 + 16, double(opened.size) + 1)));
        if (got < Piece)
            break;
    } while (true);
    text.finish(scan);
    result.lines = std::move(text);
    return result;
}

void TextLines::addLine(qint64 start)
{
    while (static_cast<quint64>(start) >> 32 > m_wraps.size())
        m_wraps.push_back(lineCount());
    m_starts.push_back(static_cast<quint32>(start));
}

void TextLines::scan(Scan &s, QByteArrayView piece)
{
    if (!s.started) {
        s.started = true;
        m_textStart = byteOrderMarkLength(piece);
        piece = piece.sliced(m_textStart);
        s.offset = m_textStart;
        addLine(m_textStart);
    }
    const char *const data = piece.data();
    const char *const end = data + piece.size();
    const qint64 base = s.offset;
    s.offset += piece.size();
    m_size = s.offset;
    if (piece.isEmpty())
        return;

    // Whether the text is UTF-8 throughout, checked only where a byte could
    // say otherwise: a piece with high bytes, and the piece after one that
    // may have ended inside a character.
    const bool high = anyHighByte(piece);
    s.anyHigh = s.anyHigh || high;
    if (s.utf8 && m_textStart == 0 && (high || s.tailHigh)) {
        const QString decoded = s.decoder(piece);
        s.utf8 = !s.decoder.hasError();
    }
    s.tailHigh = high && anyHighByte(piece.last(std::min<qsizetype>(3, piece.size())));

    const auto take = [&](const char *from, const char *to) {
        s.lineBytes += to - from;
        if (high)
            s.lineContinuing += std::count_if(from, to, continuesCharacter);
    };
    const auto lineAt = [&](const char *from) { addLine(base + (from - data)); };

    const char *from = data;
    if (s.crPending) {
        s.crPending = false;
        if (*from == '\n')
            ++from;
        lineAt(from);
    }
    // Line by line from one LF to the next, which the C library finds fast:
    // a CR before an LF ends a line of its own unless it is the LF's partner.
    while (from != end) {
        const char *lf = find(from, end, '\n');
        for (const char *cr = find(from, lf, '\r'); cr != lf; cr = find(from, lf, '\r')) {
            if (lf != end && cr + 1 == lf)
                break;
            take(from, cr);
            s.endLine();
            from = cr + 1;
            // A CR that ends the piece waits to see whether an LF follows.
            if (from == end)
                s.crPending = true;
            else
                lineAt(from);
        }
        if (lf == end) {
            take(from, end);
            break;
        }
        take(from, lf > from && lf[-1] == '\r' ? lf - 1 : lf);
        s.endLine();
        from = lf + 1;
        lineAt(from);
    }
}

void TextLines::finish(Scan &s)
{
    if (s.crPending)
        addLine(m_size);
    s.endLine();
    // A character left unfinished at the very end is no UTF-8 either.
    if (s.utf8 && s.tailHigh && m_textStart == 0) {
        const QString decoded = s.decoder(QByteArrayView("\n"));
        s.utf8 = !s.decoder.hasError();
    }
    m_encoding = m_textStart > 0 || (s.anyHigh && s.utf8) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    m_longest = m_encoding == TextEncoding::Utf8 ? s.longestCharacters : s.longestBytes;
}

qint64 TextLines::start(qsizetype index) const
{
    const auto wraps = std::upper_bound(m_wraps.begin(), m_wraps.end(), index) - m_wraps.begin();
    return static_cast<qint64>((static_cast<quint64>(wraps) << 32) | m_starts[static_cast<std::size_t>(index)]);
}

QByteArray TextLines::bytesBetween(qint64 from, qint64 to) const
{
    if (to <= from)
        return {};
    if (!m_file)
        return QByteArray::fromRawData(m_bytes.constData() + from, static_cast<qsizetype>(to - from));
    QByteArray bytes(static_cast<qsizetype>(to - from), Qt::Uninitialized);
    const qint64 got = m_file->readAt(from, bytes.data(), bytes.size());
    bytes.resize(static_cast<qsizetype>(std::max<qint64>(got, 0)));
    return bytes;
}

QStringList TextLines::lines(qsizetype first, qsizetype count) const
{
    QStringList result;
    if (first < 0 || first >= lineCount() || count <= 0)
        return result;
    const qsizetype last = first + std::min(count, lineCount() - first);
    const auto endOf = [&](qsizetype index) { return index + 1 < lineCount() ? start(index + 1) : m_size; };
    const qint64 from = start(first);
    const QByteArray bytes = bytesBetween(from, endOf(last - 1));
    result.reserve(last - first);
    for (qsizetype i = first; i < last; ++i) {
        // Each line but the last ends with its line end; where the file has
        // been shortened since, what is left of the line.
        qint64 to = std::min<qint64>(endOf(i) - from - (i + 1 < lineCount() ? 1 : 0), bytes.size());
        const qint64 at = std::min(start(i) - from, to);
        // A CR is never part of a line, only the first half of its CR LF.
        if (to > at && bytes[to - 1] == '\r')
            --to;
        result << decodeText(QByteArrayView(bytes).sliced(at, to - at), m_encoding);
    }
    return result;
}

QString TextLines::line(qsizetype index) const
{
    return lines(index, 1).value(0);
}

QString TextLines::joined() const
{
    // A batch of lines at a time, so the file is not read whole twice over.
    constexpr qsizetype Batch = 4096;
    QString text;
    for (qsizetype first = 0; first < lineCount(); first += Batch) {
        if (first > 0)
            text += QLatin1Char('\n');
        text += lines(first, Batch).join(QLatin1Char('\n'));
    }
    return text;
}

} // namespace plovista
