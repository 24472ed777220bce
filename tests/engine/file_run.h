// A whole run over an input written to a temporary file, for the tests of
// runs: what it wrote, what it said and how it ended.
#pragma once

#include <string>
#include <vector>

#include "engine/run/run.h"
#include "recording_host.h"
#include "test_support.h"

namespace lintavo::test {

struct FileRun {
    RunResult result;
    std::string output;
    std::vector<std::string> messages;
};

// Runs `settings` (its file names replaced) over `input`, record by record
// with pauses or a block of lines at a time without.
inline FileRun run_over(const std::string& input, ExtractionSettings settings, bool pauses) {
    TempDir dir;
    RecordingHost host;
    host.pauses = pauses;
    host.settings = std::move(settings);
    host.settings.txt_ReadFile = dir.file("in");
    host.settings.txt_WriteFile = dir.file("out");
    write_file(host.settings.txt_ReadFile, input);
    RunFiles files;
    FileRun run;
    run.result = cmd_select_Click(host, files);
    run.output = read_file(host.settings.txt_WriteFile);
    run.messages = host.messages;
    return run;
}

}  // namespace lintavo::test
