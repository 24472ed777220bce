#include "engine/run/run.h"

#include "engine/messages.h"
#include "engine/text/decimal_text.h"
#include "engine/text/euc_jp.h"
#include "engine/text/numeric.h"
#include "engine/run/pass.h"
#include "engine/io/stop_signals.h"

namespace lintavo {
namespace {

bool known_type(int type) { return type >= kTypeText && type <= kTypeTsv; }

// The rows that will be in use once start positions are filled in: the
// filling gives a start to every row before the first row with neither.
int rows_in_use_after_fill(const ExtractionSettings& s) {
    int n = 0;
    while (n < kConditionRows && !(s.conditions[n].txt_ichi.empty() && s.conditions[n].txt_len.empty())) ++n;
    return n;
}

// The texts a run needs, in this order: the template in its write mode, the
// comparison value of each row in use that compares, each keyword given.
// The first for which `fails` holds is named after `message`.
template <class Fails>
std::optional<std::string> check_texts(const ExtractionSettings& s, int in_use, std::string_view message, Fails fails) {
    const auto bad = [message](TextField f) { return std::string(message) + field_name(f); };
    if (s.cmb_type_Write == kWriteTemplate && fails(TextField::Template, s.txt_hinagata)) return bad(TextField::Template);
    for (int i = 0; i < in_use; ++i) {
        const int c = s.conditions[i].cmb_select;
        if (c >= kCompareEqual && c <= kCompareNotEqual && fails(key_field(i), s.conditions[i].txt_key)) return bad(key_field(i));
    }
    for (int j = 0; j < kKeywordRows; ++j) {
        const std::string& k = s.keywords[j].txt_keyword;
        if (!k.empty() && fails(keyword_field(j), k)) return bad(keyword_field(j));
    }
    return std::nullopt;
}

// Texts typed in the window that code page 932 cannot hold, then texts the
// read encoding cannot hold: a comparison value or keyword silently changed
// would select other records.
std::optional<std::string> check_texts(const ExtractionSettings& s, int in_use) {
    auto failure = check_texts(s, in_use, msg::kUnencodable,
                               [&s](TextField f, const std::string&) { return s.holds_unencodable(f); });
    if (failure) return failure;
    if (s.cmb_code == kReadEucJp) {
        std::string converted;
        return check_texts(s, in_use, msg::kNotInEucJp,
                           [&converted](TextField, const std::string& text) { return !euc_jp::from_cp932(text, converted); });
    }
    if (s.cmb_code == kReadUtf16) {
        // UTF-16 has no way to hold a single byte among its two-byte units.
        return check_texts(s, in_use, msg::kNotInUtf16, [](TextField, const std::string& text) {
            bool invalid = false;
            for_each_code(Encoding::Cp932, text, [&invalid](std::uint32_t c) { invalid = invalid || (c >= 0xDC00 && c <= 0xDCFF); });
            return invalid;
        });
    }
    return std::nullopt;
}

// A "数値" row with a comparison from "=" to "<>" needs a key that is a number.
std::optional<std::string> check_number_keys(const ExtractionSettings& s, int in_use) {
    std::string number;
    for (int i = 0; i < in_use; ++i) {
        const ConditionRow& row = s.conditions[i];
        if (row.cmb_change != kConvertNumber || row.cmb_select < kCompareEqual || row.cmb_select > kCompareNotEqual) continue;
        if (!read_decimal(trim_blanks(row.txt_key, Encoding::Cp932), Encoding::Cp932, number)) return msg::key_not_number(i);
    }
    return std::nullopt;
}

std::optional<std::string> check_type_and_length(const ExtractionSettings& s) {
    if (!known_type(s.cmb_type)) return std::string(msg::kNoReadFileType);
    if (s.cmb_type == kTypeFixed && whole_value(s.txt_RecordLength) < 1) return std::string(msg::kBadRecordLength);
    return std::nullopt;
}

// The start of each row in use is a byte position, or for CSV the column it
// takes; CSV rows are never cut, so their lengths are not looked at.
std::optional<std::string> check_positions(const ExtractionSettings& s) {
    const bool csv = splits_columns(s.cmb_type);
    const int in_use = rows_in_use(s);
    bool cut = !csv;
    for (int i = 0; i < kConditionRows; ++i) {
        const ConditionRow& row = s.conditions[i];
        cut = cut && !row.txt_len.empty();
        if (i < in_use && whole_value(row.txt_ichi) < 1) return csv ? msg::bad_column(i) : msg::bad_start(i);
        if (cut && whole_value(row.txt_len) < 0) return msg::bad_length(i);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> check_before_start(const ExtractionSettings& s, RunFiles& files) {
    if (s.txt_ReadFile.empty()) return std::string(msg::kNoReadFile);
    if (s.txt_WriteFile.empty()) return std::string(msg::kNoWriteFile);
    if (auto failure = check_type_and_length(s)) return failure;
    if (files.same_file(s.txt_ReadFile, s.txt_WriteFile)) return std::string(msg::kSameFile);
    const int in_use = rows_in_use_after_fill(s);
    if (auto failure = check_texts(s, in_use)) return failure;
    return check_number_keys(s, in_use);
}

void fill_start_positions(ExtractionSettings& s, const std::function<void(int, const std::string&)>& set) {
    for (int i = 0; i < kConditionRows; ++i) {
        ConditionRow& row = s.conditions[i];
        if (row.txt_ichi.empty() && row.txt_len.empty()) return;
        if (!row.txt_ichi.empty()) continue;
        if (i == 0) {
            row.txt_ichi = "1";
        } else {
            const ConditionRow& prev = s.conditions[i - 1];
            row.txt_ichi = plain_decimal(numeric_value(prev.txt_ichi) + numeric_value(prev.txt_len));
        }
        set(i, row.txt_ichi);
    }
}

std::optional<std::string> check_for_preview(ExtractionSettings& s) {
    if (s.txt_ReadFile.empty()) return std::string(msg::kNoReadFile);
    if (auto failure = check_type_and_length(s)) return failure;
    const int in_use = rows_in_use_after_fill(s);
    if (auto failure = check_texts(s, in_use)) return failure;
    if (auto failure = check_number_keys(s, in_use)) return failure;
    fill_start_positions(s, [](int, const std::string&) {});
    return check_positions(s);
}

std::optional<UnusedRow> first_unused_row(const ExtractionSettings& s) {
    const int in_use = rows_in_use_after_fill(s);
    for (int i = in_use + 1; i < kConditionRows; ++i) {
        const ConditionRow& r = s.conditions[i];
        if (!r.txt_ichi.empty() || !r.txt_len.empty() || !r.txt_key.empty() || r.cmb_select > kCompareNone ||
            r.cmb_change > kConvertNone) {
            return UnusedRow{i, in_use};
        }
    }
    return std::nullopt;
}

RunResult cmd_select_Click(RunHost& host, RunFiles& files) {
    RunResult result;
    ExtractionSettings s = host.current_settings();
    if (auto failure = check_before_start(s, files)) {
        host.show_message(*failure);
        result.outcome = RunOutcome::CheckFailed;
        return result;
    }
    fill_start_positions(s, [&host](int row, const std::string& text) { host.set_start_position(row, text); });
    if (auto failure = check_positions(s)) {
        host.show_message(*failure);
        result.outcome = RunOutcome::CheckFailed;
        return result;
    }

    host.set_busy(true);
    host.show_counts(result.counts);
    const auto fail = [&](const std::string& message, RunOutcome outcome) {
        host.set_busy(false);
        host.show_message(message);
        result.outcome = outcome;
        return result;
    };
    // The files named when the checks were made are the ones opened.
    const std::string read_path = s.txt_ReadFile;
    const std::string write_path = s.txt_WriteFile;
    // The run works on the settings it has now taken; what the user changes
    // while it runs is for the next run.
    if (host.has_pauses()) {
        host.process_events();
        if (host.stop_requested()) {
            host.set_busy(false);
            result.outcome = RunOutcome::Stopped;
            return result;
        }
    }

    // A stop signal from here on stops the run instead of ending the program.
    const stop_signals::RunScope signals_stop_the_run;
    const auto stopped_by_signal = [&] {
        host.set_busy(false);
        result.outcome = RunOutcome::Stopped;
        return result;
    };
    std::shared_ptr<ByteSource> in = files.open_input(read_path);  // a FIFO's open waits for its writer
    if (!in && stop_signals::received() != 0) return stopped_by_signal();
    if (!in) return fail(std::string(msg::kCannotOpenInput) + read_path, RunOutcome::Failed);
    auto out = files.open_output(write_path);
    if (!out && stop_signals::received() != 0) return stopped_by_signal();
    if (!out && files.output_in_use()) return fail(std::string(msg::kOutputInUse) + write_path, RunOutcome::Failed);
    if (!out) return fail(std::string(msg::kCannotOpenOutput) + write_path, RunOutcome::Failed);

    Pass pass(host, s, in, *out);
    std::optional<std::string> failure = pass.run();
    std::optional<std::string> closing = pass.finish(*out);
    in.reset();
    out.reset();
    if (!failure) failure = closing;
    result.counts = pass.counts();
    host.show_counts(result.counts);
    // With the files closed: what was replaced in what was written. A run
    // that is stopped (the window closing, a stop signal) shows nothing more.
    const auto report_replacements = [&] {
        if (result.counts.replaced > 0 && result.outcome != RunOutcome::Stopped) {
            host.show_message(msg::replaced(result.counts.replaced, result.counts.first_replaced));
        }
        return result;
    };
    if (failure) {
        fail(*failure, RunOutcome::Failed);
        return report_replacements();
    }
    host.set_busy(false);
    result.outcome = pass.stopped() ? RunOutcome::Stopped : RunOutcome::Finished;
    return report_replacements();
}

}  // namespace lintavo
