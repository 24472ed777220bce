// The numeric value of a text, whole numbers from it, and the plain decimal
// form in which numbers are written back into texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lintavo {

// Blanks, tabs and line feeds are skipped anywhere; then the number at the
// start is read (sign, digits, decimal point, exponent with E/e/D/d, or the
// whole-number forms &H and &O), stopping at the first character that cannot
// continue it. A text that does not begin with a number gives 0.
double numeric_value(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour,
// saturating at the limits of the type.
std::int64_t round_half_even(double value);

// The numeric value of a text made whole.
inline std::int64_t whole_value(std::string_view text) { return round_half_even(numeric_value(text)); }

// Plain decimal form: at most 15 significant digits, no exponent, a minus
// sign when negative, a decimal point only when there is a fraction.
std::string plain_decimal(double value);

}  // namespace lintavo
