// The header line of TEXT and CSV input: kept at the top of the output in
// every write mode but the template, counted, never tested; record by
// record and a block of lines at a time.
#include <gtest/gtest.h>

#include <functional>

#include "engine/messages.h"
#include "engine/run/run.h"
#include "engine/text/cp932.h"
#include "file_run.h"
#include "recording_host.h"
#include "test_support.h"

namespace lintavo {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;

constexpr auto sj = test::sjis;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kHead = sj("番号,氏名,都道府県");
const std::string kCustomers = kHead + "\r\n" + sj("1,山田,東京都\r\n2,佐藤,大阪府\r\n");

struct Case {
    const char* name;
    std::string input;
    std::function<void(ExtractionSettings&)> set;
    std::string output;
    std::int64_t read, written;
    std::string message = {};
};

// CSV columns 1 to 3 in use, column 3 compared with `key` by `comparison`.
std::function<void(ExtractionSettings&)> csv(int mode, int comparison = kCompareEqual, const char* key = "東京都") {
    return [=](ExtractionSettings& s) {
        s.cmb_type = kTypeCsv;
        for (int i = 0; i < 3; ++i) s.conditions[i].txt_ichi = std::to_string(i + 1);
        s.conditions[2].cmb_select = comparison;
        s.conditions[2].txt_key = sj(key);
        s.cmb_type_Write = mode;
    };
}

std::function<void(ExtractionSettings&)> keyword(const char* text, int kind) {
    return [=](ExtractionSettings& s) {
        s.keywords[1].txt_keyword = sj(text);
        s.keywords[1].cmb_keyword = kind;
    };
}

std::function<void(ExtractionSettings&)> off(std::function<void(ExtractionSettings&)> set) {
    return [=](ExtractionSettings& s) {
        set(s);
        s.chk_header = 0;
    };
}

void run_cases(const std::vector<Case>& cases, bool pauses) {
    for (const Case& c : cases) {
        ExtractionSettings s;
        s.chk_header = 1;
        if (c.set) c.set(s);
        const test::FileRun run = test::run_over(c.input, s, pauses);
        const std::string how = std::string(c.name) + (pauses ? " (with pauses)" : "");
        EXPECT_EQ(run.result.outcome, RunOutcome::Finished) << how;
        EXPECT_EQ(run.output, c.output) << how;
        EXPECT_EQ(run.result.counts.read, c.read) << how;
        EXPECT_EQ(run.result.counts.written, c.written) << how;
        EXPECT_EQ(run.messages, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message}) << how;
    }
}

TEST(HeaderRun, TheFirstLineIsKeptUntestedInItsWriteMode) {
    const std::string tokyo = sj("1,山田,東京都\r\n");
    const std::string utf8_head = "番号,氏名\xF0\x9F\x98\x80\r\n";  // 😀: no code page 932 code
    const std::vector<Case> cases = {
        {"as read, a condition the header fails", kCustomers, csv(kWriteAsRead), kHead + "\r\n" + tokyo, 3, 2},
        {"setting off: the header is a record", kCustomers, off(csv(kWriteAsRead)), tokyo, 3, 1},
        {"a condition the header passes writes it once", kCustomers, csv(kWriteAsRead, kCompareNotEqual, "大阪府"),
         kHead + "\r\n" + tokyo, 3, 2},
        {"joined", kCustomers, csv(kWriteJoined), sj("番号氏名都道府県\r\n1山田東京都\r\n"), 3, 2},
        {"template: not written, @0 counts data records", kCustomers,
         [](ExtractionSettings& s) {
             csv(kWriteTemplate)(s);
             s.txt_hinagata = sj("@0:@2");
         },
         sj("1:山田\r\n"), 3, 1},
        {"quoted CSV", kCustomers, csv(kWriteCsvComma), sj("\"番号\",\"氏名\",\"都道府県\"\r\n\"1\",\"山田\",\"東京都\"\r\n"), 3, 2},
        {"quoted with TABs", kCustomers, csv(kWriteCsvTab),
         sj("\"番号\"\t\"氏名\"\t\"都道府県\"\r\n\"1\"\t\"山田\"\t\"東京都\"\r\n"), 3, 2},
        {"TEXT: a keyword the header lacks", kCustomers, keyword("東京", kKeywordContains), kHead + "\r\n" + tokyo, 3, 2},
        {"TEXT: a keyword only the header holds", kCustomers, keyword("都道府県", kKeywordLacks), kCustomers, 3, 3},
        {"TEXT: byte positions cut the header too", "ABCD\r\nabcd\r\n",
         [](ExtractionSettings& s) {
             s.conditions[0].txt_len = "2";
             s.conditions[0].cmb_select = kCompareEqual;
             s.conditions[0].txt_key = "ab";
             s.cmb_type_Write = kWriteJoined;
         },
         "AB\r\nab\r\n", 2, 2},
        {"固定長: no header", "ABCDabcd",
         [](ExtractionSettings& s) {
             s.cmb_type = kTypeFixed;
             s.txt_RecordLength = "4";
             s.keywords[0].txt_keyword = "abc";
         },
         "abcd\r\n", 2, 1},
        {"an empty file has none", "", csv(kWriteAsRead), "", 0, 0},
        {"a file of the header alone", kHead, csv(kWriteCsvComma), sj("\"番号\",\"氏名\",\"都道府県\"\r\n"), 1, 1},
        {"UTF-8: the line after the byte order mark", kBom + "h\r\nx\r\n", keyword("y", kKeywordContains),
         kBom + "h\r\n", 2, 1},
        {"converted: what the header cannot hold is counted in record 1", utf8_head + "a\r\n",
         [](ExtractionSettings& s) {
             s.cmb_code = kReadUtf8;
             s.cmb_code_Write = kWriteShiftJis;
         },
         sj("番号,氏名〓\r\na\r\n"), 2, 2, msg::replaced(1, 1)},
    };
    run_cases(cases, true);
    run_cases(cases, false);
}

// The pause before record 1 comes before the header; the next one before
// record 100 as always; a stop at the first pause writes nothing; an edit
// at a pause changes nothing in the run.
TEST(HeaderRun, PausesAndStopsAroundTheHeader) {
    std::string input = "head\r\n";
    for (int i = 1; i < 250; ++i) input += "line " + std::to_string(i) + "\r\n";
    for (const bool stop : {false, true}) {
        TempDir dir;
        test::RecordingHost host;
        RunFiles files;
        host.settings.txt_ReadFile = dir.file("in");
        host.settings.txt_WriteFile = dir.file("out");
        host.settings.chk_header = 1;
        host.settings.cmb_type_Write = kWriteTemplate;
        host.settings.txt_hinagata = "@0";
        host.on_pause = [stop](test::RecordingHost& h, std::int64_t read) {
            if (stop && read == 0) h.stop = true;
            if (read == 100) h.settings.txt_hinagata = "n@0";  // for the next run
        };
        write_file(host.settings.txt_ReadFile, input);
        const RunResult r = cmd_select_Click(host, files);
        if (stop) {
            EXPECT_EQ(r.outcome, RunOutcome::Stopped);
            EXPECT_EQ(read_file(dir.file("out")), "");
            EXPECT_EQ(r.counts.read, 0);
            continue;
        }
        EXPECT_EQ(host.pauses_seen(), (std::vector<std::string>{"pause@0", "pause@0", "pause@100", "pause@200"}));
        const std::string out = read_file(dir.file("out"));
        EXPECT_TRUE(out.starts_with("1\r\n2\r\n")) << out.substr(0, 20);
        EXPECT_NE(out.find("\r\n99\r\n100\r\n"), std::string::npos);  // records 2 to 101 as 1 to 100
        EXPECT_EQ(r.counts.written, 249);
    }
}

}  // namespace
}  // namespace lintavo
