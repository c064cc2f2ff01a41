#pragma once

#include "drill/facts.h"
#include "platform/printpage.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <array>

namespace plovista {

class Random;

// A printed worksheet: fifty facts of one kind with a heading for the
// student's name and the date, built as lines of text for the printer.

// The longest message the teacher may put at the top of a worksheet.
constexpr int WorksheetMessageLimit = 90;

// Every line of a worksheet is in this fixed-pitch face, at these sizes.
inline constexpr char WorksheetFont[] = "Courier";
constexpr int HeaderPointSize = 10;
constexpr int BodyPointSize = 14;
constexpr int DivisionPointSize = 12;
constexpr int FooterPointSize = 6;
// A worksheet is scaled to its paper; its footer is never printed smaller.
constexpr int FooterMinimumPointSize = 8;

// Where the five facts of a row start.
constexpr std::array<int, 5> FactColumns = {1, 19, 38, 57, 76};
constexpr std::array<int, 5> LongDivisionColumns = {7, 26, 46, 66, 86};
constexpr std::array<int, 5> DivisionColumns = {6, 25, 45, 65, 85};

// The division sign, the one character of a worksheet outside ASCII.
constexpr char16_t DivisionSign = u'\u00F7';

// The numbers behind one block of ten facts (one row of a division
// worksheet). The first numbers are all different; the second numbers lie in
// 2 to 9, 7 and 8 twice as often as the others, and may repeat.
struct WorksheetNumbers
{
    std::array<int, 10> first {};
    std::array<int, 10> second {};
};

// How many values the first numbers are drawn from, starting at 0: 10 for
// the range 0 to 9, 13 for 0 to 12 and 11 (0 to 10) for Facts of Ten.
int firstNumberCount(Operation operation, FactRange range);

// Reseeds before each of the twenty numbers. A first number already drawn is
// drawn again; should a stuck generator keep repeating itself, the next free
// value is taken so the draw always ends.
WorksheetNumbers drawWorksheetNumbers(Random &random, int firstCount);

// "Addition Facts", ..., "Facts of Ten".
QString worksheetTitle(Operation operation);

struct WorksheetRequest
{
    Operation operation = Operation::Addition;
    FactRange range = FactRange::ZeroToNine; // not used by Facts of Ten
    QString message; // printed under the heading; empty for none
    QString footer; // the small line at the end of the page
};

// One worksheet with numbers drawn afresh.
PrintPage worksheetPage(const WorksheetRequest &request, Random &random);
// A worksheet of its own for every copy.
QList<PrintPage> worksheetPages(const WorksheetRequest &request, int copies, Random &random);

// The program's name and version and the date in the locale's long form.
QString worksheetFooter(const QDate &date, const QLocale &locale = QLocale::system());

// What the teacher is told once the worksheets are sent to the printer:
// "Printing (3) addition facts test(s)...".
QString printingMessage(Operation operation, int copies);

} // namespace plovista
