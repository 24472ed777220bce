#include "engine/read_ahead.h"

namespace lintavo {

ReadAhead::ReadAhead(ByteSource& source, std::size_t chunk, std::size_t headroom)
    : source_(source),
      chunk_(chunk),
      headroom_(headroom),
      memory_(new char[kSlots * (headroom + chunk)]),
      thread_([this] { read_all(); }) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

// The thread: fills the slots in turn, each as soon as it is free, until the
// end of the input, a failed read or the reader's end.
void ReadAhead::read_all() {
    for (int slot = 0;; slot = (slot + 1) % kSlots) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || state_[slot] == State::Free; });
            if (stop_) return;
        }
        Chunk c;
        c.slot = slot;
        c.data = memory_.get() + static_cast<std::size_t>(slot) * (headroom_ + chunk_) + headroom_;
        long long got = -1;
        try {
            got = source_.read(c.data, chunk_);
        } catch (...) {
            got = -1;  // reported as a failed read
        }
        c.failed = got < 0;
        c.size = got > 0 ? static_cast<std::size_t>(got) : 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            filled_[slot] = c;
            state_[slot] = State::Filled;
        }
        changed_.notify_all();
        if (c.size == 0) return;
    }
}

ReadAhead::Chunk ReadAhead::take() {
    std::unique_lock<std::mutex> lock(mutex_);
    const int slot = next_take_;
    changed_.wait(lock, [&] { return state_[slot] == State::Filled; });
    next_take_ = (slot + 1) % kSlots;
    return filled_[slot];
}

void ReadAhead::give_back(const Chunk& chunk) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_[chunk.slot] = State::Free;
    }
    changed_.notify_all();
}

}  // namespace lintavo
