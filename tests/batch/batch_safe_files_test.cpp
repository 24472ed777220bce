// lintavo-batch with the standard streams and signals as a scheduled job or
// an unlucky user meets them: "-" inside a pattern, the same file behind a
// standard stream, closed standard streams, stop signals, a full disk behind
// standard output, memory running out, unreadable patterns and NUL bytes.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "app/batch_host.h"
#include "batch_support.h"

namespace lintavo::test {
namespace {

const std::string kRecords = "ア1\r\nイ2\r\nウ3\r\n";

std::string pattern_text(const std::string& in, const std::string& out) {
    return "READFILE=" + in + "\r\nWRITEFILE=" + out + "\r\n[WRITEPATTERN]\r\n";
}

// lintavo-batch started in a folder with its standard streams on files
// (nothing: closed), and limits of its own.
struct Spawn {
    explicit Spawn(std::vector<std::string> a, std::optional<std::string> i = "/dev/null",
                   std::optional<std::string> o = ".stdout")
        : args(std::move(a)), in(std::move(i)), out(std::move(o)) {}
    std::vector<std::string> args;
    std::optional<std::string> in, out, err = ".stderr";
    bool append_out = false;
    bool keep_out = false;  // standard output written after what its file holds
    std::optional<rlim_t> file_size, memory;

    pid_t start(const std::string& folder) const {
        const pid_t pid = fork();
        if (pid != 0) return pid;
        if (chdir(folder.c_str()) != 0) _exit(126);
        const auto place = [](const std::optional<std::string>& path, int fd, int flags) {
            if (!path) return;
            const int got = open(path->c_str(), flags, 0644);
            if (got < 0 || dup2(got, fd) != fd) _exit(126);
            if (got != fd) close(got);
            if ((flags & O_TRUNC) == 0) lseek(fd, 0, SEEK_END);  // after what the file holds
        };
        place(in, 0, O_RDONLY);
        place(out, 1, O_WRONLY | O_CREAT | (append_out ? O_APPEND : keep_out ? 0 : O_TRUNC));
        place(err, 2, O_WRONLY | O_CREAT | O_TRUNC);
        for (const auto& [path, fd] : {std::pair{in, 0}, std::pair{out, 1}, std::pair{err, 2}}) {
            if (!path) close(fd);
        }
        if (file_size) {
            signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails as on a full disk
            const rlimit r{*file_size, *file_size};
            setrlimit(RLIMIT_FSIZE, &r);
        }
        if (memory) {
            const rlimit r{*memory, *memory};
            setrlimit(RLIMIT_AS, &r);
        }
        const ProgramUnderTest& p = under_test();
        std::vector<char*> argv;
        if (p.windows()) argv.push_back(const_cast<char*>(p.launcher.c_str()));
        argv.push_back(const_cast<char*>(p.program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    // The wait status.
    int run(const std::string& folder) const {
        int status = 0;
        waitpid(start(folder), &status, 0);
        return status;
    }
};

class BatchSafeFilesTest : public BatchTest {
protected:
    std::string folder() const { return dir.path().string(); }
    int exit_code(int status) const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
    std::string err() const { return read_file(dir.file(".stderr")); }
};

TEST_F(BatchSafeFilesTest, InsideAPatternADashIsAFileNamedDash) {
    write_file(dir.file("-"), "from the file\r\n");
    pattern("in.ptn", pattern_text("-", "out.txt"));
    Outcome r = batch("in.ptn", "from standard input\r\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(dir.file("out.txt")), "from the file\r\n");

    write_file(dir.file("in.txt"), kRecords);
    pattern("out.ptn", pattern_text("in.txt", "-"));
    r = batch("out.ptn");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(dir.file("-")), kRecords);
    EXPECT_EQ(r.out, "");
}

TEST_F(BatchSafeFilesTest, AStandardStreamThatIsTheOtherFileIsTheSameFile) {
    write_file(dir.file("in.txt"), kRecords);
    write_file(dir.file("out.txt"), "old output\r\n");
    pattern("p.ptn", pattern_text("in.txt", "out.txt"));
    struct Case {
        const char* what;
        Spawn spawn;
        const char* untouched;
    };
    Case cases[] = {
        {"-i - reading the output", Spawn({"-i", "-", "p.ptn"}, "out.txt"), "out.txt"},
        {"-o - writing the input", Spawn({"-o", "-", "p.ptn"}, "/dev/null", "in.txt"), "in.txt"},
        {"-o - appending to the input", Spawn({"-o", "-", "p.ptn"}, "/dev/null", "in.txt"), "in.txt"},
        {"both streams one file", Spawn({"-i", "-", "-o", "-", "p.ptn"}, "in.txt", "in.txt"), "in.txt"},
    };
    cases[1].spawn.keep_out = true;  // a shell's ">" would have emptied it already
    cases[2].spawn.append_out = true;
    cases[3].spawn.append_out = true;
    for (const Case& c : cases) {
        const std::string before = read_file(dir.file(c.untouched));
        const int status = c.spawn.run(folder());
        EXPECT_EQ(exit_code(status), 1) << c.what;
        EXPECT_EQ(err(), "読込むファイルと書出すファイルが同じです\n") << c.what;
        EXPECT_EQ(read_file(dir.file(c.untouched)), before) << c.what;
        EXPECT_EQ(read_file(dir.file("in.txt")), kRecords) << c.what;
    }
}

TEST_F(BatchSafeFilesTest, ClosedStandardStreamsAreNotTakenByTheFiles) {
    SKIP_ON_WINDOWS("closed standard streams");
    std::string input;
    for (int i = 0; i < 20000; ++i) input += kRecords;
    write_file(dir.file("in.txt"), input);
    pattern("p.ptn", pattern_text("in.txt", "out.txt"));
    for (int closed = 0; closed < 3; ++closed) {
        Spawn s({"--progress=always", "p.ptn"});
        if (closed == 0) s.err.reset();
        if (closed == 1) s.in.reset(), s.err.reset();
        if (closed == 2) s.in.reset(), s.out.reset(), s.err.reset();
        EXPECT_EQ(exit_code(s.run(folder())), 0) << closed;
        EXPECT_EQ(read_file(dir.file("out.txt")), input) << closed;
        EXPECT_EQ(read_file(dir.file("in.txt")), input) << closed;
    }
}

// "-" names a standard stream the user gave; one that was closed is not
// the /dev/null standing in its place: nothing read, nothing lost, no save.
TEST_F(BatchSafeFilesTest, ADashOnAClosedStandardStreamCannotBeOpened) {
    SKIP_ON_WINDOWS("closed standard streams");
    write_file(dir.file("in.txt"), kRecords);
    pattern("p.ptn", pattern_text("in.txt", "out.txt"));
    const std::string summary = "読込件数:0\n書出件数:0\n";  // the run got past its checks
    struct Case {
        const char* what;
        Spawn spawn;
        std::string message;
    };
    Case cases[] = {
        {"-o - on a closed standard output", Spawn({"-o", "-", "--save-pattern", "s.ptn", "p.ptn"}, "/dev/null", std::nullopt),
         "抽出結果を書出すファイルを開けません: -\n" + summary},
        {"-i - on a closed standard input", Spawn({"-i", "-", "--save-pattern", "s.ptn", "p.ptn"}, std::nullopt),
         "読込むファイルを開けません: -\n" + summary},
        {"both closed: the input is opened first",
         Spawn({"-i", "-", "-o", "-", "--save-pattern", "s.ptn", "p.ptn"}, std::nullopt, std::nullopt),
         "読込むファイルを開けません: -\n" + summary},
        {"the preview's table on a closed standard output",
         Spawn({"--preview", "--save-pattern", "s.ptn", "p.ptn"}, "/dev/null", std::nullopt),
         "抽出結果を書出すファイルを開けません: -\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(exit_code(c.spawn.run(folder())), 1) << c.what;
        EXPECT_EQ(err(), c.message) << c.what;
        EXPECT_FALSE(std::filesystem::exists(dir.file("s.ptn"))) << c.what;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt"))) << c.what;
    }
}

TEST_F(BatchSafeFilesTest, AStopSignalEndsTheRunWithWholeRecordsAndTheSignalsStatus) {
    // On Windows: Ctrl-C, which wine hands the program for SIGINT; the
    // program ends with status 130 itself. Wine cannot cancel a read that
    // waits on a pipe, so a few more bytes end the wait there.
    const bool windows = under_test().windows();
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    pattern("p.ptn", pattern_text("fifo", "out.txt"));
    for (int signal : windows ? std::vector<int>{SIGINT} : std::vector<int>{SIGINT, SIGTERM, SIGHUP}) {
        std::filesystem::remove(dir.file("out.txt"));
        const int writer = open(fifo.c_str(), O_RDWR);  // held open, never ended
        ASSERT_EQ(write(writer, "one\r\ntwo\r\nthr", 13), 13);
        const Spawn s({"--save-pattern", "saved.ptn", "p.ptn"});
        const pid_t pid = s.start(folder());
        // The run has begun once its output is there (wine takes a while to start).
        for (int waited = 0; waited < 200 && !std::filesystem::exists(dir.file("out.txt")); ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(pid, signal);
        if (windows) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            ASSERT_EQ(write(writer, "ee\r\n", 4), 4);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        close(writer);
        if (windows) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;  // 128 + signal in a shell
        }
        EXPECT_EQ(read_file(dir.file("out.txt")), "one\r\ntwo\r\n") << signal;
        EXPECT_EQ(err(), "読込件数:2\n書出件数:2\n") << signal;
        EXPECT_FALSE(std::filesystem::exists(dir.file("saved.ptn"))) << signal;
    }
}

TEST_F(BatchSafeFilesTest, AFullDiskBehindStandardOutputKeepsWholeRecordsAfterWhatWasThere) {
    SKIP_ON_WINDOWS("file size limits");
    std::string input;
    for (int i = 0; i < 2000; ++i) input += "ああああ\r\n";  // 10 bytes a record, double-byte characters
    write_file(dir.file("in.txt"), input);
    pattern("p.ptn", pattern_text("in.txt", "unused.txt"));
    for (bool append : {false, true}) {
        write_file(dir.file("held.txt"), "HEADER\r\n");
        Spawn s({"-o", "-", "p.ptn"}, "/dev/null", "held.txt");
        s.append_out = append;
        s.keep_out = !append;
        if (!append) s.args.insert(s.args.begin(), "-q");
        s.file_size = 4099;  // room for the header and 409 records and a half
        const int status = s.run(folder());
        EXPECT_EQ(exit_code(status), 1) << append;
        EXPECT_NE(err().find("抽出結果の書出しに失敗しました"), std::string::npos) << append;
        const std::string held = read_file(dir.file("held.txt"));
        ASSERT_GE(held.size(), 8u);
        EXPECT_EQ(held.substr(0, 8), "HEADER\r\n") << append;
        EXPECT_EQ((held.size() - 8) % 10, 0u) << append << " " << held.size();
        EXPECT_EQ(held.substr(8), input.substr(0, held.size() - 8)) << append;
    }
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(BatchSafeFilesTest, MemoryRunningOutGivesItsMessage) {
    SKIP_ON_WINDOWS("memory limits");
    // One record of 1 GiB (a file without line ends, made sparse) in 400 MiB.
    {
        const int fd = open(dir.file("huge.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_EQ(ftruncate(fd, off_t{1} << 30), 0);
        close(fd);
    }
    pattern("p.ptn", pattern_text("huge.txt", "out.txt"));
    Spawn record({"-q", "p.ptn"});
    record.memory = rlim_t{400} << 20;
    EXPECT_EQ(exit_code(record.run(folder())), 1);
    EXPECT_EQ(err(), "読込むファイルを読めません: メモリが足りません\n");

    // A pattern whose template is larger than the memory: its load fails.
    {
        std::string big = pattern_text("in.txt", "out.txt");
        big.append(std::size_t{150} << 20, 'x');
        write_file(dir.file("big.ptn"), big);
    }
    Spawn load({"--no-run", "big.ptn"});
    load.memory = rlim_t{200} << 20;
    EXPECT_EQ(exit_code(load.run(folder())), 2);
    EXPECT_EQ(err(), "抽出パターンファイルを開けません: big.ptn\n");
}
#endif

TEST_F(BatchSafeFilesTest, APatternThatCannotBeReadAndPathsWithNulBytes) {
    Outcome r = batch("/proc/self/mem");  // a read error (EIO) from its start
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "抽出パターンファイルを開けません: /proc/self/mem\n");

    write_file(dir.file("in.txt"), kRecords);
    write_file(dir.file("out.txt"), "untouched\r\n");
    const std::string nul(1, '\0');
    struct Case {
        std::string in, out, message;
    };
    const Case cases[] = {
        {"in.txt" + nul + "x", "new.txt", "読込むファイルを開けません: in.txt" + nul + "x"},
        {"in.txt", "out.txt" + nul + "x", "抽出結果を書出すファイルを開けません: out.txt" + nul + "x"},
    };
    for (const Case& c : cases) {
        pattern("p.ptn", pattern_text(c.in, c.out));
        r = batch("-q p.ptn");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.message + "\n");
        EXPECT_EQ(read_file(dir.file("out.txt")), "untouched\r\n");
        EXPECT_FALSE(std::filesystem::exists(dir.file("new.txt")));
    }
}

// A source that gives one record and then fails.
class FailingAfterOne : public ByteSource {
public:
    long long read(char* buf, std::size_t n) override {
        if (done_) return -1;
        done_ = true;
        const std::string one = "one\r\n";
        one.copy(buf, n);
        return static_cast<long long>(one.size());
    }

private:
    bool done_ = false;
};

class FilesFailingToRead : public batch::BatchFiles {
public:
    FilesFailingToRead(batch::BatchHost& host, bool fails) : BatchFiles(host, false, true, {}), fails_(fails) {}
    std::unique_ptr<ByteSource> open_input(const std::string& path) override {
        if (fails_) return std::make_unique<FailingAfterOne>();
        return BatchFiles::open_input(path);
    }

private:
    bool fails_;
};

TEST_F(BatchSafeFilesTest, AFailedReadIsAFailureEvenWhenStandardOutputsReaderHasGone) {
    write_file(dir.file("in.txt"), kRecords);
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    close(pipe_ends[0]);  // the reader has gone
    std::fflush(stdout);
    const int saved_stdout = dup(1);
    dup2(pipe_ends[1], 1);
    close(pipe_ends[1]);
    const auto old_pipe = std::signal(SIGPIPE, SIG_IGN);
    for (bool fails : {true, false}) {
        ExtractionSettings s;
        s.txt_ReadFile = dir.file("in.txt");
        s.txt_WriteFile = "-";
        batch::BatchHost host(s, batch::ProgressDrawing::None, 80);
        FilesFailingToRead files(host, fails);
        const RunResult r = cmd_select_Click(host, files);
        EXPECT_EQ(r.outcome, RunOutcome::Failed) << fails;
        EXPECT_TRUE(host.output_closed()) << fails;
        EXPECT_EQ(host.only_reader_gone(), !fails) << fails;  // a failed read exits 1 and saves nothing
    }
    std::signal(SIGPIPE, old_pipe);
    dup2(saved_stdout, 1);
    close(saved_stdout);
}

}  // namespace
}  // namespace lintavo::test
