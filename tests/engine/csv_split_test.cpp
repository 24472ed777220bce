#include "engine/conditions/csv_split.h"

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

TEST(CsvSplit, TsvSplitsAtTabAloneAndKeepsCommas) {
    const SplitCase cases[] = {
        {"a,bTc", {"a,b", "c"}},
        {"東京都千代田区1-1, ビルT1,234T", {"東京都千代田区1-1, ビル", "1,234", ""}},
        {"QaTbQT,,,,,,,,,,,,,,,,,,x,", {"aTb", ",,,,,,,,,,,,,,,,,,x,"}},  // past 16 bytes: the wide scan
        {"QaQ,bTc", {"a,b", "c"}},
        {"QaQQ,QTQ,Q", {"aQ,", ","}},
    };
    CsvSplitter split;
    split.set_tabs_only(true);
    for (const auto& c : cases) {
        std::vector<std::string> want;
        for (const auto& f : c.fields) want.push_back(expand(f));
        const std::string line = expand(c.line);
        ASSERT_EQ(split.split(line), want.size()) << c.line;
        EXPECT_EQ(std::vector<std::string>(split.fields().begin(), split.fields().end()), want) << c.line;
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

// The splitting rules written out character by character, as plainly as
// possible, to hold the splitter's spans and copies against.
std::vector<std::string> reference_split(const std::string& line) {
    std::vector<std::string> fields;
    std::string cur;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (static_cast<unsigned char>(c) < 0x09) continue;
        if (!quoted) {
            if (c == ',' || c == '\t') {
                fields.push_back(cur);
                cur.clear();
            } else if (c == '"') {
                quoted = true;
                cur.erase(0, cur.find_first_not_of(' ') == std::string::npos ? cur.size() : cur.find_first_not_of(' '));
            } else {
                cur += c;
            }
        } else if (c == '"') {
            if (i + 1 == line.size()) {
                quoted = false;
            } else if (line[i + 1] == '"') {
                cur += '"';
                ++i;
            } else {
                quoted = false;
                while (i + 1 < line.size() && line[i + 1] == ' ') ++i;
            }
        } else {
            cur += c;
        }
    }
    fields.push_back(cur);
    return fields;
}

TEST(CsvSplit, AgreesWithTheRulesOnRandomLines) {
    const char alphabet[] = {',', '\t', '"', '"', ' ', 'a', 'b', '\x01', '\x82', '\xA0'};
    std::uint32_t seed = 99;
    const auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 16; };
    CsvSplitter split;
    for (int n = 0; n < 20000; ++n) {
        // Short lines, and lines long enough for the wide scans, with fields
        // of plain bytes long enough to run past a whole block.
        std::string line;
        const std::size_t len = next() % (n % 2 == 0 ? 16 : 90);
        for (std::size_t i = 0; i < len; ++i) {
            if (n % 4 == 1 && next() % 3 == 0) line.append(next() % 40, 'a');
            line.push_back(alphabet[next() % sizeof alphabet]);
        }
        const std::vector<std::string> want = reference_split(line);
        split.split(line);
        ASSERT_EQ(std::vector<std::string>(split.fields().begin(), split.fields().end()), want)
            << testing::PrintToString(line);
        const std::size_t max = 1 + next() % 3;
        split.split(line, max);
        const std::vector<std::string> head(want.begin(), want.begin() + static_cast<long>(std::min(max, want.size())));
        ASSERT_EQ(std::vector<std::string>(split.fields().begin(), split.fields().end()), head)
            << testing::PrintToString(line) << " max " << max;
    }
}

}  // namespace
}  // namespace lintavo
