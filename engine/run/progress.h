// How far a run has come, for those who show it (the window's progress
// bar, the batch runner's progress line).
#pragma once

#include <optional>
#include <string>

#include "engine/run/run.h"

namespace lintavo {

// The run's counters, and the time since it began.
struct ProgressFigures : RunCounts {
    double seconds = 0;
};

// The part of the input read, 0 to 1; nothing when its size is not known.
std::optional<double> read_fraction(const ProgressFigures& f);

// The seconds the run will still take, at the speed so far; nothing in the
// first seconds or when the input's size is not known.
std::optional<double> seconds_left(const ProgressFigures& f);

// Seconds as "m:ss", or "h:mm:ss" from an hour on.
std::string clock_text(double seconds);

}  // namespace lintavo
