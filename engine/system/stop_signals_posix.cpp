// Stop requests on POSIX systems: SIGINT, SIGTERM and SIGHUP.
#include "engine/io/stop_signals.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <limits.h>
#include <unistd.h>

namespace lintavo::stop_signals {

std::atomic<int> detail::received{0};

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> runs_{0};
// The temporary file's name, written before `temp_set_` is set, so that the
// handler reads it only when it is whole.
char temp_path_[PATH_MAX + 1];
std::atomic<bool> temp_set_{false};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the handler may touch only lock-free atomics");

void on_signal(int signal) {
    detail::received.store(signal);
    if (temp_set_.exchange(false)) unlink(temp_path_);
    if (runs_.load() == 0) {
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

void forget() { detail::received.store(0); }

RunScope::RunScope() { runs_.fetch_add(1); }
RunScope::~RunScope() { runs_.fetch_sub(1); }

TemporaryFile::TemporaryFile(const std::string& path) {
    if (path.size() > PATH_MAX) {
        held_ = false;
        return;
    }
    std::memcpy(temp_path_, path.c_str(), path.size() + 1);
    temp_set_.store(true);
}

TemporaryFile::~TemporaryFile() { release(); }

void TemporaryFile::release() {
    if (held_) temp_set_.store(false);
    held_ = false;
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
