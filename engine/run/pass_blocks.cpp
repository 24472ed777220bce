// The pass over blocks of lines: TEXT and CSV input whose records are kept
// or dropped by their keywords alone.
#include <algorithm>
#include <cstring>

#include "engine/system/files.h"
#include "engine/text/byte_scan.h"
#include "engine/run/pass.h"

namespace lintavo {

// One to all of the complete lines held: the block ends after the last
// line terminator. A CR that is the last byte held may yet be followed by a
// LF, so its line waits for the next read unless the input has ended.
const char* Pass::complete_lines_end(const char* begin, const char* end) const {
    const char t = lines_.byte();
    auto last = sys::find_last(begin, end, t);
    if (!lines_.is_lf() && last != nullptr && last + 1 == end && !reader_.input_ended()) {
        last = sys::find_last(begin, last, t);
    }
    return last == nullptr ? nullptr : lines_.after(last, end);
}

Pass::Step Pass::block_step() {
    const std::string_view held = reader_.held();
    const char* cursor = held.data();
    const char* const stop = complete_lines_end(cursor, cursor + held.size());
    if (stop == nullptr) return Step::NoRecordHeld;
    hits_.fill(nullptr);
    Step step = Step::Done;
    switch (blocks_) {
        case Blocks::AsRead: step = same_fate(cursor, stop, true); break;
        case Blocks::Anchor: step = lines_between_hits(cursor, stop, false); break;
        case Blocks::Absent: step = lines_between_hits(cursor, stop, true); break;
        case Blocks::None: break;
    }
    reader_.consume_to(cursor);
    return step;
}

// The first place at or after `from` where a keyword that decides the lines
// occurs: the anchor's bytes, or for "does not contain" keywords the
// nearest bytes of any of them.
const char* Pass::next_hit(const char* from, const char* stop) {
    if (blocks_ == Blocks::Anchor) return scan::find(from, stop, plan_.keywords[anchor_].needle.bytes());
    const char* nearest = nullptr;
    for (int j = 0; j < plan_.keyword_count; ++j) {
        const char*& hit = hits_[j];
        if (hit == stop) continue;  // none left in this block
        if (hit == nullptr || hit < from) {
            hit = scan::find(from, stop, plan_.keywords[j].needle.bytes());
            if (hit == nullptr) {
                hit = stop;
                continue;
            }
        }
        if (nearest == nullptr || hit < nearest) nearest = hit;
    }
    return nearest;
}

// The lines of [cursor, stop) that hold no hit share one fate: dropped
// after an anchor, written as read after "does not contain" keywords. A
// line that holds a hit is tested whole, as when read alone.
Pass::Step Pass::lines_between_hits(const char*& cursor, const char* stop, bool pass_between) {
    const char t = lines_.byte();
    const char* from = cursor;
    while (cursor < stop) {
        const char* hit = next_hit(from, stop);
        if (hit == nullptr) return same_fate(cursor, stop, pass_between);
        const char* before = hit > cursor ? sys::find_last(cursor, hit, t)
                                          : nullptr;
        const char* line = before == nullptr ? cursor : lines_.after(before, stop);
        // A terminator follows every hit: the block ends after one.
        const auto ends_at = static_cast<const char*>(std::memchr(hit, t, static_cast<std::size_t>(stop - hit)));
        const char* record_end = lines_.record_end(line, ends_at);
        if (line > hit || hit >= record_end) {  // the bytes begin in a line terminator
            from = hit + 1;
            continue;
        }
        const Step step = same_fate(cursor, line, pass_between);
        if (step != Step::Done) return step;
        if (pause_due() && pause() != Pause::Go) return Step::Interrupted;
        const std::string_view record(line, static_cast<std::size_t>(record_end - line));
        ++counts_.read;
        if (first_failed_keyword(record, plan_, blocks_ == Blocks::Anchor ? anchor_ : -1, static_cast<std::size_t>(hit - line)) < 0) {
            if (plan_.fields_needed) step_.cut(record, plan_);
            write_kept(record);
        }
        cursor = from = lines_.after(ends_at, stop);
    }
    return Step::Done;
}

// The whole lines of [cursor, stop), all kept (written as read) or all
// dropped. They are counted, not looked at one by one; the pauses before
// every hundredth record fall between them, and a pause that stops the run
// ends the block at that record.
Pass::Step Pass::same_fate(const char*& cursor, const char* stop, bool kept) {
    if (cursor == stop) return Step::Done;
    const char t = lines_.byte();
    const scan::LineEnds ends = !kept                ? scan::LineEnds{scan::count(cursor, stop, t), true}
                                : lines_.is_lf() ? scan::lf_ends(cursor, stop)
                                                     : scan::line_ends(cursor, stop);
    const auto lines = static_cast<std::int64_t>(ends.count);
    std::int64_t done = 0;
    while (done < lines) {
        if (pause_due() && pause() != Pause::Go) {
            const char* at = done == 0 ? cursor : lines_.after(scan::nth(cursor, stop, t, static_cast<std::size_t>(done)), stop);
            if (kept) write_as_read(cursor, at, ends.as_written, done);
            cursor = at;
            return Step::Interrupted;
        }
        std::int64_t step = lines - done;
        if (pauses_) step = std::min(step, 100 - counts_.read % 100);
        counts_.read += step;
        if (kept) counts_.written += step;
        done += step;
    }
    if (kept) write_as_read(cursor, stop, ends.as_written, lines);
    cursor = stop;
    return Step::Done;
}

// Whole lines (`lines` of them) written as read, each ended as lines are
// written: as one block when they already end so, else line by line.
void Pass::write_as_read(const char* begin, const char* end, bool as_written, std::int64_t lines) {
    const char t = lines_.byte();
    if (transcoder_) {
        // Converted as one block: the lines are the last `lines` counted.
        const std::string_view block = transcoder_->convert(std::string_view(begin, static_cast<std::size_t>(end - begin)));
        if (transcoder_->replaced() > 0) {
            const auto line = static_cast<std::int64_t>(scan::count(begin, begin + transcoder_->first_replaced(), t));
            count_replaced(counts_.read - lines + 1 + line);
        }
        begin = block.data();
        end = begin + block.size();
    }
    if (as_written) {
        writer_.write_bytes(begin, static_cast<std::size_t>(end - begin), lines);
        return;
    }
    while (begin < end) {
        const auto ends_at = static_cast<const char*>(std::memchr(begin, t, static_cast<std::size_t>(end - begin)));
        writer_.write_line(std::string_view(begin, static_cast<std::size_t>(lines_.record_end(begin, ends_at) - begin)));
        begin = lines_.after(ends_at, end);
    }
}

}  // namespace lintavo
