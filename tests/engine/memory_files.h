// A run's files in memory for the tests and the fuzz targets: the input is
// handed out in pieces of random sizes (on the reader's thread or read
// ahead on one of its own), and the output kept, up to a room after which
// writes fail as on a full disk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "engine/io/byte_io.h"

namespace lintavo::test {

class MemoryFiles : public RunFiles {
public:
    std::string input;
    std::string output;
    unsigned seed = 1;                // of the piece sizes, 1 to largest_piece
    std::size_t largest_piece = 64;
    bool read_ahead = false;
    std::size_t room = std::numeric_limits<std::size_t>::max();  // output bytes taken before writes fail
    bool cut_back = true;             // the output can be cut back after a failed write

    std::unique_ptr<ByteSource> open_input(const std::string&) override { return std::make_unique<Pieces>(*this); }
    std::unique_ptr<ByteSink> open_output(const std::string&) override {
        output.clear();
        return std::make_unique<Sink>(*this);
    }
    bool same_file(const std::string&, const std::string&) override { return false; }

private:
    class Pieces : public ByteSource {
    public:
        explicit Pieces(const MemoryFiles& f) : f_(f), rng_(f.seed) {}
        bool may_read_ahead() const override { return f_.read_ahead; }
        long long read(char* buf, std::size_t n) override {
            std::size_t k = std::uniform_int_distribution<std::size_t>(1, std::max<std::size_t>(1, f_.largest_piece))(rng_);
            k = std::min({k, n, f_.input.size() - at_});
            f_.input.copy(buf, k, at_);
            at_ += k;
            return static_cast<long long>(k);
        }

    private:
        const MemoryFiles& f_;
        std::mt19937 rng_;
        std::size_t at_ = 0;
    };
    class Sink : public ByteSink {
    public:
        explicit Sink(MemoryFiles& f) : f_(f) {}
        // Takes what fits; a write that does not fit goes in in part and fails.
        bool write(const char* buf, std::size_t n) override {
            const std::size_t fits = std::min(n, f_.room - std::min(f_.room, f_.output.size()));
            f_.output.append(buf, fits);
            return fits == n;
        }
        bool truncate(std::uint64_t size) override {
            if (!f_.cut_back) return false;
            f_.output.resize(static_cast<std::size_t>(size));
            return true;
        }

    private:
        MemoryFiles& f_;
    };
};

}  // namespace lintavo::test
