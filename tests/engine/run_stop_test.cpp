// A run's files and its stop: the output's lock against a second run, paths
// that name no file, and stop signals that end a run at once, also while a
// read waits for ever.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/run/run.h"
#include "engine/io/stop_signals.h"
#include "recording_host.h"
#include "test_support.h"

namespace lintavo {
namespace {

using test::read_file;
using test::RecordingHost;
using test::TempDir;
using test::write_file;

TEST(RunFilesTest, AnOutputBeingWrittenIsRefusedAndLeftAsItIs) {
    TempDir dir;
    const std::string out = dir.file("out.txt");
    write_file(out, "written by the first run\r\n");
    RunFiles first, second;
    auto held = first.open_output(out);
    ASSERT_TRUE(held);
    ASSERT_TRUE(held->write("one\r\n", 5));
    EXPECT_EQ(second.open_output(out), nullptr);
    EXPECT_TRUE(second.output_in_use());
    EXPECT_EQ(read_file(out), "one\r\n");  // the second did not empty it
    ASSERT_TRUE(held->close());
    held.reset();
    EXPECT_TRUE(second.open_output(out));  // free again once closed
    EXPECT_FALSE(second.output_in_use());

    // A run gets the message.
    RecordingHost host;
    host.settings.txt_ReadFile = dir.file("in.txt");
    host.settings.txt_WriteFile = out;
    write_file(host.settings.txt_ReadFile, "a\r\n");
    write_file(out, "kept\r\n");
    auto lock = first.open_output(out);
    const RunResult r = cmd_select_Click(host, second);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_EQ(host.messages, std::vector<std::string>{"抽出結果を書出すファイルは使用中です: " + out});
}

TEST(RunFilesTest, APathWithANulBytenamesNoFile) {
    TempDir dir;
    write_file(dir.file("a"), "exists\r\n");
    const std::string cut = dir.file("a") + std::string(1, '\0') + "b";
    RunFiles files;
    EXPECT_EQ(files.open_input(cut), nullptr);
    EXPECT_EQ(files.open_output(cut), nullptr);
    EXPECT_FALSE(files.same_file(cut, dir.file("a")));
    EXPECT_EQ(read_file(dir.file("a")), "exists\r\n");
}

class StopSignalTest : public ::testing::Test {
protected:
    void SetUp() override {
        stop_signals::install();
        host.settings.txt_WriteFile = dir.file("out.txt");
        host.pauses = false;
    }
    void TearDown() override { stop_signals::forget(); }
    // Runs, sending `signal` to the process after a while from a thread of
    // its own; the run must end soon after.
    RunResult run_stopped_by(int signal, RunFiles& files) {
        std::thread signaller([signal] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            kill(getpid(), signal);
        });
        const auto start = std::chrono::steady_clock::now();
        const RunResult r = cmd_select_Click(host, files);
        signaller.join();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(stop_signals::received(), signal);
        return r;
    }
    TempDir dir;
    RecordingHost host;
};

TEST_F(StopSignalTest, ARunWaitingOnAPipeStopsWithWholeRecords) {
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A writer that gives two lines and half a third, then waits for ever.
    const int writer = open(fifo.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, "one\r\ntwo\r\nthr", 13), 13);
    host.settings.txt_ReadFile = fifo;
    RunFiles files;
    const RunResult r = run_stopped_by(SIGTERM, files);
    EXPECT_EQ(r.outcome, RunOutcome::Stopped);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(read_file(dir.file("out.txt")), "one\r\ntwo\r\n");
    close(writer);
}

// A source whose reads may run ahead and whose second read never returns
// until the test lets it.
class HangingSource : public ByteSource {
public:
    struct Gate {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
    };
    explicit HangingSource(std::shared_ptr<Gate> gate) : gate_(std::move(gate)) {}
    bool may_read_ahead() const override { return true; }
    long long size() const override { return 1 << 20; }
    long long read(char* buf, std::size_t n) override {
        if (reads_++ == 0) {
            const std::string first = "a\r\nb\r\n";
            first.copy(buf, std::min(n, first.size()));
            return static_cast<long long>(first.size());
        }
        std::unique_lock<std::mutex> lock(gate_->mutex);
        gate_->opened.wait(lock, [&] { return gate_->open; });
        return 0;
    }

private:
    std::shared_ptr<Gate> gate_;
    int reads_ = 0;
};

class HangingFiles : public RunFiles {
public:
    std::shared_ptr<HangingSource::Gate> gate = std::make_shared<HangingSource::Gate>();
    std::unique_ptr<ByteSource> open_input(const std::string&) override { return std::make_unique<HangingSource>(gate); }
};

TEST_F(StopSignalTest, AStopDoesNotWaitForAReadThatDoesNotReturn) {
    host.settings.txt_ReadFile = "hanging";
    HangingFiles files;
    const RunResult r = run_stopped_by(SIGINT, files);
    EXPECT_EQ(r.outcome, RunOutcome::Stopped);
    EXPECT_EQ(read_file(dir.file("out.txt")), "a\r\nb\r\n");
    {
        std::lock_guard<std::mutex> lock(files.gate->mutex);  // the read left behind returns and its thread ends
        files.gate->open = true;
    }
    files.gate->opened.notify_all();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace
}  // namespace lintavo
