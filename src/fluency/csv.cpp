#include "fluency/csv.h"

namespace plovista {

namespace {

// Semicolons and tabs too: a spreadsheet set to read them as separators
// (";" is the list separator where "," is the decimal one) would otherwise
// cut the field there, and the rest would stand as a cell of its own,
// formula and all.
bool needsQuotes(QStringView value)
{
    for (const QChar c : value)
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n' || c == u';' || c == u'\t')
            return true;
    return false;
}

// Reads one field starting at `at`; leaves `at` on the character after it
// (a comma, a line end, or the end). Empty when a quoted field is never
// closed, or text follows its closing quote.
std::optional<QString> readField(QStringView text, qsizetype &at, bool allowLineEnds)
{
    const qsizetype size = text.size();
    if (at < size && text[at] == u'"') {
        QString field;
        for (++at; at < size; ++at) {
            const QChar c = text[at];
            if (c == u'"') {
                if (at + 1 < size && text[at + 1] == u'"') {
                    field += u'"';
                    ++at;
                    continue;
                }
                ++at;
                if (at < size && text[at] != u',' && text[at] != u'\r' && text[at] != u'\n')
                    return std::nullopt;
                return field;
            }
            if (!allowLineEnds && (c == u'\r' || c == u'\n'))
                return std::nullopt;
            field += c;
        }
        return std::nullopt;
    }
    const qsizetype start = at;
    while (at < size && text[at] != u',' && text[at] != u'\r' && text[at] != u'\n') {
        if (text[at] == u'"')
            return std::nullopt;
        ++at;
    }
    return text.mid(start, at - start).toString();
}

} // namespace

QString csvField(QStringView value)
{
    if (!needsQuotes(value))
        return value.toString();
    QString quoted;
    quoted.reserve(value.size() + 2);
    quoted += u'"';
    for (const QChar c : value) {
        if (c == u'"')
            quoted += u'"';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

QString csvRecord(const QStringList &fields)
{
    QString record;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += u',';
        record += csvField(fields[i]);
    }
    record += QStringLiteral("\r\n");
    return record;
}

std::optional<QStringList> parseCsvLine(QStringView line)
{
    QStringList fields;
    qsizetype at = 0;
    for (;;) {
        std::optional<QString> field = readField(line, at, false);
        if (!field)
            return std::nullopt;
        fields << *field;
        if (at >= line.size())
            return fields;
        if (line[at] != u',')
            return std::nullopt; // a line end inside the line
        ++at;
    }
}

CsvTable readCsv(QStringView text)
{
    CsvTable table;
    qsizetype at = 0;
    const qsizetype size = text.size();
    QStringList record;
    while (at < size) {
        std::optional<QString> field = readField(text, at, true);
        if (!field) {
            table.damaged = true;
            return table;
        }
        record << *field;
        if (at >= size)
            break;
        if (text[at] == u',') {
            ++at;
            if (at == size)
                record << QString();
            continue;
        }
        // A line end: CR LF, LF or CR.
        if (text[at] == u'\r' && at + 1 < size && text[at + 1] == u'\n')
            ++at;
        ++at;
        table.records.push_back(std::move(record));
        record.clear();
    }
    if (!record.isEmpty())
        table.records.push_back(std::move(record));
    return table;
}

} // namespace plovista
