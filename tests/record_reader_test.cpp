#include "engine/record_reader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lintavo {
namespace {

// Hands out its bytes a few at a time, and can fail after some of them.
class ChunkSource : public ByteSource {
public:
    ChunkSource(std::string data, std::size_t chunk, long long fail_after = -1)
        : data_(std::move(data)), chunk_(chunk), fail_after_(fail_after) {}
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
    std::size_t pos_ = 0;
};

std::vector<std::string> lines(const std::string& data, std::size_t chunk, std::size_t buffer) {
    ChunkSource src(data, chunk);
    RecordReader r(src, buffer);
    std::vector<std::string> out;
    std::string_view rec;
    while (!r.at_end() && r.next_line(rec)) out.emplace_back(rec);
    return out;
}

TEST(RecordReader, EndsLinesAtCrLfOrLoneCr) {
    const struct {
        std::string data;
        std::vector<std::string> lines;
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
    };
    for (const auto& c : cases) {
        for (std::size_t chunk : {1, 2, 3, 1000}) {
            for (std::size_t buffer : {1, 2, 4, 1 << 16}) {
                EXPECT_EQ(lines(c.data, chunk, buffer), c.lines)
                    << testing::PrintToString(c.data) << " chunk " << chunk << " buffer " << buffer;
            }
        }
    }
}

TEST(RecordReader, ReadsFixedLengthBlocksWithAShortLastOne) {
    for (std::size_t chunk : {1, 3, 100}) {
        ChunkSource src("ABCDE\r\nFGH", chunk);
        RecordReader r(src, 2);
        std::vector<std::string> got;
        std::string_view rec;
        while (!r.at_end() && r.next_block(4, rec)) got.emplace_back(rec);
        EXPECT_EQ(got, (std::vector<std::string>{"ABCD", "E\r\nF", "GH"})) << chunk;
    }
}

TEST(RecordReader, ReportsAFailedRead) {
    ChunkSource src("abc\r\ndef\r\nghi", 4, 6);
    RecordReader r(src, 4);
    std::string_view rec;
    ASSERT_TRUE(r.next_line(rec));
    EXPECT_EQ(rec, "abc");
    EXPECT_FALSE(!r.at_end() && r.next_line(rec) && r.next_line(rec));
    EXPECT_TRUE(r.failed());
    EXPECT_TRUE(r.at_end());
}

}  // namespace
}  // namespace lintavo
