// A run's host for the tests: records what the run asks of the window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "engine/run/run.h"

namespace lintavo::test {

// A host that records what the run asks of the window.
class RecordingHost : public RunHost {
public:
    ExtractionSettings settings;
    std::vector<std::string> messages;
    std::vector<std::string> events;  // "busy", "default", "pause@N", "counts N/M"
    std::function<void(RecordingHost&, std::int64_t)> on_pause;
    std::int64_t read_at_last_counts = 0;
    RunCounts last;
    bool stop = false;
    bool pauses = true;

    void show_message(std::string_view text) override { messages.emplace_back(text); }
    void set_busy(bool busy) override { events.push_back(busy ? "busy" : "default"); }
    void show_counts(const RunCounts& c) override {
        last = c;
        events.push_back(msg::count_caption(msg::kReadCount, c.read) + " " + msg::count_caption(msg::kWriteCount, c.written));
    }
    void process_events() override {
        events.push_back("pause@" + std::to_string(last.read));
        if (on_pause) on_pause(*this, last.read);
    }
    const ExtractionSettings& current_settings() override { return settings; }
    void set_start_position(int row, const std::string& text) override { settings.conditions[row].txt_ichi = text; }
    bool stop_requested() override { return stop; }
    bool has_pauses() const override { return pauses; }

    std::vector<std::string> pauses_seen() const {
        std::vector<std::string> p;
        for (const auto& e : events) {
            if (e.rfind("pause@", 0) == 0) p.push_back(e);
        }
        return p;
    }
};

}  // namespace lintavo::test
