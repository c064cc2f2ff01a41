#pragma once

#include <QLocale>
#include <QString>

namespace plovista {

// The program's rules for turning numbers into text and back, in one place.

// A whole number printed with a blank where the sign would stand and a
// trailing blank (" 10 ", "-3 "), as the settings files hold it.
QString formatWholeNumber(int value);

// How many significant digits a value is written with: a single-precision
// value (the accuracy) keeps 7, a double-precision one 15.
enum class Precision { Single, Double };

// The form shown on screen and in the minutes column of a record: the
// locale's decimal separator, a 0 before it for values below 1, no grouping,
// trailing zeros dropped ("0.9", "3,33333333333333", "100", "1E+15").
QString localeNumberText(double value, const QLocale &locale = QLocale::system(),
                         Precision precision = Precision::Double);

// The form of the accuracy and speed columns of a record, the same on every
// machine: a point as separator and no 0 before it (".8", "2.5", "90").
QString neutralNumberText(double value, Precision precision = Precision::Double);

// The first `length` characters of a number's text. Cutting, never rounding,
// is what the score screen and the records show ("96.66667" -> "96.6").
QString cutText(const QString &text, qsizetype length);

// The number a text begins with, read with a point as decimal separator;
// blanks, tabs and line feeds are skipped anywhere in it, and a text that
// does not begin with a number reads as 0 ("3.5 sec" -> 3.5, "abc" -> 0).
// This is how a goal typed into a settings file becomes a number.
double leadingNumber(const QString &text);

} // namespace plovista
