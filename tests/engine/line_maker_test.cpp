#include "engine/output/line_maker.h"

#include <gtest/gtest.h>

namespace lintavo {
namespace {

FieldList fields_of(std::vector<std::string>& storage) {
    FieldList f;
    for (const auto& s : storage) f.fields_.push_back(s);
    return f;
}

TEST(LineMaker, FillsTemplateMarks) {
    const struct {
        std::string hinagata;
        std::vector<std::string> fields;
        std::int64_t write_count;
        std::string line;
    } cases[] = {
        {"No.@0:@1/@2", {"A", "B"}, 2, "No.3:A/B"},
        {"@1-@1", {"X"}, 0, "X-@1"},
        {"@0,@0", {}, 0, "1,@0"},
        {"[@1][@2]", {"a@2b", "Z"}, 0, "[aZb][@2]"},
        {"@@0", {"F"}, 0, "F"},
        {"@5 @1", {"a", "b", "c"}, 0, "@5 a"},
        {"", {"a"}, 0, ""},
        {"@1\r\nx\r\n@1@2\r\n", {"A", "B"}, 0, "A\r\nx\r\n@1B\r\n"},
        {"@12", {"X"}, 0, "X2"},
        {"@", {"X"}, 0, "@"},
        {"\x83\x40" "1@1", {"X"}, 0, "\x83\x40" "1X"},  // "@1" formed by the second byte of ァ is no mark
        {"@0", {}, 122, "123"},
    };
    std::string line;
    for (auto c : cases) {
        const FieldList f = fields_of(c.fields);
        EXPECT_EQ(fnc_makeline(kWriteTemplate, "rec", f, static_cast<int>(c.fields.size()), c.hinagata,
                               c.write_count, line),
                  c.line)
            << c.hinagata;
    }
}

TEST(LineMaker, JoinsAndQuotesFields) {
    std::vector<std::string> storage = {"a", "b\"c", ""};
    const FieldList f = fields_of(storage);
    std::string line;
    EXPECT_EQ(fnc_makeline(kWriteCsvComma, "rec", f, 3, "", 0, line), "\"a\",\"b\"\"c\",\"\"");
    EXPECT_EQ(fnc_makeline(kWriteCsvTab, "rec", f, 3, "", 0, line), "\"a\"\t\"b\"\"c\"\t\"\"");
    EXPECT_EQ(fnc_makeline(kWriteJoined, "rec", f, 3, "", 0, line), "ab\"c");
    EXPECT_EQ(fnc_makeline(kWriteJoined, "rec", f, 1, "", 0, line), "a");
    EXPECT_EQ(fnc_makeline(kWriteAsRead, "rec", f, 3, "", 0, line), "rec");
    EXPECT_EQ(fnc_makeline(kNoEntry, "rec", f, 3, "", 0, line), "rec");
    for (int mode : {kWriteJoined, kWriteCsvComma, kWriteCsvTab}) {
        EXPECT_EQ(fnc_makeline(mode, "rec", f, 0, "", 0, line), "") << mode;
    }
    std::vector<std::string> spaced = {"01", " x"};
    EXPECT_EQ(fnc_makeline(kWriteJoined, "rec", fields_of(spaced), 2, "", 0, line), "01 x");
}

// A quote at the start, in the middle or at the end of a field, or a field
// of quotes, is written so that the CSV splitter reads the fields back.
TEST(LineMaker, CsvLinesReadBackAsTheirFields) {
    std::vector<std::string> storage = {"\"a", "b\"c", "d\"", "\xE9\xAB\x98 \"\x83\x6E\"", "\"\"", "x,\ty", "\x83\"\""};
    const FieldList f = fields_of(storage);
    std::string line;
    for (const int mode : {kWriteCsvComma, kWriteCsvTab}) {
        fnc_makeline(mode, "rec", f, static_cast<int>(storage.size()), "", 0, line);
        CsvSplitter split;
        split.split(line);
        EXPECT_EQ(std::vector<std::string>(split.fields().begin(), split.fields().end()), storage) << line;
    }
}

TEST(LineMaker, MissingFieldsAreEmpty) {
    std::vector<std::string> storage = {"a"};
    const FieldList f = fields_of(storage);
    std::string line;
    EXPECT_EQ(fnc_makeline(kWriteCsvComma, "rec", f, 3, "", 0, line), "\"a\",\"\",\"\"");
    EXPECT_EQ(fnc_makeline(kWriteTemplate, "rec", f, 3, "@1|@2|@3", 0, line), "a||");
}

}  // namespace
}  // namespace lintavo
