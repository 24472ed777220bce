#include "engine/text/byte_scan.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace lintavo::scan {
namespace {

// True when the bytes of the needle between its second and its last are at
// at + 2 onwards (the others are known to match).
inline bool same_middle(const char* at, std::string_view needle) {
    for (std::size_t i = 2; i + 1 < needle.size(); ++i) {
        if (at[i] != needle[i]) return false;
    }
    return true;
}

// The byte by byte ends of the scans, for what the wide loops leave.
void line_ends_tail(const char* p, const char* end, LineEnds& r) {
    for (; p < end; ++p) {
        if (*p != '\r') continue;
        ++r.count;
        if (p + 1 == end || p[1] != '\n') r.as_written = false;
    }
}
void lf_ends_tail(const char* p, const char* end, LineEnds& r) {
    for (; p < end; ++p) {
        if (*p == '\n') ++r.count;
        else if (*p == '\r' && p + 1 < end && p[1] == '\n') r.as_written = false;
    }
}
const char* nth_tail(const char* p, const char* end, char c, std::size_t k) {
    for (; p < end; ++p) {
        if (*p == c && --k == 0) return p;
    }
    return nullptr;
}

}  // namespace

#if defined(__SSE2__)

// Sixteen bytes at a time: every x86-64 processor has SSE2.
namespace sse {
namespace {
using Vec = __m128i;
constexpr std::size_t W = 16;
inline Vec load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline Vec splat(char c) { return _mm_set1_epi8(c); }
inline Vec zero() { return _mm_setzero_si128(); }
inline Vec eq(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
inline Vec both(Vec a, Vec b) { return _mm_and_si128(a, b); }
inline Vec either(Vec a, Vec b) { return _mm_or_si128(a, b); }
inline Vec but_not(Vec a, Vec b) { return _mm_andnot_si128(b, a); }
inline Vec minus(Vec a, Vec b) { return _mm_sub_epi8(a, b); }
inline std::uint32_t bits(Vec v) { return static_cast<std::uint32_t>(_mm_movemask_epi8(v)); }
// The sum of the byte counters.
inline std::size_t sum(Vec counters) {
    const __m128i s = _mm_sad_epu8(counters, _mm_setzero_si128());
    return static_cast<std::size_t>(_mm_cvtsi128_si64(s)) +
           static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(s, s)));
}
#include "engine/text/byte_scan_loops.inc"
}  // namespace
}  // namespace sse

// Thirty-two bytes at a time, on processors with AVX2 (checked at start).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace avx {
namespace {
using Vec = __m256i;
constexpr std::size_t W = 32;
inline Vec load(const char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline Vec splat(char c) { return _mm256_set1_epi8(c); }
inline Vec zero() { return _mm256_setzero_si256(); }
inline Vec eq(Vec a, Vec b) { return _mm256_cmpeq_epi8(a, b); }
inline Vec both(Vec a, Vec b) { return _mm256_and_si256(a, b); }
inline Vec either(Vec a, Vec b) { return _mm256_or_si256(a, b); }
inline Vec but_not(Vec a, Vec b) { return _mm256_andnot_si256(b, a); }
inline Vec minus(Vec a, Vec b) { return _mm256_sub_epi8(a, b); }
inline std::uint32_t bits(Vec v) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)); }
inline std::size_t sum(Vec counters) {
    const __m256i s = _mm256_sad_epu8(counters, _mm256_setzero_si256());
    return static_cast<std::size_t>(_mm256_extract_epi64(s, 0)) + static_cast<std::size_t>(_mm256_extract_epi64(s, 1)) +
           static_cast<std::size_t>(_mm256_extract_epi64(s, 2)) + static_cast<std::size_t>(_mm256_extract_epi64(s, 3));
}
#include "engine/text/byte_scan_loops.inc"
}  // namespace
}  // namespace avx
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace {
const bool kAvx2 = __builtin_cpu_supports("avx2");
}

std::size_t count(const char* p, const char* end, char c) {
    std::size_t total = kAvx2 ? avx::count_blocks(p, end, c) : 0;
    total += sse::count_blocks(p, end, c);
    for (; p < end; ++p) total += *p == c;
    return total;
}

LineEnds line_ends(const char* p, const char* end) {
    LineEnds r;
    if (kAvx2) avx::line_ends_blocks(p, end, r);
    sse::line_ends_blocks(p, end, r);
    line_ends_tail(p, end, r);
    return r;
}

LineEnds lf_ends(const char* p, const char* end) {
    LineEnds r;
    if (kAvx2) avx::lf_ends_blocks(p, end, r);
    sse::lf_ends_blocks(p, end, r);
    lf_ends_tail(p, end, r);
    return r;
}

const char* nth(const char* p, const char* end, char c, std::size_t k) {
    if (kAvx2) {
        if (const char* at = avx::nth_blocks(p, end, c, k)) return at;
    }
    if (const char* at = sse::nth_blocks(p, end, c, k)) return at;
    return nth_tail(p, end, c, k);
}

const char* find(const char* p, const char* end, std::string_view needle) {
    const std::size_t n = needle.size();
    if (static_cast<std::size_t>(end - p) < n) return nullptr;
    if (n == 1) return static_cast<const char*>(std::memchr(p, needle[0], static_cast<std::size_t>(end - p)));
    if (kAvx2) {
        if (const char* hit = avx::find_blocks(p, end, needle)) return hit;
    }
    if (const char* hit = sse::find_blocks(p, end, needle)) return hit;
    // Fewer than sixteen places are left: compared one by one (the C
    // library's search costs more to set up than that).
    for (; static_cast<std::size_t>(end - p) >= n; ++p) {
        if (*p == needle[0] && std::memcmp(p, needle.data(), n) == 0) return p;
    }
    return nullptr;
}

#else  // without SSE2: plain loops and the C library's search

std::size_t count(const char* p, const char* end, char c) { return static_cast<std::size_t>(std::count(p, end, c)); }

LineEnds line_ends(const char* p, const char* end) {
    LineEnds r;
    line_ends_tail(p, end, r);
    return r;
}

LineEnds lf_ends(const char* p, const char* end) {
    LineEnds r;
    lf_ends_tail(p, end, r);
    return r;
}

const char* nth(const char* p, const char* end, char c, std::size_t k) { return nth_tail(p, end, c, k); }

const char* find(const char* p, const char* end, std::string_view needle) {
    if (static_cast<std::size_t>(end - p) < needle.size()) return nullptr;
    return static_cast<const char*>(memmem(p, static_cast<std::size_t>(end - p), needle.data(), needle.size()));
}

#endif

}  // namespace lintavo::scan
