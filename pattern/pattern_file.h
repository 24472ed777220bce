// Extraction pattern files: KEY=value lines, the marker line
// "[WRITEPATTERN]" and the output template after it, in code page 932.
// Loading applies a file to ExtractionSettings; saving writes the settings
// back in the same layout.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/settings.h"

namespace lintavo::pattern {

inline constexpr std::string_view kMarker = "[WRITEPATTERN]";

// The value of `line` when it carries `key`: its first characters, letters
// compared without regard to case, are the key followed by "="; the value
// is the rest of the line as it stands. Nothing when it does not.
std::optional<std::string_view> fnc_read(std::string_view line, std::string_view key);

// True when the line carries one of the pattern file's keys, matched as
// loading matches them.
bool carries_a_key(std::string_view line);

// True when the first line of the file at path carries one of the keys
// (only that line's start is read); false when it cannot be read.
bool starts_like_a_pattern(const std::string& path);

// Told what a load does, for those who follow the settings (the window's
// control states, the batch runner's warnings).
class LoadListener {
public:
    virtual ~LoadListener() = default;
    virtual void read_file_type_set(int /*index*/) {}
    virtual void write_mode_set(int /*index*/) {}
    // A value that names no entry of its list was ignored; `line` counts from 1.
    virtual void ignored(std::int64_t /*line*/, const std::string& /*what*/) {}
};

// Applies the text of a pattern file to the settings: the encodings and the
// header line first set to their defaults, then every key line before the
// marker, in file order (the last of a key wins), and the lines after the
// marker as the template, joined by CR LF.
void apply_pattern(std::string_view bytes, ExtractionSettings& s, LoadListener* listener = nullptr);

// Loads the pattern file at path. When the file cannot be opened or read,
// nothing changes and the message is returned.
std::optional<std::string> proc_ReadPattern(const std::string& path, ExtractionSettings& s,
                                            LoadListener* listener = nullptr);

// True when an ordinary file exists at path.
bool pattern_file_exists(const std::string& path);

// The bytes of the pattern file for the settings, or the message naming the
// first text that code page 932 cannot hold.
std::optional<std::string> pattern_bytes(const ExtractionSettings& s, std::string& bytes);

// Saves the settings as a pattern file: written to a new file in the same
// folder, then renamed over the old one, so a failed save leaves the old
// file as it was. Returns the message of a failure.
std::optional<std::string> save_pattern(const std::string& path, const ExtractionSettings& s);

}  // namespace lintavo::pattern
