#include "settings/numbertext.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace plovista {

namespace {

int significantDigits(Precision precision)
{
    return precision == Precision::Single ? 7 : 15;
}

// Point as separator, 0 before it, upper-case exponent ("1E+15", "1E-05"),
// the shape both written forms start from. QString::number ignores the
// process locale, which a running application has set from the environment.
QString plainNumberText(double value, Precision precision)
{
    // A single-precision value is written as the float it is held in.
    if (precision == Precision::Single && std::abs(value) <= std::numeric_limits<float>::max())
        value = static_cast<float>(value);
    QString text = QString::number(value, 'g', significantDigits(precision));
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

bool isSkippedBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString formatWholeNumber(int value)
{
    return (value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value)) + QLatin1Char(' ');
}

QString localeNumberText(double value, const QLocale &locale, Precision precision)
{
    QString text = plainNumberText(value, precision);
    // Only the separator follows the locale: the minus stays ASCII, as some
    // locales' minus signs have no place in a Windows-1252 records file.
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

QString neutralNumberText(double value, Precision precision)
{
    QString text = plainNumberText(value, precision);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text;
}

QString cutText(const QString &text, qsizetype length)
{
    return text.left(qMax<qsizetype>(length, 0));
}

double leadingNumber(const QString &text)
{
    std::string number;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && isSkippedBlank(text.at(i)))
            ++i;
    };
    const auto takeDigits = [&] {
        bool any = false;
        for (skipBlanks(); i < text.size() && isDigit(text.at(i)); skipBlanks()) {
            number += static_cast<char>(text.at(i).unicode());
            ++i;
            any = true;
        }
        return any;
    };

    skipBlanks();
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        if (text.at(i) == QLatin1Char('-'))
            number += '-';
        ++i;
    }
    bool mantissa = takeDigits();
    skipBlanks();
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        number += '.';
        ++i;
        mantissa = takeDigits() || mantissa;
    }
    if (!mantissa)
        return 0.0;

    // An exponent counts only when digits follow it ("2e" reads as 2); the
    // runtime also took D for a double-precision exponent.
    skipBlanks();
    if (i < text.size()) {
        const QChar e = text.at(i).toUpper();
        if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
            const qsizetype mark = i;
            const std::size_t kept = number.size();
            ++i;
            std::string exponent = "e";
            skipBlanks();
            if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
                exponent += static_cast<char>(text.at(i).unicode());
                ++i;
            }
            number += exponent;
            if (!takeDigits()) {
                number.resize(kept);
                i = mark;
            }
        }
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size())
        return 0.0;
    return value;
}

} // namespace plovista
