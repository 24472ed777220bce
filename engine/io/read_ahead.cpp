#include "engine/io/read_ahead.h"

#include <chrono>
#include <thread>

#include "engine/io/stop_signals.h"

namespace lintavo {

ReadAhead::ReadAhead(ByteSource& source, std::size_t chunk, std::size_t headroom, std::shared_ptr<ByteSource> owner)
    : shared_(std::make_shared<Shared>()) {
    shared_->owner = std::move(owner);
    shared_->memory.reset(new char[kSlots * (headroom + chunk)]);
    thread_ = std::make_unique<std::thread>(read_all, shared_, std::ref(source), chunk, headroom);
}

ReadAhead::~ReadAhead() {
    bool reading = false;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->stop = true;
        reading = shared_->reading;
    }
    shared_->changed.notify_all();
    // A read that goes on is not waited for: the thread ends when it
    // returns, and its shared state (and the source it owns) with it.
    if (reading && shared_->owner) thread_->detach();
    else thread_->join();
}

// The thread: fills the slots in turn, each as soon as it is free, until the
// end of the input, a failed read or the reader's end.
void ReadAhead::read_all(const std::shared_ptr<Shared>& shared, ByteSource& source, std::size_t chunk,
                         std::size_t headroom) {
    const std::shared_ptr<Shared> keep = shared;  // the thread's own hold
    Shared& s = *keep;
    for (int slot = 0;; slot = (slot + 1) % kSlots) {
        {
            std::unique_lock<std::mutex> lock(s.mutex);
            s.changed.wait(lock, [&] { return s.stop || s.state[slot] == State::Free; });
            if (s.stop) return;
            s.reading = true;
        }
        Chunk c;
        c.slot = slot;
        c.data = s.memory.get() + static_cast<std::size_t>(slot) * (headroom + chunk) + headroom;
        long long got = -1;
        try {
            got = source.read(c.data, chunk);
        } catch (...) {
            got = -1;  // reported as a failed read
        }
        c.failed = got < 0;
        c.size = got > 0 ? static_cast<std::size_t>(got) : 0;
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            s.reading = false;
            if (s.stop) return;
            s.filled[slot] = c;
            s.state[slot] = State::Filled;
        }
        s.changed.notify_all();
        if (c.size == 0) return;
    }
}

ReadAhead::Chunk ReadAhead::take() {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    const int slot = next_take_;
    // Woken now and then to see whether a stop signal came while a read waits.
    while (shared_->state[slot] != State::Filled) {
        if (stop_signals::received() != 0) return Chunk{nullptr, 0, false, slot};
        shared_->changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    next_take_ = (slot + 1) % kSlots;
    return shared_->filled[slot];
}

void ReadAhead::give_back(const Chunk& chunk) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->state[chunk.slot] = State::Free;
    }
    shared_->changed.notify_all();
}

}  // namespace lintavo
