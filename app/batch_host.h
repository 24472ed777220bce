// The run's host for lintavo-batch: messages and the summary on standard
// error, "-" for the standard streams, and the progress on standard error.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "engine/io/standard_streams.h"
#include "engine/run/run.h"

namespace lintavo::batch {

// How the progress is drawn.
enum class ProgressDrawing {
    None,
    Redraw,  // one line redrawn in place (a terminal), at most ten times a second
    Lines,   // a plain line every few seconds (a log file)
};

class BatchHost : public RunHost {
public:
    // `columns`: the terminal's width, for a redrawn line; `erases`: the
    // terminal takes "\033[K", else a redrawn line is padded with blanks.
    BatchHost(ExtractionSettings& settings, ProgressDrawing drawing, std::size_t columns, bool erases = true)
        : settings_(settings), drawing_(drawing), columns_(columns), erases_(erases) {}

    void show_message(std::string_view text) override;
    void set_busy(bool) override {}
    void show_counts(const RunCounts& counts) override;
    void process_events() override;
    const ExtractionSettings& current_settings() override { return settings_; }
    void set_start_position(int row, const std::string& text) override { settings_.conditions[row].txt_ichi = text; }
    bool has_pauses() const override { return drawing_ != ProgressDrawing::None; }

    // Clears a redrawn progress line, if one is shown.
    void end_progress();
    const RunCounts& counts() const { return counts_; }
    // Standard output was closed by its reader (a pipe to "head", say).
    bool output_closed() const { return output_closed_; }
    void set_output_closed() { output_closed_ = true; }
    // True when the run failed only because standard output's reader went
    // away: it had all it wanted. A failed read is a failure all the same.
    bool only_reader_gone() const { return output_closed_ && !read_failed_; }

private:
    void draw_progress();
    std::string blanks_after(const std::string& line) const;

    ExtractionSettings& settings_;
    ProgressDrawing drawing_;
    std::size_t columns_;
    bool erases_;
    bool output_closed_ = false;
    bool read_failed_ = false;
    bool progress_shown_ = false;
    RunCounts counts_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_draw_{};
    bool drawn_once_ = false;
};

// Opens the standard streams where the command line asked for them ("-i -",
// "-o -"), every other path as a file (inside a pattern "-" is a file
// named "-").
class BatchFiles : public RunFiles {
public:
    // `closed`: the standard streams that were closed at start; "-" for one
    // of them cannot be opened.
    BatchFiles(BatchHost& host, bool stdin_input, bool stdout_output, ClosedStreams closed)
        : host_(host), stdin_input_(stdin_input), stdout_output_(stdout_output), closed_(closed) {}
    std::unique_ptr<ByteSource> open_input(const std::string& path) override;
    std::unique_ptr<ByteSink> open_output(const std::string& path) override;
    // Also true when standard input or output is the other path's file.
    bool same_file(const std::string& a, const std::string& b) override;

private:
    bool is_stdin(const std::string& path) const { return stdin_input_ && path == "-"; }
    bool is_stdout(const std::string& path) const { return stdout_output_ && path == "-"; }

    BatchHost& host_;
    bool stdin_input_;
    bool stdout_output_;
    ClosedStreams closed_;
};

}  // namespace lintavo::batch
