// Code page 932 units on arbitrary bytes: the units cover the bytes exactly
// (each of one or two bytes, none past the end), there are as many as the
// decoded code values, and decoding then encoding gives the bytes back:
// exactly, or for duplicate codes (which come back in the codec's preferred
// form) bytes that decode to the same code values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    std::size_t units = 0;
    while (p < end) {
        const std::size_t n = lintavo::cp932::unit_size(p, end);
        if (n < 1 || n > 2 || n > static_cast<std::size_t>(end - p)) std::abort();
        p += n;
        ++units;
    }
    if (units != lintavo::cp932::unit_count(bytes)) std::abort();
    const std::u32string codes = lintavo::cp932::decode(bytes);
    if (codes.size() != units) std::abort();
    std::string again;
    if (!lintavo::cp932::encode(codes, again)) std::abort();
    if (lintavo::cp932::has_duplicate(bytes) ? lintavo::cp932::decode(again) != codes : again != bytes) std::abort();
    return 0;
}
