// Runs over UTF-8 and Shift-JIS files in every pairing of read and write
// encoding: byte order marks, characters, conversion and its report.
#include <gtest/gtest.h>

#include <functional>

#include "engine/messages.h"
#include "engine/run/run.h"
#include "encoding_run_cases.h"
#include "recording_host.h"
#include "test_support.h"

namespace lintavo {
namespace {

using test::TempDir;
using test::write_file;

const std::string kBom = "\xEF\xBB\xBF";
using test::csv_columns;
using test::run_both_ways;

TEST(EncodingRun, ByteOrderMarks) {
    const auto fixed3 = [](ExtractionSettings& s) {
        s.cmb_type = kTypeFixed;
        s.txt_RecordLength = "3";
    };
    const auto first_byte = [](ExtractionSettings& s) {
        s.conditions[0].txt_ichi = "1";
        s.conditions[0].txt_len = "1";
        s.cmb_type_Write = kWriteJoined;
    };
    run_both_ways({
        {"a mark is written again as read", kReadUtf8, kWriteSameCode, kBom + "a\r\nb\r\n", nullptr, kBom + "a\r\nb\r\n", ""},
        {"no mark, none written", kReadUtf8, kWriteSameCode, "a\r\nb", nullptr, "a\r\nb\r\n", ""},
        {"UTF-8 without a mark drops it", kReadUtf8, kWriteUtf8, kBom + "a\r\n", nullptr, "a\r\n", ""},
        {"UTF-8 with a mark writes one", kReadUtf8, kWriteUtf8Bom, kBom + "a\r\n", nullptr, kBom + "a\r\n", ""},
        {"an empty result is the mark alone", kReadUtf8, kWriteUtf8Bom, "", nullptr, kBom, ""},
        {"a mark alone is no record", kReadUtf8, kWriteSameCode, kBom, nullptr, kBom, ""},
        {"a Shift-JIS file with a mark written", kReadShiftJis, kWriteUtf8Bom, "\x82\xA0\r\n", nullptr,
         kBom + "\xE3\x81\x82\r\n", ""},
        {"the mark is a mark of UTF-8 files only", kReadShiftJis, kWriteSameCode, kBom + "a\r\n", nullptr,
         kBom + "a\r\n", ""},
        {"not at the start it is data", kReadUtf8, kWriteSameCode, "a\r\n" + kBom + "b\r\n", nullptr,
         "a\r\n" + kBom + "b\r\n", ""},
        {"fixed-length records count from after it", kReadUtf8, kWriteUtf8, kBom + "abcdef", fixed3,
         "abc\r\ndef\r\n", ""},
        {"byte positions count from after it", kReadUtf8, kWriteSameCode, kBom + "xy\r\nzw\r\n", first_byte,
         kBom + "x\r\nz\r\n", ""},
    });
}

TEST(EncodingRun, CharactersOfUtf8Records) {
    const std::string tokyo_sjis = "\x93\x8C\x8B\x9E";           // 東京 in the settings
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";        // 東京 in the file
    const std::string a = "\xE3\x81\x82";                        // あ
    run_both_ways({
        {"a keyword from the settings matches the UTF-8 text", kReadUtf8, kWriteSameCode,
         "x" + tokyo + "\r\nno\r\n", [&](ExtractionSettings& s) { s.keywords[0].txt_keyword = tokyo_sjis; },
         "x" + tokyo + "\r\n", ""},
        {"an invalid byte as keyword matches the byte alone, not inside a character", kReadUtf8, kWriteSameCode,
         a + "\r\n\x82\r\n", [](ExtractionSettings& s) { s.keywords[0].txt_keyword = "\x82"; }, "\x82\r\n", ""},
        {"\"does not contain\" in UTF-8", kReadUtf8, kWriteSameCode, a + "\r\n\x82\r\n",
         [](ExtractionSettings& s) {
             s.keywords[0].txt_keyword = "\x82";
             s.keywords[0].cmb_keyword = kKeywordLacks;
         },
         a + "\r\n", ""},
        {"comparison by code points above U+FFFF", kReadUtf8, kWriteSameCode,
         "\xF0\x9F\x98\x80\r\n\xEE\x80\x80\r\nA\r\n",
         [](ExtractionSettings& s) {
             csv_columns(s, 1, kWriteAsRead);
             s.conditions[0].cmb_select = kCompareGreater;
             s.conditions[0].txt_key = "\x82\x60";  // Ａ, U+FF21
         },
         "\xF0\x9F\x98\x80\r\n", ""},
        {"equal texts", kReadUtf8, kWriteSameCode, tokyo + ",1\r\n" + tokyo + "x,2\r\n",
         [&](ExtractionSettings& s) {
             csv_columns(s, 1, kWriteAsRead);
             s.conditions[0].cmb_select = kCompareEqual;
             s.conditions[0].txt_key = tokyo_sjis;
         },
         tokyo + ",1\r\n", ""},
        {"the CSV splitter keeps UTF-8 characters whole", kReadUtf8, kWriteSameCode,
         "\"" + tokyo + "," + a + "\"\t" + a + "\r\n", [](ExtractionSettings& s) { csv_columns(s, 2, kWriteCsvComma); },
         "\"" + tokyo + "," + a + "\",\"" + a + "\"\r\n", ""},
        {"leading units become one blank each", kReadUtf8, kWriteSameCode, tokyo + "0" + a + "\r\n",
         [](ExtractionSettings& s) {
             csv_columns(s, 1, kWriteJoined);
             s.conditions[0].cmb_change = kConvertLeadingBlank;
         },
         "  0" + a + "\r\n", ""},
        {"template marks after a character that ends in 0x83", kReadUtf8, kWriteSameCode,
         "\xE3\x83\x83,2\r\n",  // ッ: read as code page 932, its last byte would join the "@" after it
         [](ExtractionSettings& s) {
             csv_columns(s, 2, kWriteTemplate);
             s.txt_hinagata = "@1@2\x81\x9A\r\n";  // ★
         },
         "\xE3\x83\x83" "2\xE2\x98\x85\r\n\r\n", ""},
    });
}

TEST(EncodingRun, ConvertsAndReportsWhatItReplaced) {
    const auto replaced = [](int n, int first) { return msg::replaced(n, first); };
    const auto first_byte = [](ExtractionSettings& s) {
        s.conditions[0].txt_ichi = "1";
        s.conditions[0].txt_len = "1";
        s.cmb_type_Write = kWriteJoined;
    };
    run_both_ways({
        {"Shift-JIS to UTF-8", kReadShiftJis, kWriteUtf8, "\x93\x8C\x8B\x9E\xB1\r\n", nullptr,
         "\xE6\x9D\xB1\xE4\xBA\xAC\xEF\xBD\xB1\r\n", ""},
        {"UTF-8 to Shift-JIS", kReadUtf8, kWriteShiftJis, kBom + "\xE6\x9D\xB1\r\n", nullptr, "\x93\x8C\r\n", ""},
        {"invalid bytes of Shift-JIS become U+FFFD", kReadShiftJis, kWriteUtf8, "ok\r\nok\r\n\x85\x40\x81\r\n\x82\r\n",
         nullptr, "ok\r\nok\r\n\xEF\xBF\xBD@\xEF\xBF\xBD\r\n\xEF\xBF\xBD\r\n", replaced(3, 3)},
        {"a character cut in half by a byte position", kReadShiftJis, kWriteUtf8Bom, "a\x82\xA0\r\n\x82\xA0\r\n", first_byte,
         kBom + "a\r\n\xEF\xBF\xBD\r\n", replaced(1, 2)},
        {"characters Shift-JIS has no code for become 〓", kReadUtf8, kWriteShiftJis,
         "a\r\n\xF0\x9F\x98\x80\xC3\xA9\r\n\xFF\r\n", nullptr, "a\r\n\x81\xAC\x81\xAC\r\n\x81\xAC\r\n", replaced(3, 2)},
        {"the template converts with the fields", kReadUtf8, kWriteShiftJis, "\xE6\x9D\xB1\r\n",
         [](ExtractionSettings& s) {
             csv_columns(s, 1, kWriteTemplate);
             s.txt_hinagata = "\x81\x9A@1";
         },
         "\x81\x9A\x93\x8C\r\n", ""},
        {"only the kept records count", kReadShiftJis, kWriteUtf8, "\x82\r\nkeep\x82\r\n",
         [](ExtractionSettings& s) { s.keywords[0].txt_keyword = "keep"; }, "keep\xEF\xBF\xBD\r\n", replaced(1, 2)},
        {"the same encoding twice writes as read", kReadShiftJis, kWriteShiftJis, "\x82\r\n", nullptr, "\x82\r\n", ""},
    });
}

TEST(EncodingRun, TheReportFollowsTheFailureOfAWrite) {
    test::RecordingHost host;
    RunFiles files;
    TempDir dir;
    host.settings.txt_ReadFile = dir.file("in");
    host.settings.txt_WriteFile = "/dev/full";
    host.settings.cmb_code_Write = kWriteUtf8;
    write_file(host.settings.txt_ReadFile, "\x82\r\n");
    const RunResult r = cmd_select_Click(host, files);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_EQ(host.messages, (std::vector<std::string>{std::string(msg::kWriteFailed), msg::replaced(1, 1)}));
}

}  // namespace
}  // namespace lintavo
