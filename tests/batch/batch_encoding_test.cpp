// lintavo-batch over UTF-8 and Shift-JIS files: every pairing of the two
// encodings, the options that choose them and the replacement warning.
#include <gtest/gtest.h>

#include "batch_support.h"

namespace lintavo {
namespace {

using test::BatchTest;
using test::Outcome;
using test::read_file;
using test::write_file;

const std::string kBom = "\xEF\xBB\xBF";
// The same records in both encodings: 東京 and ｱ, one kept by the keyword 東.
const std::string kSjis = "\x93\x8C\x8B\x9E,\xB1\r\nskip\r\n";
const std::string kUtf8 = "\xE6\x9D\xB1\xE4\xBA\xAC,\xEF\xBD\xB1\r\nskip\r\n";
const std::string kSjisKept = "\x93\x8C\x8B\x9E,\xB1\r\n";
const std::string kUtf8Kept = "\xE6\x9D\xB1\xE4\xBA\xAC,\xEF\xBD\xB1\r\n";

TEST_F(BatchTest, EveryPairingOfEncodings) {
    // The keyword is code page 932 text in the pattern, whatever the files.
    pattern("p.ptn", "READFILE=in\r\nKEYWORD000=0,       \x93\x8C\r\nWRITEFILE=out\r\n");
    write_file(dir.file("sjis"), kSjis);
    write_file(dir.file("utf8"), kUtf8);
    write_file(dir.file("utf8bom"), kBom + kUtf8);
    const struct {
        std::string input, options, output;
    } cases[] = {
        {"sjis", "", kSjisKept},
        {"sjis", "--read-code shift-jis --write-code same", kSjisKept},
        {"sjis", "--write-code shift-jis", kSjisKept},
        {"sjis", "--write-code utf-8", kUtf8Kept},
        {"sjis", "--write-code utf-8-bom", kBom + kUtf8Kept},
        {"utf8", "--read-code utf-8", kUtf8Kept},
        {"utf8bom", "--read-code utf-8", kBom + kUtf8Kept},
        {"utf8bom", "--read-code utf-8 --write-code utf-8", kUtf8Kept},
        {"utf8", "--read-code utf-8 --write-code utf-8-bom", kBom + kUtf8Kept},
        {"utf8bom", "--read-code utf-8 --write-code shift-jis", kSjisKept},
        {"utf8", "", ""},  // read as Shift-JIS, the keyword is not there
    };
    for (const auto& c : cases) {
        const Outcome o = batch("-q -i " + c.input + " " + c.options + " p.ptn");
        EXPECT_EQ(o.status, 0) << c.input << " " << c.options << ": " << o.err;
        EXPECT_EQ(o.err, "") << c.input << " " << c.options;
        EXPECT_EQ(read_file(dir.file("out")), c.output) << c.input << " " << c.options;
    }
}

TEST_F(BatchTest, ThePatternsEncodingsAndTheOptionsOverThem) {
    pattern("u.ptn", "READFILE=in\r\nWRITEFILE=out\r\nREADFILECODE=1\r\nWRITEFILECODE=1\r\n");
    write_file(dir.file("in"), kBom + kUtf8);
    EXPECT_EQ(batch("-q u.ptn").status, 0);
    EXPECT_EQ(read_file(dir.file("out")), kSjis);
    EXPECT_EQ(batch("-q --write-code same u.ptn").status, 0);
    EXPECT_EQ(read_file(dir.file("out")), kBom + kUtf8);

    // --save-pattern keeps what the options chose; back at the first entries, the keys go.
    EXPECT_EQ(batch("--no-run --read-code shift-jis --write-code utf-8-bom --save-pattern s.ptn u.ptn").status, 0);
    const std::string saved = read_file(dir.file("s.ptn"));
    EXPECT_NE(saved.find("WRITEFILETYPE=0\r\nWRITEFILECODE=3\r\n[WRITEPATTERN]"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("READFILECODE"), std::string::npos);
    EXPECT_EQ(batch("--no-run --read-code shift-jis --write-code same --save-pattern t.ptn u.ptn").status, 0);
    EXPECT_EQ(read_file(dir.file("t.ptn")).find("CODE="), std::string::npos);
}

TEST_F(BatchTest, ReplacementsAreAWarningAndTheRunSucceeds) {
    pattern("p.ptn", "READFILE=in\r\nWRITEFILE=out\r\n");
    write_file(dir.file("in"), "ok\r\n\xF0\x9F\x98\x80 \xFF\r\n\xE2\x91\xA0\r\n");  // 😀, a stray byte, ①
    const Outcome o = batch("--read-code utf-8 --write-code shift-jis p.ptn");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "書出しの文字コードで表せない文字を置き換えました: 2文字(最初は2件目)\n読込件数:3\n書出件数:3\n");
    EXPECT_EQ(read_file(dir.file("out")), "ok\r\n\x81\xAC \x81\xAC\r\n\x87\x40\r\n");
    EXPECT_EQ(batch("-q --read-code utf-8 --write-code shift-jis p.ptn").err,
              "書出しの文字コードで表せない文字を置き換えました: 2文字(最初は2件目)\n");
}

TEST_F(BatchTest, TheHeaderLineFromThePatternAndTheOptions) {
    pattern("off.ptn", "READFILE=in\r\nKEYWORD000=0,       x\r\nWRITEFILE=out\r\n");
    pattern("on.ptn", "READFILE=in\r\nKEYWORD000=0,       x\r\nWRITEFILE=out\r\nHEADERLINE=1\r\n");
    write_file(dir.file("in"), "head\r\nx1\r\ny\r\n");
    const struct {
        std::string args, output, saved_key;
    } cases[] = {
        {"off.ptn", "x1\r\n", ""},
        {"on.ptn", "head\r\nx1\r\n", "HEADERLINE=1\r\n"},
        {"--header off.ptn", "head\r\nx1\r\n", "HEADERLINE=1\r\n"},
        {"--no-header on.ptn", "x1\r\n", ""},
        {"--header --no-header off.ptn", "x1\r\n", ""},  // the last one given holds
        {"--no-header --header off.ptn", "head\r\nx1\r\n", "HEADERLINE=1\r\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = batch("-q --save-pattern s.ptn " + c.args);
        EXPECT_EQ(o.status, 0) << c.args << ": " << o.err;
        EXPECT_EQ(read_file(dir.file("out")), c.output) << c.args;
        const std::string saved = read_file(dir.file("s.ptn"));
        EXPECT_NE(saved.find("WRITEFILETYPE=0\r\n" + c.saved_key + "[WRITEPATTERN]"), std::string::npos) << c.args;
    }
    write_file(dir.file("in"), "");  // an empty input has no header: the byte order mark alone
    EXPECT_EQ(batch("-q --write-code utf-8-bom on.ptn").status, 0);
    EXPECT_EQ(read_file(dir.file("out")), kBom);
    EXPECT_EQ(batch("--header=1 on.ptn").status, 2);
    EXPECT_NE(batch("--help").out.find("--no-header"), std::string::npos);
}

TEST_F(BatchTest, EncodingOptionsTakeOnlyTheirNames) {
    pattern("p.ptn", "");
    const struct {
        std::string args, error;
    } cases[] = {
        {"--read-code utf8 p.ptn", "lintavo-batch: --read-code takes shift-jis, utf-8, euc-jp or utf-16, not: utf8\n"},
        {"--read-code=UTF-8 p.ptn", "lintavo-batch: --read-code takes shift-jis, utf-8, euc-jp or utf-16, not: UTF-8\n"},
        {"--write-code bom p.ptn", "lintavo-batch: --write-code takes same, shift-jis, utf-8, utf-8-bom, euc-jp or utf-16le-bom, not: bom\n"},
        {"--progress=sometimes p.ptn", "lintavo-batch: --progress takes auto, always or never, not: sometimes\n"},
        {"p.ptn --read-code", "lintavo-batch: option needs a value: --read-code\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = batch(c.args);
        EXPECT_EQ(o.status, 2) << c.args;
        EXPECT_EQ(o.err.substr(0, o.err.find("Try '")), c.error) << c.args;
    }
    const std::string help = batch("--help").out;
    EXPECT_NE(help.find("--read-code CODE"), std::string::npos);
    EXPECT_NE(help.find("--write-code CODE"), std::string::npos);
}

}  // namespace
}  // namespace lintavo
