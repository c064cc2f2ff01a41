#pragma once

#include <QList>
#include <QString>

namespace plovista {

// A page of printed text as data, so what is printed can be checked without a
// printer. Lines run down the page one under another; an empty line still
// takes the height of its font. Columns are counted in characters of the
// line's font from 1 at the left margin, as on a typewriter.

struct PrintPiece
{
    int column = 1;
    QString text;

    friend bool operator==(const PrintPiece &, const PrintPiece &) = default;
};

struct PrintLine
{
    QString fontFamily;
    int pointSize = 10;
    QList<PrintPiece> pieces; // in order from left to right; none for an empty line
    // A page is scaled to its paper; a line that must stay readable however
    // small the rest comes out (a footer) is never printed below this size.
    int minimumPointSize = 0;

    friend bool operator==(const PrintLine &, const PrintLine &) = default;
};

struct PrintPage
{
    QList<PrintLine> lines;

    friend bool operator==(const PrintPage &, const PrintPage &) = default;
};

} // namespace plovista
