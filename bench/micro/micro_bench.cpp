// Micro benchmarks of the engine's inner loops on the benchmark's kind of
// data: the CSV splitter, the line reader, the keyword search and the line
// maker, each beside the plainest way to do the same where there is one.
//   micro_bench [--benchmark_filter=REGEX]
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_lines.h"
#include "engine/text/byte_scan.h"
#include "engine/conditions/columns.h"
#include "engine/text/cp932.h"
#include "engine/text/text_model.h"
#include "engine/conditions/csv_split.h"
#include "engine/output/line_maker.h"
#include "engine/io/record_reader.h"
#include "engine/settings.h"

namespace {

using lintavo::bench::BenchLines;

constexpr std::size_t kBlockBytes = std::size_t{16} << 20;

// Lines of one kind, without their CR LF, and the same lines as one block.
struct Sample {
    std::vector<std::string> lines;
    std::string block;
};

Sample make_sample(void (BenchLines::*line_of)(std::string&)) {
    BenchLines source;
    Sample s;
    std::string line;
    while (s.block.size() < kBlockBytes) {
        (source.*line_of)(line);
        s.block += line;
        line.resize(line.size() - 2);
        s.lines.push_back(line);
    }
    return s;
}

const Sample& log_sample() {
    static const Sample s = make_sample(&BenchLines::log_line);
    return s;
}
const Sample& csv_sample() {
    static const Sample s = make_sample(&BenchLines::csv_line);
    return s;
}

// Reads a block of memory in the reader's chunks.
class MemorySource : public lintavo::ByteSource {
public:
    explicit MemorySource(const std::string& bytes) : bytes_(bytes) {}
    long long read(char* buf, std::size_t n) override {
        n = std::min(n, bytes_.size() - at_);
        std::memcpy(buf, bytes_.data() + at_, n);
        at_ += n;
        return static_cast<long long>(n);
    }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

// --- CSV splitter: every field of a line, and the first seven only.
void CsvSplit(benchmark::State& state) {
    const Sample& s = csv_sample();
    const auto max_fields = static_cast<std::size_t>(state.range(0));
    lintavo::CsvSplitter split;
    for (auto _ : state) {
        for (const std::string& line : s.lines) benchmark::DoNotOptimize(split.split(line, max_fields));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.block.size()));
}
BENCHMARK(CsvSplit)->Arg(7)->Arg(1000)->ArgName("max_fields");

// --- Line reader: records one by one, against counting the line ends of
// the block at once (what a run does when lines need not be looked at).
void LineReaderRecords(benchmark::State& state) {
    const Sample& s = log_sample();
    for (auto _ : state) {
        MemorySource source(s.block);
        lintavo::RecordReader reader(source);
        std::string_view record;
        std::size_t n = 0;
        while (reader.next_line(record)) ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.block.size()));
}
BENCHMARK(LineReaderRecords);

void LineEndsOfBlock(benchmark::State& state) {
    const Sample& s = log_sample();
    for (auto _ : state) {
        benchmark::DoNotOptimize(lintavo::scan::line_ends(s.block.data(), s.block.data() + s.block.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.block.size()));
}
BENCHMARK(LineEndsOfBlock);

void MemchrLineEnds(benchmark::State& state) {
    const Sample& s = log_sample();
    for (auto _ : state) {
        std::size_t n = 0;
        const char* p = s.block.data();
        const char* end = p + s.block.size();
        while ((p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)))) != nullptr) {
            ++n;
            ++p;
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.block.size()));
}
BENCHMARK(MemchrLineEnds);

// --- Keyword search: "失敗" (about 3% of the lines), line by line on
// character boundaries, over the whole block with the wide scan, and with
// the C library's memmem over the block.
void KeywordPerLine(benchmark::State& state) {
    const Sample& s = log_sample();
    const lintavo::Needle needle(BenchLines::sjis("失敗"));
    for (auto _ : state) {
        std::size_t hits = 0;
        for (const std::string& line : s.lines) hits += needle.find_in(line) != std::string_view::npos;
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.block.size()));
}
BENCHMARK(KeywordPerLine);

template <const char* (*Find)(const char*, const char*, std::string_view)>
void KeywordOverBlock(benchmark::State& state) {
    const Sample& s = log_sample();
    const std::string needle = BenchLines::sjis("失敗");
    for (auto _ : state) {
        std::size_t hits = 0;
        const char* end = s.block.data() + s.block.size();
        for (const char* p = s.block.data(); (p = Find(p, end, needle)) != nullptr; ++p) ++hits;
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.block.size()));
}
const char* libc_memmem(const char* p, const char* end, std::string_view needle) {
    return static_cast<const char*>(memmem(p, static_cast<std::size_t>(end - p), needle.data(), needle.size()));
}
BENCHMARK(KeywordOverBlock<lintavo::scan::find>)->Name("KeywordOverBlock/scan::find");
BENCHMARK(KeywordOverBlock<libc_memmem>)->Name("KeywordOverBlock/memmem");

// --- Line maker: three cuts of each log line written joined, through the
// template "No.@0:@1 @2@3" and as quoted CSV.
void LineMaker(benchmark::State& state) {
    const Sample& s = log_sample();
    const int mode = static_cast<int>(state.range(0));
    const std::string hinagata = "No.@0:@1 @2@3";
    lintavo::FieldList fields;
    std::string line;
    std::int64_t count = 0;
    for (auto _ : state) {
        for (const std::string& record : s.lines) {
            const std::string_view r(record);
            fields.fields_ = {r.substr(0, 10), r.substr(11, 12), r.substr(24, 5)};
            benchmark::DoNotOptimize(lintavo::fnc_makeline(mode, r, fields, 3, hinagata, count++, line));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.block.size()));
}
BENCHMARK(LineMaker)
    ->Arg(lintavo::kWriteJoined)
    ->Arg(lintavo::kWriteTemplate)
    ->Arg(lintavo::kWriteCsvComma)
    ->ArgName("write_mode");

}  // namespace

BENCHMARK_MAIN();
