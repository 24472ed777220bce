// The EUC-JP tables of JIS X 0212, generated from the reference codec.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lintavo::euc_jp::table {

struct Jis0212Entry {
    std::uint16_t code;
    std::uint16_t bytes;  // the two bytes after SS3: first << 8 | second
};

extern const std::uint16_t kJis0212[94][94];
extern const std::uint16_t kDuplicates[];
extern const std::size_t kDuplicateCount;
extern const Jis0212Entry kJis0212Encode[];
extern const std::size_t kJis0212EncodeCount;

}  // namespace lintavo::euc_jp::table
