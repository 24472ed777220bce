// Reads an input on a thread of its own, a few chunks ahead of the records
// being handled, so that copying the bytes out of the system's file cache
// runs beside the work on the bytes read before. Chunks come in the order
// of the input; each has free room before its bytes, where the reader puts
// the part of a record left over from the chunk before, so that a record
// never needs the two chunks copied together.
//
// Only for sources whose reads never wait on anyone (regular files): the
// thread is joined when the reader goes, so a read that could wait for ever
// (a pipe, a terminal) would hold up the end of a run.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/byte_io.h"

namespace lintavo {

class ReadAhead {
public:
    struct Chunk {
        char* data = nullptr;  // the bytes read, with `headroom` free bytes before them
        std::size_t size = 0;  // 0 at the end of the input or after a failed read
        bool failed = false;
        int slot = 0;
    };

    ReadAhead(ByteSource& source, std::size_t chunk, std::size_t headroom);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next chunk (waits for it). After the one of size 0 there is no other.
    Chunk take();
    // The chunk's memory may be read into again.
    void give_back(const Chunk& chunk);

private:
    static constexpr int kSlots = 3;
    enum class State { Free, Filled };
    void read_all();

    ByteSource& source_;
    const std::size_t chunk_;
    const std::size_t headroom_;
    std::unique_ptr<char[]> memory_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::array<State, kSlots> state_{};
    std::array<Chunk, kSlots> filled_{};
    int next_take_ = 0;
    bool stop_ = false;
    std::thread thread_;  // last: started once everything above is ready
};

}  // namespace lintavo
