// The preview against whole runs on the same input: the records it shows
// written are the lines a run writes, the others the records a run leaves
// out, each with the first test that failed; its limits, its checks, and
// the escapes of the batch runner's table.
#include <gtest/gtest.h>

#include <functional>

#include "engine/messages.h"
#include "engine/output/transcode.h"
#include "engine/run/preview.h"
#include "engine/run/run.h"
#include "engine/text/cp932.h"
#include "engine/text/escaped_text.h"
#include "file_run.h"
#include "test_support.h"

namespace lintavo {
namespace {

using test::TempDir;
using test::write_file;

const std::string kBom = "\xEF\xBB\xBF";

constexpr auto sj = test::sjis;

// What the preview handed out, copied.
struct Shown : PreviewSink {
    struct Row {
        std::int64_t number;
        PreviewKind kind;
        std::string reason, record;
        std::vector<std::string> fields;
        bool written;
        std::string line;
    };
    bool began = false;
    PreviewLayout layout;
    std::vector<Row> rows;
    void begin(const PreviewLayout& l) override {
        began = true;
        layout = l;
    }
    void record(const PreviewRecord& r) override {
        rows.push_back({r.number, r.kind, failed_test_name(r.verdict), std::string(r.record),
                        std::vector<std::string>(r.fields.begin(), r.fields.end()), r.written, std::string(r.line)});
    }
    // The lines written, each ended by CR LF in the write encoding, as a run writes them.
    std::string written_lines() const {
        std::string out;
        for (const Row& r : rows) {
            if (r.written) out += r.line + std::string(layout.lines.written_in(layout.write_encoding));
        }
        return out;
    }
};

PreviewResult preview_of(const ExtractionSettings& s, Shown& shown, PreviewLimits limits = {1000000, 0}) {
    RunFiles files;
    return preview(s, files, limits, shown);
}

// Customers as CSV lines, one with an invalid byte and one with a NEC
// duplicate code; the same lines cut by byte positions for TEXT.
std::string customers() {
    return sj("番号,氏名,都道府県,メモ\r\n"
              "0001,山田,東京都,x1\r\n"
              "0002,鈴木,大阪府,x2\r\n") +
           "0003,\x82,\x93\x8C\x8B\x9E\x93\x73,\x87\x40\r\n" +  // an invalid byte; 東京都; ① (NEC)
           sj("0004,佐藤,東京都,z\r\n"
              "0005,高橋,北海道,x5\r\n");
}

// The settings of one pass of the table: a read-file type, a write mode, a
// condition on the prefecture, a keyword in and one out.
ExtractionSettings settings_for(int type, int mode, int read_code, int write_code, bool header) {
    ExtractionSettings s;
    s.cmb_type = type;
    s.cmb_type_Write = mode;
    s.cmb_code = read_code;
    s.cmb_code_Write = write_code;
    s.chk_header = header ? 1 : 0;
    if (type == kTypeCsv) {
        for (int i = 0; i < 3; ++i) s.conditions[i].txt_ichi = std::to_string(i + 1);
        s.conditions[2].cmb_select = kCompareEqual;
        s.conditions[2].txt_key = sj("東京都");
    } else {
        // 番号 (4 bytes), then the prefecture's first two bytes at 5 + name.
        s.conditions[0].txt_len = "4";
        s.conditions[1].txt_ichi = "6";
        s.conditions[1].txt_len = "4";
        s.conditions[1].cmb_change = kConvertRtrim;
        s.conditions[1].cmb_select = kCompareNotEqual;
        s.conditions[1].txt_key = sj("鈴木");
    }
    s.keywords[0].txt_keyword = "x";
    s.keywords[2].txt_keyword = "5";
    s.keywords[2].cmb_keyword = kKeywordLacks;
    s.txt_hinagata = sj("@0:@2/@1\r\n");
    return s;
}

TEST(Preview, AgreesWithTheRunInEveryWriteModeTypeAndEncoding) {
    const std::string sjis = customers();
    const std::string utf8 = kBom + cp932::to_utf8(sjis);
    const std::string euc_jp(Transcoder(Encoding::Cp932, Encoding::EucJp).convert(sjis));
    const std::string utf16 = "\xFF\xFE" + std::string(Transcoder(Encoding::Cp932, Encoding::Utf16Le).convert(sjis));
    int checked = 0;
    for (const int type : {kTypeText, kTypeCsv}) {
        for (int mode = 0; mode <= 4; ++mode) {
            for (const auto& [read_code, write_code] : {std::pair{kReadShiftJis, kWriteSameCode},
                                                        std::pair{kReadShiftJis, kWriteUtf8},
                                                        std::pair{kReadUtf8, kWriteSameCode},
                                                        std::pair{kReadUtf8, kWriteShiftJis},
                                                        std::pair{kReadEucJp, kWriteUtf8},
                                                        std::pair{kReadUtf16, kWriteSameCode},
                                                        std::pair{kReadUtf16, kWriteEucJp}}) {
                for (const bool header : {false, true}) {
                    for (const bool pauses : {false, true}) {  // the block pass and the record pass
                        const std::string how = "type " + std::to_string(type) + " mode " + std::to_string(mode) +
                                                " codes " + std::to_string(read_code) + "/" +
                                                std::to_string(write_code) + (header ? " header" : "") +
                                                (pauses ? " pauses" : "");
                        const std::string& input = read_code == kReadUtf8    ? utf8
                                                   : read_code == kReadEucJp ? euc_jp
                                                   : read_code == kReadUtf16 ? utf16
                                                                             : sjis;
                        ExtractionSettings s = settings_for(type, mode, read_code, write_code, header);
                        TempDir dir;
                        s.txt_ReadFile = dir.file("in");
                        write_file(s.txt_ReadFile, input);
                        Shown shown;
                        const PreviewResult p = preview_of(s, shown);
                        const test::FileRun run = test::run_over(input, s, pauses);
                        const RunResult& r = run.result;
                        ASSERT_EQ(r.outcome, RunOutcome::Finished) << how;
                        ASSERT_FALSE(p.failure) << how << ": " << *p.failure;
                        std::string run_output = run.output;
                        if (run_output.starts_with(kBom)) run_output.erase(0, kBom.size());
                        if (run_output.starts_with("\xFF\xFE")) run_output.erase(0, 2);
                        EXPECT_EQ(shown.written_lines(), run_output) << how;
                        EXPECT_EQ(p.read, r.counts.read) << how;
                        EXPECT_EQ(p.written, r.counts.written) << how;
                        EXPECT_EQ(static_cast<std::int64_t>(shown.rows.size()), r.counts.read) << how;
                        for (const Shown::Row& row : shown.rows) {
                            EXPECT_EQ(row.kind == PreviewKind::HeldBack, !row.reason.empty()) << how << " #" << row.number;
                            EXPECT_EQ(row.written, row.kind == PreviewKind::Written ||
                                                       (row.kind == PreviewKind::Header && mode != kWriteTemplate))
                                << how << " #" << row.number;
                        }
                        EXPECT_EQ(shown.rows.front().kind == PreviewKind::Header, header) << how;
                        ++checked;
                    }
                }
            }
        }
    }
    EXPECT_EQ(checked, 2 * 5 * 7 * 2 * 2);
}

TEST(Preview, NamesTheFirstTestThatFailed) {
    ExtractionSettings s;
    s.cmb_type = kTypeCsv;
    for (int i = 0; i < 3; ++i) {
        s.conditions[i].txt_ichi = std::to_string(i + 1);
        s.conditions[i].cmb_select = kCompareEqual;
        s.conditions[i].txt_key = "a";
    }
    s.conditions[2].cmb_select = kCompareNone;  // row 3 tests nothing
    s.keywords[1].txt_keyword = "k";            // row 1 is empty and skipped
    s.keywords[3].txt_keyword = "z";
    s.keywords[3].cmb_keyword = kKeywordLacks;
    TempDir dir;
    s.txt_ReadFile = dir.file("in");
    const struct {
        const char* record;
        PreviewKind kind;
        const char* reason;
    } cases[] = {
        {"a,a,x,k", PreviewKind::Written, ""},
        {"b,a,x,k", PreviewKind::HeldBack, "@1"},
        {"b,b,x,z", PreviewKind::HeldBack, "@1"},  // failing four tests: the first condition row
        {"a,b,x,k", PreviewKind::HeldBack, "@2"},
        {"a,a,x,z", PreviewKind::HeldBack, "キーワード2"},  // both keywords fail: rows in order
        {"a,a,x,kz", PreviewKind::HeldBack, "キーワード4"},
    };
    std::string input;
    for (const auto& c : cases) input += std::string(c.record) + "\r\n";
    write_file(s.txt_ReadFile, input);
    Shown shown;
    preview_of(s, shown);
    ASSERT_EQ(shown.rows.size(), std::size(cases));
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        EXPECT_EQ(shown.rows[k].kind, cases[k].kind) << cases[k].record;
        EXPECT_EQ(shown.rows[k].reason, cases[k].reason) << cases[k].record;
    }
    EXPECT_EQ(shown.rows[3].fields, (std::vector<std::string>{"a", "b", "x"}));  // every row in use, held back or not
}

TEST(Preview, ReadsOnlyAsFarAsItsLimits) {
    TempDir dir;
    const struct {
        const char* name;
        std::string input;
        int type;
        PreviewLimits limits;
        std::int64_t shown;
        PreviewResult::Limit limit;
    } cases[] = {
        {"N records of more", "r1\r\nr2\r\nr3\r\n", kTypeText, {2, 0}, 2, PreviewResult::Limit::Records},
        {"N records of as many", "r1\r\nr2\r\n", kTypeText, {2, 0}, 2, PreviewResult::Limit::None},
        {"fewer records than N", "r1\r\nr2", kTypeText, {5, 0}, 2, PreviewResult::Limit::None},
        {"an empty input", "", kTypeText, {5, 0}, 0, PreviewResult::Limit::None},
        {"a record cut off by the bytes is not shown", "r1\r\nr2\r\nrecord3\r\n", kTypeText, {9, 10}, 2,
         PreviewResult::Limit::Bytes},
        {"the bytes end at a record's end", "r1\r\nr2\r\nr3\r\n", kTypeText, {9, 8}, 2, PreviewResult::Limit::Bytes},
        {"an input shorter than the bytes", "r1\r\nr2", kTypeText, {9, 100}, 2, PreviewResult::Limit::None},
        {"fixed-length records within the bytes", "abcdefghij", kTypeFixed, {9, 7}, 1, PreviewResult::Limit::Bytes},
        {"a short last record of the file is one", "abcdefghij", kTypeFixed, {9, 100}, 3, PreviewResult::Limit::None},
    };
    for (const auto& c : cases) {
        ExtractionSettings s;
        s.cmb_type = c.type;
        s.txt_RecordLength = "4";
        s.txt_ReadFile = dir.file("in");
        write_file(s.txt_ReadFile, c.input);
        Shown shown;
        const PreviewResult r = preview_of(s, shown, c.limits);
        EXPECT_FALSE(r.failure) << c.name;
        EXPECT_TRUE(shown.began) << c.name;
        EXPECT_EQ(static_cast<std::int64_t>(shown.rows.size()), c.shown) << c.name;
        EXPECT_EQ(r.read, c.shown) << c.name;
        EXPECT_EQ(r.limit, c.limit) << c.name;
    }
}

// The checks that concern reading and testing, with the run's messages;
// the write file is not needed. Nothing is shown then.
TEST(Preview, MakesTheRunsChecksOfReadingAndTesting) {
    TempDir dir;
    write_file(dir.file("in"), "a\r\n");
    const struct {
        std::function<void(ExtractionSettings&)> set;
        std::string message;  // empty: the preview is shown
    } cases[] = {
        {[](ExtractionSettings& s) { s.txt_ReadFile.clear(); }, std::string(msg::kNoReadFile)},
        {[](ExtractionSettings& s) { s.txt_WriteFile.clear(); }, ""},
        {[&](ExtractionSettings& s) { s.txt_WriteFile = s.txt_ReadFile; }, ""},  // nothing is written
        {[](ExtractionSettings& s) { s.cmb_type = -1; }, std::string(msg::kNoReadFileType)},
        {[](ExtractionSettings& s) {
             s.cmb_type = kTypeFixed;
             s.txt_RecordLength = "0.4";
         },
         std::string(msg::kBadRecordLength)},
        {[](ExtractionSettings& s) {
             s.keywords[1].txt_keyword = "?";
             s.set_unencodable(keyword_field(1), true);
         },
         std::string(msg::kUnencodable) + "キーワード2"},
        {[](ExtractionSettings& s) { s.conditions[0].txt_ichi = "-2"; }, msg::bad_start(0)},
        {[](ExtractionSettings& s) { s.conditions[0].txt_len = "-1"; }, msg::bad_length(0)},
        {[&](ExtractionSettings& s) { s.txt_ReadFile = dir.file("missing"); },
         std::string(msg::kCannotOpenInput) + dir.file("missing")},
        {[&](ExtractionSettings& s) { s.txt_ReadFile = dir.path().string(); },
         std::string(msg::kCannotOpenInput) + dir.path().string()},
    };
    for (const auto& c : cases) {
        ExtractionSettings s;
        s.txt_ReadFile = dir.file("in");
        s.txt_WriteFile = dir.file("out");
        c.set(s);
        const ExtractionSettings before = s;
        Shown shown;
        const PreviewResult r = preview_of(s, shown);
        EXPECT_EQ(r.failure.value_or(""), c.message);
        EXPECT_EQ(shown.began, c.message.empty()) << c.message;
        EXPECT_EQ(s, before);  // start positions are filled in for the preview only
        EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
    }
}

TEST(Preview, EscapesInTheBatchTable) {
    const struct {
        Encoding encoding;
        std::string bytes, shown;
    } cases[] = {
        {Encoding::Cp932, "a\tb\rc\nd", "a\\tb\\rc\\nd"},
        {Encoding::Cp932, "C:\\tmp", "C:\\\\tmp"},
        {Encoding::Cp932, std::string("\x01\x1F\x7F", 3) + std::string(1, '\0'), "\\x01\\x1F\\x7F\\x00"},
        {Encoding::Cp932, "\x93\x8C\x8B\x9E", "東京"},
        {Encoding::Cp932, "\x82", "\\x82"},            // a character cut in half
        {Encoding::Cp932, "\x82\x20", "\\x82 "},       // a lead byte before a byte that ends no character
        {Encoding::Cp932, "\x80\xA0\xFD", "\\x80\xEF\xA3\xB0\xEF\xA3\xB1"},  // U+0080 escaped, U+F8F0 and U+F8F1 shown
        {Encoding::Utf8, "\xC2\x85x\xC2\xA0", "\\x85x\xC2\xA0"},  // U+0085 escaped, U+00A0 shown
        {Encoding::Utf8, "\xE6\x9D", "\\xE6\\x9D"},    // a character cut in half
        {Encoding::Utf8, "\xFF\xF0\x9F\x98\x80", "\\xFF\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(escaped_text(c.encoding, c.bytes), c.shown) << c.bytes;
}

}  // namespace
}  // namespace lintavo
