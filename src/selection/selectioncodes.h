#pragma once

#include "drill/facts.h"

#include <QString>

#include <optional>

namespace plovista {

enum class DrillFormat { Horizontal, Vertical };

// The choice the fact menu's two pairs of boxes leave. Either box of a pair
// can be unchecked, so there may be none; were both of a pair checked, the
// vertical format and the wider range win, as the drill lays out and draws
// that way.
std::optional<DrillFormat> chosenFormat(bool horizontalChecked, bool verticalChecked);
std::optional<FactRange> chosenRange(bool zeroToNineChecked, bool zeroToTwelveChecked);

// The sign of an operation as the menus and the records write it: "+", "-",
// "x" or the division sign; empty for Facts of Ten.
QString operationSign(Operation operation);

// The codes written into each record: "+7", "x12", the division sign and
// the number, or "F10"; "H" or "V" (Facts of Ten: "1" or "2"); "0->9" or
// "0->12".
QString activityCode(Operation operation, int factOption);
QString formatCode(DrillFormat format);
QString factsOfTenFormatCode(int factsOfTenFormat);
QString rangeCode(FactRange range);

// How the fact menu reads for an operation.
struct FactMenuCaptions
{
    QString windowTitle; // "Addition Menu"
    QString horizontalCaption; // "A + B = C"
};
FactMenuCaptions factMenuCaptions(Operation operation);
QString factOptionCaption(Operation operation, int factOption);

// What the fact menu tells a student whose choice is incomplete: Peedy's
// words keep their speech mark, the voice's do not, the box has its own
// spacing.
struct SelectionMessage
{
    QString peedyText;
    QString voiceText;
    QString boxText;
    QString title;
};
SelectionMessage missingRangeMessage();
SelectionMessage missingFormatMessage();

} // namespace plovista
