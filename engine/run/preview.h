// The preview: what a run would do with the first records of the read file,
// record by record, with the current settings, and nothing written. It
// takes the run's own steps (the reader and the byte order mark, the
// cutting and splitting, the conversions, comparisons and keywords, the
// line maker and the converter into the write encoding) and makes the
// run's checks that concern reading and testing; the write file is neither
// needed nor opened.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "engine/io/byte_io.h"
#include "engine/io/line_break.h"
#include "engine/run/record_step.h"
#include "engine/settings.h"

namespace lintavo {

enum class PreviewKind {
    Written,   // "○": the run writes it
    HeldBack,  // "×": a test failed
    Header,    // "見出し": the header line
};

// One record as the preview shows it. The views are valid only during the
// call that hands it out.
struct PreviewRecord {
    std::int64_t number = 0;  // its read count
    PreviewKind kind = PreviewKind::Written;
    Verdict verdict;                          // for HeldBack: the first test that failed
    std::string_view record;                  // as read, in the read encoding
    std::span<const std::string_view> fields;  // of the rows in use, converted, in the read encoding
    bool written = false;                     // a line is written for it (not so for a header in mode 2)
    std::string_view line;                    // that line without its line end, in the write encoding
};

// How the records are laid out, for those who show them.
struct PreviewLayout {
    int type = kTypeText;
    int write_mode = kWriteAsRead;
    Encoding read_encoding = Encoding::Cp932;
    Encoding write_encoding = Encoding::Cp932;
    int rows_in_use = 0;
    int cut_rows = 0;  // rows 0 .. cut_rows-1 are cut from TEXT and fixed-length records
    std::array<std::pair<std::int64_t, std::int64_t>, kConditionRows> cuts{};  // start (from 1) and length in bytes
    std::array<std::int64_t, kConditionRows> columns{};  // CSV: the column of each row in use
    bool header = false;  // the first record is the header line
    LineBreak lines;      // how the file's lines end, and so the lines written
};

class PreviewSink {
public:
    virtual ~PreviewSink() = default;
    // Once the checks have passed and the file is open, before any record.
    virtual void begin(const PreviewLayout& layout) = 0;
    virtual void record(const PreviewRecord& r) = 0;
    // False when no more records are wanted (their reader went away).
    virtual bool wants_more() const { return true; }
};

struct PreviewLimits {
    std::int64_t records = 1000;
    std::uint64_t bytes = 0;  // of the file read; 0 for no limit
    // Only the records a run would write are handed on, and `records`
    // counts them: the search goes on through the whole file for them.
    bool written_only = false;
    // Set by another thread to end the preview at the next record.
    const std::atomic<bool>* cancel = nullptr;
    // The records read so far, for another thread to show.
    std::atomic<std::int64_t>* progress = nullptr;
};

struct PreviewResult {
    std::optional<std::string> failure;  // the message of a failed check or of the read file
    std::int64_t read = 0;
    std::int64_t written = 0;
    // A limit ended the preview while the file went on: the records read
    // are the first of more.
    enum class Limit { None, Records, Bytes } limit = Limit::None;
    bool cancelled = false;  // the preview was ended before its limits
};

// The name of the test that failed first: "@2", "キーワード3", or the
// empty text for a record kept.
std::string failed_test_name(const Verdict& v);

// Reads the first records of the settings' read file, within the limits,
// and hands each to the sink (or only those a run writes). Only whole
// records are shown: with a byte limit, a record that runs on past it ends
// the preview.
PreviewResult preview(const ExtractionSettings& settings, RunFiles& files, const PreviewLimits& limits,
                      PreviewSink& sink);

}  // namespace lintavo
