#include "selection/verticalpicture.h"

namespace plovista {

VerticalPicture verticalPicture(Operation operation)
{
    VerticalPicture picture;
    picture.rule = {1440, 1280, 1920, 1280};
    switch (operation) {
    case Operation::Addition:
        picture.top = PictureLetter {QStringLiteral("A"), 1680, 810};
        picture.sign = PictureLetter {QStringLiteral("+"), 1500, 1040};
        picture.lower = PictureLetter {QStringLiteral("B"), 1680, 1040};
        picture.result = PictureLetter {QStringLiteral("C"), 1680, 1260};
        break;
    case Operation::Subtraction:
        picture.top = PictureLetter {QStringLiteral("C"), 1680, 810};
        picture.sign = PictureLetter {QStringLiteral("-"), 1500, 1040};
        picture.lower = PictureLetter {QStringLiteral("B"), 1680, 1040};
        picture.result = PictureLetter {QStringLiteral("A"), 1680, 1260};
        break;
    case Operation::Multiplication:
        picture.top = PictureLetter {QStringLiteral("A"), 1680, 800};
        picture.sign = PictureLetter {QStringLiteral("x"), 1500, 1040};
        picture.lower = PictureLetter {QStringLiteral("B"), 1680, 1040};
        picture.result = PictureLetter {QStringLiteral("C"), 1680, 1260};
        break;
    case Operation::Division:
        // A long-division bracket: the divisor outside, the dividend under
        // the bar, the quotient above it, and no sign.
        picture.top = PictureLetter {QStringLiteral("A"), 1780, 850};
        picture.lower = PictureLetter {QStringLiteral("B"), 1500, 1080};
        picture.dividend = PictureLetter {QStringLiteral("C"), 1780, 1100};
        picture.rule = {1700, 1100, 2000, 1100};
        picture.stroke = PictureLine {1700, 1100, 1700, 1300};
        picture.headingTop = 600;
        break;
    case Operation::FactsOfTen:
        break;
    }
    return picture;
}

} // namespace plovista
