// lintavo-batch --preview: the table on standard output, no file written,
// the pattern still saved, and the run's checks with their exit status.
#include <gtest/gtest.h>

#include <filesystem>

#include "batch_support.h"

namespace lintavo {
namespace {

using test::BatchTest;
using test::Outcome;
using test::read_file;
using test::write_file;

// The sample customers: a header line, then six records, three in Tokyo.
class BatchPreviewTest : public BatchTest {
protected:
    void SetUp() override {
        std::filesystem::copy(std::string(LINTAVO_SOURCE_DIR) + "/samples", dir.file("samples"));
    }
};

TEST_F(BatchPreviewTest, TheTableOfASamplePattern) {
    const Outcome o = batch("--preview=4 --header -o out.txt --save-pattern saved.ptn samples/csv-tokyo.ptn");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out,
              "件目\t判定\t理由\t@1\t@2\t@3\t書出し内容\n"
              "1\t見出し\t\tコード\t氏名\t都道府県\t\n"  // the template writes no header
              "2\t○\t\t1001\t山田 太郎\t東京都\t1: 山田 太郎 (1001)\n"
              "3\t×\t@3\t1002\t鈴木 花子\t大阪府\t\n"
              "4\t○\t\t1003\t佐藤 一郎\t東京都\t2: 佐藤 一郎 (1003)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("build")));  // nor the pattern's own write file
    EXPECT_NE(read_file(dir.file("saved.ptn")).find("HEADERLINE=1\r\n"), std::string::npos);  // saved as with --no-run
}

TEST_F(BatchPreviewTest, EscapesConversionsAndTheDefaultCount) {
    std::string input;
    for (int i = 1; i <= 25; ++i) input += "r" + std::to_string(i) + "\r\n";
    write_file(dir.file("in.txt"), "a\tb\\c\x01\x82\r\n" + input);
    pattern("p.ptn", "READFILE=in.txt\r\nWRITEFILE=out.txt\r\nWRITEFILECODE=2\r\n");
    const Outcome o = batch("--preview p.ptn");  // a bare --preview takes no word after it
    EXPECT_EQ(o.status, 0) << o.err;
    // The line as written in UTF-8: the invalid byte was replaced by U+FFFD.
    EXPECT_EQ(o.out.substr(0, o.out.find('\n', o.out.find('\n') + 1) + 1),
              "件目\t判定\t理由\t書出し内容\n1\t○\t\ta\\tb\\\\c\\x01\xEF\xBF\xBD\n");
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 21);  // the names and 20 records
}

// --only-written: the first N records a run writes, from anywhere in the file.
TEST_F(BatchPreviewTest, OnlyTheWrittenRecords) {
    std::string input;
    for (int i = 1; i <= 3000; ++i) input += (i % 1000 == 0 ? "hit " : "r ") + std::to_string(i) + "\r\n";
    write_file(dir.file("in.txt"), input);
    pattern("p.ptn", "READFILE=in.txt\r\nKEYWORD000=0,       hit\r\nWRITEFILE=out.txt\r\n");
    const Outcome o = batch("--preview=2 --only-written p.ptn");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "件目\t判定\t理由\t書出し内容\n1000\t○\t\thit 1000\n2000\t○\t\thit 2000\n");
}

TEST_F(BatchPreviewTest, AFailedCheckPrintsTheMessageAndNothingElse) {
    pattern("nofile.ptn", "WRITEFILE=out.txt\r\n");
    pattern("missing.ptn", "READFILE=missing.txt\r\n");
    pattern("ok.ptn", "READFILE=samples/customers.csv\r\n");
    const struct {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {"--preview --save-pattern s.ptn nofile.ptn", 1, "読込むファイルを指定してください\n"},
        {"--preview --save-pattern s.ptn missing.ptn", 1, "読込むファイルを開けません: missing.txt\n"},
        {"--preview=0 ok.ptn", 2, "lintavo-batch: --preview takes a number from 1 to 1000000, not: 0\n"},
        {"--preview=1000001 ok.ptn", 2, "lintavo-batch: --preview takes a number from 1 to 1000000, not: 1000001\n"},
        {"--preview=+5 ok.ptn", 2, "lintavo-batch: --preview takes a number from 1 to 1000000, not: +5\n"},
        {"--preview= ok.ptn", 2, "lintavo-batch: --preview takes a number from 1 to 1000000, not: \n"},
    };
    for (const auto& c : cases) {
        const Outcome o = batch(c.args);
        EXPECT_EQ(o.status, c.status) << c.args;
        EXPECT_EQ(o.err.substr(0, o.err.find("Try '")), c.err) << c.args;
        EXPECT_EQ(o.out, "") << c.args;
        EXPECT_FALSE(std::filesystem::exists(dir.file("s.ptn"))) << c.args;
    }
    // Standard input as the file read.
    const Outcome stdin_read = batch("--preview=1 -i - ok.ptn", "x,y\r\n");
    EXPECT_EQ(stdin_read.out, "件目\t判定\t理由\t書出し内容\n1\t○\t\tx,y\n");
}

}  // namespace
}  // namespace lintavo
