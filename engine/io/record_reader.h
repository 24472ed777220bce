// Reads the records of an input file: lines that end as its LineBreak says
// (the terminator is not part of the line, a final terminator gives no
// empty line after it), or fixed-length blocks (a short
// last block is a record). Records are views into one buffer, valid until
// the next call. The input is read in chunks of a fixed size, on a thread of
// its own when the source allows it (see ReadAhead); a record that runs on
// past the room before the next chunk is gathered in the reader's own
// buffer, which grows only for a record longer than what it holds and is
// kept by the C allocator so that growing it can remap it instead of
// copying it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/io/byte_io.h"
#include "engine/io/line_break.h"
#include "engine/io/read_ahead.h"

namespace lintavo {

class RecordReader {
public:
    static constexpr std::size_t kChunk = std::size_t{256} << 10;

    explicit RecordReader(ByteSource& source, std::size_t chunk = kChunk);
    // Reads a source it shares, which a read left behind at the end keeps alive.
    explicit RecordReader(std::shared_ptr<ByteSource> source, std::size_t chunk = kChunk);
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // True when no record is left (after a failed read, no whole one held).
    bool at_end();
    // The next line; false at the end or when a read failed.
    bool next_line(std::string_view& record);
    // The next `length` bytes, fewer at the end of the input; false at the
    // end or when a read failed.
    bool next_block(std::size_t length, std::string_view& record);

    // The bytes read and not yet handed out, for callers that take records
    // from the block themselves; valid until the next read.
    std::string_view held() const { return std::string_view(buf_ + begin_, end_ - begin_); }
    // Hands out the held bytes up to `p` (a place inside held()).
    void consume_to(const char* p) { begin_ = static_cast<std::size_t>(p - buf_); }
    // Reads more bytes after the held ones (which may move); false at the
    // end of the input or when a read failed.
    bool read_more() { return fill(); }
    // Before the first record: when the input begins with `prefix`, those
    // bytes are handed out to nobody and true is returned.
    bool skip_prefix(std::string_view prefix);
    // Before the first record (after a byte order mark): the line ends of
    // the input in `e`, from its first LineBreak::kSniffBytes bytes, which
    // are read now where fewer are held; later lines are read by them.
    LineBreak sniff_line_break(Encoding e = Encoding::Cp932);
    LineBreak line_break() const { return break_; }
    // The size of the chunks read.
    std::size_t chunk_size() const { return chunk_; }
    // True when everything the input holds has been read.
    bool input_ended() const { return eof_; }

    // Ends the reading: a thread reading ahead is ended, and no record is
    // left. The source may be closed after it.
    void stop();

    bool failed() const { return failed_; }
    // The bytes held from the start of `record` (the last record handed
    // out) to the end of what has been read, valid until the next call.
    std::string_view ahead_of(std::string_view record) const {
        return std::string_view(record.data(), static_cast<std::size_t>(buf_ + end_ - record.data()));
    }
    // Changes whenever held bytes may have moved.
    std::uint64_t generation() const { return generation_; }
    std::uint64_t bytes_read() const { return bytes_read_; }

private:
    // Reads more bytes after the data held, which keep their offsets from
    // begin_; returns false at the end or on error.
    bool fill();
    bool next_line_utf16(std::string_view& record);
    bool fill_here();
    bool fill_ahead();
    // Room in the own buffer for `bytes` from its start.
    void own_room(std::size_t bytes);
    void give_back_chunk();
    void end_input();

    RecordReader(ByteSource& source, std::shared_ptr<ByteSource> owner, std::size_t chunk);

    ByteSource& source_;
    std::unique_ptr<ReadAhead> ahead_;
    ReadAhead::Chunk chunk_held_;  // the chunk buf_ points into
    bool in_chunk_ = false;
    char* buf_ = nullptr;          // the own buffer or a place in chunk_held_
    char* own_ = nullptr;
    std::size_t capacity_ = 0;     // of the own buffer
    std::size_t chunk_;
    std::size_t begin_ = 0;  // first byte not yet handed out
    std::size_t end_ = 0;    // one past the last byte held
    bool eof_ = false;
    bool failed_ = false;
    LineBreak break_;
    std::uint64_t bytes_read_ = 0;
    std::uint64_t generation_ = 0;
};

}  // namespace lintavo
