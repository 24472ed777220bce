#include "pattern/pattern_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_support.h"

namespace lintavo::pattern {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;

const char kExample[] =
    "READFILE=D:\\work\\input.txt\r\n"
    "READFILETYPE=2\r\n"
    "RECORDLENGTH=100\r\n"
    "ITEM000=     1,     5,01,00,ABC\r\n"
    "ITEM001=      ,      ,00,00,\r\n"
    "ITEM002=      ,      ,00,00,\r\n"
    "ITEM003=      ,      ,00,00,\r\n"
    "ITEM004=      ,      ,00,00,\r\n"
    "ITEM005=      ,      ,00,00,\r\n"
    "ITEM006=      ,      ,00,00,\r\n"
    "KEYWORD000=0,       ERR\r\n"
    "KEYWORD001=0,       \r\n"
    "KEYWORD002=0,       \r\n"
    "KEYWORD003=0,       \r\n"
    "WRITEFILE=D:\\work\\output.txt\r\n"
    "WRITEFILETYPE=0\r\n"
    "[WRITEPATTERN]\r\n"
    "\r\n";

ExtractionSettings example_settings() {
    ExtractionSettings s;
    s.txt_ReadFile = "D:\\work\\input.txt";
    s.cmb_type = kTypeFixed;
    s.conditions[0] = {"1", "5", kCompareEqual, "ABC", kConvertNone};
    s.keywords[0] = {"ERR", kKeywordContains};
    s.txt_WriteFile = "D:\\work\\output.txt";
    return s;
}

std::string saved(const ExtractionSettings& s) {
    std::string bytes;
    EXPECT_FALSE(pattern_bytes(s, bytes).has_value());
    return bytes;
}

ExtractionSettings loaded(const std::string& bytes, ExtractionSettings s = {}) {
    apply_pattern(bytes, s);
    return s;
}

TEST(Pattern, WritesTheExampleByteForByte) { EXPECT_EQ(saved(example_settings()), kExample); }

TEST(Pattern, SavesStartUpSettings) {
    const std::string bytes = saved(ExtractionSettings{});
    EXPECT_TRUE(bytes.starts_with("READFILE=\r\nREADFILETYPE=0\r\nRECORDLENGTH=100\r\nITEM000=      ,      ,00,00,\r\n"));
    EXPECT_NE(bytes.find("ITEM006=      ,      ,00,00,\r\nKEYWORD000=0,       \r\n"), std::string::npos);
    EXPECT_TRUE(bytes.ends_with("WRITEFILE=\r\nWRITEFILETYPE=0\r\n[WRITEPATTERN]\r\n\r\n"));
}

TEST(Pattern, LoadingTheExampleGivesItsSettings) {
    ExtractionSettings s = loaded(kExample);
    EXPECT_EQ(s, example_settings());  // the empty line after the marker is the empty template
    EXPECT_EQ(saved(s), kExample);
}

TEST(Pattern, SaveThenLoadGivesEverySettingBack) {
    ExtractionSettings s;
    s.txt_ReadFile = "/data/\xE5\x85\xA5\xE5\x8A\x9B.csv";  // 入力 in UTF-8
    s.cmb_type = kTypeCsv;
    s.txt_RecordLength = " 0100";
    s.conditions[0] = {"007", "12", kCompareGreaterEqual, "1,2=3", kConvertLeadingBlank};
    s.conditions[1] = {"0", "  ", kNoEntry, " key ", kNoEntry};
    s.conditions[2] = {"1.5", "-3", kCompareNotNull, "", kConvertRtrim};
    s.keywords[1] = {"\x83\x40@\x81", kKeywordLacks};  // odd bytes stay as they are
    s.keywords[3] = {"a,b=c", kKeywordContains};
    s.txt_WriteFile = "out.txt";
    s.cmb_type_Write = kWriteTemplate;
    s.txt_hinagata = "@0:@1\r\n\x82\xA0\xFF\r\n";
    ExtractionSettings back = loaded(saved(s));
    ExtractionSettings want = s;
    want.conditions[0].txt_ichi = "7";
    want.conditions[1].txt_ichi = "";
    want.conditions[1].txt_len = "";
    EXPECT_EQ(back, want);
    EXPECT_EQ(saved(loaded(saved(back))), saved(back));
}

// The template is saved with one CR LF after it and loaded without it: it
// survives any number of saves and loads unchanged.
TEST(Pattern, TemplateSurvivesSavesAndLoads) {
    const struct {
        std::string hinagata, section;
    } cases[] = {
        {"", "\r\n"}, {"@1,@2", "@1,@2\r\n"}, {"A\r\nB", "A\r\nB\r\n"}, {"A\r\nB\r\n", "A\r\nB\r\n\r\n"},
        {"\r\n", "\r\n\r\n"}, {"a\nb", "a\nb\r\n"},
    };
    for (const auto& c : cases) {
        ExtractionSettings s;
        s.txt_hinagata = c.hinagata;
        const std::string first = saved(s);
        EXPECT_TRUE(first.ends_with("[WRITEPATTERN]\r\n" + c.section)) << c.hinagata;
        const ExtractionSettings back = loaded(first);
        EXPECT_EQ(back.txt_hinagata, c.hinagata);
        EXPECT_EQ(saved(back), first);
    }
}

TEST(Pattern, LongPositionsKeepTheirLastSixCharacters) {
    ExtractionSettings s;
    s.conditions[0].txt_ichi = "1234567";
    s.conditions[0].txt_len = "\x82\x50\x82\x51" "12345";  // full-width １２ then 12345
    const std::string bytes = saved(s);
    EXPECT_NE(bytes.find("ITEM000=234567,\x82\x51" "12345,00,00,\r\n"), std::string::npos);
    EXPECT_EQ(loaded(bytes).conditions[0].txt_ichi, "234567");
}

TEST(Pattern, ReadsKeysAsTheyMayStand) {
    const struct {
        std::string file;
        std::function<void(ExtractionSettings&)> want;  // applied to the settings before the load
    } cases[] = {
        {"readfile=x.txt\r\n", [](ExtractionSettings& s) { s.txt_ReadFile = "x.txt"; }},
        {"ReadFileType=1\r\nREADFILE=a=b\r\n", [](ExtractionSettings& s) { s.cmb_type = 1; s.txt_ReadFile = "a=b"; }},
        {"READFILETYPE=2\r\n", [](ExtractionSettings& s) { s.cmb_type = 2; }},
        {"READFILE =x\r\n READFILE=y\r\nREADFILE\r\n", [](ExtractionSettings&) {}},
        {"\r\njunk\r\n= \r\nWRITEFILE=w\r\n\r\n", [](ExtractionSettings& s) { s.txt_WriteFile = "w"; }},
        {"WRITEFILE=a\rWRITEFILE=b\r\n", [](ExtractionSettings& s) { s.txt_WriteFile = "b"; }},
        {"READFILE=a\nREADFILE=b", [](ExtractionSettings& s) { s.txt_ReadFile = "a\nREADFILE=b"; }},
        {"READFILETYPE=abc\r\n", [](ExtractionSettings& s) { s.cmb_type = 0; }},
        {"READFILETYPE=1.5\r\nWRITEFILETYPE=2.5\r\n", [](ExtractionSettings& s) { s.cmb_type = 2; s.cmb_type_Write = 2; }},
        {"READFILETYPE=-1\r\n", [](ExtractionSettings& s) { s.cmb_type = -1; }},
        {"READFILETYPE=5\r\nWRITEFILETYPE=70000\r\n", [](ExtractionSettings&) {}},
        {"RECORDLENGTH=\r\n", [](ExtractionSettings& s) { s.txt_RecordLength = ""; }},
        {"ITEM003=\r\nKEYWORD001=\r\n", [](ExtractionSettings&) {}},
        {"ITEM003=5\r\n", [](ExtractionSettings& s) { s.conditions[3] = {"5", "", 0, "", 0}; }},
        {"ITEM000=  2,  3\r\n", [](ExtractionSettings& s) { s.conditions[0] = {"2", "", 0, "", 0}; }},
        {"ITEM000=     2,     3,08,04,k,e,y\r\n",
         [](ExtractionSettings& s) { s.conditions[0] = {"2", "3", kCompareNotNull, "k,e,y", kConvertLeadingBlank}; }},
        {"ITEM001=     1,      ,98,07,x\r\n", [](ExtractionSettings& s) { s.conditions[1] = {"1", "", 6, "x", 3}; }},
        {"ITEM001=     1,      ,99,99,\r\n", [](ExtractionSettings& s) { s.conditions[1] = {"1", "", -1, "", -1}; }},
        {"ITEM007=     1,      ,01,01,x\r\nITEM7=1\r\n", [](ExtractionSettings&) {}},
        {"KEYWORD002=1,       \x82\xA0 \r\n", [](ExtractionSettings& s) { s.keywords[2] = {"\x82\xA0 ", 1}; }},
        {"KEYWORD002=9,       x\r\n", [](ExtractionSettings& s) { s.keywords[2] = {"x", 1}; }},
        {"KEYWORD002=1\r\n", [](ExtractionSettings& s) { s.keywords[2] = {"", 1}; }},
        {"[writepattern]\r\nREADFILE=r\r\n", [](ExtractionSettings& s) { s.txt_ReadFile = "r"; s.txt_hinagata = ""; }},
        {"[WRITEPATTERN] comment\r\nREADFILE=r\r\n[WRITEPATTERN]\r\n",
         [](ExtractionSettings& s) { s.txt_hinagata = "READFILE=r\r\n[WRITEPATTERN]"; }},
        {"", [](ExtractionSettings& s) { s.txt_hinagata = ""; }},
        {"[WRITEPATTERN]", [](ExtractionSettings& s) { s.txt_hinagata = ""; }},
        {"[WRITEPATTERN]\r\n\r\n", [](ExtractionSettings& s) { s.txt_hinagata = ""; }},
        {"[WRITEPATTERN]\r\na\r\n\r\n", [](ExtractionSettings& s) { s.txt_hinagata = "a\r\n"; }},
        {"READFILECODE=1\r\nHEADERLINE=1\r\n", [](ExtractionSettings& s) { s.cmb_code = kReadUtf8; s.chk_header = 1; }},
    };
    for (const auto& c : cases) {
        ExtractionSettings before;
        before.cmb_type = kTypeFixed;
        before.cmb_type_Write = kWriteCsvTab;
        before.txt_ReadFile = "old";
        before.conditions[0] = {"9", "9", 1, "old", 1};
        before.conditions[1] = {"8", "8", 6, "old", 3};
        before.conditions[3] = {"7", "7", 2, "old", 2};
        before.keywords[2] = {"old", 1};
        before.txt_hinagata = "old template";
        before.cmb_code = kReadUtf8;  // what a saver may leave out is reset by every load
        before.cmb_code_Write = kWriteUtf8Bom;
        before.chk_header = 1;
        ExtractionSettings want = before;
        want.txt_hinagata = "";
        want.cmb_code = kReadShiftJis;
        want.cmb_code_Write = kWriteSameCode;
        want.chk_header = 0;
        c.want(want);
        EXPECT_EQ(loaded(c.file, before), want) << c.file;
    }
}

TEST(Pattern, ReportsIgnoredIndicesAndChoices) {
    struct Recorder : LoadListener {
        std::vector<std::string> events;
        void read_file_type_set(int i) override { events.push_back("type " + std::to_string(i)); }
        void write_mode_set(int i) override { events.push_back("mode " + std::to_string(i)); }
        void ignored(std::int64_t line, const std::string&) override { events.push_back("ignored " + std::to_string(line)); }
    } rec;
    ExtractionSettings s;
    apply_pattern("READFILETYPE=1\r\nREADFILETYPE=4\r\nx\r\nITEM000=     1,     1,12,06,\r\n"
                  "WRITEFILETYPE=4\r\nKEYWORD000=2,       k\r\n[WRITEPATTERN]\r\nREADFILETYPE=2\r\n",
                  s, &rec);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"type 1", "ignored 2", "ignored 4", "ignored 4", "mode 4",
                                                    "ignored 6"}));
    EXPECT_EQ(s.cmb_type, 1);
    EXPECT_EQ(s.conditions[0].txt_ichi, "1");
    EXPECT_EQ(s.keywords[0].txt_keyword, "k");
}

TEST(Pattern, EncodingsAndHeaderLoadAsListIndicesAndKeepTheirChoiceOtherwise) {
    struct Recorder : LoadListener {
        std::vector<std::int64_t> lines;
        void ignored(std::int64_t line, const std::string&) override { lines.push_back(line); }
    };
    const struct {
        std::string file;
        int read_code, write_code, header;
        std::vector<std::int64_t> ignored;
    } cases[] = {
        {"", kReadShiftJis, kWriteSameCode, 0, {}},
        {"READFILECODE=1\r\nWRITEFILECODE=3\r\nHEADERLINE=1\r\n", kReadUtf8, kWriteUtf8Bom, 1, {}},
        {"readfilecode=1\r\nWriteFileCode=2\r\nheaderline=1\r\n", kReadUtf8, kWriteUtf8, 1, {}},
        {"READFILECODE=2\r\nWRITEFILECODE=4\r\n", kReadEucJp, kWriteEucJp, 0, {}},
        {"READFILECODE=1\r\nREADFILECODE=9\r\n", kReadUtf8, kWriteSameCode, 0, {2}},     // outside the list
        {"READFILECODE=1\r\nREADFILECODE=-1\r\n", kReadUtf8, kWriteSameCode, 0, {2}},    // no choice is none either
        {"WRITEFILECODE=3\r\nWRITEFILECODE=9\r\n", kReadShiftJis, kWriteUtf8Bom, 0, {2}},
        {"WRITEFILECODE=3\r\nWRITEFILECODE=x\r\n", kReadShiftJis, kWriteSameCode, 0, {}},  // no number reads as 0
        {"WRITEFILECODE=2.5\r\n", kReadShiftJis, kWriteUtf8, 0, {}},  // made whole, as READFILETYPE
        {"[WRITEPATTERN]\r\nREADFILECODE=1\r\nHEADERLINE=1\r\n", kReadShiftJis, kWriteSameCode, 0, {}},  // template text
        {"HEADERLINE=1\r\nHEADERLINE=2\r\nHEADERLINE=-1\r\n", kReadShiftJis, kWriteSameCode, 1, {2, 3}},
        {"HEADERLINE=1\r\nHEADERLINE=\r\n", kReadShiftJis, kWriteSameCode, 0, {}},  // empty reads as 0
        {"HEADERLINE =1\r\n", kReadShiftJis, kWriteSameCode, 0, {}},  // no key
    };
    for (const auto& c : cases) {
        Recorder rec;
        ExtractionSettings s;
        apply_pattern(c.file, s, &rec);
        EXPECT_EQ(s.cmb_code, c.read_code) << c.file;
        EXPECT_EQ(s.cmb_code_Write, c.write_code) << c.file;
        EXPECT_EQ(s.chk_header, c.header) << c.file;
        EXPECT_EQ(rec.lines, c.ignored) << c.file;
    }
}

TEST(Pattern, EncodingsAndHeaderAreSavedAfterTheWriteModeOnlyWhenNotTheFirstEntry) {
    EXPECT_EQ(saved(loaded(kExample)), kExample);  // a pattern without them comes back byte for byte
    const std::string head(kExample, std::string_view(kExample).find("[WRITEPATTERN]"));
    const struct {
        int read_code, write_code, header;
        std::string lines;
    } cases[] = {
        {kReadShiftJis, kWriteSameCode, 0, ""},
        {kReadUtf8, kWriteSameCode, 0, "READFILECODE=1\r\n"},
        {kReadShiftJis, kWriteShiftJis, 0, "WRITEFILECODE=1\r\n"},
        {kReadUtf8, kWriteUtf8Bom, 0, "READFILECODE=1\r\nWRITEFILECODE=3\r\n"},
        {kReadShiftJis, kWriteSameCode, 1, "HEADERLINE=1\r\n"},
        {kReadUtf8, kWriteUtf8, 1, "READFILECODE=1\r\nWRITEFILECODE=2\r\nHEADERLINE=1\r\n"},
    };
    for (const auto& c : cases) {
        ExtractionSettings s = example_settings();
        s.cmb_code = c.read_code;
        s.cmb_code_Write = c.write_code;
        s.chk_header = c.header;
        const std::string bytes = saved(s);
        EXPECT_EQ(bytes, head + c.lines + "[WRITEPATTERN]\r\n\r\n");
        EXPECT_EQ(loaded(bytes), s);
    }
}

TEST(Pattern, LoadsAndSavesFiles) {
    TempDir dir;
    const std::string path = dir.file("p.txt");
    ASSERT_FALSE(save_pattern(path, example_settings()).has_value());
    EXPECT_EQ(read_file(path), kExample);
    ExtractionSettings s;
    ASSERT_FALSE(proc_ReadPattern(path, s).has_value());
    EXPECT_EQ(s, example_settings());
    EXPECT_TRUE(pattern_file_exists(path));
    EXPECT_FALSE(pattern_file_exists(dir.file("none.txt")));
    EXPECT_FALSE(pattern_file_exists(dir.path().string()));
    EXPECT_FALSE(pattern_file_exists(""));

    // A file that cannot be read changes nothing, the template included.
    s.txt_hinagata = "kept";
    EXPECT_EQ(proc_ReadPattern(dir.file("none.txt"), s), "抽出パターンファイルを開けません: " + dir.file("none.txt"));
    EXPECT_EQ(proc_ReadPattern(dir.path().string(), s), "抽出パターンファイルを開けません: " + dir.path().string());
    EXPECT_EQ(s.txt_hinagata, "kept");
}

TEST(Pattern, SaveReplacesAtomicallyAndFailsWithoutHarm) {
    TempDir dir;
    const std::string path = dir.file("p.txt");
    write_file(path, "old");
    ExtractionSettings s = example_settings();
    ASSERT_FALSE(save_pattern(path, s).has_value());
    EXPECT_EQ(read_file(path), kExample);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no file left behind

    // Characters code page 932 cannot hold stop the save before anything is written.
    s.txt_WriteFile = "out-\xC3\xA9.txt";  // é
    EXPECT_EQ(save_pattern(path, s), "Shift-JISで表せない文字があります: 書出しファイル");
    s = example_settings();
    s.set_unencodable(key_field(1), true);
    EXPECT_EQ(save_pattern(path, s), "Shift-JISで表せない文字があります: @2の比較内容");
    s = example_settings();
    s.set_unencodable(TextField::RecordLength, true);
    s.set_unencodable(TextField::Template, true);
    EXPECT_EQ(save_pattern(path, s), "Shift-JISで表せない文字があります: レコード長");
    EXPECT_EQ(read_file(path), kExample);

    // A folder that does not exist, and a folder in the file's place.
    EXPECT_EQ(save_pattern(dir.file("no/p.txt"), example_settings()),
              "抽出パターンファイルを保存できません: " + dir.file("no/p.txt"));
    std::filesystem::create_directory(dir.file("d"));
    EXPECT_EQ(save_pattern(dir.file("d"), example_settings()), "抽出パターンファイルを保存できません: " + dir.file("d"));

    // A link is followed: the file it names is replaced, the link stays
    // (where the user may make links: not on Windows, as a rule).
    std::error_code no_links;
    std::filesystem::create_symlink(path, dir.file("link.txt"), no_links);
    if (no_links) return;
    s = example_settings();
    s.txt_RecordLength = "7";
    ASSERT_FALSE(save_pattern(dir.file("link.txt"), s).has_value());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
    EXPECT_NE(read_file(path).find("RECORDLENGTH=7\r\n"), std::string::npos);
}

TEST(Pattern, RandomFilesLoadAndSettleAfterOneSave) {
    // Whatever a file holds, loading it is safe, and from the first saved
    // file on, saving and loading changes nothing more.
    const char* pieces[] = {"READFILE=", "readfiletype=", "RECORDLENGTH=", "ITEM00", "KEYWORD00", "WRITEFILE=",
                            "WRITEFILETYPE=", "READFILECODE=", "writefilecode=", "HEADERLINE=", "[WRITEPATTERN]", "=", ",", " ", "1", "99", "-1", "2.5", "1234567",
                            "\x82\xA0", "\x87\x9A", "\x81", "\xFF", "@", "\r\n", "\r", "\n", "x"};
    std::uint32_t seed = 3;
    const auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 16; };
    for (int n = 0; n < 3000; ++n) {
        std::string file;
        const int count = static_cast<int>(next() % 40);
        for (int i = 0; i < count; ++i) file += pieces[next() % std::size(pieces)];
        const ExtractionSettings first = loaded(file);
        if (first.txt_ReadFile.find('\n') != std::string::npos || first.txt_WriteFile.find('\n') != std::string::npos) {
            std::string bytes;  // a line break in a path is refused, never saved
            ASSERT_TRUE(pattern_bytes(first, bytes).has_value()) << testing::PrintToString(file);
            continue;
        }
        const std::string once = saved(first);
        const std::string twice = saved(loaded(once));
        ASSERT_EQ(saved(loaded(twice)), twice) << testing::PrintToString(file);
    }
}

TEST(Pattern, ARowLineCutShortAtEveryLength) {
    // "ITEM003=" followed by the first 0 to 30 characters of a whole row:
    // every cut loads safely and settles after one save, and the whole row
    // gives its values.
    const std::string row = "    12,     3,01,02,KEY,VALUE 1";
    for (std::size_t n = 0; n <= row.size(); ++n) {
        const std::string file = "ITEM003=" + row.substr(0, n) + "\r\n";
        const ExtractionSettings s = loaded(file);
        const std::string once = saved(s);
        ASSERT_EQ(saved(loaded(once)), once) << n;
        for (int i : {0, 1, 2, 4, 5, 6}) EXPECT_EQ(s.conditions[i], ConditionRow{}) << n;
    }
    const ConditionRow whole = loaded("ITEM003=" + row + "\r\n").conditions[3];
    EXPECT_EQ(whole.txt_ichi, "12");
    EXPECT_EQ(whole.txt_len, "3");
    EXPECT_EQ(whole.cmb_select, 1);
    EXPECT_EQ(whole.cmb_change, 2);
    EXPECT_EQ(whole.txt_key, "KEY,VALUE 1");
}

TEST(Pattern, FncReadMatchesTheKeyAndTheEqualsSign) {
    EXPECT_EQ(fnc_read("READFILE=x", "READFILE"), "x");
    EXPECT_EQ(fnc_read("readFile=", "READFILE"), "");
    EXPECT_FALSE(fnc_read("READFILETYPE=1", "READFILE"));
    EXPECT_FALSE(fnc_read("READFILE", "READFILE"));
    EXPECT_FALSE(fnc_read("READFIL=", "READFILE"));
    EXPECT_EQ(fnc_read("ITEM000==1", "ITEM000"), "=1");
}

}  // namespace
}  // namespace lintavo::pattern
