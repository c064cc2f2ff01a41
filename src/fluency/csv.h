#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace plovista {

// Comma-separated values as spreadsheets exchange them: a field holding a
// comma, a semicolon, a tab, a quote, CR or LF is put in quotes, a quote
// inside doubled, and a record ends with CR LF.
QString csvField(QStringView value);
QString csvRecord(const QStringList &fields);

// The fields of a record that stands on one line, given without its line
// end. Empty when the line is malformed: a quote left open, or text after a
// closing quote.
std::optional<QStringList> parseCsvLine(QStringView line);

struct CsvTable
{
    std::vector<QStringList> records;
    // Reading stopped at a quote left open or text after a closing quote;
    // the records before it are kept.
    bool damaged = false;
};

// A whole text, where quoted fields may hold line ends (CR LF, LF or CR). A
// last record without a line end after it still counts; an empty line is a
// record of one empty field, as in any spreadsheet.
CsvTable readCsv(QStringView text);

} // namespace plovista
