// Stop requests on POSIX systems: SIGINT, SIGTERM and SIGHUP.
#include "engine/io/stop_signals.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <limits.h>
#include <unistd.h>

namespace lintavo::stop_signals {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

char temp_path_[PATH_MAX + 1];

void on_signal(int signal) {
    detail::received.store(signal);
    if (detail::temp_held.exchange(false)) unlink(temp_path_);
    if (detail::runs.load() == 0) {
        // Nothing to stop: end as the default would. The signal is blocked
        // while its handler runs and acts as soon as the handler returns.
        std::signal(signal, SIG_DFL);
        raise(signal);
    }
}

}  // namespace

void install() {
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    for (int s : kSignals) sigaddset(&sa.sa_mask, s);
    sa.sa_flags = 0;  // no SA_RESTART: a blocked read returns with EINTR
    for (int s : kSignals) {
        struct sigaction old {};
        // A signal ignored by the one who started the program (nohup) stays ignored.
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(s, &sa, nullptr);
    }
}

bool detail::keep_temporary_path(const std::string& path) {
    if (path.size() > PATH_MAX) return false;
    std::memcpy(temp_path_, path.c_str(), path.size() + 1);
    return true;
}

void end_by(int signal) {
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    std::_Exit(128 + signal);  // only when the signal did not end the program
}

}  // namespace lintavo::stop_signals
