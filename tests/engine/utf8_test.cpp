#include "engine/text/utf8.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/io/encoding_sniff.h"
#include "engine/text/text_model.h"
#include "engine/output/transcode.h"
#include "test_support.h"

namespace lintavo {
namespace {

std::vector<std::uint32_t> codes_of(std::string_view s) {
    std::vector<std::uint32_t> out;
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        const utf8::Unit u = utf8::unit_at(p, end);
        out.push_back(u.code);
        p += u.size;
    }
    return out;
}

TEST(Utf8, ReadsUnitsAsTheCodecWithSurrogateEscapeDoes) {
    const struct {
        std::string bytes;
        std::vector<std::uint32_t> codes;
    } cases[] = {
        {"A", {0x41}},
        {std::string("\0", 1), {0}},
        {"\xC2\x80", {0x80}},                                  // shortest two-byte form
        {"\xDF\xBF", {0x7FF}},
        {"\xE0\xA0\x80", {0x800}},
        {"\xE3\x81\x82", {0x3042}},                            // あ
        {"\xEF\xBF\xBF", {0xFFFF}},
        {"\xF0\x90\x80\x80", {0x10000}},
        {"\xF4\x8F\xBF\xBF", {0x10FFFF}},
        {"\xC0\xAF", {0xDCC0, 0xDCAF}},                        // overlong "/"
        {"\xC1\xBF", {0xDCC1, 0xDCBF}},
        {"\xE0\x9F\xBF", {0xDCE0, 0xDC9F, 0xDCBF}},            // overlong three-byte form
        {"\xF0\x8F\xBF\xBF", {0xDCF0, 0xDC8F, 0xDCBF, 0xDCBF}},// overlong four-byte form
        {"\xED\xA0\x80", {0xDCED, 0xDCA0, 0xDC80}},            // a surrogate, U+D800
        {"\xED\x9F\xBF", {0xD7FF}},                            // just below the surrogates
        {"\xF4\x90\x80\x80", {0xDCF4, 0xDC90, 0xDC80, 0xDC80}},// above U+10FFFF
        {"\xF5\x80", {0xDCF5, 0xDC80}},
        {"\xE3\x81", {0xDCE3, 0xDC81}},                        // cut off by the end
        {"\xE3\x81" "A", {0xDCE3, 0xDC81, 0x41}},              // cut off by an ASCII byte
        {"\xF0\x9F\x98", {0xDCF0, 0xDC9F, 0xDC98}},
        {"\x80\xBF\xFE\xFF", {0xDC80, 0xDCBF, 0xDCFE, 0xDCFF}},// bytes alone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(codes_of(c.bytes), c.codes) << testing::PrintToString(c.bytes);
        EXPECT_EQ(utf8::unit_count(c.bytes), c.codes.size()) << testing::PrintToString(c.bytes);
    }
    // Every byte alone: ASCII is itself, every other byte an invalid unit.
    for (int b = 0; b < 256; ++b) {
        const std::string s(1, static_cast<char>(b));
        EXPECT_EQ(codes_of(s), std::vector<std::uint32_t>{b < 0x80 ? static_cast<std::uint32_t>(b) : 0xDC00u + b});
    }
}

TEST(Utf8, ComparesByCodePoints) {
    const struct {
        std::string a, b;
        int sign;
    } cases[] = {
        {"abc", "abd", -1},
        {"ab", "abc", -1},
        {"\xE3\x81\x82", "\xE3\x81\x82", 0},
        {"\xF0\x9F\x98\x80", "\xEF\xBC\xA1", 1},   // U+1F600 after U+FF21, as the bytes also say
        {"\xEE\x80\x80", "\xF0\x90\x80\x80", -1},  // U+E000 before U+10000
        {"\x80", "\xEE\x80\x80", -1},              // an invalid byte (U+DC80) before U+E000
        {"\xFF", "\xED\x9F\xBF", 1},               // U+DCFF after U+D7FF
        {"\x80", "\x7F", 1},
        {"\xC3\xA9", "\x80", -1},                  // U+00E9 before U+DC80, though C3 < 80 is false as bytes
    };
    for (const auto& c : cases) {
        const int got = utf8::compare(c.a, c.b);
        EXPECT_EQ((got > 0) - (got < 0), c.sign) << testing::PrintToString(c.a) << " / " << testing::PrintToString(c.b);
        const int back = utf8::compare(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign);
    }
}

TEST(Utf8, FindsOnlyWholeCharacters) {
    const auto npos = std::string_view::npos;
    const struct {
        std::string hay, needle;
        std::size_t at;
    } cases[] = {
        {"xxabcxx", "abc", 2},
        {"\xE3\x81\x82\xE3\x81\x84", "\x81\x82", npos},      // the tail of あ
        {"\xE3\x81\x82\xE3\x81\x84", "\x82\xE3", npos},      // across two characters
        {"\xE3\x81\x82\xE3\x81\x84", "\xE3\x81\x84", 3},
        {"\xE3\x81\x82", "\xE3\x81", npos},                  // invalid bytes in the needle, a whole character in the hay
        {"\xE3\x81" "A", "\xE3\x81", 0},                     // invalid bytes in both
        {"\x81\x82\xE3\x81\x82", "\x81\x82", 0},             // lone continuation bytes are units
        {"\x80\x80\x80\x80\x81", "\x81", 4},                 // no lead close enough: a unit by itself
        {"\xF0\x9F\x98\x80\x80", "\x80", 4},
        {"a\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", 1},
        {"ab", "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Needle(c.needle, Encoding::Utf8).find_in(c.hay), c.at)
            << testing::PrintToString(c.hay) << " / " << testing::PrintToString(c.needle);
    }
    // The same bytes read as code page 932 are other characters: "、" is 0x81 0x42.
    EXPECT_EQ(Needle("\x81\x42", Encoding::Cp932).find_in("\xE3\x81\x42"), std::string_view::npos);
    EXPECT_EQ(Needle("\x81\x42", Encoding::Cp932).find_in("a\x81\x42"), 1u);
    EXPECT_FALSE(Needle("\xE3\x81\x82", Encoding::Utf8).by_code());
}

TEST(Utf8, SniffsTheStartOfAFile) {
    const struct {
        std::string head;
        bool whole;
        utf8::Sniffed expected;
    } cases[] = {
        {"\xEF\xBB\xBF" "abc", true, utf8::Sniffed::Utf8},
        {"\xEF\xBB\xBF\x82\xA0", true, utf8::Sniffed::Utf8},   // the mark decides
        {"id,\xE5\x90\x8D\r\n", true, utf8::Sniffed::Utf8},
        {"id,\x96\xBC\r\n", true, utf8::Sniffed::NotUtf8},     // 名 in code page 932
        {"\xE5\x90\x8D\x96\xBC", true, utf8::Sniffed::NotUtf8},
        {"plain ascii\r\n", true, utf8::Sniffed::Unknown},
        {"", true, utf8::Sniffed::Unknown},
        {"\xE5\x90\x8D\xE5\x90", false, utf8::Sniffed::Utf8},  // a character cut off by the end of the head
        {"\xE5\x90\x8D\xE5\x90", true, utf8::Sniffed::NotUtf8},// ... or of the file
        {"ab\xF0\x9F", false, utf8::Sniffed::Unknown},
        {"\xE5\x90\x8D\xE0\x80", false, utf8::Sniffed::NotUtf8},  // no character starts so
        {"\xE5\x90\x8D\xC1", false, utf8::Sniffed::NotUtf8},
    };
    for (const auto& c : cases) EXPECT_EQ(utf8::sniff(c.head, c.whole), c.expected) << testing::PrintToString(c.head);
}

TEST(Utf8, SniffsAFileByItsFirst64KiB) {
    test::TempDir dir;
    const std::string ascii_64k(kSniffBytes - 1, 'a');
    const struct {
        std::string bytes;
        std::optional<int> code;
    } cases[] = {
        {"\xEF\xBB\xBF", kReadUtf8},
        {"\xE6\x9D\xB1\xE4\xBA\xAC", kReadUtf8},
        {"\x93\x8C\x8B\x9E", kReadShiftJis},
        {"\xFF\xFE\x82\xA0", kReadUtf16},                                      // a mark of either order
        {"\xFE\xFF", kReadUtf16},
        {std::string("a\0\r\0\n\0", 6), kReadUtf16},                           // UTF-16LE's CR LF at an even offset
        {std::string("\0\r\0\n\0", 5), std::nullopt},                          // ... at an odd one
        {"\xEF\xBB\xBF\r\0\n\0", kReadUtf8},
        {"\xC5\xEC\xB5\xFE\x8E\xB1\x8F\xB0\xA1", kReadEucJp},         // not UTF-8, all EUC-JP
        {"\xC5\xEC\xB5\xFE\x82\xA0", kReadShiftJis},                     // 0x82 is no EUC-JP byte
        {ascii_64k + "\xA4\xA2", kReadEucJp},                            // cut off at 64 KiB: does not count
        {ascii_64k.substr(1) + "\x8F\xB0\xA1", kReadEucJp},
        {"ab\xA4", kReadShiftJis},                                      // ... but at the end of the file it does
        {ascii_64k.substr(2) + "\x8F\xA2\xA1", kReadShiftJis},         // SS3 at an empty cell
        {"abc", std::nullopt},
        {ascii_64k + "\xE6\x9D\xB1", std::nullopt},   // cut off at 64 KiB: does not count
        {ascii_64k + "a\x93\x8C", std::nullopt},       // past the 64 KiB: not seen
    };
    for (const auto& c : cases) {
        const std::string path = dir.file("f");
        test::write_file(path, c.bytes);
        EXPECT_EQ(sniff_read_code(path), c.code) << c.bytes.size();
    }
    EXPECT_EQ(sniff_read_code(dir.file("missing")), std::nullopt);
    EXPECT_EQ(sniff_read_code(dir.path().string()), std::nullopt);  // a folder
}

TEST(Transcode, ConvertsUnitByUnitAndCountsReplacements) {
    const auto npos = std::string_view::npos;
    const struct {
        Encoding from, to;
        std::string in, out;
        std::size_t replaced, first;
    } cases[] = {
        {Encoding::Cp932, Encoding::Utf8, "a\x82\xA0\xB1\r\n", "a\xE3\x81\x82\xEF\xBD\xB1\r\n", 0, npos},
        {Encoding::Cp932, Encoding::Utf8, "\x87\x9A\x81\xE6", "\xE2\x88\xB5\xE2\x88\xB5", 0, npos},  // ∵ both codes
        {Encoding::Cp932, Encoding::Utf8, "\x80\xA0\xFD", "\xC2\x80\xEF\xA3\xB0\xEF\xA3\xB1", 0, npos},
        {Encoding::Cp932, Encoding::Utf8, "ab\x82", "ab\xEF\xBF\xBD", 1, 2},  // a character cut in half by a byte position
        {Encoding::Cp932, Encoding::Utf8, "\x85\x40\x81", "\xEF\xBF\xBD@\xEF\xBF\xBD", 2, 0},
        {Encoding::Utf8, Encoding::Cp932, "a\xE3\x81\x82\xEF\xBD\xB1", "a\x82\xA0\xB1", 0, npos},
        {Encoding::Utf8, Encoding::Cp932, "\xE2\x88\xB5", "\x81\xE6", 0, npos},  // the preferred form
        {Encoding::Utf8, Encoding::Cp932, "\xE2\x85\xB0", "\xEE\xEF", 0, npos},  // ⅰ: the codec's form of three
        {Encoding::Utf8, Encoding::Cp932, "x\xF0\x9F\x98\x80y", "x\x81\xACy", 1, 1},  // above U+FFFF
        {Encoding::Utf8, Encoding::Cp932, "\xC3\xA9\xE3\x81", "\x81\xAC\x81\xAC\x81\xAC", 3, 0},  // é, two invalid bytes
        {Encoding::Utf8, Encoding::Cp932, "\xEF\xBF\xBD", "\x81\xAC", 1, 0},
        {Encoding::Utf8, Encoding::Utf8, "\xFF", "\xFF", 0, npos},
    };
    for (const auto& c : cases) {
        Transcoder t(c.from, c.to);
        EXPECT_EQ(t.convert(c.in), c.out) << testing::PrintToString(c.in);
        EXPECT_EQ(t.replaced(), c.replaced) << testing::PrintToString(c.in);
        EXPECT_EQ(t.first_replaced(), c.first) << testing::PrintToString(c.in);
    }
}

TEST(Transcode, EveryCodePage932CharacterGoesToUtf8AndBack) {
    Transcoder there(Encoding::Cp932, Encoding::Utf8);
    Transcoder back(Encoding::Utf8, Encoding::Cp932);
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string s{static_cast<char>(lead), static_cast<char>(trail)};
            if (cp932::unit_at(s.data(), s.data() + 2).size != 2) continue;
            const std::string u(there.convert(s));
            ASSERT_EQ(there.replaced(), 0u);
            std::string expected;
            ASSERT_TRUE(cp932::encode(cp932::decode(s), expected));  // duplicates come back in their preferred form
            EXPECT_EQ(back.convert(u), expected) << lead << " " << trail;
            ++characters;
        }
    }
    EXPECT_GT(characters, 7000);
}

}  // namespace
}  // namespace lintavo
