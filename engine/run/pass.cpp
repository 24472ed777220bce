#include "engine/run/pass.h"

#include <new>

#include "engine/messages.h"
#include "engine/io/stop_signals.h"

namespace lintavo {

Pass::Pass(RunHost& host, const ExtractionSettings& settings, std::shared_ptr<ByteSource> in, ByteSink& out)
    : host_(host),
      read_encoding_(read_encoding(settings)),
      write_code_(settings.cmb_code_Write),
      taken_(read_encoding_),
      reader_(in),
      writer_(out),
      pauses_(host.has_pauses()) {
    counts_.input_size = in->size();
    set_transcoder();
    take_settings(settings);
}

void Pass::set_transcoder() {
    written_in_ = write_encoding(write_code_, read_encoding_);
    transcoder_.reset();
    if (written_in_ != read_encoding_) transcoder_.emplace(read_encoding_, written_in_);
}

void Pass::begin_lines() {
    if (plan_.type == kTypeFixed) {  // blocks of a length, whatever bytes they hold
        writer_.set_line_end(lines_.written_in(written_in_));
        return;
    }
    lines_ = reader_.sniff_line_break(read_encoding_);
    writer_.set_line_end(lines_.written_in(written_in_));
    plan_ = taken_.set_line_break(lines_);
}

void Pass::begin_encodings() {
    // The mark belongs to no record: positions count from the byte after it.
    // A UTF-16 file's mark gives its byte order.
    const Encoding read = read_encoding_;
    const InputMark mark = skip_mark(reader_, read);
    if (mark.encoding != read) {
        read_encoding_ = mark.encoding;
        set_transcoder();
        plan_ = taken_.set_encoding(read_encoding_);
        take_blocks();
    }
    const std::string_view written = output_mark(write_code_, mark);
    if (!written.empty()) writer_.write_bytes(written.data(), written.size(), 0);
}

std::string_view Pass::converted(std::string_view line, std::int64_t record) {
    const std::string_view out = transcoder_->convert(line);
    if (transcoder_->replaced() > 0) count_replaced(record);
    return out;
}

void Pass::count_replaced(std::int64_t record) {
    if (counts_.replaced == 0) counts_.first_replaced = record;
    counts_.replaced += static_cast<std::int64_t>(transcoder_->replaced());
}

std::optional<std::string> Pass::run() {
    try {
        begin_encodings();
        begin_lines();
        if (!header_line()) return std::nullopt;  // stopped at the pause before it
        if (writer_.failed()) return std::string(msg::kWriteFailed);
        return records();
    } catch (const std::bad_alloc&) {
        return std::string(msg::kOutOfMemory);  // a record larger than the memory can hold
    }
}

std::optional<std::string> Pass::finish(ByteSink& out) {
    reader_.stop();  // no read runs on once the input may be closed
    const bool flushed = writer_.flush();
    const bool closed = out.close();
    if (!flushed || !closed) return std::string(msg::kWriteFailed);
    return std::nullopt;
}

// With the setting on (TEXT and CSV), the first record (after a byte order
// mark) is the header line: counted, never tested, its fields cut and
// converted, and written first in the write mode's own form, except
// through the template, which lays out data records (and numbers them).
// The pause before record 1 comes first, as for any first record.
bool Pass::header_line() {
    if (reader_.at_end() || stop_signals::received() != 0) return true;
    if (pause_due() && pause() == Pause::Stop) return false;
    if (!plan_.header) return true;
    std::string_view record;
    if (!reader_.next_line(record)) return true;
    ++counts_.read;
    step_.cut(record, plan_);
    if (plan_.write_mode != kWriteTemplate) write_kept(record);
    return true;
}

std::optional<std::string> Pass::records() {
    while (!reader_.at_end()) {
        if (stop_signals::received() != 0) break;
        if (pause_due() && pause() == Pause::Stop) return std::nullopt;
        if (blocks_ != Blocks::None) {
            const Step step = block_step();
            if (writer_.failed()) return std::string(msg::kWriteFailed);
            if (step == Step::Interrupted) return std::nullopt;  // a pause stopped the run
            if (step != Step::NoRecordHeld) continue;
            // Only the start of a line is held: the next chunk joins it, so
            // that the block goes on (one write a chunk, not a line by
            // itself between two blocks). A line longer than a chunk is
            // read as one record instead, without scanning it again and again.
            if (reader_.held().size() < reader_.chunk_size() && reader_.read_more()) continue;
            if (reader_.failed()) break;
        }
        if (!one_record()) break;
        if (writer_.failed()) return std::string(msg::kWriteFailed);
    }
    if (stop_signals::received() != 0) {  // a stop signal: as when the window is closed
        stopped_ = true;
        return std::nullopt;
    }
    if (reader_.failed()) return std::string(msg::kReadFailed);
    return std::nullopt;
}

// The settings stay as the run took them: what the user changes in the
// meantime is for the next run.
Pass::Pause Pass::pause() {
    last_pause_ = counts_.read;
    host_.show_counts(counts());
    host_.process_events();
    if (!host_.stop_requested()) return Pause::Go;
    stopped_ = true;
    return Pause::Stop;
}

void Pass::take_settings(const ExtractionSettings& s) {
    plan_ = taken_.take(s);
    take_blocks();
}

void Pass::take_blocks() {
    keywords_.reset();
    // Blocks of lines can be handled at once when no column is compared and
    // every keyword is found by its bytes alone. UTF-16 lines, whose ends
    // are code units, go record by record, as do lines written in UTF-16.
    blocks_ = Blocks::None;
    anchor_ = -1;
    if (plan_.type == kTypeFixed || plan_.compares || is_utf16(read_encoding_) || is_utf16(written_in_)) return;
    for (int j = 0; j < plan_.keyword_count; ++j) {
        const KeywordPlan& k = plan_.keywords[j];
        if (k.needle.by_code()) return;
        if (!k.must_contain) continue;
        // The longest keyword is the likeliest to be rare.
        if (anchor_ < 0 || k.needle.bytes().size() > plan_.keywords[anchor_].needle.bytes().size()) anchor_ = j;
    }
    const bool as_read = !(plan_.write_mode >= kWriteJoined && plan_.write_mode <= kWriteCsvTab);
    if (anchor_ >= 0) blocks_ = Blocks::Anchor;
    else if (as_read) blocks_ = plan_.keyword_count == 0 ? Blocks::AsRead : Blocks::Absent;
}

bool Pass::one_record() {
    std::string_view record;
    const bool got = plan_.type == kTypeFixed ? reader_.next_block(static_cast<std::size_t>(plan_.record_length), record)
                                              : reader_.next_line(record);
    if (!got) return false;
    ++counts_.read;
    if (keep(record, reader_.ahead_of(record))) write_kept(record);
    return true;
}

bool Pass::keep(std::string_view record, std::string_view ahead) {
    if (plan_.fields_needed) step_.cut(record, plan_);
    return step_.test(plan_, [&] {
        // With blocks, the records handled here one by one are few and far
        // between: a search of what lies ahead of them would be wasted.
        return blocks_ != Blocks::None ? first_failed_keyword(record, plan_)
                                       : keywords_.first_failed(record, ahead, reader_.generation(), plan_);
    }).kept();
}

void Pass::write_kept(std::string_view record) {
    std::string_view line = step_.line(record, plan_, counts_.written);
    if (transcoder_) line = converted(line, counts_.read);
    writer_.write_line(line);
    ++counts_.written;
}

}  // namespace lintavo
