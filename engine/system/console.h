// The terminal or console, the command line and the user's language, as the
// system gives them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lintavo::sys {

// Sets up the console for the program's UTF-8 text: on Windows the console
// takes UTF-8 output (its code page is put back at exit) and, where it can,
// the terminal sequences that redraw a line. A closed pipe shows as a
// failed write (no signal ends the program). Once, at start.
void prepare_console();

// A terminal or console a person reads (the null device is none).
bool is_terminal(int fd);
// Its width in columns, 80 when it does not tell.
std::size_t terminal_columns(int fd);
// The terminal takes "\033[K" (erase to the end of the line).
bool erases_lines(int fd);

// The command line's arguments after the program's name, in the program's
// own strings (UTF-8 on Windows, whatever the ANSI code page).
std::vector<std::string> arguments(int argc, char** argv);

// The user's language as a locale name's start ("ja", "en", ...): LC_ALL,
// LC_MESSAGES or LANG when set; else, on Windows, the language of the
// user's interface; else "".
std::string user_language();

}  // namespace lintavo::sys
