#pragma once

#include "drill/facts.h"

#include <QString>

#include <optional>

namespace plovista {

// The little picture of the vertical format on the fact menu, drawn with
// single letters and lines at positions in twips inside the menu. Each part
// names the control that draws it; a part that is empty is hidden, so no
// letter of a previous operation's picture is left behind.
struct PictureLetter
{
    QString text;
    int left = 0;
    int top = 0;

    friend bool operator==(const PictureLetter &, const PictureLetter &) = default;
};

struct PictureLine
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    friend bool operator==(const PictureLine &, const PictureLine &) = default;
};

struct VerticalPicture
{
    std::optional<PictureLetter> top; // Label3: the upper number
    std::optional<PictureLetter> sign; // Label4
    std::optional<PictureLetter> lower; // Label6: the lower number, or the divisor outside the bracket
    std::optional<PictureLetter> result; // Label7: the answer under the rule
    std::optional<PictureLetter> dividend; // Label9: under the division bracket
    PictureLine rule; // Line1: the rule, or the bar of the bracket
    std::optional<PictureLine> stroke; // Line2: the bracket's downstroke
    int headingTop = 550; // Label5 "Vertical"
};

VerticalPicture verticalPicture(Operation operation);

} // namespace plovista
