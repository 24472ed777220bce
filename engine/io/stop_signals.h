// The signals that ask the program to stop: SIGINT (Ctrl-C), SIGTERM and
// SIGHUP. While a run lasts, a signal asks it to stop before its next record
// (the files are closed with whole records, as when the window is closed);
// a file being written to take the place of another is removed at once;
// otherwise the program ends as the signal's default would end it.
//
// Blocking system calls are interrupted by these signals (no restart), so
// that a read that waits on a pipe or a terminal returns and the run sees
// the request.
#pragma once

#include <atomic>
#include <string>

namespace lintavo::stop_signals {

// Installs the handler; once, at start.
void install();

namespace detail {
extern std::atomic<int> received;
extern std::atomic<int> runs;        // runs going on: a request then only asks them to stop
extern std::atomic<bool> temp_held;  // a temporary file is named for removal
// Keeps the temporary file's path where the handler can read it (the
// system's own form of it); false when it is too long to keep.
bool keep_temporary_path(const std::string& path);
}

// The signal that asked for a stop, or 0. Cheap enough to ask before every record.
inline int received() { return detail::received.load(std::memory_order_relaxed); }

// While one exists, a signal only asks the run to stop.
class RunScope {
public:
    RunScope();
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;
};

// While one exists, a signal removes the file at `path` (a temporary file
// not yet renamed into place) before it acts.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& path);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    // The file was renamed into place or removed: it is no longer removed.
    void release();

private:
    bool held_ = true;
};

// Ends the program as the signal's default action does (the shell then
// sees 128 + the signal, 130 for Ctrl-C).
[[noreturn]] void end_by(int signal);

// For tests: forgets a signal received.
void forget();

}  // namespace lintavo::stop_signals
