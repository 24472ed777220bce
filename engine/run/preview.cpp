#include "engine/run/preview.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "engine/conditions/keywords.h"
#include "engine/io/record_reader.h"
#include "engine/messages.h"
#include "engine/output/transcode.h"
#include "engine/run/byte_order_marks.h"
#include "engine/run/run.h"

namespace lintavo {
namespace {

// A file read up to a number of bytes and no further. Whether the file went
// on is known once more was asked for: one byte past the limit is read then.
class LimitedSource : public ByteSource {
public:
    LimitedSource(std::shared_ptr<ByteSource> in, std::uint64_t limit) : in_(std::move(in)), left_(limit) {}
    long long read(char* buf, std::size_t n) override {
        if (left_ == 0) {
            if (!probed_) {
                char b;
                probed_ = true;
                went_on_ = in_->read(&b, 1) > 0;
            }
            return 0;
        }
        const long long got = in_->read(buf, static_cast<std::size_t>(std::min<std::uint64_t>(n, left_)));
        if (got > 0) left_ -= static_cast<std::uint64_t>(got);
        return got;
    }
    long long size() const override { return in_->size(); }
    // The file holds more than the limit.
    bool went_on() const { return went_on_; }

private:
    std::shared_ptr<ByteSource> in_;
    std::uint64_t left_;
    bool probed_ = false;
    bool went_on_ = false;
};

PreviewLayout layout_of(const RecordPlan& plan, Encoding read, Encoding written) {
    PreviewLayout l;
    l.type = plan.type;
    l.write_mode = plan.write_mode;
    l.read_encoding = read;
    l.write_encoding = written;
    l.rows_in_use = plan.rows_in_use;
    l.cut_rows = splits_columns(plan.type) ? 0 : plan.cut_rows;
    for (int i = 0; i < l.cut_rows; ++i) l.cuts[i] = {plan.rows[i].start, plan.rows[i].length};
    if (splits_columns(plan.type)) {
        for (int i = 0; i < plan.rows_in_use; ++i) l.columns[i] = plan.rows[i].start;
    }
    l.header = plan.header;
    return l;
}

}  // namespace

std::string failed_test_name(const Verdict& v) {
    if (v.failed_row >= 0) return "@" + std::to_string(v.failed_row + 1);
    if (v.failed_keyword >= 0) return "キーワード" + std::to_string(v.failed_keyword + 1);
    return {};
}

PreviewResult preview(const ExtractionSettings& settings, RunFiles& files, const PreviewLimits& limits,
                      PreviewSink& sink) {
    PreviewResult result;
    ExtractionSettings s = settings;  // start positions are filled in here only
    if (auto failure = check_for_preview(s)) {
        result.failure = std::move(failure);
        return result;
    }
    std::shared_ptr<ByteSource> file = files.open_input(s.txt_ReadFile);
    if (!file) {
        result.failure = std::string(msg::kCannotOpenInput) + s.txt_ReadFile;
        return result;
    }
    std::shared_ptr<LimitedSource> limited;
    if (limits.bytes > 0) limited = std::make_shared<LimitedSource>(file, limits.bytes);
    try {
        RecordReader reader(limited ? std::shared_ptr<ByteSource>(limited) : file);
        // As in the run: the mark belongs to no record, and gives UTF-16's byte order.
        const Encoding read = skip_mark(reader, read_encoding(s)).encoding;
        LineBreak lines;
        if (s.cmb_type != kTypeFixed) lines = reader.sniff_line_break(read);
        SettingsPlan taken(read, lines);
        const RecordPlan& plan = taken.take(s);
        const Encoding written_in = write_encoding(s.cmb_code_Write, read);
        std::optional<Transcoder> transcoder;
        if (written_in != read) transcoder.emplace(read, written_in);
        PreviewLayout layout = layout_of(plan, read, written_in);
        layout.lines = lines;
        sink.begin(layout);

        RecordStep step;
        std::vector<std::string_view> fields(static_cast<std::size_t>(plan.rows_in_use));
        const auto length = static_cast<std::size_t>(plan.record_length);
        std::int64_t shown = 0;
        while (shown < limits.records && sink.wants_more()) {
            if (limits.cancel != nullptr && limits.cancel->load(std::memory_order_relaxed)) {
                result.cancelled = true;
                break;
            }
            std::string_view record;
            const bool got = plan.type == kTypeFixed ? reader.next_block(length, record) : reader.next_line(record);
            if (!got) break;
            // A record the byte limit cut off is no record of the file.
            if (limited && limited->went_on() &&
                (plan.type == kTypeFixed ? record.size() < length : reader.ahead_of(record).size() == record.size())) {
                break;
            }
            PreviewRecord r;
            r.number = ++result.read;
            r.record = record;
            // Every record shows its fields; a search for the written ones
            // cuts only what the tests need until a record is written.
            const bool cut_first = plan.rows_in_use > 0 && (!limits.written_only || plan.fields_needed);
            if (cut_first) step.cut(record, plan);
            if (plan.header && r.number == 1) {
                r.kind = PreviewKind::Header;
                r.written = plan.write_mode != kWriteTemplate;
            } else {
                r.verdict = step.test(plan, [&] { return first_failed_keyword(record, plan); });
                r.kind = r.verdict.kept() ? PreviewKind::Written : PreviewKind::HeldBack;
                r.written = r.verdict.kept();
            }
            if (r.written) {
                r.line = step.line(record, plan, result.written);
                if (transcoder) r.line = transcoder->convert(r.line);
                ++result.written;
            }
            if (limits.progress != nullptr && result.read % 1024 == 0) limits.progress->store(result.read, std::memory_order_relaxed);
            if (limits.written_only && !r.written) continue;
            if (!cut_first && plan.rows_in_use > 0) step.cut(record, plan);
            for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = step.fields()[i];
            r.fields = fields;
            ++shown;
            sink.record(r);
        }
        if (limits.progress != nullptr) limits.progress->store(result.read, std::memory_order_relaxed);
        if (reader.failed()) {
            result.failure = std::string(msg::kReadFailed);
        } else if (limited && limited->went_on() && (result.read < limits.records || reader.at_end())) {
            result.limit = PreviewResult::Limit::Bytes;
        } else if (!result.cancelled && shown == limits.records && !reader.at_end()) {
            result.limit = PreviewResult::Limit::Records;
        }
    } catch (const std::bad_alloc&) {
        result.failure = std::string(msg::kOutOfMemory);
    }
    return result;
}

}  // namespace lintavo
