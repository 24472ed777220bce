// The pattern loader on arbitrary bytes, then saving and loading again:
// loading is safe whatever the file holds, and from the first saved file on
// saving and loading changes nothing (the second load of a saved file gives
// the settings of the first).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pattern/pattern_file.h"

namespace {

lintavo::ExtractionSettings loaded(std::string_view bytes) {
    lintavo::ExtractionSettings s;
    lintavo::pattern::apply_pattern(bytes, s);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lintavo::ExtractionSettings first = loaded(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string once;
    if (lintavo::pattern::pattern_bytes(first, once)) return 0;  // a text code page 932 cannot hold: nothing saved
    const lintavo::ExtractionSettings second = loaded(once);
    std::string twice;
    if (lintavo::pattern::pattern_bytes(second, twice)) std::abort();
    const lintavo::ExtractionSettings third = loaded(twice);
    if (!(third == second)) std::abort();
    std::string thrice;
    if (lintavo::pattern::pattern_bytes(third, thrice) || thrice != twice) std::abort();
    return 0;
}
