// What stop requests share on every system: the request received, the runs
// that a request stops, and the temporary file that a request removes. The
// handlers themselves are the system's (stop_signals_posix.cpp,
// stop_signals_windows.cpp).
#include "engine/io/stop_signals.h"

namespace lintavo::stop_signals {

std::atomic<int> detail::received{0};
std::atomic<int> detail::runs{0};
std::atomic<bool> detail::temp_held{false};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the handler may touch only lock-free atomics");

void forget() { detail::received.store(0); }

RunScope::RunScope() { detail::runs.fetch_add(1); }
RunScope::~RunScope() { detail::runs.fetch_sub(1); }

// The path is written before `temp_held` is set, so that the handler reads
// it only when it is whole.
TemporaryFile::TemporaryFile(const std::string& path) : held_(detail::keep_temporary_path(path)) {
    if (held_) detail::temp_held.store(true);
}

TemporaryFile::~TemporaryFile() { release(); }

void TemporaryFile::release() {
    if (held_) detail::temp_held.store(false);
    held_ = false;
}

}  // namespace lintavo::stop_signals
