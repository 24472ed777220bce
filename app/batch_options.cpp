#include "app/batch_options.h"

#include <array>
#include <cstddef>

namespace lintavo::batch {
namespace {

struct OptionSpec {
    const char* short_name;  // may be empty
    const char* long_name;
    const char* value;  // the value's name, or nullptr for a flag
    const char* help;
    std::optional<std::string> Options::*text;
    bool Options::*flag;
};

const std::array<OptionSpec, 8> kOptions = {{
    {"-i", "--input", "PATH", "the file to read; \"-\" reads standard input", &Options::input, nullptr},
    {"-o", "--output", "PATH", "the file to write; \"-\" writes standard output", &Options::output, nullptr},
    {"", "--save-pattern", "PATH", "save the settings as a pattern file after the run", &Options::save_pattern, nullptr},
    {"", "--no-run", nullptr, "load (and save) only, do not run", nullptr, &Options::no_run},
    {"", "--progress", nullptr, "show progress on standard error", nullptr, &Options::progress},
    {"-q", "--quiet", nullptr, "print no summary", nullptr, &Options::quiet},
    {"-h", "--help", nullptr, "show this help", nullptr, &Options::help},
    {"", "--version", nullptr, "show the version", nullptr, &Options::version},
}};

const OptionSpec* find(const std::string& name) {
    for (const auto& o : kOptions) {
        if (name == o.long_name || (*o.short_name != '\0' && name == o.short_name)) return &o;
    }
    return nullptr;
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
    Options opt;
    std::vector<std::string> positional;
    bool options_end = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options_end || a == "-" || a.empty() || a[0] != '-') {
            positional.push_back(a);
            continue;
        }
        if (a == "--") {
            options_end = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> inline_value;
        if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            inline_value = a.substr(eq + 1);
        }
        const OptionSpec* o = find(name);
        if (o == nullptr) {
            error = "unknown option: " + a;
            return std::nullopt;
        }
        if (o->value == nullptr) {
            if (inline_value) {
                error = "option takes no value: " + name;
                return std::nullopt;
            }
            opt.*(o->flag) = true;
            continue;
        }
        if (!inline_value) {
            if (i + 1 >= args.size()) {
                error = "option needs a value: " + name;
                return std::nullopt;
            }
            inline_value = args[++i];
        }
        opt.*(o->text) = *inline_value;
    }
    if (opt.help || opt.version) return opt;
    if (positional.size() != 1) {
        error = positional.empty() ? "no pattern file given" : "more than one pattern file given";
        return std::nullopt;
    }
    opt.pattern = positional[0];
    return opt;
}

std::string usage() {
    std::string u =
        "usage: lintavo-batch [OPTIONS] PATTERN\n"
        "Runs the extraction of a saved pattern file without the window.\n"
        "Options override the pattern's settings:\n";
    for (const auto& o : kOptions) {
        std::string left = "  ";
        left += *o.short_name != '\0' ? std::string(o.short_name) + ", " : "    ";
        left += o.long_name;
        if (o.value != nullptr) left += std::string(" ") + o.value;
        if (left.size() < 24) left.resize(24, ' ');
        u += left + " " + o.help + "\n";
    }
    u += "Exit status: 0 success, 1 the run or the save failed, 2 a bad command line or pattern file.\n";
    return u;
}

}  // namespace lintavo::batch
