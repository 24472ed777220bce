// The extraction run: the checks, the filling of start positions, and the
// single pass that reads, cuts, converts, tests and writes every record.
// It reaches the user only through a RunHost, so that it runs in the window
// and in the batch runner alike.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/io/byte_io.h"
#include "engine/settings.h"

namespace lintavo {

struct RunCounts {
    std::int64_t read = 0;
    std::int64_t written = 0;
    std::uint64_t bytes_read = 0;
    long long input_size = -1;  // bytes, when known
    std::int64_t replaced = 0;        // units the write encoding could not hold, replaced
    std::int64_t first_replaced = 0;  // read count of the first record that had one
};

class RunHost {
public:
    virtual ~RunHost() = default;
    // A modal message with one OK button (UTF-8 text).
    virtual void show_message(std::string_view text) = 0;
    // The busy or the default pointer.
    virtual void set_busy(bool busy) = 0;
    // The counters, for the captions of the two labels (msg::count_caption).
    // Called when they are reset, before every pause and at the end; between
    // two calls the captions would only change where nobody can see them.
    virtual void show_counts(const RunCounts& counts) = 0;
    // Lets the window process its pending events.
    virtual void process_events() = 0;
    // The settings as they are now; the run takes them once, at its start.
    virtual const ExtractionSettings& current_settings() = 0;
    // Writes a filled-in start position back into the settings.
    virtual void set_start_position(int row, const std::string& text) = 0;
    // True when the run is to stop at once (the window is being closed).
    virtual bool stop_requested() { return false; }
    // A host without pauses is never asked to process events, so the run
    // takes its fastest path.
    virtual bool has_pauses() const { return true; }
};

enum class RunOutcome {
    Finished,     // every record read
    CheckFailed,  // a check failed before anything was opened
    Failed,       // opening, reading or writing failed; the counters show how far it came
    Stopped,      // stopped on request between two records
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Finished;
    RunCounts counts;
};

// The checks made before anything is opened, in their order; the message of
// the first that fails, or nothing.
std::optional<std::string> check_before_start(const ExtractionSettings& s, RunFiles& files);

// Fills in empty start positions: row 0 gets 1, a later row the sum of the
// previous row's start and length; stops at the first row whose start and
// length are both empty. Calls `set` for each position filled in.
void fill_start_positions(ExtractionSettings& s, const std::function<void(int, const std::string&)>& set);

// The checks a preview makes: those of the run that concern reading and
// testing (the read file's name, the type, the record length, the texts
// code page 932 cannot hold, start positions and lengths), in the run's
// order; start positions are filled in, into `s` only. The message of the
// first that fails, or nothing.
std::optional<std::string> check_for_preview(ExtractionSettings& s);

// A condition row that holds a start, a comparison, a value or a conversion
// but takes no part, because it stands below the first row left without a
// start (once starts are filled in): the first such row, and that empty row.
struct UnusedRow {
    int row = 0;
    int empty_row = 0;
};
std::optional<UnusedRow> first_unused_row(const ExtractionSettings& s);

// Runs the extraction with the host's current settings.
RunResult cmd_select_Click(RunHost& host, RunFiles& files);

}  // namespace lintavo
