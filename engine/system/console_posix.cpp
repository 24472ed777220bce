// The terminal, the command line and the language on POSIX systems.
#include "engine/system/console.h"

#include <csignal>
#include <cstdlib>

#include <sys/ioctl.h>
#include <unistd.h>

namespace lintavo::sys {

void prepare_console() { std::signal(SIGPIPE, SIG_IGN); }

bool is_terminal(int fd) { return isatty(fd) == 1; }

std::size_t terminal_columns(int fd) {
    winsize ws{};
    if (ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
    return 80;
}

bool erases_lines(int fd) { return is_terminal(fd); }

std::vector<std::string> arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

std::string user_language() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

}  // namespace lintavo::sys
