// Reads the records of an input file: lines that end at CR LF or at a lone
// CR (a lone LF is data, the terminator is not part of the line, a final
// terminator gives no empty line after it), or fixed-length blocks (a short
// last block is a record). Records are views into one large buffer, valid
// until the next call; the buffer grows only for a record longer than it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/byte_io.h"

namespace lintavo {

class RecordReader {
public:
    explicit RecordReader(ByteSource& source, std::size_t buffer_size = std::size_t{1} << 20);

    // True when no record is left (or a read failed).
    bool at_end();
    // The next line; false at the end or when a read failed.
    bool next_line(std::string_view& record);
    // The next `length` bytes, fewer at the end of the input; false at the
    // end or when a read failed.
    bool next_block(std::size_t length, std::string_view& record);

    bool failed() const { return failed_; }
    // The bytes held from the start of `record` (the last record handed
    // out) to the end of what has been read, valid until the next call.
    std::string_view ahead_of(std::string_view record) const {
        return std::string_view(record.data(), static_cast<std::size_t>(buf_.data() + end_ - record.data()));
    }
    // Changes whenever held bytes may have moved.
    std::uint64_t generation() const { return generation_; }
    std::uint64_t bytes_read() const { return bytes_read_; }

private:
    // Reads more bytes after the data held; returns false at the end or on error.
    bool fill();

    ByteSource& source_;
    std::vector<char> buf_;
    std::size_t begin_ = 0;  // first byte not yet handed out
    std::size_t end_ = 0;    // one past the last byte held
    bool eof_ = false;
    bool failed_ = false;
    std::uint64_t bytes_read_ = 0;
    std::uint64_t generation_ = 0;
};

}  // namespace lintavo
