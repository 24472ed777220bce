// Runs over files as users have them: LF line ends, CSV columns picked by
// number, numbers compared as numbers, quotes inside CSV fields written.
// Each case runs with pauses and without, and where the settings allow it
// also record by record, through a condition that every record passes.
#include <gtest/gtest.h>

#include <functional>

#include "engine/messages.h"
#include "file_run.h"
#include "test_support.h"

namespace lintavo {
namespace {

constexpr auto sj = test::sjis;
using Set = std::function<void(ExtractionSettings&)>;

struct Case {
    const char* name;
    std::string input;
    Set set;
    std::string output;
    std::int64_t read, written;
    std::string message = {};
};

// Every record passes it, and the pass then goes record by record.
void record_by_record(ExtractionSettings& s) {
    s.conditions[0].txt_ichi = "1";
    s.conditions[0].txt_len = "0";
    s.conditions[0].cmb_select = kCompareIsNull;
}

void run_cases(const std::vector<Case>& cases, bool also_record_by_record) {
    for (const Case& c : cases) {
        for (int way = 0; way < (also_record_by_record ? 3 : 2); ++way) {
            SCOPED_TRACE(std::string(c.name) + " way " + std::to_string(way));
            ExtractionSettings s;
            if (c.set) c.set(s);
            if (way == 2) record_by_record(s);
            const test::FileRun run = test::run_over(c.input, s, way == 1);
            EXPECT_EQ(run.output, c.output);
            EXPECT_EQ(run.result.counts.read, c.read);
            EXPECT_EQ(run.result.counts.written, c.written);
            EXPECT_EQ(run.messages, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
        }
    }
}

Set both(Set a, Set b) {
    return [=](ExtractionSettings& s) {
        a(s);
        b(s);
    };
}
Set keyword(const char* text, int kind) {
    return [=](ExtractionSettings& s) {
        s.keywords[0].txt_keyword = text;
        s.keywords[0].cmb_keyword = kind;
    };
}
void utf8(ExtractionSettings& s) { s.cmb_code = kReadUtf8; }

TEST(RealFiles, LineEnds) {
    const std::string lines(70000, 'x');  // no line end in the first 64 KiB
    std::string lf_then_crlf;
    for (int i = 0; i < 9000; ++i) lf_then_crlf += "line\n";  // 45000 bytes
    lf_then_crlf += std::string(30000, 'y') + "\nc\r\nd\re\n";
    const std::vector<Case> cases = {
        {"LF", "a\nb\n", nullptr, "a\nb\n", 2, 2},
        {"LF, the last line unended", "a\nb", nullptr, "a\nb\n", 2, 2},
        {"CR LF", "a\r\nb\r\n", nullptr, "a\r\nb\r\n", 2, 2},
        {"CR", "a\rb\r", nullptr, "a\r\nb\r\n", 2, 2},
        {"mixed: a lone LF is data", "a\r\nb\nc\r\n", nullptr, "a\r\nb\nc\r\n", 2, 2},
        {"a LF only after 64 KiB", lines + "\nb\n", nullptr, lines + "\nb\n\r\n", 1, 1},
        {"a CR only after 64 KiB", lf_then_crlf, nullptr,
         test::replace_all(lf_then_crlf, "\r\n", "\n"), 9003, 9003},
        {"a UTF-8 mark before the first break", "\xEF\xBB\xBF" "a\nb\n", utf8, "\xEF\xBB\xBF" "a\nb\n", 2, 2},
        {"kept by a keyword", "ab\nb\nca\n", keyword("a", kKeywordContains), "ab\nca\n", 3, 2},
        {"dropped by a keyword", "ab\r\nb\nc\r\n", keyword("a", kKeywordLacks), "b\nc\r\n", 2, 1},
        {"a CR only after 64 KiB, kept by a keyword", lf_then_crlf, keyword("c", kKeywordContains), "c\n", 9003, 1},
        {"header line", "h\n1\n2\n",
         both(keyword("2", kKeywordContains), [](ExtractionSettings& s) { s.chk_header = 1; }), "h\n2\n", 3, 2},
        {"template lines", "a\nb\n",
         [](ExtractionSettings& s) {
             s.cmb_type_Write = kWriteTemplate;
             s.txt_hinagata = "@0\r\n-";
         },
         "1\n-\n2\n-\n", 2, 2},
        {"CSV written quoted", "1,x\n2,y\n",
         [](ExtractionSettings& s) {
             s.cmb_type = kTypeCsv;
             s.conditions[0].txt_ichi = "2";
             s.cmb_type_Write = kWriteCsvComma;
         },
         "\"x\"\n\"y\"\n", 2, 2},
    };
    run_cases(cases, false);
    std::vector<Case> as_read;
    for (const Case& c : cases) {
        if (c.set == nullptr) as_read.push_back(c);
    }
    run_cases(as_read, true);
}

// CSV rows by column number: the fields written in row order, the column
// check for a start below 1.
TEST(RealFiles, CsvColumnsByNumber) {
    const auto columns = [](std::vector<const char*> starts, int mode = kWriteCsvComma) {
        return [=](ExtractionSettings& s) {
            s.cmb_type = kTypeCsv;
            for (std::size_t i = 0; i < starts.size(); ++i) s.conditions[i].txt_ichi = starts[i];
            s.cmb_type_Write = mode;
        };
    };
    const std::string input = "a,b,c\r\nd,e,f\r\n";
    const std::vector<Case> cases = {
        {"own numbers", input, columns({"1", "2", "3"}), "\"a\",\"b\",\"c\"\r\n\"d\",\"e\",\"f\"\r\n", 2, 2},
        {"out of order, repeated", input, columns({"3", "1", "3"}), "\"c\",\"a\",\"c\"\r\n\"f\",\"d\",\"f\"\r\n", 2, 2},
        {"joined, beyond the line", input, columns({"2", "9"}, kWriteJoined), "b\r\ne\r\n", 2, 2},
        {"2.5 is column 2", input, columns({"2.5"}, kWriteJoined), "b\r\ne\r\n", 2, 2},
        {"a condition on column 7 alone", "1,2,3,4,5,6,x\r\n1,2,3,4,5,6,y\r\n",
         both(columns({"7"}, kWriteAsRead),
              [](ExtractionSettings& s) {
                  s.conditions[0].cmb_select = kCompareEqual;
                  s.conditions[0].txt_key = "y";
              }),
         "1,2,3,4,5,6,y\r\n", 2, 1},
        {"column 0", input, columns({"1", "0"}), "", 0, 0, msg::bad_column(1)},
        {"a negative column", input, columns({"-2"}), "", 0, 0, msg::bad_column(0)},
        {"a length does not count", input,
         both(columns({"2"}, kWriteJoined), [](ExtractionSettings& s) { s.conditions[0].txt_len = "-1"; }),
         "b\r\ne\r\n", 2, 2},
        // Excel's TAB-separated export: an unquoted comma stays in its cell.
        {"TSV", sj("東京都千代田区1-1, ビル\t1,234\r\n大阪府\t5\r\n"),
         both(columns({"2", "1"}), [](ExtractionSettings& s) {
             s.cmb_type = kTypeTsv;
             s.conditions[0].cmb_select = kCompareEqual;
             s.conditions[0].txt_key = "1,234";
         }),
         sj("\"1,234\",\"東京都千代田区1-1, ビル\"\r\n"), 2, 1},
    };
    run_cases(cases, false);
}

// "数値": fields and keys compared as numbers, the field written without
// its blanks, a key that is no number refused before the run.
TEST(RealFiles, Numbers) {
    const auto amount = [](int comparison, const char* key, int column = 2) {
        return [=](ExtractionSettings& s) {
            s.cmb_type = kTypeCsv;
            s.conditions[0].txt_ichi = std::to_string(column);
            s.conditions[0].cmb_change = kConvertNumber;
            s.conditions[0].cmb_select = comparison;
            s.conditions[0].txt_key = sj(key);
            s.cmb_type_Write = kWriteJoined;
        };
    };
    const std::string input = sj("a, 8500 \r\nb,１２，０００\r\nc,　10000　\r\nd,n/a\r\n");
    const std::vector<Case> cases = {
        {"=> 10000", input, amount(kCompareGreaterEqual, "10000"), sj("１２，０００\r\n10000\r\n"), 4, 2},
        {"< 10,000", input, amount(kCompareLess, "10,000"), "8500\r\n", 4, 1},
        {"<> 0: a text is no number", input, amount(kCompareNotEqual, "0"), sj("8500\r\n１２，０００\r\n10000\r\n"), 4, 3},
        {"IS NULL on the trimmed text", sj("a,　\r\nb,1\r\n"), amount(kCompareIsNull, "x"), "\r\n", 2, 1},
        {"a key that is no number", input, amount(kCompareEqual, "1万"), "", 0, 0, msg::key_not_number(0)},
        {"a key that is no number, in a row not in use", input,
         both(amount(kCompareEqual, "x"), [](ExtractionSettings& s) {
             s.conditions[0].txt_ichi.clear();
             s.cmb_type_Write = kWriteAsRead;
         }),
         input, 4, 4},
    };
    run_cases(cases, false);
}

}  // namespace
}  // namespace lintavo
