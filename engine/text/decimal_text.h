// Numbers written in texts, for the conversion "数値": an optional sign
// ("+", "-", "＋", "－", "−"), one or more digits, optionally a point and
// one or more digits; digits and the point half-width or full-width, mixed
// freely; a "," or "，" between two digits before the point is a thousands
// separator. Nothing else may stand in it. Numbers compare by their exact
// decimal value: no floating point, any number of digits.
#pragma once

#include <string>
#include <string_view>

#include "engine/text/text_model.h"

namespace lintavo {

// The text without the half-width and full-width blanks at both ends.
std::string_view trim_blanks(std::string_view text, Encoding encoding);

// Reads `text` (blanks at its ends already removed) as a number into
// `number`, in a form that compare_decimal() compares: its sign, the whole
// part without leading zeros, a point and the fraction without trailing
// zeros (zero has the sign "+"). False when the text is not a number.
bool read_decimal(std::string_view text, Encoding encoding, std::string& number);

// Two numbers read by read_decimal(): <0, 0 or >0.
int compare_decimal(std::string_view a, std::string_view b);

}  // namespace lintavo
