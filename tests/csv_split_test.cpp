#include "engine/csv_split.h"

#include <gtest/gtest.h>

namespace lintavo {
namespace {

struct SplitCase {
    std::string line;  // Q stands for a double quote, T for a TAB
    std::vector<std::string> fields;
};

std::string expand(std::string s) {
    for (char& c : s) {
        if (c == 'Q') c = '"';
        else if (c == 'T') c = '\t';
    }
    return s;
}

TEST(CsvSplit, SplitsByTheQuoteStates) {
    const SplitCase cases[] = {
        {"", {""}},
        {"a,b,", {"a", "b", ""}},
        {",", {"", ""}},
        {"aTb,c", {"a", "b", "c"}},
        {"Qa,bQ,c", {"a,b", "c"}},
        {"QaTbQ", {"aTb"}},
        {"QaQQbQ", {"aQb"}},
        {"QQQQ", {"Q"}},
        {"QQ", {""}},
        {"  QaQ  ,b", {"a", "b"}},
        {" a ,b", {" a ", "b"}},
        {"xQaQy", {"xay"}},
        {"x QaQ", {"x a"}},
        {"aQQb", {"ab"}},
        {"Qabc", {"abc"}},
        {"Qa,b", {"a,b"}},
        {"Q a Q,b", {" a ", "b"}},
        {"QaQ b,c", {"ab", "c"}},
        {"QQQ", {"Q"}},           // "" is one quote, the last quote closes
        {"QaQQ", {"aQ"}},
        {"a,Qb,Qc,d", {"a", "b,c", "d"}},
        {"QaQ,QbQ,Q\x82\xA0Q", {"a", "b", "\x82\xA0"}},
    };
    CsvSplitter split;
    for (const auto& c : cases) {
        const std::string line = expand(c.line);
        std::vector<std::string> want;
        for (const auto& f : c.fields) want.push_back(expand(f));
        ASSERT_EQ(split.split(line), want.size()) << c.line;
        std::vector<std::string> got(split.fields().begin(), split.fields().end());
        EXPECT_EQ(got, want) << c.line;
    }
}

TEST(CsvSplit, DropsBytesBelowTab) {
    CsvSplitter split;
    split.split(std::string("a\x01" "b,\"c\x00" "d\"", 8));
    ASSERT_EQ(split.size(), 2u);
    EXPECT_EQ(split[0], "ab");
    EXPECT_EQ(split[1], "cd");
}

TEST(CsvSplit, KeepsDoubleByteCharactersWhoseSecondByteLooksSpecial) {
    // Second bytes are never below 0x40, so no character hides a separator;
    // 0x5C (a backslash) and 0x7C as second bytes pass through.
    CsvSplitter split;
    const std::string line = "\x95\x5C,\x83\x7C";
    ASSERT_EQ(split.split(line), 2u);
    EXPECT_EQ(split[0], "\x95\x5C");
    EXPECT_EQ(split[1], "\x83\x7C");
}

TEST(CsvSplit, StopsAfterTheFieldsAsked) {
    CsvSplitter split;
    EXPECT_EQ(split.split("a,\"b,c\",d,e", 2), 2u);
    EXPECT_EQ(split[1], "b,c");
    EXPECT_EQ(split.split("a", 3), 1u);
    EXPECT_EQ(split.split("a,b,c,d,e,f,g,h,i,j"), 10u);
    EXPECT_EQ(split.split("a,b"), 2u);  // nothing left over from a longer line
}

TEST(CsvSplit, HandlesLongLinesAndManyFields) {
    CsvSplitter split;
    std::string line;
    for (int i = 0; i < 40000; ++i) line += "\"x\"\"y\",";
    EXPECT_EQ(split.split(line), 40001u);
    EXPECT_EQ(split[39999], "x\"y");
    EXPECT_EQ(split[40000], "");
}

}  // namespace
}  // namespace lintavo
