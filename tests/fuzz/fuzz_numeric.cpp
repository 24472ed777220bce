// The numeric value of arbitrary texts: no crash, no NaN made whole into
// anything but 0, and the plain decimal form of a finite value (no
// exponent, fifteen significant digits) read back gives the value again to
// within the rounding to fifteen digits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/text/numeric.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double v = lintavo::numeric_value(text);
    const std::int64_t whole = lintavo::whole_value(text);
    if (std::isnan(v) && whole != 0) std::abort();
    if (std::isfinite(v)) {
        const std::string plain = lintavo::plain_decimal(v);
        if (plain.empty() || plain.find_first_of("eE") != std::string::npos) std::abort();
        const double back = lintavo::numeric_value(plain);
        if (std::fabs(back - v) > std::fabs(v) * 1e-14) std::abort();
    }
    return 0;
}
