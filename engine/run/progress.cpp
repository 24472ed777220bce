#include "engine/run/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lintavo {
namespace {

// Before this much time an estimate swings too widely to be of use.
constexpr double kSecondsBeforeEstimate = 2;

}  // namespace

std::optional<double> read_fraction(const ProgressFigures& f) {
    if (f.input_size <= 0) return std::nullopt;
    return std::min(1.0, static_cast<double>(f.bytes_read) / static_cast<double>(f.input_size));
}

std::optional<double> seconds_left(const ProgressFigures& f) {
    const auto fraction = read_fraction(f);
    if (!fraction || *fraction <= 0 || f.seconds < kSecondsBeforeEstimate) return std::nullopt;
    return f.seconds * (1 - *fraction) / *fraction;
}

std::string clock_text(double seconds) {
    const auto total = static_cast<long long>(std::max(0.0, std::floor(seconds)));
    const long long h = total / 3600, m = total / 60 % 60, s = total % 60;
    char buf[64];
    if (h > 0) std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", h, m, s);
    else std::snprintf(buf, sizeof buf, "%lld:%02lld", m, s);
    return buf;
}

}  // namespace lintavo
