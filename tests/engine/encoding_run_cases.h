// Runs over a file in one encoding written in another, given as a table of
// cases: each runs with and without pauses, record by record and a block of
// lines at a time.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/run/run.h"
#include "file_run.h"

namespace lintavo::test {

struct EncodingCase {
    const char* name;
    int read_code;
    int write_code;
    std::string input;
    std::function<void(ExtractionSettings&)> set;
    std::string output;
    std::string message;  // the replacement report, or empty
};

inline void csv_columns(ExtractionSettings& s, int columns, int mode) {
    s.cmb_type = kTypeCsv;
    for (int i = 0; i < columns; ++i) s.conditions[i].txt_ichi = std::to_string(i + 1);
    s.cmb_type_Write = mode;
}

inline void run_cases(const std::vector<EncodingCase>& cases, bool pauses) {
    for (const EncodingCase& c : cases) {
        ExtractionSettings s;
        s.cmb_code = c.read_code;
        s.cmb_code_Write = c.write_code;
        if (c.set) c.set(s);
        const FileRun run = run_over(c.input, s, pauses);
        EXPECT_EQ(run.result.outcome, RunOutcome::Finished) << c.name;
        EXPECT_EQ(run.output, c.output) << c.name << (pauses ? " (with pauses)" : "");
        const std::vector<std::string> expected = c.message.empty() ? std::vector<std::string>{}
                                                                    : std::vector<std::string>{c.message};
        EXPECT_EQ(run.messages, expected) << c.name;
    }
}

inline void run_both_ways(const std::vector<EncodingCase>& cases) {
    run_cases(cases, true);
    run_cases(cases, false);
}

}  // namespace lintavo::test
