// A whole run on arbitrary input bytes with settings taken from the fuzz
// input: no crash, no hang, and with write mode 0 and no condition the
// output is the input's records, byte for byte, each ended by CR LF (by LF
// for a LF file, which the fuzzer makes by leaving out every CR); with
// an output that fills up, the records that fit, whole. The encodings are
// picked too: then the records are converted as a whole text would be,
// after the byte order mark their choice asks for. A preview of the same
// input shows as written exactly the lines the run wrote.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/io/line_break.h"
#include "engine/text/numeric.h"
#include "engine/run/byte_order_marks.h"
#include "engine/run/preview.h"
#include "engine/run/record_plan.h"
#include "engine/run/run.h"
#include "engine/output/transcode.h"
#include "tests/engine/memory_files.h"

namespace {

using namespace lintavo;

class Host : public RunHost {
public:
    ExtractionSettings settings;
    bool pauses = true;
    void show_message(std::string_view) override {}
    void set_busy(bool) override {}
    void show_counts(const RunCounts&) override {}
    void process_events() override {}
    const ExtractionSettings& current_settings() override { return settings; }
    void set_start_position(int row, const std::string& text) override { settings.conditions[row].txt_ichi = text; }
    bool has_pauses() const override { return pauses; }
};

// The lines a preview shows written, each ended as the run ends them.
struct WrittenLines : PreviewSink {
    std::string lines;
    std::string_view end = "\r\n";
    void begin(const PreviewLayout& layout) override { end = layout.lines.written_in(layout.write_encoding); }
    void record(const PreviewRecord& r) override {
        if (!r.written) return;
        lines.append(r.line);
        lines.append(end);
    }
};

// The records written as read, each ended by CR LF, or by LF in a LF file.
std::string as_read(const std::string& input, int type, std::int64_t record_length) {
    std::string out;
    if (type == kTypeFixed) {
        const auto n = static_cast<std::size_t>(record_length);
        for (std::size_t at = 0; at < input.size(); at += n) out += input.substr(at, n) + "\r\n";
        return out;
    }
    const std::string head = input.substr(0, LineBreak::kSniffBytes);
    const bool lf = head.find('\n') != std::string::npos && head.find('\r') == std::string::npos;
    const char end = lf ? '\n' : '\r';
    std::size_t start = 0;
    while (start < input.size()) {
        const std::size_t at = input.find(end, start);
        if (at == std::string::npos) {
            out += input.substr(start) + (lf ? "\n" : "\r\n");
            break;
        }
        const std::size_t record_end = lf && at > start && input[at - 1] == '\r' ? at - 1 : at;
        out += input.substr(start, record_end - start) + (lf ? "\n" : "\r\n");
        start = at + 1;
        if (!lf && start < input.size() && input[start] == '\n') ++start;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Host host;
    test::MemoryFiles files;
    ExtractionSettings& s = host.settings;
    s.txt_ReadFile = "in";
    s.txt_WriteFile = "out";
    s.cmb_type = in.ConsumeIntegralInRange(0, 3);  // TEXT, CSV, fixed length, TSV
    s.cmb_code = in.ConsumeIntegralInRange(0, static_cast<int>(kReadCodes.size()) - 1);
    s.cmb_code_Write = in.ConsumeIntegralInRange(0, static_cast<int>(kWriteCodes.size()) - 1);
    s.chk_header = in.ConsumeBool() ? 1 : 0;  // written as read like the records after it
    s.txt_RecordLength = in.ConsumeRandomLengthString(12);
    s.cmb_type_Write = in.ConsumeIntegralInRange(0, 4);
    s.txt_hinagata = in.ConsumeRandomLengthString(24);
    host.pauses = in.ConsumeBool();
    files.largest_piece = in.ConsumeIntegralInRange<std::size_t>(1, 4096);
    files.seed = in.ConsumeIntegral<unsigned>();
    files.read_ahead = in.ConsumeBool();
    const bool full_disk = in.ConsumeIntegralInRange(0, 7) == 0;
    if (full_disk) files.room = in.ConsumeIntegralInRange<std::size_t>(0, 4096);
    const int rows = in.ConsumeIntegralInRange(0, kConditionRows);
    for (int i = 0; i < rows; ++i) {
        ConditionRow& c = s.conditions[i];
        c.txt_ichi = in.ConsumeRandomLengthString(8);
        c.txt_len = in.ConsumeRandomLengthString(8);
        c.cmb_select = in.ConsumeIntegralInRange(0, 8);
        c.txt_key = in.ConsumeRandomLengthString(8);
        c.cmb_change = in.ConsumeIntegralInRange(0, 5);
    }
    const int keywords = in.ConsumeIntegralInRange(0, kKeywordRows);
    for (int j = 0; j < keywords; ++j) {
        s.keywords[j].txt_keyword = in.ConsumeRandomLengthString(6);
        s.keywords[j].cmb_keyword = in.ConsumeIntegralInRange(0, 1);
    }
    const bool lf_file = in.ConsumeBool();
    files.input = in.ConsumeRemainingBytesAsString();
    if (lf_file) std::erase(files.input, '\r');

    const ExtractionSettings before = s;
    const RunResult r = cmd_select_Click(host, files);
    // The preview of the same input agrees with the run: its written lines
    // are the run's output, its counts the run's.
    if (r.outcome == RunOutcome::Finished) {
        WrittenLines preview_lines;
        const PreviewResult p = preview(before, files, {std::numeric_limits<std::int64_t>::max(), 0}, preview_lines);
        // The run writes the mark first, the preview shows lines.
        InputMark read{read_encoding(before), {}};
        if (read.encoding == Encoding::Utf8 && files.input.starts_with(utf8::kByteOrderMark)) read.bytes = utf8::kByteOrderMark;
        if (is_utf16(read.encoding) && files.input.starts_with(utf16::kMarkLe)) read.bytes = utf16::kMarkLe;
        if (is_utf16(read.encoding) && files.input.starts_with(utf16::kMarkBe)) read = {Encoding::Utf16Be, utf16::kMarkBe};
        const std::string mark(output_mark(before.cmb_code_Write, read));
        if (p.failure || mark + preview_lines.lines != files.output || p.read != r.counts.read ||
            p.written != r.counts.written) {
            std::abort();
        }
    }
    // Runs that write every record as read, and got past their checks.
    // (Lines of bytes: UTF-16 lines are the record reader's tests' own.)
    bool every_record = s.cmb_type_Write == kWriteAsRead && rows_in_use(s) == 0 && s.cmb_code != kReadUtf16 &&
                        s.cmb_code_Write != kWriteUtf16LeBom;
    for (const KeywordRow& k : s.keywords) every_record = every_record && k.txt_keyword.empty();
    if (!every_record || !(r.outcome == RunOutcome::Finished || (r.outcome == RunOutcome::Failed && full_disk))) return 0;
    const std::string bom = "\xEF\xBB\xBF";
    const bool utf8_in = s.cmb_code == kReadUtf8;
    const bool read_bom = utf8_in && files.input.starts_with(bom);
    const std::string records = as_read(read_bom ? files.input.substr(3) : files.input, s.cmb_type,
                                        whole_value(s.txt_RecordLength));
    const Encoding from = read_encoding(s);
    const Encoding to = write_encoding(s.cmb_code_Write, from);
    Transcoder convert(from, to);
    const std::string head = s.cmb_code_Write == kWriteUtf8Bom || (s.cmb_code_Write == kWriteSameCode && read_bom) ? bom : "";
    const std::string all = head + std::string(convert.convert(records));
    if (r.outcome == RunOutcome::Finished) {
        if (files.output != all || r.counts.read != r.counts.written) std::abort();
        if (static_cast<std::size_t>(r.counts.replaced) != convert.replaced()) std::abort();
    }
    if (r.outcome == RunOutcome::Failed) {
        if (all.compare(0, files.output.size(), files.output) != 0) std::abort();
        if (files.output.size() > head.size() && !files.output.ends_with("\n")) std::abort();
    }
    return 0;
}
