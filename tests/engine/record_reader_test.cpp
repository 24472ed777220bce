#include "engine/io/record_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace lintavo {
namespace {

// Hands out its bytes a few at a time, and can fail after some of them;
// read on the reader's own thread or ahead on one of its own.
class ChunkSource : public ByteSource {
public:
    ChunkSource(std::string data, std::size_t chunk, long long fail_after = -1, bool ahead = false)
        : data_(std::move(data)), chunk_(chunk), fail_after_(fail_after), ahead_(ahead) {}
    bool may_read_ahead() const override { return ahead_; }
    long long read(char* buf, std::size_t n) override {
        if (fail_after_ >= 0 && static_cast<long long>(pos_) >= fail_after_) return -1;
        std::size_t k = std::min({n, chunk_, data_.size() - pos_});
        std::memcpy(buf, data_.data() + pos_, k);
        pos_ += k;
        return static_cast<long long>(k);
    }

private:
    std::string data_;
    std::size_t chunk_;
    long long fail_after_;
    bool ahead_;
    std::size_t pos_ = 0;
};

std::vector<std::string> lines(const std::string& data, std::size_t chunk, std::size_t buffer, bool ahead,
                               Encoding e = Encoding::Cp932) {
    ChunkSource src(data, chunk, -1, ahead);
    RecordReader r(src, buffer);
    if (is_utf16(e)) r.sniff_line_break(e);
    std::vector<std::string> out;
    std::string_view rec;
    while (!r.at_end() && r.next_line(rec)) out.emplace_back(rec);
    return out;
}

TEST(RecordReader, EndsLinesAtCrLfOrLoneCr) {
    using namespace std::string_literals;
    const auto le = Encoding::Utf16Le;
    const auto be = Encoding::Utf16Be;
    const struct {
        std::string data;
        std::vector<std::string> lines;
        Encoding encoding = Encoding::Cp932;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\nc\n", {"a\nb\nc\n"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\r\n", {"a\n"}},
        {"\r", {""}},
        {"x\r\n\r\ny", {"x", "", "y"}},
        {"long line " + std::string(40, 'x') + "\r\nshort\r\n" + std::string(9, 'y') + "\r", {"long line " + std::string(40, 'x'), "short", std::string(9, 'y')}},
        // UTF-16: code units at even offsets; 0D and 0A bytes elsewhere end nothing.
        {"a\0\r\0\n\0b\0\r\0c\0"s, {"a\0"s, "b\0"s, "c\0"s}, le},
        {"\0a\0\r\0\n\0b"s, {"\0a"s, "\0b"s}, be},
        {"\r\n\n\r\0\r\0\n\r\0"s, {"\r\n\n\r\0\r\0\n"s}, le},             // U+0A0D, U+0D0A, U+0D00, U+0A00
        {"a\0\n\0\r\0\n\0"s, {"a\0\n\0"s}, le},                                  // a lone LF of a CR file stays
        {"a\0\r\0\n\0b\0\r"s, {"a\0"s, "b\0\r"s}, le},                           // an odd last byte
        {"a\0\n\0b\0\r\0\n\0"s, {"a\0\n\0b\0"s}, le},                            // a CR: no LF file
        {"a\0\n\0b\0"s, {"a\0"s, "b\0"s}, le},                                       // a LF file
        {"\0a\r\0\n\0\0b"s, {"\0a\r\0\n\0\0b"s}, be},                             // U+0D00, U+0A00: one line
    };
    for (const auto& c : cases) {
        for (std::size_t chunk : {1, 2, 3, 1000}) {
            for (std::size_t buffer : {1, 2, 4, 1 << 16}) {
                for (bool ahead : {false, true}) {
                    EXPECT_EQ(lines(c.data, chunk, buffer, ahead, c.encoding), c.lines) << testing::PrintToString(c.data) << " chunk "
                                                                            << chunk << " buffer " << buffer << " ahead " << ahead;
                }
            }
        }
    }
}

TEST(RecordReader, ReadsFixedLengthBlocksWithAShortLastOne) {
    for (std::size_t chunk : {1, 3, 100}) {
        for (std::size_t buffer : {2, 3, 64}) {
            for (bool ahead : {false, true}) {
                ChunkSource src("ABCDE\r\nFGH", chunk, -1, ahead);
                RecordReader r(src, buffer);
                std::vector<std::string> got;
                std::string_view rec;
                while (!r.at_end() && r.next_block(4, rec)) got.emplace_back(rec);
                EXPECT_EQ(got, (std::vector<std::string>{"ABCD", "E\r\nF", "GH"})) << chunk << " " << buffer << " " << ahead;
            }
        }
    }
}

TEST(RecordReader, ReportsAFailedRead) {
    for (bool ahead : {false, true}) {
        ChunkSource src("abc\r\ndef\r\nghi", 4, 6, ahead);
        RecordReader r(src, 4);
        std::string_view rec;
        ASSERT_TRUE(r.next_line(rec));
        EXPECT_EQ(rec, "abc");
        EXPECT_FALSE(!r.at_end() && r.next_line(rec) && r.next_line(rec));
        EXPECT_TRUE(r.failed());
        EXPECT_FALSE(r.next_line(rec));  // the part of a line held is no record
    }
}

// A reader that stops or goes before its input is used up ends its
// read-ahead thread, also while the thread waits for a free chunk; after
// stop() the input may be closed while the reader still exists (the
// sanitizer build sees any read of it).
TEST(RecordReader, EndsEarlyWhileReadingAhead) {
    const std::string data(100000, 'x');
    for (std::size_t records : {0, 1, 50}) {
        for (bool stop_first : {false, true}) {
            auto src = std::make_unique<ChunkSource>(data, 7, -1, true);
            RecordReader r(*src, 16);
            std::string_view rec;
            for (std::size_t i = 0; i < records; ++i) ASSERT_TRUE(r.next_block(10, rec));
            if (!stop_first) continue;
            r.stop();
            src.reset();
            EXPECT_TRUE(r.at_end());
        }
    }
}

}  // namespace
}  // namespace lintavo
