// The run's host for lintavo-batch: messages and the summary on standard
// error, "-" for the standard streams, and an optional progress line.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "engine/run.h"

namespace lintavo::batch {

class BatchHost : public RunHost {
public:
    BatchHost(ExtractionSettings& settings, bool progress) : settings_(settings), progress_(progress) {}

    void show_message(std::string_view text) override;
    void set_busy(bool) override {}
    void show_counts(const RunCounts& counts) override;
    void process_events() override;
    const ExtractionSettings& current_settings() override { return settings_; }
    void set_start_position(int row, const std::string& text) override { settings_.conditions[row].txt_ichi = text; }
    bool has_pauses() const override { return progress_; }

    // Ends the progress line, if one is shown.
    void end_progress();
    const RunCounts& counts() const { return counts_; }
    // Standard output was closed by its reader (a pipe to "head", say).
    bool output_closed() const { return output_closed_; }
    void set_output_closed() { output_closed_ = true; }

private:
    void draw_progress();

    ExtractionSettings& settings_;
    bool progress_;
    bool output_closed_ = false;
    bool progress_shown_ = false;
    RunCounts counts_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_draw_{};
};

// Opens "-" as standard input or output, every other path as a file.
class BatchFiles : public RunFiles {
public:
    explicit BatchFiles(BatchHost& host) : host_(host) {}
    std::unique_ptr<ByteSource> open_input(const std::string& path) override;
    std::unique_ptr<ByteSink> open_output(const std::string& path) override;
    bool same_file(const std::string& a, const std::string& b) override;

private:
    BatchHost& host_;
};

}  // namespace lintavo::batch
