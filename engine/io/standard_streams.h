// Standard input, output and error as the program finds them at start.
#pragma once

namespace lintavo {

// Opens /dev/null on each of the three standard streams that is closed, so
// that no file the program opens later takes its number (and, say, gets the
// progress text meant for standard error).
void open_missing_standard_streams();

}  // namespace lintavo
