// The console, the command line and the language on Windows.
#include "engine/system/console.h"

#include <cstdlib>

#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include "engine/system/windows_text.h"

namespace lintavo::sys {

namespace {

UINT old_output_page_ = 0;

void restore_output_page() {
    if (old_output_page_ != 0) SetConsoleOutputCP(old_output_page_);
}

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

}  // namespace

void prepare_console() {
    const UINT page = GetConsoleOutputCP();
    if (page != 0 && page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        old_output_page_ = page;
        std::atexit(restore_output_page);
    }
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(err, &mode)) SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool is_terminal(int fd) {
    DWORD mode = 0;
    return GetConsoleMode(handle_of(fd), &mode) != 0;  // true for a console, false for NUL
}

std::size_t terminal_columns(int fd) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(handle_of(fd), &info)) {
        const int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width > 0) return static_cast<std::size_t>(width);
    }
    return 80;
}

bool erases_lines(int fd) {
    DWORD mode = 0;
    return GetConsoleMode(handle_of(fd), &mode) != 0 && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::vector<std::string> arguments(int argc, char** argv) {
    int n = 0;
    LPWSTR* wide_args = CommandLineToArgvW(GetCommandLineW(), &n);
    if (wide_args == nullptr) return {argv + 1, argv + argc};
    std::vector<std::string> args;
    for (int i = 1; i < n; ++i) args.push_back(utf8(wide_args[i]));
    LocalFree(wide_args);
    return args;
}

std::string user_language() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? "ja" : "en";
}

}  // namespace lintavo::sys
