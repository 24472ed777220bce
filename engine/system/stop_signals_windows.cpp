// Stop requests on Windows: Ctrl-C and Ctrl-Break (taken as SIGINT, status
// 130), a closed console window (SIGHUP) and the end of the session
// (SIGTERM), through SetConsoleCtrlHandler. The handler runs on a thread of
// its own; a read that waits on a pipe or the console is cancelled so that
// the run sees the request.
#include "engine/io/stop_signals.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cwchar>

#include <windows.h>

#include "engine/system/windows_text.h"

namespace lintavo::stop_signals {

namespace {

constexpr int kHangUp = 1;
constexpr int kTerminate = 15;
constexpr std::size_t kLongestPath = 32768;

wchar_t temp_path_[kLongestPath];
HANDLE main_thread_ = nullptr;

int signal_of(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT: return SIGINT;
        case CTRL_CLOSE_EVENT: return kHangUp;
        default: return kTerminate;  // logoff, shutdown
    }
}

BOOL WINAPI on_console_event(DWORD event) {
    const int signal = signal_of(event);
    detail::received.store(signal);
    if (detail::temp_held.exchange(false)) DeleteFileW(temp_path_);
    if (detail::runs.load() == 0) ExitProcess(static_cast<UINT>(128 + signal));
    if (main_thread_ != nullptr) CancelSynchronousIo(main_thread_);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // Windows ends the program when the handler returns: the run is
        // given the few seconds it allows to close its files.
        for (int waited = 0; waited < 40 && detail::runs.load() != 0; ++waited) Sleep(100);
    }
    return TRUE;
}

}  // namespace

void install() {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &main_thread_, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

bool detail::keep_temporary_path(const std::string& path) {
    const std::wstring w = lintavo::sys::wide(path);
    if (w.size() >= kLongestPath) return false;
    std::wmemcpy(temp_path_, w.c_str(), w.size() + 1);
    return true;
}

void end_by(int signal) {
    std::fflush(nullptr);
    std::_Exit(128 + signal);
}

}  // namespace lintavo::stop_signals
