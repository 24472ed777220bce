// Reads an input on a thread of its own, a few chunks ahead of the records
// being handled, so that copying the bytes out of the system's file cache
// runs beside the work on the bytes read before. Chunks come in the order
// of the input; each has free room before its bytes, where the reader puts
// the part of a record left over from the chunk before, so that a record
// never needs the two chunks copied together.
//
// Only for sources whose reads do not wait on anyone (regular files). A read
// may still not return (a file system that hangs): a stop signal ends the
// wait for it, and the reader's end then leaves the thread behind in its
// read instead of waiting for it; the thread keeps its memory and the source
// alive until the read returns.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/io/byte_io.h"

namespace lintavo {

class ReadAhead {
public:
    struct Chunk {
        char* data = nullptr;  // the bytes read, with `headroom` free bytes before them
        std::size_t size = 0;  // 0 at the end of the input, after a failed read or a stop
        bool failed = false;
        int slot = 0;
    };

    // `owner`, when given, owns the source, which then lives as long as a
    // read of it may last.
    ReadAhead(ByteSource& source, std::size_t chunk, std::size_t headroom, std::shared_ptr<ByteSource> owner = {});
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next chunk (waits for it, until a stop signal). After the one of
    // size 0 there is no other.
    Chunk take();
    // The chunk's memory may be read into again.
    void give_back(const Chunk& chunk);

private:
    static constexpr int kSlots = 3;
    enum class State { Free, Filled };
    // What the thread needs, shared with it so that it can outlive the reader.
    struct Shared {
        std::shared_ptr<ByteSource> owner;
        std::unique_ptr<char[]> memory;
        std::mutex mutex;
        std::condition_variable changed;
        std::array<State, kSlots> state{};
        std::array<Chunk, kSlots> filled{};
        bool stop = false;
        bool reading = false;  // the thread is inside a read of the source
    };
    static void read_all(const std::shared_ptr<Shared>& shared, ByteSource& source, std::size_t chunk,
                         std::size_t headroom);

    std::shared_ptr<Shared> shared_;
    int next_take_ = 0;
    std::unique_ptr<std::thread> thread_;
};

}  // namespace lintavo
