#include "engine/run/run.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "engine/messages.h"
#include "memory_files.h"
#include "recording_host.h"
#include "test_support.h"

namespace lintavo {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;
using test::RecordingHost;

class RunTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingHost host;
    RunFiles files;
    std::string in = dir.file("in.txt");
    std::string out = dir.file("out.txt");

    void SetUp() override {
        host.settings.txt_ReadFile = in;
        host.settings.txt_WriteFile = out;
    }
    RunResult run(const std::string& input) {
        write_file(in, input);
        return cmd_select_Click(host, files);
    }
};

TEST_F(RunTest, PassesEveryRecordThroughUnchangedWithCrLf) {
    const RunResult r = run("a\r\nb\rc\nd\r\n\r\nlast");
    EXPECT_EQ(r.outcome, RunOutcome::Finished);
    EXPECT_EQ(read_file(out), "a\r\nb\r\nc\nd\r\n\r\nlast\r\n");
    EXPECT_EQ(r.counts.read, 5);
    EXPECT_EQ(r.counts.written, 5);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.events.front(), "busy");
    EXPECT_EQ(host.events.back(), "default");
}

TEST_F(RunTest, KeepsEveryByteOfInvalidAndDuplicateCodes) {
    std::string odd;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r') odd.push_back(static_cast<char>(b));
    }
    odd += "\x87\x9A\x81\xE6\xED\x40\xFA\x5C\x81";
    host.settings.keywords[0].txt_keyword = "\x81\xE6";  // ∵, found in both codes
    run(odd + "\r\n" + odd);
    EXPECT_EQ(read_file(out), odd + "\r\n" + odd + "\r\n");
}

TEST_F(RunTest, EmptyInputGivesAnEmptyOutputAndNoNumbers) {
    write_file(out, "old contents");
    const RunResult r = run("");
    EXPECT_EQ(r.outcome, RunOutcome::Finished);
    EXPECT_EQ(read_file(out), "");
    EXPECT_EQ(host.events, (std::vector<std::string>{"busy", "読込件数:0 書出件数:0", "pause@0", "読込件数:0 書出件数:0", "default"}));
}

TEST_F(RunTest, ChecksComeInTheirOrderAndChangeNothing) {
    const struct {
        std::function<void(ExtractionSettings&)> change;
        std::string message;
    } cases[] = {
        {[](ExtractionSettings& s) { s.txt_ReadFile.clear(); s.txt_WriteFile.clear(); }, std::string(msg::kNoReadFile)},
        {[](ExtractionSettings& s) { s.txt_WriteFile.clear(); }, std::string(msg::kNoWriteFile)},
        {[](ExtractionSettings& s) { s.cmb_type = kNoEntry; }, std::string(msg::kNoReadFileType)},
        {[](ExtractionSettings& s) { s.cmb_type = kTypeFixed; s.txt_RecordLength = "0.5"; }, std::string(msg::kBadRecordLength)},
        {[](ExtractionSettings& s) { s.cmb_type = kTypeFixed; s.txt_RecordLength = "abc"; }, std::string(msg::kBadRecordLength)},
        {[](ExtractionSettings& s) { s.txt_WriteFile = s.txt_ReadFile; }, std::string(msg::kSameFile)},
        {[](ExtractionSettings& s) { s.txt_WriteFile = s.txt_ReadFile.substr(0, s.txt_ReadFile.find_last_of("/\\")) + "/./in.txt"; },
         std::string(msg::kSameFile)},
        {[](ExtractionSettings& s) {
             s.cmb_type_Write = kWriteTemplate;
             s.set_unencodable(TextField::Template, true);
         },
         "Shift-JISで表せない文字があります: 書出しパターン"},
        {[](ExtractionSettings& s) {
             s.conditions[0].txt_len = "1";  // in use once its start is filled in
             s.conditions[1].txt_len = "1";
             s.conditions[1].cmb_select = kCompareLess;
             s.set_unencodable(key_field(1), true);
         },
         "Shift-JISで表せない文字があります: @2の比較内容"},
        {[](ExtractionSettings& s) {
             s.keywords[2].txt_keyword = "?";
             s.set_unencodable(keyword_field(2), true);
         },
         "Shift-JISで表せない文字があります: キーワード3"},
        // Texts an EUC-JP file cannot hold: the user-defined area, the single byte 0x80.
        {[](ExtractionSettings& s) {
             s.cmb_code = kReadEucJp;
             s.conditions[0].txt_ichi = "1";
             s.conditions[0].cmb_select = kCompareEqual;
             s.conditions[0].txt_key = "\xF0\x40";
         },
         "EUC-JPで表せない文字があります: @1の比較内容"},
        {[](ExtractionSettings& s) {
             s.cmb_code = kReadEucJp;
             s.cmb_type_Write = kWriteTemplate;
             s.txt_hinagata = "@0\x80";
             s.keywords[0].txt_keyword = "\xF0\x40";
         },
         "EUC-JPで表せない文字があります: 書出しパターン"},
        {[](ExtractionSettings& s) {
             s.cmb_code = kReadUtf16;
             s.keywords[1].txt_keyword = "a\x82";  // a lone first byte
         },
         "UTF-16で表せない文字があります: キーワード2"},
    };
    for (const auto& c : cases) {
        host.settings = ExtractionSettings{};
        host.settings.txt_ReadFile = in;
        host.settings.txt_WriteFile = out;
        host.messages.clear();
        host.events.clear();
        std::filesystem::remove(out);
        c.change(host.settings);
        const ExtractionSettings before = host.settings;
        write_file(in, "x\r\n");
        const RunResult r = cmd_select_Click(host, files);
        EXPECT_EQ(r.outcome, RunOutcome::CheckFailed);
        EXPECT_EQ(host.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(host.events.empty());
        EXPECT_EQ(host.settings, before);
        if (host.settings.txt_WriteFile == out) {
            EXPECT_FALSE(std::filesystem::exists(out));
        }
        EXPECT_EQ(read_file(in), "x\r\n");
    }
}

TEST_F(RunTest, UnencodableTextsThatAreNotUsedDoNotStopTheRun) {
    host.settings.set_unencodable(TextField::Template, true);  // write mode 0 does not use it
    host.settings.conditions[0].txt_ichi = "1";
    host.settings.set_unencodable(key_field(0), true);  // no comparison
    host.settings.set_unencodable(key_field(3), true);  // not in use
    host.settings.conditions[3].cmb_select = kCompareEqual;
    EXPECT_EQ(run("x").outcome, RunOutcome::Finished);
}

TEST_F(RunTest, FillsInStartPositions) {
    const struct {
        std::vector<std::pair<std::string, std::string>> rows;  // start, length
        std::vector<std::string> starts;
    } cases[] = {
        {{{"", "5"}, {"", "3"}, {"", "10"}, {"", ""}, {"7", "7"}}, {"1", "6", "9", "", "7"}},
        {{{"3", "4"}, {"", "2"}}, {"3", "7"}},
        {{{"4", ""}, {"", "3"}}, {"4", "4"}},
        {{{"", "1.5"}, {"", "1"}}, {"1", "2.5"}},
        {{{"", ""}, {"", "5"}}, {"", ""}},
        {{{"0010", "5"}, {"", "2"}}, {"0010", "15"}},
    };
    for (const auto& c : cases) {
        host.settings.conditions = {};
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            host.settings.conditions[i].txt_ichi = c.rows[i].first;
            host.settings.conditions[i].txt_len = c.rows[i].second;
        }
        run("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        for (std::size_t i = 0; i < c.starts.size(); ++i) EXPECT_EQ(host.settings.conditions[i].txt_ichi, c.starts[i]) << i;
    }
}

TEST_F(RunTest, ReportsBadStartsAndLengthsAfterFillingIn) {
    const struct {
        std::vector<std::pair<std::string, std::string>> rows;
        std::string message;
    } cases[] = {
        {{{"0", "1"}}, "@1の開始位置が正しくありません"},
        {{{"1", "1"}, {" ", "1"}}, "@2の開始位置が正しくありません"},
        {{{"1", "1"}, {"2", "-1"}}, "@2の長さが正しくありません"},
        {{{"-1", "-1"}}, "@1の開始位置が正しくありません"},
        {{{"1", "-0.4"}}, ""},  // made whole it is 0
        {{{"", "-3"}, {"", "2"}}, "@1の長さが正しくありません"},
        {{{"99999999999", "2"}}, ""},  // far past the end: the empty text
        {{{"1", "1e30"}}, ""},         // the rest of the record
    };
    for (const auto& c : cases) {
        host.settings.conditions = {};
        host.messages.clear();
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            host.settings.conditions[i].txt_ichi = c.rows[i].first;
            host.settings.conditions[i].txt_len = c.rows[i].second;
        }
        const RunResult r = run("x");
        if (c.message.empty()) {
            EXPECT_EQ(r.outcome, RunOutcome::Finished);
            EXPECT_TRUE(host.messages.empty());
        } else {
            EXPECT_EQ(r.outcome, RunOutcome::CheckFailed);
            EXPECT_EQ(host.messages, std::vector<std::string>{c.message});
        }
    }
    // The filled-in start stays although the check failed.
    EXPECT_EQ(host.settings.conditions[0].txt_ichi, "1");
    // CSV input: the start is a column, from 1; there is no length to check.
    host.settings.cmb_type = kTypeCsv;
    host.settings.conditions = {};
    host.settings.conditions[0].txt_ichi = "0";
    host.settings.conditions[0].txt_len = "-1";
    host.messages.clear();
    EXPECT_EQ(run("x").outcome, RunOutcome::CheckFailed);
    EXPECT_EQ(host.messages, std::vector<std::string>{msg::bad_column(0)});
}

TEST_F(RunTest, PausesBeforeEveryHundredthRecord) {
    std::string input;
    for (int i = 1; i <= 250; ++i) input += std::to_string(i) + "\r\n";
    const RunResult r = run(input);
    EXPECT_EQ(host.pauses_seen(), (std::vector<std::string>{"pause@0", "pause@0", "pause@100", "pause@200"}));
    EXPECT_EQ(r.counts.read, 250);
    EXPECT_EQ(host.events[host.events.size() - 2], "読込件数:250 書出件数:250");
}

// The run works on the settings it took when it started: an edit at any
// pause, the one before the files are opened included, is for the next run.
TEST_F(RunTest, AnEditDuringTheRunChangesNothingInIt) {
    const std::function<void(ExtractionSettings&)> edits[] = {
        [](ExtractionSettings& s) {
            s.keywords[0].txt_keyword = "3";
            s.cmb_type_Write = kWriteTemplate;
            s.txt_hinagata = "@0:x";
        },
        [](ExtractionSettings& s) { s.cmb_type = kNoEntry; },  // would fail its check
        [](ExtractionSettings& s) { s.txt_WriteFile.clear(); },
    };
    std::string input;
    for (int i = 1; i <= 150; ++i) input += std::to_string(i) + "\r\n";
    for (const std::int64_t at : {0, 100}) {
        for (const auto& edit : edits) {
            host.messages.clear();
            host.on_pause = [&](RecordingHost& h, std::int64_t read) {
                if (read == at) edit(h.settings);
            };
            std::filesystem::remove(out);
            const RunResult r = run(input);
            EXPECT_EQ(r.outcome, RunOutcome::Finished);
            EXPECT_TRUE(host.messages.empty());
            EXPECT_EQ(read_file(out), input);
            host.settings = {};
            SetUp();
        }
    }
}

TEST_F(RunTest, StopsBetweenTwoRecordsWithCompleteLines) {
    std::string input;
    for (int i = 1; i <= 1000; ++i) input += "line " + std::to_string(i) + "\r\n";
    host.on_pause = [](RecordingHost& h, std::int64_t read) {
        if (read == 300) h.stop = true;
    };
    const RunResult r = run(input);
    EXPECT_EQ(r.outcome, RunOutcome::Stopped);
    EXPECT_EQ(r.counts.read, 300);
    const std::string got = read_file(out);
    EXPECT_EQ(got, input.substr(0, got.size()));
    EXPECT_EQ(got.substr(got.size() - 10), "line 300\r\n");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(RunTest, FixedLengthRecordsWithAShortLastOne) {
    host.settings.cmb_type = kTypeFixed;
    host.settings.txt_RecordLength = "4.5";  // 4
    host.settings.conditions[0].txt_len = "2";
    host.settings.cmb_type_Write = kWriteCsvComma;
    run("AB\r\nCDEFGHI");
    EXPECT_EQ(read_file(out), "\"AB\"\r\n\"CD\"\r\n\"GH\"\r\n");
}

TEST_F(RunTest, CsvColumnsFilteredAndWrittenAsCsv) {
    host.settings.cmb_type = kTypeCsv;
    host.settings.conditions[0].txt_ichi = "1";
    host.settings.conditions[0].cmb_select = kCompareEqual;
    host.settings.conditions[0].txt_key = "\x93\x8C\x8B\x9E";  // 東京
    host.settings.conditions[1].txt_ichi = "2";
    host.settings.conditions[1].cmb_change = kConvertTrim;
    host.settings.cmb_type_Write = kWriteCsvTab;
    run("\"\x93\x8C\x8B\x9E\", 1 ,x\r\n\x91\xE5\x8D\xE3,2\r\n\x93\x8C\x8B\x9E\r\n");
    EXPECT_EQ(read_file(out), "\"\x93\x8C\x8B\x9E\"\t\"1\"\r\n\"\x93\x8C\x8B\x9E\"\t\"\"\r\n");
}

// Opens files that fail as the test asks.
class FailingFiles : public RunFiles {
public:
    bool input_fails = false, output_fails = false;
    long long read_fails_after = -1;
    std::size_t write_fails_after = static_cast<std::size_t>(-1);

    std::unique_ptr<ByteSource> open_input(const std::string& path) override {
        if (input_fails) return nullptr;
        struct Src : ByteSource {
            std::string data;
            std::size_t pos = 0;
            long long fail;
            long long read(char* b, std::size_t n) override {
                if (fail >= 0 && static_cast<long long>(pos) >= fail) return -1;
                const std::size_t k = std::min<std::size_t>({n, 10, data.size() - pos});
                std::memcpy(b, data.data() + pos, k);
                pos += k;
                return static_cast<long long>(k);
            }
        };
        auto s = std::make_unique<Src>();
        s->data = read_file(path);
        s->fail = read_fails_after;
        return s;
    }
    std::unique_ptr<ByteSink> open_output(const std::string& path) override {
        if (output_fails) return nullptr;
        struct Sink : ByteSink {
            std::string path;
            std::size_t left;
            bool write(const char* b, std::size_t n) override {
                if (n > left) return false;
                left -= n;
                std::ofstream(path, std::ios::binary | std::ios::app).write(b, static_cast<std::streamsize>(n));
                return true;
            }
        };
        auto s = std::make_unique<Sink>();
        s->path = path;
        s->left = write_fails_after;
        return s;
    }
};

TEST_F(RunTest, ReportsFilesThatFail) {
    const struct {
        std::function<void(FailingFiles&)> setup;
        std::string message;
    } cases[] = {
        {[](FailingFiles& f) { f.input_fails = true; }, std::string(msg::kCannotOpenInput) + "IN"},
        {[](FailingFiles& f) { f.output_fails = true; }, std::string(msg::kCannotOpenOutput) + "OUT"},
        {[](FailingFiles& f) { f.read_fails_after = 20; }, std::string(msg::kReadFailed)},
        {[](FailingFiles& f) { f.write_fails_after = 0; }, std::string(msg::kWriteFailed)},
    };
    for (const auto& c : cases) {
        FailingFiles failing;
        c.setup(failing);
        host.messages.clear();
        host.events.clear();
        write_file(in, "aaaa\r\nbbbb\r\ncccc\r\ndddd\r\neeee\r\n");
        std::filesystem::remove(out);
        const RunResult r = cmd_select_Click(host, failing);
        std::string message = c.message;
        if (message.ends_with("IN")) message = message.substr(0, message.size() - 2) + in;
        if (message.ends_with("OUT")) message = message.substr(0, message.size() - 3) + out;
        EXPECT_EQ(r.outcome, RunOutcome::Failed);
        EXPECT_EQ(host.messages, std::vector<std::string>{message});
        EXPECT_EQ(host.events.back(), "default");
        if (failing.input_fails) {
            EXPECT_FALSE(std::filesystem::exists(out));
        }
        if (failing.read_fails_after >= 0) {
            EXPECT_EQ(read_file(out), "aaaa\r\nbbbb\r\ncccc\r\n");
        }
    }
}

TEST_F(RunTest, RealFilesThatCannotBeOpened) {
    host.settings.txt_ReadFile = dir.file("missing.txt");
    cmd_select_Click(host, files);
    EXPECT_EQ(host.messages.back(), std::string(msg::kCannotOpenInput) + dir.file("missing.txt"));
    EXPECT_FALSE(std::filesystem::exists(out));

    host.settings.txt_ReadFile = dir.path().string();  // a folder
    cmd_select_Click(host, files);
    EXPECT_EQ(host.messages.back(), std::string(msg::kCannotOpenInput) + dir.path().string());

    host.settings.txt_ReadFile = in;
    host.settings.txt_WriteFile = dir.file("no/such/folder/out.txt");
    write_file(in, "x");
    cmd_select_Click(host, files);
    EXPECT_EQ(host.messages.back(), std::string(msg::kCannotOpenOutput) + dir.file("no/such/folder/out.txt"));

    if (std::filesystem::exists("/dev/full")) {
        host.settings.txt_WriteFile = "/dev/full";
        const RunResult r = cmd_select_Click(host, files);
        EXPECT_EQ(r.outcome, RunOutcome::Failed);
        EXPECT_EQ(host.messages.back(), msg::kWriteFailed);
        EXPECT_EQ(r.counts.read, 1);
    }
}

TEST_F(RunTest, HostWithoutPausesIsNeverAskedToProcessEvents) {
    host.pauses = false;
    std::string input;
    for (int i = 0; i < 300; ++i) input += "x\r\n";
    const RunResult r = run(input);
    EXPECT_TRUE(host.pauses_seen().empty());
    EXPECT_EQ(r.counts.written, 300);
}

TEST_F(RunTest, AFullOutputKeepsWholeRecordsAndCountsThem) {
    std::string input;
    for (int i = 0; i < 40000; ++i) input += "record " + std::to_string(i) + std::string(i % 37, 'x') + "\r\n";
    input += std::string(300000, 'L') + "\r\ntail\r\n";  // a line longer than the output buffer
    const struct {
        int write_mode;
        const char* hinagata;
        int lines_per_record;  // CR LF pairs in each record's output
    } modes[] = {
        {kWriteAsRead, "", 1},                     // lines written as blocks
        {kWriteCsvComma, "", 1},                   // line by line
        {kWriteTemplate, "@0\r\n@1\r\n", 3},       // a record's output holds line breaks of its own
    };
    for (const auto& m : modes) {
        host.settings.cmb_type_Write = m.write_mode;
        host.settings.txt_hinagata = m.hinagata;
        host.settings.conditions[0].txt_ichi = m.write_mode == kWriteAsRead ? "" : "1";
        host.settings.conditions[0].txt_len = m.write_mode == kWriteAsRead ? "" : "12";
        test::MemoryFiles files;  // its output takes `room` bytes, then fails as a full disk does
        files.input = input;
        files.largest_piece = 1 << 20;
        ASSERT_EQ(cmd_select_Click(host, files).outcome, RunOutcome::Finished);
        const std::string whole = files.output;
        for (std::size_t room : {std::size_t{0}, std::size_t{1}, std::size_t{5000}, std::size_t{262150},
                                 std::size_t{700001}, whole.size() - 1}) {
            if (room >= whole.size()) continue;
            for (bool cut_back : {true, false}) {
                SCOPED_TRACE("mode " + std::to_string(m.write_mode) + " room " + std::to_string(room) +
                             (cut_back ? "" : " (no cutting back)"));
                files.room = room;
                files.cut_back = cut_back;
                host.messages.clear();
                const RunResult r = cmd_select_Click(host, files);
                EXPECT_EQ(r.outcome, RunOutcome::Failed);
                EXPECT_EQ(host.messages, std::vector<std::string>{std::string(msg::kWriteFailed)});
                ASSERT_LE(files.output.size(), room);
                EXPECT_EQ(whole.compare(0, files.output.size(), files.output), 0);
                if (!cut_back) continue;  // what went in stays; the count is of whole records all the same
                // Only whole records are left, and the count says how many.
                std::size_t breaks = 0;
                for (std::size_t at = 0; (at = files.output.find("\r\n", at)) != std::string::npos; at += 2) ++breaks;
                EXPECT_EQ(static_cast<std::int64_t>(breaks), r.counts.written * m.lines_per_record);
                EXPECT_TRUE(files.output.empty() || files.output.ends_with("\r\n"));
                EXPECT_GT(r.counts.read, r.counts.written);
            }
        }
    }
}

}  // namespace
}  // namespace lintavo
