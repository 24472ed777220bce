// The run's two ways through the records, line blocks and one record at a
// time, held against a plain record-by-record reference built from the
// engine's column, keyword and line functions: random inputs read in random
// small pieces, random settings, pauses with edits and stops.
#include <gtest/gtest.h>

#include <random>

#include "engine/conditions/columns.h"
#include "engine/conditions/keywords.h"
#include "engine/output/line_maker.h"
#include "engine/run/record_plan.h"
#include "engine/run/run.h"
#include "memory_files.h"
#include "test_support.h"

namespace lintavo {
namespace {

using test::MemoryFiles;

// Records of a TEXT or CSV input, by the line rules: a LF file (a LF and no
// CR in it) ends its records at LF, any other file at CR LF or a lone CR.
std::vector<std::string> split_lines(const std::string& input, bool lf) {
    std::vector<std::string> records;
    std::size_t start = 0;
    const char end = lf ? '\n' : '\r';
    while (start < input.size()) {
        const std::size_t at = input.find(end, start);
        if (at == std::string::npos) {
            records.push_back(input.substr(start));
            break;
        }
        records.push_back(input.substr(start, at - start));
        start = at + 1;
        if (!lf && start < input.size() && input[start] == '\n') ++start;
    }
    return records;
}

// The output of records [from, to) under one set of settings, the write
// count going on from `written`; the lines of a LF file end with LF, its
// template's line breaks too.
std::string reference(const std::vector<std::string>& records, std::size_t from, std::size_t to,
                      ExtractionSettings s, bool lf, std::int64_t& written) {
    const std::string_view line_end = lf ? "\n" : "\r\n";
    if (lf) s.txt_hinagata = test::replace_all(s.txt_hinagata, "\r\n", "\n");
    const RecordPlan plan = make_plan(s);
    FieldList fields;
    std::string line, out;
    for (std::size_t i = from; i < to; ++i) {
        const std::string& record = records[i];
        bool keep = true;
        if (plan.fields_needed) {
            if (splits_columns(plan.type)) fnc_csv2ary(record, plan, fields);
            else fnc_rec2ary(record, plan, fields);
            fnc_change(plan, fields);
            if (plan.compares) keep = fnc_compare(plan, fields);
        }
        if (!fnc_keyword(record, plan)) keep = false;
        if (!keep) continue;
        out += fnc_makeline(plan.write_mode, record, fields, plan.rows_in_use, plan.hinagata, written, line);
        out += line_end;
        ++written;
    }
    return out;
}

class ScriptedHost : public RunHost {
public:
    ExtractionSettings settings;
    ExtractionSettings after_edit;
    bool pauses = true;
    std::int64_t edit_at = -1;  // the pause (read count) at which the settings change
    std::int64_t stop_at = -1;  // the pause at which the run is stopped
    std::vector<std::int64_t> paused_at;
    std::vector<std::string> messages;
    RunCounts last;

    void show_message(std::string_view text) override { messages.emplace_back(text); }
    void set_busy(bool) override {}
    void show_counts(const RunCounts& c) override { last = c; }
    void process_events() override {
        paused_at.push_back(last.read);
        if (paused_at.size() == 1) return;  // the pause before the files are opened
        if (last.read == edit_at) settings = after_edit;
        if (last.read == stop_at) stop = true;
    }
    const ExtractionSettings& current_settings() override { return settings; }
    void set_start_position(int row, const std::string& text) override { settings.conditions[row].txt_ichi = text; }
    bool stop_requested() override { return stop; }
    bool has_pauses() const override { return pauses; }

private:
    bool stop = false;
};

// Random inputs from a small alphabet that holds what matters: line ends of
// every kind, CSV quotes and separators, double-byte characters whose second
// byte is a keyword's first, lone lead bytes.
class Random {
public:
    explicit Random(unsigned seed) : rng_(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool one_in(int n) { return below(n) == 0; }

    std::string input(int records, bool lf) {
        static const char* const pieces[] = {"a", "b", "E", "0", "1", " ", ",", "\"", "\n", "\t", "\x83\x45", "\x8E\xB8",
                                             "\x83", "E0", "\x81\xE6", "\x87\x9A", "ab"};
        std::string s;
        for (int r = 0; r < records; ++r) {
            const int len = below(12);
            for (int i = 0; i < len; ++i) s += pieces[below(static_cast<int>(std::size(pieces)))];
            s += lf ? "\n" : one_in(8) ? "\r" : "\r\n";
        }
        if (one_in(3)) s += "tail";
        return s;
    }

    ExtractionSettings settings(bool allow_compares) {
        static const char* const keywords[] = {"E0", "a", "\x83\x45", "E", "\n", "b a", "\r", "0\r\n1", "\x81\xE6",
                                               "\x45\x30", "ab", "\""};
        ExtractionSettings s;
        s.txt_ReadFile = "in";
        s.txt_WriteFile = "out";
        s.cmb_type = one_in(3) ? kTypeCsv : kTypeText;
        s.cmb_type_Write = below(5);
        s.txt_hinagata = "@0|@1|@2\r\n";
        const int rows = below(4);
        for (int i = 0; i < rows; ++i) {
            ConditionRow& c = s.conditions[i];
            c.txt_ichi = std::to_string(1 + below(6));
            c.txt_len = std::to_string(below(5));
            c.cmb_change = below(5);
            if (allow_compares && one_in(3)) {
                c.cmb_select = 1 + below(8);
                c.txt_key = keywords[below(static_cast<int>(std::size(keywords)))];
            }
        }
        for (int j = 0; j < kKeywordRows; ++j) {
            if (!one_in(3)) continue;
            s.keywords[j].txt_keyword = keywords[below(static_cast<int>(std::size(keywords)))];
            s.keywords[j].cmb_keyword = one_in(3) ? kKeywordLacks : kKeywordContains;
        }
        return s;
    }

private:
    std::mt19937 rng_;
};

TEST(Pass, AgreesWithRecordByRecordReference) {
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        Random r(seed);
        MemoryFiles files;
        files.seed = seed;
        files.largest_piece = r.one_in(4) ? 4096 : 1 + static_cast<std::size_t>(r.below(40));
        files.read_ahead = seed % 2 == 0;  // every other seed reads on a thread of its own
        const int count = r.one_in(4) ? 150 + r.below(300) : r.below(30);
        const bool lf = r.one_in(3);
        files.input = r.input(count, lf);
        ScriptedHost host;
        host.settings = r.settings(r.one_in(4));
        host.pauses = !r.one_in(3);
        const auto records = split_lines(files.input, lf && files.input.find('\n') != std::string::npos);
        const auto total = static_cast<std::int64_t>(records.size());
        std::int64_t change = total;  // records before the edit or the stop
        bool stopped = false;
        if (host.pauses && total > 100 && r.one_in(2)) {
            change = 100 * (1 + r.below(static_cast<int>((total - 1) / 100)));
            if (r.one_in(3)) {
                host.stop_at = change;
                stopped = true;
            } else {
                host.edit_at = change;
                host.after_edit = r.settings(r.one_in(4));
            }
        }
        const ExtractionSettings first = host.settings;
        const RunResult result = cmd_select_Click(host, files);

        // An edit during the run changes nothing in it.
        std::int64_t written = 0;
        const std::string want = reference(records, 0, stopped ? static_cast<std::size_t>(change) : records.size(), first,
                                           lf && files.input.find('\n') != std::string::npos, written);
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_TRUE(host.messages.empty()) << host.messages.front();
        ASSERT_EQ(files.output, want) << ::testing::PrintToString(files.input) << "\n"
                                      << ::testing::PrintToString(first) << "\nedit at " << host.edit_at << " stop at "
                                      << host.stop_at << "\n" << ::testing::PrintToString(host.after_edit);
        EXPECT_EQ(result.counts.read, stopped ? change : total);
        EXPECT_EQ(result.counts.written, written);
        EXPECT_EQ(result.outcome, stopped ? RunOutcome::Stopped : RunOutcome::Finished);
        if (host.pauses) {
            std::vector<std::int64_t> want_pauses{0};
            for (std::int64_t at = 0; at < (stopped ? change + 1 : total); at += 100) want_pauses.push_back(at);
            EXPECT_EQ(host.paused_at, want_pauses);
        } else {
            EXPECT_TRUE(host.paused_at.empty());
        }
    }
}

}  // namespace
}  // namespace lintavo
