#include "engine/conditions/columns.h"

#include <gtest/gtest.h>

#include "engine/conditions/keywords.h"
#include "engine/run/record_plan.h"
#include "test_support.h"

namespace lintavo {
namespace {

ExtractionSettings rows(std::initializer_list<std::pair<std::string, std::string>> starts_and_lengths) {
    ExtractionSettings s;
    int i = 0;
    for (const auto& [start, length] : starts_and_lengths) {
        s.conditions[i].txt_ichi = start;
        s.conditions[i].txt_len = length;
        ++i;
    }
    return s;
}

std::string cut(const std::string& record, const std::string& start, const std::string& length) {
    const ExtractionSettings s = rows({{start, length}});
    const RecordPlan plan = make_plan(s);
    FieldList fields;
    fnc_rec2ary(record, plan, fields);
    fnc_change(plan, fields);
    return std::string(fields[0]);
}

TEST(Columns, CutsByBytePosition) {
    const struct {
        std::string record, start, length, field;
    } cases[] = {
        {"ABCDEFGHIJ", "3", "4", "CDEF"},
        {"ABCDEFGHIJ", "9", "5", "IJ"},
        {"ABCDEFGHIJ", "11", "1", ""},
        {"ABCDEFGHIJ", "3", "0", ""},
        {"ABCDEFGHIJ", "2.5", "1", "B"},
        {"ABCDEFGHIJ", "3.5", "1", "D"},
        {"ABCDEFGHIJ", "1", "1e30", "ABCDEFGHIJ"},
        {"ABCDEFGHIJ", "1e30", "3", ""},
        {"\x82\x60\x82\x61" "C", "3", "2", "\x82\x61"},  // ＡＢC: start 3 length 2 gives Ｂ
        {"\x82\x60\x82\x61" "C", "5", "1", "C"},
        {"\x82\x60\x82\x61" "C", "6", "1", ""},
        {"\x82\x60\x82\x61" "C", "2", "2", "\x60\x82"},  // halves of two characters stay bytes
    };
    for (const auto& c : cases) EXPECT_EQ(cut(c.record, c.start, c.length), c.field) << c.record << " " << c.start;
}

TEST(Columns, RowsWithoutAFieldHaveTheEmptyText) {
    // Row 0 has a start and no length: nothing is cut, the row is in use.
    ExtractionSettings s = rows({{"1", ""}, {"3", "2"}});
    const RecordPlan plan = make_plan(s);
    EXPECT_EQ(plan.rows_in_use, 2);
    EXPECT_EQ(plan.cut_rows, 0);
    FieldList fields;
    fnc_rec2ary("ABCDEF", plan, fields);
    fnc_change(plan, fields);
    EXPECT_EQ(fields[0], "");
    EXPECT_EQ(fields[1], "");
}

TEST(Columns, OnlyRowsBeforeTheFirstEmptyStartAreInUse) {
    ExtractionSettings s = rows({{"1", "1"}, {"", "1"}, {"5", "1"}});
    s.conditions[2].cmb_select = kCompareEqual;
    s.conditions[2].txt_key = "never";
    const RecordPlan plan = make_plan(s);
    EXPECT_EQ(plan.rows_in_use, 1);
    FieldList fields;
    fnc_rec2ary("ABCDEF", plan, fields);
    fnc_change(plan, fields);
    EXPECT_TRUE(fnc_compare(plan, fields));
}

TEST(Columns, ConvertsFields) {
    const struct {
        std::string field;
        int conversion;
        std::string result;
    } cases[] = {
        {" 12 ", kConvertTrim, "12"}, {" 12 ", kConvertLtrim, "12 "}, {" 12 ", kConvertRtrim, " 12"},
        {" 12 ", kConvertNone, " 12 "}, {" 12 ", kNoEntry, " 12 "}, {"   ", kConvertTrim, ""},
        {"\x81\x40" "a\x81\x40", kConvertTrim, "\x81\x40" "a\x81\x40"},  // the full-width space is no blank
        {"120", kConvertLeadingBlank, "  0"}, {"300", kConvertLeadingBlank, " 00"},
        {"A00", kConvertLeadingBlank, " 00"}, {"123", kConvertLeadingBlank, "   "},
        {"00120", kConvertLeadingBlank, "00120"}, {"0", kConvertLeadingBlank, "0"}, {"", kConvertLeadingBlank, ""},
        {"450", kConvertLeadingBlank, "  0"}, {"45", kConvertLeadingBlank, "  "}, {"045", kConvertLeadingBlank, "045"},
        {"1 2", kConvertLeadingBlank, "  2"},
        // Each character becomes one blank, so a double-byte character shrinks to one byte.
        {"\x82\x60\x82\x61" "0", kConvertLeadingBlank, "  0"},
        // A full-width zero does not stop the blanking.
        {"\x82\x4F" "0", kConvertLeadingBlank, " 0"},
    };
    std::string scratch;
    for (const auto& c : cases) {
        EXPECT_EQ(convert_field(c.field, c.conversion, scratch), c.result) << c.field << " " << c.conversion;
    }
}

TEST(Columns, ComparesAsTexts) {
    const struct {
        std::string field;
        int comparison;
        std::string key;
        bool pass;
    } cases[] = {
        {"10", kCompareGreater, "9", false},  {"10", kCompareLess, "9", true},
        {"abc", kCompareEqual, "ABC", false}, {"abc", kCompareEqual, "abc", true},
        {"B", kCompareGreaterEqual, "B", true}, {"C", kCompareGreaterEqual, "B", true},
        {"A", kCompareGreaterEqual, "B", false}, {"9", kCompareGreaterEqual, "10", true},
        {"ab", kCompareLessEqual, "abc", true}, {"abc", kCompareNotEqual, "abc", false},
        {"001", kCompareEqual, "1", false},   {"  ", kCompareIsNull, "", true},
        {"", kCompareIsNull, "x", true},      {" a ", kCompareIsNull, "", false},
        {"  ", kCompareNotNull, "", false},   {"a", kCompareNotNull, "", true},
        {"\x81\x40", kCompareIsNull, "", false},  // the full-width space is a character
        {"anything", kCompareNone, "x", true}, {"anything", kNoEntry, "x", true},
        {"\x87\x9A", kCompareEqual, "\x81\xE6", true},  // two codes of ∵
        {"\x87\x9A", kCompareNotEqual, "\x81\xE6", false},
        {"a", kCompareEqual, "a ", false},    // the key is used as typed
    };
    for (const auto& c : cases) {
        ExtractionSettings s = rows({{"1", ""}});
        s.conditions[0].cmb_select = c.comparison;
        s.conditions[0].txt_key = c.key;
        const RecordPlan plan = make_plan(s);
        EXPECT_EQ(compare_field(c.field, c.comparison, c.key, plan.rows[0].key_by_code), c.pass)
            << c.field << " " << c.comparison << " " << c.key;
    }
}

// "数値": the field without its blanks, compared with the key as numbers,
// in code page 932 and in UTF-8 (the texts written in UTF-8, each case
// turned into code page 932 for the other).
TEST(Columns, ComparesAsNumbers) {
    const struct {
        const char* field;
        int comparison;
        const char* key;
        bool pass;
    } cases[] = {
        {"8500", kCompareGreaterEqual, "10000", false}, {"12000", kCompareGreaterEqual, "10000", true},
        {"10,000", kCompareEqual, "10000", true},       {"1,00,0", kCompareEqual, "1000", true},
        {"１２，０００", kCompareGreater, "9999.5", true}, {"１２．５", kCompareEqual, "12.50", true},
        {"００７．５０", kCompareEqual, "7.5", true},     {"-0", kCompareEqual, "0", true},
        {"－３", kCompareLess, "-2", true},             {"＋3", kCompareEqual, "3", true},
        {"-1.5", kCompareLess, "-1.25", true},          {"-10", kCompareGreater, "-9", false},
        {"0.1", kCompareGreater, "0.09", true},         {"123456789012345678901", kCompareGreater, "123456789012345678900", true},
        {"　 42 　", kCompareEqual, "42", true},        {"42", kCompareEqual, " 　42　", true},
        {",100", kCompareNotEqual, "100", false},       {"1.2.3", kCompareNotEqual, "1", false},
        {"1,", kCompareNotEqual, "1", false},           {"1,,0", kCompareNotEqual, "1", false},
        {"1.", kCompareNotEqual, "1", false},           {".5", kCompareNotEqual, "1", false},
        {"1,000.5", kCompareEqual, "1000.5", true},     {"1.000,5", kCompareNotEqual, "1", false},
        {"12円", kCompareNotEqual, "12", false},        {"", kCompareNotEqual, "1", false},
        {"- 1", kCompareNotEqual, "1", false},          {"1e3", kCompareNotEqual, "1", false},
        {"abc", kCompareLess, "abc", false},            {"5", kCompareEqual, "abc", false},
        {"　", kCompareIsNull, "", true},               {" 7 ", kCompareNotNull, "", true},
    };
    for (const Encoding e : {Encoding::Utf8, Encoding::Cp932}) {
        for (const auto& c : cases) {
            const auto in = [e](const char* utf8) { return e == Encoding::Utf8 ? std::string(utf8) : test::sjis(utf8); };
            ExtractionSettings s = rows({{"1", "100"}});
            s.conditions[0].cmb_change = kConvertNumber;
            s.conditions[0].cmb_select = c.comparison;
            s.conditions[0].txt_key = in(c.key);
            const RecordPlan plan = make_plan(s, e);
            FieldList fields;
            const std::string record = in(c.field);
            fnc_rec2ary(record, plan, fields);
            fnc_change(plan, fields);
            EXPECT_EQ(fnc_compare(plan, fields), c.pass) << c.field << " " << c.comparison << " " << c.key;
        }
    }
}

// Each CSV row in use takes the column its start names, made whole.
TEST(Columns, CsvRowsTakeTheColumnTheirStartNames) {
    const struct {
        std::vector<std::string> starts;
        std::string record;
        std::vector<std::string> fields;
    } cases[] = {
        {{"1", "2", "3"}, "a,b,c", {"a", "b", "c"}},  // rows holding their own numbers, as patterns have them
        {{"3", "1"}, "a,b,c", {"c", "a"}},
        {{"2", "2"}, "a,b", {"b", "b"}},
        {{"1", "5"}, "a,b", {"a", ""}},  // beyond the line
        {{"2.5", "3.5"}, "a,b,c,d", {"b", "d"}},  // halves to the even neighbour
        {{"2"}, "\"x,y\",z", {"z"}},
        {{"7"}, "1,2,3,4,5,6,7,8", {"7"}},
    };
    for (const auto& c : cases) {
        ExtractionSettings s;
        s.cmb_type = kTypeCsv;
        for (std::size_t i = 0; i < c.starts.size(); ++i) s.conditions[i].txt_ichi = c.starts[i];
        const RecordPlan plan = make_plan(s);
        FieldList fields;
        fnc_csv2ary(c.record, plan, fields);
        fnc_change(plan, fields);
        std::vector<std::string> got;
        for (std::size_t i = 0; i < c.starts.size(); ++i) got.emplace_back(fields[i]);
        EXPECT_EQ(got, c.fields) << c.record;
    }
}

TEST(Keywords, SearchesTheRecordAsRead) {
    const struct {
        std::vector<std::pair<std::string, int>> keywords;
        std::string record;
        bool pass;
    } cases[] = {
        {{{"abc", kKeywordContains}}, "xxABCxx", false},
        {{{"abc", kKeywordContains}}, "xxabcxx", true},
        {{{"", kKeywordContains}, {"", kKeywordContains}, {"x", kKeywordLacks}}, "axb", false},
        {{{"", kKeywordContains}, {"", kKeywordContains}, {"x", kKeywordLacks}}, "ab", true},
        {{{"x", kKeywordContains}, {"y", kKeywordContains}}, "x alone", false},
        {{{"x", kKeywordContains}, {"y", kKeywordContains}}, "y and x", true},
        {{{" ", kKeywordContains}}, "ab", false},
        {{{" ", kKeywordContains}}, "a b", true},
        {{{"a,b", kKeywordContains}}, "\"a,b\",c", true},
        {{{"x", kNoEntry}}, "x", false},
        {{{"@", kKeywordContains}}, "\x83\x40", false},     // "@" inside ァ
        {{{"\x81\xE6", kKeywordContains}}, "\x87\x9A", true}, // ∵ by its other code
        {{}, "anything", true},
    };
    for (const auto& c : cases) {
        ExtractionSettings s;
        for (std::size_t j = 0; j < c.keywords.size(); ++j) {
            s.keywords[j].txt_keyword = c.keywords[j].first;
            s.keywords[j].cmb_keyword = c.keywords[j].second;
        }
        EXPECT_EQ(fnc_keyword(c.record, make_plan(s)), c.pass) << c.record;
    }
}

TEST(Keywords, ScannerOverTheHeldInputAgreesRecordByRecord) {
    // Records cut from one buffer of bytes that make partial characters,
    // "@" as a second byte and hits across record ends likely.
    const char alphabet[] = {'@', 'A', ' ', '\x83', '\x40', '\x81', '\xE6', '\x87', '\x9A', 'x'};
    std::uint32_t seed = 7;
    const auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 16; };
    for (const char* keyword : {"@", "A@", "\x83\x40", "@A", "\x81\xE6", "x", "\x40\x83"}) {
        ExtractionSettings s;
        s.keywords[1].txt_keyword = keyword;
        s.keywords[3].txt_keyword = "A";
        s.keywords[3].cmb_keyword = kKeywordLacks;
        const RecordPlan plan = make_plan(s);
        std::string held;
        for (int i = 0; i < 4000; ++i) held.push_back(alphabet[next() % sizeof alphabet]);
        KeywordScanner scanner;
        std::size_t pos = 0;
        std::uint64_t generation = 1;
        while (pos < held.size()) {
            const std::size_t len = std::min<std::size_t>(next() % 9, held.size() - pos);
            const std::string_view ahead = std::string_view(held).substr(pos);
            const std::string_view record = ahead.substr(0, len);
            if (next() % 50 == 0) ++generation;
            ASSERT_EQ(scanner.first_failed(record, ahead, generation, plan), first_failed_keyword(record, plan))
                << keyword << " at " << pos;
            pos += len == 0 ? 1 : len;
        }
    }
}

}  // namespace
}  // namespace lintavo
