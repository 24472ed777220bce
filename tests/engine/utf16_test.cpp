// UTF-16: its units, its records (line ends on code units at even offsets,
// the byte order mark), its fields and the lines written in it.
#include "engine/text/utf16.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/messages.h"
#include "engine/output/transcode.h"
#include "engine/text/text_model.h"
#include "encoding_run_cases.h"

namespace lintavo {
namespace {

using namespace std::string_literals;

// UTF-8 text in UTF-16, little-endian or big-endian.
std::string le(std::string_view utf8) { return std::string(Transcoder(Encoding::Utf8, Encoding::Utf16Le).convert(utf8)); }
std::string be(std::string_view utf8) { return std::string(Transcoder(Encoding::Utf8, Encoding::Utf16Be).convert(utf8)); }

TEST(Utf16, ReadsCodeUnitsAndSurrogatePairs) {
    const struct {
        Encoding encoding;
        std::string bytes;
        std::vector<std::uint32_t> codes;  // one per byte for invalid bytes
    } cases[] = {
        {Encoding::Utf16Le, "A\0\x42\x30"s, {'A', 0x3042}},
        {Encoding::Utf16Be, "\0A\x30\x42"s, {'A', 0x3042}},
        {Encoding::Utf16Le, "\x40\xD8\x0B\xDC", {0x2000B}},                             // 𠀋, a surrogate pair
        {Encoding::Utf16Le, "\x40\xD8" "A\0"s, {0xDC40, 0xDCD8, 'A'}},                     // a lone high surrogate
        {Encoding::Utf16Be, "\xDC\x0B\0A"s, {0xDCDC, 0xDC0B, 'A'}},                       // a lone low surrogate
        {Encoding::Utf16Le, "A\0\x0A"s, {'A', 0xDC0A}},                                  // an odd last byte, below 0x80
        {Encoding::Utf16Le, "\x0D\x0A\x0A\x0D", {0x0A0D, 0x0D0A}},                      // CR and LF bytes inside units
    };
    for (const auto& c : cases) {
        std::vector<std::uint32_t> codes;
        for_each_code(c.encoding, c.bytes, [&](std::uint32_t code) { codes.push_back(code); });
        EXPECT_EQ(codes, c.codes) << testing::PrintToString(c.bytes);
        EXPECT_EQ(unit_count(c.encoding, c.bytes), c.codes.size());
    }
    // Found on unit boundaries only: not at an odd offset, not in a pair's low half.
    EXPECT_EQ(Needle("A\0"s, Encoding::Utf16Le).find_in("\0A\0ZA\0"s), 4u);
    EXPECT_EQ(Needle("\x0B\xDC", Encoding::Utf16Le).find_in("\x40\xD8\x0B\xDC"), std::string_view::npos);
    // By code point, not by code unit: 𠀋 is above Ａ (U+FF21).
    EXPECT_GT(compare(Encoding::Utf16Le, le("\xF0\xA0\x80\x8B"), le("\xEF\xBC\xA1")), 0);
    EXPECT_GT(compare(Encoding::Utf16Le, "\x41\x01"s, "\x42\x00"s), 0);  // U+0141 above U+0042
}

TEST(EncodingRun, RecordsAndFieldsOfUtf16Files) {
    const std::string mark_le = "\xFF\xFE";
    const std::string mark_be = "\xFE\xFF";
    const auto first_bytes = [](int n) {
        return [n](ExtractionSettings& s) {
            s.conditions[0].txt_ichi = "1";
            s.conditions[0].txt_len = std::to_string(n);
            s.cmb_type_Write = kWriteJoined;
        };
    };
    const auto fixed = [](int n) {
        return [n](ExtractionSettings& s) {
            s.cmb_type = kTypeFixed;
            s.txt_RecordLength = std::to_string(n);
        };
    };
    test::run_both_ways({
        {"the mark is written back, lines end at code units", kReadUtf16, kWriteSameCode, mark_le + le("a\r\nb\rc"), nullptr,
         mark_le + le("a\r\nb\r\nc\r\n"), ""},
        {"a big-endian file is written back big-endian", kReadUtf16, kWriteSameCode, mark_be + be("a\r\nb"), nullptr,
         mark_be + be("a\r\nb\r\n"), ""},
        {"without a mark: little-endian, no mark written", kReadUtf16, kWriteUtf8, le("\xE3\x81\x82\r\n"), nullptr,
         "\xE3\x81\x82\r\n", ""},
        {"CR and LF bytes at odd offsets or inside units end nothing", kReadUtf16, kWriteSameCode,
         std::string("\x0D\x0A\x0A\x0D\r\0\n\0", 8), nullptr, std::string("\x0D\x0A\x0A\x0D\r\0\n\0", 8), ""},
        {"a LF file, its LF ends lines written", kReadUtf16, kWriteSameCode, le("a\nb"), nullptr, le("a\nb\n"), ""},
        {"a CR file keeps a lone LF in its record", kReadUtf16, kWriteSameCode, le("a\nb\r\n"), nullptr, le("a\nb\r\n"), ""},
        {"positions count bytes after the mark; a field at an odd offset is read from its first byte", kReadUtf16,
         kWriteUtf16LeBom, mark_le + le("ab\r\n"), first_bytes(3), mark_le + std::string("a\0b", 3) + le("\r\n"), ""},
        {"fixed-length records of an odd length, as read", kReadUtf16, kWriteSameCode, le("abc"), fixed(3),
         std::string("a\0b\r\0\n\0\0c\0\r\0\n\0", 14), ""},
        {"big-endian to little-endian by code value, a lone surrogate replaced byte by byte", kReadUtf16,
         kWriteUtf16LeBom, mark_be + "\xD8\x40" + be("x"), nullptr, mark_le + "\xFD\xFF\xFD\xFF" + le("x\r\n"),
         msg::replaced(2, 1)},
        {"an empty file with a mark written: the mark alone", kReadShiftJis, kWriteUtf16LeBom, "", nullptr, mark_le, ""},
        {"Shift-JIS into UTF-16", kReadShiftJis, kWriteUtf16LeBom, "\x93\x8C\xB1\r\n", nullptr,
         mark_le + le("\xE6\x9D\xB1\xEF\xBD\xB1\r\n"), ""},
    });
    const std::string tokyo = "\x93\x8C\x8B\x9E";  // 東京 in the settings
    test::run_both_ways({
        {"a keyword matches on unit boundaries", kReadUtf16, kWriteUtf8, le("x\xE6\x9D\xB1\xE4\xBA\xAC\r\nno\r\n"),
         [&](ExtractionSettings& s) { s.keywords[0].txt_keyword = tokyo; }, "x\xE6\x9D\xB1\xE4\xBA\xAC\r\n", ""},
        {"CSV: quotes, doubled quotes, a comma in quotes, written quoted", kReadUtf16, kWriteUtf8,
         le(" \"a,\"\"b\" ,c\r\n"), [](ExtractionSettings& s) { test::csv_columns(s, 2, kWriteCsvTab); },
         "\"a,\"\"b\"\t\"c\"\r\n", ""},
        {"TSV: a comma is a character", kReadUtf16, kWriteSameCode, le("a, b\tc\r\n"),
         [](ExtractionSettings& s) {
             test::csv_columns(s, 2, kWriteCsvComma);
             s.cmb_type = kTypeTsv;
         },
         le("\"a, b\",\"c\"\r\n"), ""},
        {"a template numbers its lines in code units", kReadUtf16, kWriteSameCode, le("x,y\r\n"),
         [](ExtractionSettings& s) {
             test::csv_columns(s, 2, kWriteTemplate);
             s.txt_hinagata = "@0:@2@1";
         },
         le("1:yx\r\n"), ""},
        {"trims, blanks before zero and numbers work on units", kReadUtf16, kWriteUtf8,
         le(" a ,\xEF\xBC\x91\xEF\xBC\x90" "05,\xE6\x9D\xB1" "0\r\n   ,9,0\r\n"),
         [](ExtractionSettings& s) {
             test::csv_columns(s, 3, kWriteCsvComma);
             s.conditions[0].cmb_change = kConvertTrim;
             s.conditions[1].cmb_change = kConvertNumber;
             s.conditions[1].cmb_select = kCompareGreaterEqual;
             s.conditions[1].txt_key = "100";
             s.conditions[2].cmb_change = kConvertLeadingBlank;
         },
         "\"a\",\"\xEF\xBC\x91\xEF\xBC\x90" "05\",\" 0\"\r\n", ""},
        {"IS NULL: blank units", kReadUtf16, kWriteUtf8, le("  ,1\r\na,2\r\n"),
         [](ExtractionSettings& s) {
             test::csv_columns(s, 1, kWriteAsRead);
             s.conditions[0].cmb_select = kCompareIsNull;
         },
         "  ,1\r\n", ""},
    });
}

}  // namespace
}  // namespace lintavo
