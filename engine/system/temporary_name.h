// The name of the new file a safe save writes beside the one it replaces.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace lintavo::sys {

// `folder` with its separator ("dir/", "C:\\dir\\", or "" for the current
// folder) and a name no file has yet, most likely; short, so that it is a
// legal name whatever the length of the file's own name.
inline std::string temporary_name(const std::string& folder, std::mt19937_64& random) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = folder + ".lintavo-";
    std::uint64_t v = random();
    for (int i = 0; i < 10; ++i, v /= 36) name += kDigits[v % 36];
    return name + ".tmp";
}

}  // namespace lintavo::sys
