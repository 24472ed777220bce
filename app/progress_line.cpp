#include "app/progress_line.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/messages.h"

namespace lintavo::batch {
namespace {

constexpr std::size_t kMinBar = 10;
constexpr std::size_t kMaxBar = 30;

std::string fixed(double value, const char* format) {
    char buf[48];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

std::string caption(std::string_view words, std::int64_t n) { return std::string(words) + std::to_string(n); }

// The text cut to at most `columns` columns, at a character's boundary.
std::string cut_to(const std::string& text, std::size_t columns) {
    std::size_t width = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const std::size_t w = len == 1 ? 1 : 2;
        if (width + w > columns) break;
        width += w;
        at += len;
    }
    return text.substr(0, at);
}

}  // namespace

std::size_t display_width(std::string_view utf8) {
    std::size_t width = 0;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) ++width;
        else if (b >= 0xC0) width += 2;  // a lead byte; continuation bytes add nothing
    }
    return width;
}

std::string progress_text(const ProgressFigures& f, std::size_t columns, bool bar) {
    const std::optional<double> read = read_fraction(f);
    const bool sized = read.has_value();
    const double fraction = read.value_or(0);
    const double mb = static_cast<double>(f.bytes_read) / 1e6;
    // The fields in the order they are given up when the line is too wide.
    std::vector<std::string> fields = {
        sized ? fixed(100 * fraction, "%3.0f%%") : fixed(mb, "%.1f MB"),
        caption(msg::kReadCount, f.read),
        caption(msg::kWriteCount, f.written),
        fixed(f.seconds > 0 ? mb / f.seconds : 0.0, "%.1f MB/s"),
        "経過 " + clock_text(f.seconds),
    };
    if (const auto left = seconds_left(f)) fields.push_back("残り " + clock_text(*left));
    const std::size_t room = columns > 0 ? columns - 1 : 0;
    const auto joined = [&fields] {
        std::string text;
        for (const std::string& field : fields) text += (text.empty() ? "" : "  ") + field;
        return text;
    };
    std::string text = joined();
    while (display_width(text) > room && fields.size() > 1) {
        fields.pop_back();
        text = joined();
    }
    const std::size_t width = display_width(text);
    if (width > room) return cut_to(text, room);
    if (bar && sized && width + 3 + kMinBar <= room) {
        const std::size_t bar_width = std::min(kMaxBar, room - width - 3);
        const auto done = static_cast<std::size_t>(fraction * static_cast<double>(bar_width));
        text = "[" + std::string(done, '#') + std::string(bar_width - done, '.') + "] " + text;
    }
    return text;
}

}  // namespace lintavo::batch
