// Standard input, output and error as the program finds them at start.
#pragma once

namespace lintavo {

// Which of the three standard streams were closed when the program started.
struct ClosedStreams {
    bool input = false;
    bool output = false;
    bool error = false;
};

// Opens the null device on each of the three standard streams that is closed, so
// that no file the program opens later takes its number (and, say, gets the
// progress text meant for standard error). Returns which were closed: a
// stream that stands on the null device only for that reason must not be taken
// for the one the user meant (records written to it would be lost). On
// Windows all three are also put in binary mode.
ClosedStreams open_missing_standard_streams();

}  // namespace lintavo
