// One pass of a run over the records of its input. Records are handled one
// by one, or, when the settings allow, a block at a time: when no column
// has a comparison, a record's fate depends only on the keywords, so the
// lines between two places where a keyword's bytes occur all share one
// fate and are only counted (and, written as read, copied as one block).
// Either way every record is counted and the host is paused before every
// hundredth record; the settings are those the run took when it began.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/conditions/keywords.h"
#include "engine/io/output_writer.h"
#include "engine/io/record_reader.h"
#include "engine/output/transcode.h"
#include "engine/run/byte_order_marks.h"
#include "engine/run/record_plan.h"
#include "engine/run/record_step.h"
#include "engine/run/run.h"

namespace lintavo {

class Pass {
public:
    Pass(RunHost& host, const ExtractionSettings& settings, std::shared_ptr<ByteSource> in, ByteSink& out);

    // Reads every record; returns the message of a failure, or nothing.
    std::optional<std::string> run();
    // Ends the reading (the input may be closed after it), writes out what
    // is buffered and closes the output; the message of a failure, or nothing.
    std::optional<std::string> finish(ByteSink& out);

    bool stopped() const { return stopped_; }
    // After a failed write, the records written are those wholly in the
    // output as it was cut back.
    RunCounts counts() {
        counts_.bytes_read = reader_.bytes_read();
        if (writer_.failed()) counts_.written = writer_.records_out();
        return counts_;
    }

private:
    enum class Pause { Go, Stop };
    enum class Step { Done, NoRecordHeld, Interrupted };
    // How blocks of lines are handled under the current settings.
    enum class Blocks {
        None,    // record by record
        AsRead,  // no keyword: every line is written as read
        Anchor,  // only lines holding the bytes of the anchor keyword can pass
        Absent,  // only "does not contain" keywords: lines holding none of their bytes pass, written as read
    };

    std::optional<std::string> records();
    // The header line, before the other records; false when the pause
    // before it stopped the run.
    bool header_line();
    bool pause_due() const { return pauses_ && counts_.read % 100 == 0 && counts_.read != last_pause_; }
    // Lets the host work; Stop when it asked the run to stop.
    Pause pause();
    void take_settings(const ExtractionSettings& s);
    // How blocks of lines are handled, for the plan taken.
    void take_blocks();
    // The converter from the read encoding into the write encoding, if they differ.
    void set_transcoder();

    // Record by record.
    bool one_record();
    bool keep(std::string_view record, std::string_view ahead);
    void write_kept(std::string_view record);
    // The encodings of the run; a byte order mark skipped and written.
    void begin_encodings();
    // The line ends of TEXT, CSV and TSV input, from its first bytes; the
    // lines written end alike.
    void begin_lines();
    // The line converted into the write encoding; `record` is the read
    // count of its (first) record, for the replacements' report.
    std::string_view converted(std::string_view line, std::int64_t record);
    // Counts the replacements of the last conversion, the first in `record`.
    void count_replaced(std::int64_t record);

    // A block at a time (pass_blocks.cpp).
    Step block_step();
    const char* complete_lines_end(const char* begin, const char* end) const;
    Step lines_between_hits(const char*& cursor, const char* stop, bool pass_between);
    const char* next_hit(const char* from, const char* stop);
    Step same_fate(const char*& cursor, const char* stop, bool kept);
    void write_as_read(const char* begin, const char* end, bool as_written, std::int64_t lines);

    RunHost& host_;
    // Fixed for the whole run, as the settings were when it began.
    Encoding read_encoding_;
    int write_code_;
    Encoding written_in_ = Encoding::Cp932;
    // The settings taken, with their texts in the read encoding, and their
    // plan (kept here too, where the records' loops find it).
    SettingsPlan taken_;
    std::optional<Transcoder> transcoder_;  // when the write encoding is another
    RecordPlan plan_;
    LineBreak lines_;
    RecordReader reader_;
    OutputWriter writer_;
    RecordStep step_;
    KeywordScanner keywords_;
    RunCounts counts_;
    bool pauses_;
    std::int64_t last_pause_ = -1;
    bool stopped_ = false;
    Blocks blocks_ = Blocks::None;
    int anchor_ = -1;
    // Next place of each keyword's bytes in the block being handled.
    std::array<const char*, kKeywordRows> hits_{};
};

}  // namespace lintavo
