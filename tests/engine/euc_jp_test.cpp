// EUC-JP: its units, its conversion from and into every other encoding, and
// runs over EUC-JP files.
#include "engine/text/euc_jp.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/messages.h"
#include "engine/output/transcode.h"
#include "engine/text/text_model.h"
#include "encoding_run_cases.h"

namespace lintavo {
namespace {

TEST(EucJp, ReadsUnitsAndNeverRestartsInsideASequence) {
    const struct {
        std::string bytes;
        std::vector<std::uint32_t> codes;  // one per byte for invalid bytes
        std::vector<std::size_t> sizes;
    } cases[] = {
        {"a\xA4\xA2", {'a', 0x3042}, {1, 2}},                                      // あ
        {"\xA1\xC1\xAD\xFA\xF9\xA1", {0xFF5E, 0x2235, 0x7E8A}, {2, 2, 2}},          // 〜, NEC ∵, NEC-selected 纊
        {"\x8E\xB1\x8F\xB0\xA1", {0xFF71, 0x4E02}, {2, 3}},                         // ｱ after SS2, 丂 of JIS X 0212
        {"\xA9\xA1z", {0xDCA9, 0xDCA1, 'z'}, {2, 1}},                               // a pair no character has
        {"\x8F\xA2\xA1\xA4\xA2", {0xDC8F, 0xDCA2, 0xDCA1, 0x3042}, {3, 2}},         // SS3 at an empty cell
        {"\x8E\x41", {0xDC8E, 'A'}, {1, 1}},                                        // SS2 without katakana
        {"\x8Eq", {0xDC8E, 'q'}, {1, 1}},
        {"\x8F\xB0", {0xDC8F, 0xDCB0}, {1, 1}},                                     // SS3 cut short
        {"\xA4", {0xDCA4}, {1}},                                                    // a lone lead byte
        {"\xA4" "a\x80\xFF\xA0", {0xDCA4, 'a', 0xDC80, 0xDCFF, 0xDCA0}, {1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint32_t> codes;
        for_each_code(Encoding::EucJp, c.bytes, [&](std::uint32_t code) { codes.push_back(code); });
        EXPECT_EQ(codes, c.codes) << testing::PrintToString(c.bytes);
        EXPECT_EQ(unit_count(Encoding::EucJp, c.bytes), c.codes.size());
        std::vector<std::size_t> sizes;
        for (const char* p = c.bytes.data(); p < c.bytes.data() + c.bytes.size(); p += sizes.back()) {
            sizes.push_back(euc_jp::unit_at(p, c.bytes.data() + c.bytes.size()).size);
        }
        EXPECT_EQ(sizes, c.sizes) << testing::PrintToString(c.bytes);
    }
    // A false character across two (い's trail byte and あ's lead byte
    // make row 2, cell 4), or inside an invalid sequence, is never found.
    EXPECT_EQ(Needle("\xA2\xA4", Encoding::EucJp).find_in("\xA4\xA2\xA4\xA4"), std::string_view::npos);
    EXPECT_EQ(Needle("\xA2\xA1", Encoding::EucJp).find_in("\x8F\xA2\xA1"), std::string_view::npos);
    EXPECT_EQ(Needle("\xA2\xE8", Encoding::EucJp).find_in("x\xAD\xFA"), 1u);  // ∵ of row 2 finds ∵ of row 13
    EXPECT_LT(compare(Encoding::EucJp, "\x8F\xA2\xA1", "\x8F\xA2\xA2"), 0);   // invalid bytes compare one by one
}

TEST(Transcode, EucJpKeepsRowAndCellAndReplacesWhatItCannotHold) {
    const auto npos = std::string_view::npos;
    const auto E = Encoding::EucJp;
    const auto S = Encoding::Cp932;
    const auto U = Encoding::Utf8;
    const struct {
        Encoding from, to;
        std::string in, out;
        std::size_t replaced, first;
    } cases[] = {
        // 〜 ‖ − ¢ £ ¬ by their JIS code points go to row 1, as in Shift-JIS.
        {U, E, "\xE3\x80\x9C\xE2\x80\x96\xE2\x88\x92\xC2\xA2\xC2\xA3\xC2\xAC",
         "\xA1\xC1\xA1\xC2\xA1\xDD\xA1\xF1\xA1\xF2\xA2\xCC", 0, npos},
        {U, S, "\xE3\x80\x9C\xE2\x80\x96\xE2\x88\x92\xC2\xA2\xC2\xA3\xC2\xAC",
         "\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA", 0, npos},
        {E, U, "\xA1\xC1\xA1\xC2\xA1\xDD", "\xEF\xBD\x9E\xE2\x88\xA5\xEF\xBC\x8D", 0, npos},  // as code page 932 reads them
        {S, E, "\x87\x9A\x81\xE6\xED\x40\xFA\x5B\xB1", "\xAD\xFA\xA2\xE8\xF9\xA1\xA2\xE8\x8E\xB1", 0, npos},
        {E, S, "\xAD\xFA\xF9\xA1\x8E\xB1\x8F\xB0\xA1", "\x87\x9A\xED\x40\xB1\x81\xAC", 1, 6},  // 丂 has no Shift-JIS code
        {S, E, "a\xF0\x40\x80\xA0\xFD\x82", "a\xA2\xAE\xA2\xAE\xA2\xAE\xA2\xAE\xA2\xAE", 5, 1},  // user-defined, 0x80, 0xA0, 0xFD, invalid
        {U, E, "\xC2\xA5\xE2\x80\xBE\xE4\xB8\x82\xF0\x9F\x98\x80", "\xA2\xAE\xA2\xAE\x8F\xB0\xA1\xA2\xAE", 3, 0},  // ¥ ‾ 丂 😀
        {E, U, "\x8F\xA2\xA1\xA4", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 4, 0},  // one U+FFFD a byte
        {E, E, "\x8F\xA2\xA1", "\x8F\xA2\xA1", 0, npos},
    };
    for (const auto& c : cases) {
        Transcoder t(c.from, c.to);
        EXPECT_EQ(t.convert(c.in), c.out) << testing::PrintToString(c.in);
        EXPECT_EQ(t.replaced(), c.replaced) << testing::PrintToString(c.in);
        EXPECT_EQ(t.first_replaced(), c.first) << testing::PrintToString(c.in);
    }
}

// Every character of code page 932 that EUC-JP holds: each route between
// the encodings gives what the direct one gives, nothing is replaced on the
// way, and the way back gives the bytes back.
TEST(Transcode, EveryRouteBetweenEncodingsAgrees) {
    std::string utf8;
    Transcoder from_sjis(Encoding::Cp932, Encoding::Utf8);
    for (int lead = 0x81; lead <= 0xEF; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string s{static_cast<char>(lead), static_cast<char>(trail)};
            if (cp932::unit_at(s.data(), s.data() + 2).size == 2) utf8 += from_sjis.convert(s);
        }
    }
    for (int b = 0xA1; b <= 0xDF; ++b) utf8 += from_sjis.convert(std::string(1, static_cast<char>(b)));
    utf8 += "a\r\n";
    const Encoding all[] = {Encoding::Cp932, Encoding::Utf8, Encoding::EucJp, Encoding::Utf16Le, Encoding::Utf16Be};
    for (const Encoding a : all) {
        for (const Encoding b : all) {
            if (a == b) continue;
            std::string in_a(Transcoder(Encoding::Utf8, a).convert(utf8));
            Transcoder a_to_b(a, b);
            const std::string in_b(a_to_b.convert(in_a));
            EXPECT_EQ(a_to_b.replaced(), 0u) << int(a) << "->" << int(b);
            Transcoder direct(Encoding::Utf8, b);
            EXPECT_TRUE(in_b == direct.convert(utf8)) << int(a) << "->" << int(b);
            EXPECT_TRUE(Transcoder(b, a).convert(in_b) == in_a) << int(a) << "<-" << int(b);
        }
    }
}

TEST(EncodingRun, CharactersOfEucJpRecords) {
    const std::string tokyo = "\xC5\xEC\xB5\xFE";  // 東京 in the file
    test::run_both_ways({
        {"a keyword from the settings matches the EUC-JP text", kReadEucJp, kWriteSameCode, "x" + tokyo + "\r\nno\r\n",
         [](ExtractionSettings& s) { s.keywords[0].txt_keyword = "\x93\x8C\x8B\x9E"; }, "x" + tokyo + "\r\n", ""},
        {"a keyword is not found across two characters", kReadEucJp, kWriteSameCode, "\xA4\xA2\xA4\xA4\r\n\xA2\xA4\r\n",
         [](ExtractionSettings& s) { s.keywords[0].txt_keyword = "\x81\xA2"; }, "\xA2\xA4\r\n", ""},
        {"NEC row 13 equals row 2 by code value", kReadEucJp, kWriteUtf8, "\xAD\xFA,1\r\n\xA2\xE8,2\r\nx,3\r\n",
         [](ExtractionSettings& s) {
             test::csv_columns(s, 1, kWriteAsRead);
             s.conditions[0].cmb_select = kCompareEqual;
             s.conditions[0].txt_key = "\xFA\x5B";  // the IBM ∵
         },
         "\xE2\x88\xB5,1\r\n\xE2\x88\xB5,2\r\n", ""},
        {"leading units become one blank each", kReadEucJp, kWriteSameCode, "\x8F\xB0\xA1\x8E\xB1" "0\r\n",
         [](ExtractionSettings& s) {
             test::csv_columns(s, 1, kWriteJoined);
             s.conditions[0].cmb_change = kConvertLeadingBlank;
         },
         "  0\r\n", ""},
        {"Shift-JIS to EUC-JP replaces the user-defined area", kReadShiftJis, kWriteEucJp, "a\r\n\xF0\x40\x82\xA0\r\n",
         nullptr, "a\r\n\xA2\xAE\xA4\xA2\r\n", msg::replaced(1, 2)},
    });
}

}  // namespace
}  // namespace lintavo
