// The command line of lintavo-batch.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lintavo::batch {

struct Options {
    std::string pattern;
    std::optional<std::string> input;
    std::optional<std::string> output;
    std::optional<std::string> save_pattern;
    bool no_run = false;
    bool progress = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name; on a bad command line returns
// nothing and sets `error`.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);

// The usage text, made from the option table.
std::string usage();

}  // namespace lintavo::batch
