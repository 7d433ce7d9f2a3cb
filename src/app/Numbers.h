#pragma once
// Number rules of the window's fields: round half to even, and reading the number at the
// start of a text.

#include <QString>
#include <optional>

namespace quarbel::app {

// The nearest whole number, halves to the even neighbour; nothing when it is not finite.
std::optional<long long> roundHalfEven(double value);

// The number a text starts with, after leading blanks: optional sign, digits, optional
// decimal part, optional exponent. Reading stops at the first character that does not fit;
// a text that starts with none gives 0 ("12ab" -> 12, "100%" -> 100, "" -> 0).
double leadingNumber(const QString& text);

// A text that is a number as a whole (blanks around it allowed); nothing otherwise.
std::optional<double> wholeNumber(const QString& text);

}  // namespace quarbel::app
