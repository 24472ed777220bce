// The code page 932 mapping tables, generated from the reference codec.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lintavo::cp932::table {

inline constexpr std::uint16_t kNoChar = 0xFFFF;
inline constexpr int kLeadSlots = 60;    // 0x81-0x9F and 0xE0-0xFC
inline constexpr int kTrailFirst = 0x40;
inline constexpr int kTrailCount = 189;  // 0x40-0xFC

struct EncodeEntry {
    std::uint16_t code;
    std::uint16_t bytes;  // one byte when below 0x100, else lead << 8 | trail
};

extern const std::uint16_t kSingle[256];
extern const std::uint16_t kDouble[kLeadSlots][kTrailCount];
extern const std::uint16_t kDuplicates[];
extern const std::size_t kDuplicateCount;
extern const EncodeEntry kEncode[];
extern const std::size_t kEncodeCount;

}  // namespace lintavo::cp932::table
