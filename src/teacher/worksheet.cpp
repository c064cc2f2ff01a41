#include "teacher/worksheet.h"

#include "app/programinfo.h"
#include "platform/random.h"
#include "settings/numbertext.h"

#include <algorithm>
#include <cmath>

namespace plovista {

namespace {

// A fair generator needs a few dozen draws at most to find the last free
// first number; this many refusals in a row only come from a stuck one.
constexpr int MaxDraws = 1000;

// What a first number of 0 or 1 becomes before it is printed, so that no fact
// is about 0 or 1.
struct Replacement
{
    int forZero;
    int forOne;
};

int replaced(int number, Replacement replacement)
{
    if (number == 0)
        return replacement.forZero;
    if (number == 1)
        return replacement.forOne;
    return number;
}

// Replacements of the two rows of a block, by kind of worksheet.
std::array<Replacement, 2> rowReplacements(Operation operation)
{
    switch (operation) {
    case Operation::FactsOfTen:
        return {{{4, 3}, {3, 4}}};
    case Operation::Addition:
    case Operation::Subtraction:
        return {{{8, 9}, {9, 8}}};
    case Operation::Multiplication:
    case Operation::Division:
        break;
    }
    return {{{9, 8}, {8, 9}}};
}

// Replacements of a division worksheet's long-division and horizontal rows,
// by pair of rows.
struct DivisionReplacements
{
    Replacement longDivision;
    Replacement horizontal;
};
constexpr std::array<DivisionReplacements, 5> DivisionPairs = {{
    {{9, 8}, {9, 7}},
    {{8, 6}, {5, 4}},
    {{8, 6}, {9, 7}},
    {{8, 6}, {5, 4}},
    {{9, 8}, {9, 7}},
}};

int drawWhole(Random &random, int count)
{
    // The clamp keeps a generator that strays outside [0, 1) in range.
    return std::clamp(static_cast<int>(std::floor(random.next() * count)), 0, count - 1);
}

bool isAmong(const std::array<int, 10> &list, int filled, int value)
{
    return std::find(list.begin(), list.begin() + filled, value) != list.begin() + filled;
}

// A number printed on its own, with the blank of its sign before it and a
// blank after it.
QString n(int value)
{
    return formatWholeNumber(value);
}

// The fact of row 0 or 1 of a block of the four kinds printed in rows of
// five, after the replacement of its first number.
QString blockFact(Operation operation, int row, int a, int b)
{
    switch (operation) {
    case Operation::FactsOfTen:
        return row == 0 ? QStringLiteral("__+") + n(a) + QStringLiteral("= 10")
                        : QStringLiteral("10 - ") + n(a) + QStringLiteral("= __");
    case Operation::Addition:
        return row == 0 ? n(a) + QStringLiteral("+__ =") + n(a + b)
                        : n(a) + QStringLiteral("+") + n(b) + QStringLiteral("=__");
    case Operation::Subtraction:
        return row == 0 ? n(a + b) + QStringLiteral(" - __ =") + n(a)
                        : n(a + b) + QStringLiteral(" - ") + n(b) + QStringLiteral(" =__");
    case Operation::Multiplication:
    case Operation::Division:
        break;
    }
    return row == 0 ? n(a) + QStringLiteral(" x ") + n(b) + QStringLiteral(" =__")
                    : n(a) + QStringLiteral(" x __=") + n(a * b);
}

class PageBuilder
{
public:
    void line(int pointSize, QList<PrintPiece> pieces, int minimumPointSize = 0)
    {
        m_page.lines.append({QString::fromLatin1(WorksheetFont), pointSize, std::move(pieces), minimumPointSize});
    }
    void text(int pointSize, const QString &text) { line(pointSize, {{1, text}}); }
    void empty(int pointSize, int count)
    {
        for (int i = 0; i < count; ++i)
            line(pointSize, {});
    }
    PrintPage take() { return std::move(m_page); }

private:
    PrintPage m_page;
};

void addHeader(PageBuilder &page, const WorksheetRequest &request)
{
    page.empty(HeaderPointSize, 2);
    page.text(HeaderPointSize,
              QStringLiteral("Name_________________________________________  Date______________         ") +
                  worksheetTitle(request.operation));
    page.empty(HeaderPointSize, 2);
    if (request.message.isEmpty()) {
        page.empty(HeaderPointSize, 2);
    } else {
        page.text(HeaderPointSize, request.message);
        page.empty(HeaderPointSize, 1);
    }
    page.empty(HeaderPointSize, 3);
}

void addBlocks(PageBuilder &page, const WorksheetRequest &request, Random &random)
{
    const std::array<Replacement, 2> replacements = rowReplacements(request.operation);
    const int count = firstNumberCount(request.operation, request.range);
    for (int block = 0; block < 5; ++block) {
        const WorksheetNumbers numbers = drawWorksheetNumbers(random, count);
        for (int row = 0; row < 2; ++row) {
            QList<PrintPiece> facts;
            for (int i = 0; i < 5; ++i) {
                const auto at = static_cast<std::size_t>(row * 5 + i);
                const int a = replaced(numbers.first[at], replacements[static_cast<std::size_t>(row)]);
                facts.append({FactColumns[static_cast<std::size_t>(i)],
                              blockFact(request.operation, row, a, numbers.second[at])});
            }
            page.line(BodyPointSize, facts);
            page.empty(BodyPointSize, 3);
        }
    }
}

void addDivisionRows(PageBuilder &page, const WorksheetRequest &request, Random &random)
{
    const int count = firstNumberCount(request.operation, request.range);
    for (std::size_t pair = 0; pair < DivisionPairs.size(); ++pair) {
        // Long division: the divisor, ")" and the dividend, under a line on
        // which the student writes the quotient.
        WorksheetNumbers numbers = drawWorksheetNumbers(random, count);
        QList<PrintPiece> answerLines;
        QList<PrintPiece> facts;
        for (std::size_t i = 0; i < 5; ++i) {
            const int a = replaced(numbers.first[i], DivisionPairs[pair].longDivision);
            const int b = numbers.second[i];
            const QString divisor = QString::number(a);
            const int column = LongDivisionColumns[i];
            // The line stands over the dividend, whatever the width of the
            // divisor, as the fixed-pitch face keeps the columns of both rows.
            answerLines.append({column + static_cast<int>(divisor.size()) + 1, QStringLiteral("___")});
            facts.append({column, divisor + QLatin1Char(')') + QString::number(a * b)});
        }
        page.line(DivisionPointSize, answerLines);
        page.line(DivisionPointSize, facts);
        page.empty(DivisionPointSize, pair == 0 ? 4 : 3);

        numbers = drawWorksheetNumbers(random, count);
        facts.clear();
        for (std::size_t i = 0; i < 5; ++i) {
            const int a = replaced(numbers.first[i], DivisionPairs[pair].horizontal);
            const int b = numbers.second[i];
            facts.append({DivisionColumns[i], n(a * b) + QChar(DivisionSign) + n(a) + QStringLiteral("= __")});
        }
        page.line(DivisionPointSize, facts);
        page.empty(DivisionPointSize, 3);
    }
}

} // namespace

int firstNumberCount(Operation operation, FactRange range)
{
    if (operation == Operation::FactsOfTen)
        return 11;
    return range == FactRange::ZeroToTwelve ? 13 : 10;
}

WorksheetNumbers drawWorksheetNumbers(Random &random, int firstCount)
{
    WorksheetNumbers numbers;
    // Ten different first numbers need at least ten to choose from.
    firstCount = std::max(firstCount, 10);
    for (int i = 0; i < 10; ++i) {
        random.reseed();
        int value = drawWhole(random, firstCount);
        for (int attempt = 1; attempt < MaxDraws && isAmong(numbers.first, i, value); ++attempt)
            value = drawWhole(random, firstCount);
        while (isAmong(numbers.first, i, value))
            value = (value + 1) % firstCount;
        numbers.first[static_cast<std::size_t>(i)] = value;
    }
    for (int &second : numbers.second) {
        random.reseed();
        second = drawWhole(random, 10) + 1;
        if (second == 10)
            second = 8;
        else if (second == 1)
            second = 7;
    }
    return numbers;
}

QString worksheetTitle(Operation operation)
{
    switch (operation) {
    case Operation::FactsOfTen:
        return QStringLiteral("Facts of Ten");
    case Operation::Addition:
        return QStringLiteral("Addition Facts");
    case Operation::Subtraction:
        return QStringLiteral("Subtraction Facts");
    case Operation::Multiplication:
        return QStringLiteral("Multiplication Facts");
    case Operation::Division:
        break;
    }
    return QStringLiteral("Division Facts");
}

PrintPage worksheetPage(const WorksheetRequest &request, Random &random)
{
    PageBuilder page;
    addHeader(page, request);
    if (request.operation == Operation::Division)
        addDivisionRows(page, request, random);
    else
        addBlocks(page, request, random);
    page.line(FooterPointSize, {{1, request.footer}}, FooterMinimumPointSize);
    return page.take();
}

QList<PrintPage> worksheetPages(const WorksheetRequest &request, int copies, Random &random)
{
    QList<PrintPage> pages;
    for (int copy = 0; copy < copies; ++copy)
        pages.append(worksheetPage(request, random));
    return pages;
}

QString worksheetFooter(const QDate &date, const QLocale &locale)
{
    return QStringLiteral("%1 %2.%3 - %4")
        .arg(QString::fromLatin1(ProgramTitle))
        .arg(ProgramMajorVersion)
        .arg(ProgramMinorVersion)
        .arg(locale.toString(date, QLocale::LongFormat));
}

QString printingMessage(Operation operation, int copies)
{
    return QStringLiteral("Printing (%1) %2 test(s)...").arg(copies).arg(worksheetTitle(operation).toLower());
}

} // namespace plovista
