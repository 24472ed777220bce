// The block scans against plain loops, on random blocks of every length and
// alignment (so that every path through the wide and the narrow loops and
// the tails is taken).
#include "engine/text/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace lintavo {
namespace {

std::string random_block(std::mt19937& rng, std::size_t n) {
    static const char alphabet[] = {'\r', '\n', 'a', 'b', '\x83', '\x45', 'E', '0'};
    std::string s(n, ' ');
    for (char& c : s) c = alphabet[rng() % sizeof alphabet];
    return s;
}

TEST(ByteScan, AgreesWithPlainLoops) {
    std::mt19937 rng(7);
    const std::string needles[] = {"E", "E0", "\r\n", "\x83\x45", "ab", "E0\x83\x45", "aaa", "\n\r\na", "b0E0E0ab"};
    for (int round = 0; round < 4000; ++round) {
        const std::size_t n = round < 600 ? static_cast<std::size_t>(round % 300) : rng() % 5000;
        // Runs of 300 or more CRs (or LFs) make the byte counters wrap if they are not summed in time.
        std::string block = round % 50 == 0 ? std::string(n, '\r')
                            : round % 50 == 25 ? std::string(n, '\n')
                                               : random_block(rng, n);
        const std::size_t offset = rng() % 7;
        block.insert(0, offset, 'x');
        const char* p = block.data() + offset;
        const char* end = block.data() + block.size();

        std::size_t crs = 0;
        std::size_t lfs = 0;
        bool all_crlf = true;
        bool no_crlf = true;
        for (const char* q = p; q < end; ++q) {
            lfs += *q == '\n';
            if (*q != '\r') continue;
            ++crs;
            if (q + 1 == end || q[1] != '\n') all_crlf = false;
            else no_crlf = false;
        }
        EXPECT_EQ(scan::count(p, end, '\r'), crs);
        const scan::LineEnds ends = scan::line_ends(p, end);
        EXPECT_EQ(ends.count, crs);
        EXPECT_EQ(ends.as_written, all_crlf) << "round " << round;
        const scan::LineEnds lf = scan::lf_ends(p, end);
        EXPECT_EQ(lf.count, lfs);
        EXPECT_EQ(lf.as_written, no_crlf) << "round " << round;

        const std::size_t k = 1 + rng() % (crs + 2);
        const char* want_nth = nullptr;
        for (const char* q = p, *left = nullptr; q < end && left == nullptr; ++q) {
            if (*q == '\r' && static_cast<std::size_t>(std::count(p, q + 1, '\r')) == k) want_nth = left = q;
        }
        EXPECT_EQ(scan::nth(p, end, '\r', k), want_nth) << "round " << round;

        const std::string& needle = needles[rng() % std::size(needles)];
        const std::string_view hay(p, static_cast<std::size_t>(end - p));
        const std::size_t at = hay.find(needle);
        EXPECT_EQ(scan::find(p, end, needle), at == std::string_view::npos ? nullptr : p + at) << "round " << round;
    }
}

}  // namespace
}  // namespace lintavo
