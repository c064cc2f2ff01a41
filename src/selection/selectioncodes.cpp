#include "selection/selectioncodes.h"

namespace plovista {

namespace {
// Character 247 of Windows-1252, the code page the records are written in.
constexpr char16_t DivisionSign = u'\u00F7';
} // namespace

std::optional<DrillFormat> chosenFormat(bool horizontalChecked, bool verticalChecked)
{
    if (verticalChecked)
        return DrillFormat::Vertical;
    if (horizontalChecked)
        return DrillFormat::Horizontal;
    return std::nullopt;
}

std::optional<FactRange> chosenRange(bool zeroToNineChecked, bool zeroToTwelveChecked)
{
    if (zeroToTwelveChecked)
        return FactRange::ZeroToTwelve;
    if (zeroToNineChecked)
        return FactRange::ZeroToNine;
    return std::nullopt;
}

QString operationSign(Operation operation)
{
    switch (operation) {
    case Operation::Addition:
        return QStringLiteral("+");
    case Operation::Subtraction:
        return QStringLiteral("-");
    case Operation::Multiplication:
        return QStringLiteral("x");
    case Operation::Division:
        return QString(QChar(DivisionSign));
    case Operation::FactsOfTen:
        break;
    }
    return {};
}

QString activityCode(Operation operation, int factOption)
{
    if (operation == Operation::FactsOfTen)
        return QStringLiteral("F10");
    return operationSign(operation) + QString::number(factOption);
}

QString formatCode(DrillFormat format)
{
    return format == DrillFormat::Vertical ? QStringLiteral("V") : QStringLiteral("H");
}

QString factsOfTenFormatCode(int factsOfTenFormat)
{
    return QString::number(factsOfTenFormat);
}

QString rangeCode(FactRange range)
{
    return range == FactRange::ZeroToTwelve ? QStringLiteral("0->12") : QStringLiteral("0->9");
}

FactMenuCaptions factMenuCaptions(Operation operation)
{
    switch (operation) {
    case Operation::Addition:
        return {QStringLiteral("Addition Menu"), QStringLiteral("A + B = C")};
    case Operation::Subtraction:
        return {QStringLiteral("Subtraction Menu"), QStringLiteral("C - B = A")};
    case Operation::Multiplication:
        return {QStringLiteral("Multiplication Menu"), QStringLiteral("A x B = C")};
    case Operation::Division:
        return {QStringLiteral("Division Menu"), QStringLiteral("C ") + QChar(DivisionSign) + QStringLiteral(" B = A")};
    case Operation::FactsOfTen:
        break;
    }
    return {};
}

QString factOptionCaption(Operation operation, int factOption)
{
    return operationSign(operation) + QString::number(factOption);
}

SelectionMessage missingRangeMessage()
{
    return {QStringLiteral("Please check a Facts ~Range box."), QStringLiteral("Please check a Facts Range box."),
            QStringLiteral("Please check a  Facts Range  box."), QStringLiteral("Facts Range")};
}

SelectionMessage missingFormatMessage()
{
    return {QStringLiteral("Please check a Format box."), QStringLiteral("Please check a Format box."),
            QStringLiteral("Please check a Format box."), QStringLiteral("Format Box")};
}

} // namespace plovista
