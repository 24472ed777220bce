#include "engine/text/cp932.h"
#include "engine/text/text_model.h"

#include <gtest/gtest.h>

namespace lintavo::cp932 {
namespace {

struct UnitCase {
    std::string bytes;
    std::vector<std::uint32_t> codes;
};

TEST(Cp932, ReadsUnitsAndCodeValues) {
    const UnitCase cases[] = {
        {"A", {0x41}},
        {"\x82\xA0", {0x3042}},                 // あ
        {"\x83\x40", {0x30A1}},                 // ァ: the second byte is "@"
        {"\xB1", {0xFF71}},                     // half-width ｱ
        {"\x80\xA0\xFD\xFE\xFF", {0x80, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3}},
        {"\x81", {0xDC81}},                     // a lead byte at the end
        {"\x81\x20", {0xDC81, 0x20}},           // a lead byte before a byte that is no trail byte
        {"\x85\x40", {0xDC85, 0x40}},           // an unmapped pair: the lead is invalid, "@" is read on its own
        {"\x87\x9A\x81\xE6", {0x2235, 0x2235}}, // ∵ in both of its codes
        {std::string("a\0b", 3), {0x61, 0, 0x62}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint32_t> got;
        for (char32_t u : decode(c.bytes)) got.push_back(u);
        EXPECT_EQ(got, c.codes) << testing::PrintToString(c.bytes);
        EXPECT_EQ(unit_count(c.bytes), c.codes.size());
    }
}

TEST(Cp932, EveryByteStringOfPreferredCodesComesBackFromDecodeAndEncode) {
    std::string out;
    for (int b = 0; b < 256; ++b) {
        const std::string s(1, static_cast<char>(b));
        ASSERT_TRUE(encode(decode(s), out)) << b;
        EXPECT_EQ(out, s) << b;
    }
    int pairs = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const std::string s{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u32string u = decode(s);
            ASSERT_TRUE(encode(u, out));
            if (u.size() == 1 && is_duplicate(u[0])) continue;  // comes back as the codec's preferred code
            EXPECT_EQ(out, s) << lead << " " << trail;
            ++pairs;
        }
    }
    EXPECT_GT(pairs, 30000);
}

TEST(Cp932, DuplicateCodesEncodeToThePreferredForm) {
    std::string out;
    ASSERT_TRUE(encode(decode("\x87\x9A"), out));
    EXPECT_EQ(out, "\x81\xE6");
    EXPECT_TRUE(is_duplicate(0x2235));
    EXPECT_FALSE(is_duplicate(0x3042));
}

TEST(Cp932, ADuplicateAfterALoneFirstByteKeepsItsMeaning) {
    // A lone first byte (0x83 before 0xFA, which is no character) and then
    // "№" in its IBM form 0xFA59: the preferred form 0x8782 would join the
    // lone byte into "ョ". Another form that does not join is written.
    const std::string cases[] = {
        "\x83\xFA\x59",                             // 0x83 then №
        "!\x9A \x83\xFA\x59\xED\x40\xEE\xFF",  // found by the fuzzer
        "\xE0\xFA\x4A",                             // a lone 0xE0, then Roman numeral I in its IBM form
        "\x83\x81\xE0",                             // no lone byte: the preferred form as before
    };
    for (const std::string& bytes : cases) {
        const std::u32string codes = cp932::decode(bytes);
        std::string again;
        ASSERT_TRUE(cp932::encode(codes, again));
        EXPECT_EQ(cp932::decode(again), codes) << testing::PrintToString(bytes);
    }
    std::string again;
    ASSERT_TRUE(cp932::encode(cp932::decode("\x83\xFA\x59"), again));
    EXPECT_EQ(again, "\x83\xFA\x59");  // the only form of № that 0x83 does not join
}

TEST(Cp932, EncodeReportsCharactersItCannotHold) {
    std::string out;
    EXPECT_FALSE(encode(U"a\U0001F600b", out));
    EXPECT_EQ(out, "a?b");
    EXPECT_FALSE(encode(U"\u00E9", out));  // é
    EXPECT_TRUE(encode(U"\u3042\uFF71", out));
    EXPECT_EQ(out, "\x82\xA0\xB1");
}

TEST(Cp932, Utf8KeepsInvalidBytesAsRawBytesButEncodesOnlyValidUtf8) {
    const std::string bytes = "\x82\xA0x\x81 \xFC\xFC";
    const std::string utf8 = to_utf8(bytes);
    EXPECT_EQ(utf8.substr(0, 4), "\xE3\x81\x82x");
    EXPECT_EQ(utf8.substr(4), "\x81 \xFC\xFC");
    std::string back;
    ASSERT_TRUE(from_utf8("\xE3\x81\x82x", back));
    EXPECT_EQ(back, "\x82\xA0x");
    EXPECT_FALSE(from_utf8(utf8, back));  // raw bytes: 0x83 before "A" would read back as "ア"
    EXPECT_FALSE(from_utf8("\x83" "A", back));
    EXPECT_FALSE(from_utf8("\xF0\x9F\x98\x80", back));  // an emoji
}

struct CompareCase {
    std::string a, b;
    int sign;
};

TEST(Cp932, ComparesByCodeValues) {
    const CompareCase cases[] = {
        {"abc", "abd", -1}, {"ab", "abc", -1}, {"10", "9", -1}, {"abc", "ABC", 1}, {"", "", 0},
        {"\x87\x9A", "\x81\xE6", 0},      // the two codes of ∵ are the same character
        {"A", "\x82\x60", -1},            // A < full-width Ａ
        {"\xB1", "\x82\xA0", 1},          // ｱ U+FF71 > あ U+3042
        {"\x81", "\x81\x40", 1},          // invalid byte U+DC81 > full-width space U+3000
        {"\x80", "\x81\x40", -1},         // U+0080
    };
    for (const auto& c : cases) {
        const int r = compare(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << testing::PrintToString(c.a) << " " << testing::PrintToString(c.b);
        const int back = compare(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign);
    }
}

struct FindCase {
    std::string hay, needle;
    std::size_t at;
};

TEST(Cp932, FindsOnlyWholeCharacters) {
    const auto npos = std::string_view::npos;
    const FindCase cases[] = {
        {"xxabcxx", "abc", 2},
        {"xxABCxx", "abc", npos},
        {"\x83\x40", "@", npos},                     // "@" as the second byte of ァ
        {"\x83\x40@", "@", 2},
        {"\x83\x40\x83\x40", "\x40\x83", npos},      // bytes across two characters
        {"\x82\xA0\x82\xA2", "\xA0\x82", npos},
        {"a\x81\xE6", "\x87\x9A", 1},                // a duplicate code matches its twin
        {"a\x87\x9A", "\x81\xE6", 1},
        {"\x81\x40", "\x81", npos},                  // an invalid byte in the needle is no part of a character
        {"\x81 ", "\x81", 0},
        {"ab", "", 0},
        {"ab ", " ", 2},
        {"\x95\x5C\\", "\\", 2},                    // 表 ends in 0x5C
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lintavo::Needle(c.needle).find_in(c.hay), c.at)
            << testing::PrintToString(c.hay) << " / " << testing::PrintToString(c.needle);
    }
}

}  // namespace
}  // namespace lintavo::cp932
