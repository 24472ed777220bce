// The read encoding a chosen file suggests, from its first 64 KiB.
#pragma once

#include <optional>
#include <string>

#include "engine/settings.h"

namespace lintavo {

inline constexpr std::size_t kSniffBytes = std::size_t{64} << 10;

// kReadUtf16 for a UTF-16 byte order mark (either byte order); kReadUtf8
// for a UTF-8 one; kReadUtf16 for UTF-16LE's CR LF (0D 00 0A 00) at an even
// offset; kReadUtf8 for multi-byte UTF-8 sequences
// and no byte outside one; for any byte that is not valid UTF-8, kReadEucJp
// when every byte belongs to an EUC-JP character, else kReadShiftJis (a
// sequence cut off by the end of the 64 KiB aside, in both steps); nothing
// for plain ASCII, an empty file or one that cannot be read.
std::optional<int> sniff_read_code(const std::string& path);

}  // namespace lintavo
