// lintavo-batch end to end: the program run on temporary files.
#include <gtest/gtest.h>

#include "batch_support.h"

namespace lintavo {
namespace {

using test::BatchTest;
using test::Outcome;
using test::quote;
using test::read_file;
using test::write_file;

TEST_F(BatchTest, RunsAPatternAndPrintsTheSummary) {
    // The pattern names its files in code page 932, as Windows writes them.
    pattern("p.txt", "READFILE=" + test::sjis("顧客.csv") +
                         "\r\nREADFILETYPE=1\r\nITEM000=     1,      ,01,00,a\r\nITEM001=     2,      ,00,01,\r\n"
                         "WRITEFILE=" + test::sjis("結果.txt") + "\r\nWRITEFILETYPE=3\r\n");
    write_file(dir.file("顧客.csv"), "a, x \r\nb,y\r\na,\"z\"\r\n");
    const Outcome o = batch("p.txt");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "読込件数:3\n書出件数:2\n");
    EXPECT_EQ(read_file(dir.file("結果.txt")), "\"a\",\"x\"\r\n\"a\",\"z\"\r\n");
}

TEST_F(BatchTest, StandardInputAndOutputInAPipe) {
    pattern("p.txt", "KEYWORD000=1,       skip\r\n");
    const Outcome o = batch("-q -i - -o - p.txt", "keep 1\nstill line 1\rskip me\r\nkeep 2");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "keep 1\nstill line 1\r\nkeep 2\r\n");
    EXPECT_EQ(o.err, "");
}

TEST_F(BatchTest, ExitStatusAndMessages) {
    pattern("empty.txt", "");
    pattern("bad index.txt", "READFILE=in.txt\r\nREADFILETYPE=7\r\nWRITEFILE=out.txt\r\nITEM002=     1,      ,42,00,\r\n");
    write_file(dir.file("in.txt"), "x\r\n");
    const struct {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {"missing.txt", 2, "抽出パターンファイルが見つかりません\n"},
        {".", 2, "抽出パターンファイルが見つかりません\n"},
        {"empty.txt", 1, "読込むファイルを指定してください\n"},
        {"-i in.txt empty.txt", 1, "抽出結果を書出すファイルを指定してください\n"},
        {"-i missing.txt -o out.txt empty.txt", 1,
         "読込むファイルを開けません: missing.txt\n読込件数:0\n書出件数:0\n"},
        {"-i in.txt -o in.txt empty.txt", 1, "読込むファイルと書出すファイルが同じです\n"},
        {"-q -i in.txt -o no/out.txt empty.txt", 1, "抽出結果を書出すファイルを開けません: no/out.txt\n"},
        {"'bad index.txt'", 0,
         "bad index.txt:2: READFILETYPE: 一覧にない番号 7 を無視しました\n"
         "bad index.txt:4: ITEM002 (比較条件): 一覧にない番号 42 を無視しました\n読込件数:1\n書出件数:1\n"},
        {"", 2, ""},
        {"a.txt b.txt", 2, ""},
        {"--frobnicate empty.txt", 2, ""},
        {"empty.txt -i", 2, ""},
    };
    for (const auto& c : cases) {
        const Outcome o = batch(c.args);
        EXPECT_EQ(o.status, c.status) << c.args;
        if (c.status == 2 && c.err.empty()) {  // one line, and where to read more
            EXPECT_TRUE(o.err.starts_with("lintavo-batch: ")) << c.args;
            EXPECT_TRUE(o.err.ends_with("\nTry 'lintavo-batch --help' for more information.\n")) << o.err;
            EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 2) << o.err;
        } else {
            EXPECT_EQ(o.err, c.err) << c.args;
        }
    }
}

// The help and the command line's errors speak Japanese in a Japanese
// locale, English otherwise, from the one option table.
TEST_F(BatchTest, HelpAndVersion) {
    EXPECT_EQ(batch("--version").out, "lintavo-batch 1.00.00\n");
    const struct {
        std::string lang, help_head, help_line, error;
    } cases[] = {
        {"C", "usage: lintavo-batch [OPTIONS] PATTERN", "  -q, --quiet              print no summary",
         "lintavo-batch: unknown option: --x\nTry 'lintavo-batch --help' for more information.\n"},
        {"ja_JP.UTF-8", "使い方: lintavo-batch [オプション] パターン", "  -q, --quiet              件数の要約を出さない",
         "lintavo-batch: 不明なオプションです: --x\n詳しくは lintavo-batch --help\n"},
    };
    for (const auto& c : cases) {
        lang = c.lang;
        const Outcome help = batch("-h");
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.starts_with(c.help_head)) << help.out;
        EXPECT_NE(help.out.find(c.help_line), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("--save-pattern PATH"), std::string::npos);
        EXPECT_EQ(batch("--x p.ptn").err, c.error);
    }
}

TEST_F(BatchTest, SavesThePatternWithFilledInStarts) {
    pattern("my pattern.txt", "READFILE=in.txt\r\nITEM000=      ,     2,00,00,\r\nITEM001=      ,     3,00,00,\r\n"
                              "WRITEFILE=out.txt\r\nWRITEFILETYPE=1\r\n");
    write_file(dir.file("in.txt"), "ABCDEFG\r\n");
    const Outcome o = batch("--save-pattern saved.txt 'my pattern.txt'");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(read_file(dir.file("out.txt")), "ABCDE\r\n");
    const std::string saved = read_file(dir.file("saved.txt"));
    EXPECT_NE(saved.find("ITEM000=     1,     2,00,00,\r\nITEM001=     3,     3,00,00,\r\n"), std::string::npos);

    // --no-run saves without running; a failed run saves nothing.
    std::filesystem::remove(dir.file("out.txt"));
    EXPECT_EQ(batch("--no-run --save-pattern copy.txt 'my pattern.txt'").status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
    EXPECT_NE(read_file(dir.file("copy.txt")).find("ITEM000=      ,     2,"), std::string::npos);
    EXPECT_EQ(batch("-i missing --save-pattern never.txt 'my pattern.txt'").status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("never.txt")));
    EXPECT_EQ(batch("--no-run --save-pattern no/where.txt 'my pattern.txt'").err,
              "抽出パターンファイルを保存できません: no/where.txt\n");
}

TEST_F(BatchTest, AClosedPipeIsAQuietSuccess) {
    pattern("p.txt", "");
    std::string big;
    for (int i = 0; i < 200000; ++i) big += "line of some length " + std::to_string(i) + "\r\n";
    write_file(dir.file("big.txt"), big);
    const std::string cmd = "cd " + quote(dir.path().string()) + " && " + test::under_test().command() +
                            " -q -i big.txt -o - p.txt 2> .stderr | head -c 10 > /dev/null; echo ${PIPESTATUS[0]} > .status";
    std::system(("bash -c " + quote(cmd)).c_str());
    EXPECT_EQ(read_file(dir.file(".status")), "0\n");
    EXPECT_EQ(read_file(dir.file(".stderr")), "");
}

TEST_F(BatchTest, TheSamplesRun) {
    // The samples name their files relative to the project folder.
    const std::string project = LINTAVO_SOURCE_DIR;
    const std::string cmd = "cd " + quote(project) + " && " + test::under_test().command() + " -q -o - samples/";
    const auto run = [&](const std::string& pattern) {
        const std::string out = dir.file("sample.out");
        std::system((cmd + pattern + " > " + quote(out)).c_str());
        return read_file(out);
    };
    EXPECT_EQ(run("csv-tokyo.ptn"),
              "1: \x8E\x52\x93\x63 \x91\xBE\x98\x59 (1001)\r\n"
              "2: \x8D\xB2\x93\xA1 \x88\xEA\x98\x59 (1003)\r\n"
              "3: \x93\x63\x92\x86 \x83\x7C\x83\x93\x91\xBE (1005)\r\n");
    EXPECT_EQ(run("text-errors.ptn"), "\"2026/12/01\",\"ERROR\"\r\n\"2026/12/01\",\"ERROR\"\r\n");
}

}  // namespace
}  // namespace lintavo
