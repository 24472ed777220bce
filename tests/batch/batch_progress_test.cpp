// lintavo-batch's progress: the line's text, and where and how it is drawn
// (a terminal, a log, nowhere), never into standard output.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include "app/batch_options.h"
#include "app/progress_line.h"
#include "batch_support.h"

namespace lintavo {
namespace {

using lintavo::ProgressFigures;
using batch::progress_text;
using test::BatchTest;
using test::Outcome;
using test::quote;
using test::read_file;
using test::write_file;

TEST(ProgressLine, Clock) {
    const struct { double seconds; const char* text; } cases[] = {
        {0, "0:00"}, {9.99, "0:09"}, {61, "1:01"}, {3599, "59:59"}, {3600, "1:00:00"}, {90061, "25:01:01"}, {-3, "0:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(clock_text(c.seconds), c.text) << c.seconds;
}

TEST(ProgressLine, Texts) {
    const struct {
        ProgressFigures f;
        std::size_t columns;
        bool bar;
        const char* text;
    } cases[] = {
        // A known size: percentage and bar; the time left only after the first seconds.
        {{{10, 5, 250, 1000}, 1}, 100, true,
         "[#######.......................]  25%  読込件数:10  書出件数:5  0.0 MB/s  経過 0:01"},
        {{{10, 5, 500'000'000, 1'000'000'000}, 10}, 100, true,
         "[###############...............]  50%  読込件数:10  書出件数:5  50.0 MB/s  経過 0:10  残り 0:10"},
        // Without a bar (a log line), and with the size not known (a pipe).
        {{{10, 5, 500'000'000, 1'000'000'000}, 10}, 200, false, " 50%  読込件数:10  書出件数:5  50.0 MB/s  経過 0:10  残り 0:10"},
        {{{7, 7, 12'345'678, -1}, 3}, 100, true, "12.3 MB  読込件数:7  書出件数:7  4.1 MB/s  経過 0:03"},
        // A count of ten digits, and more read than the size said (a growing file).
        {{{9'999'999'999, 0, 2000, 1000}, 0}, 100, true, "[##############################] 100%  読込件数:9999999999  書出件数:0  0.0 MB/s  経過 0:00"},
        // A narrow terminal: a shorter bar, then none, then the last fields
        // go; a number is never cut.
        {{{10, 5, 250, 1000}, 1}, 70, true, "[####............]  25%  読込件数:10  書出件数:5  0.0 MB/s  経過 0:01"},
        {{{10, 5, 250, 1000}, 1}, 60, true, " 25%  読込件数:10  書出件数:5  0.0 MB/s  経過 0:01"},
        {{{10, 5, 250, 1000}, 1}, 20, true, " 25%  読込件数:10"},
        {{{10, 5, 250, 1000}, 1}, 17, true, " 25%"},
        {{{10, 5, 250, 1000}, 1}, 3, true, " 2"},
    };
    for (const auto& c : cases) {
        const std::string got = progress_text(c.f, c.columns, c.bar);
        EXPECT_EQ(got, c.text) << c.columns;
        EXPECT_LT(batch::display_width(got), c.columns) << got;
    }
}

TEST(ProgressOption, Values) {
    const struct { std::vector<std::string> args; bool ok; batch::ProgressMode mode; } cases[] = {
        {{"p"}, true, batch::ProgressMode::Auto},
        {{"--progress", "p"}, true, batch::ProgressMode::Always},
        {{"--progress=auto", "p"}, true, batch::ProgressMode::Auto},
        {{"--progress=always", "p"}, true, batch::ProgressMode::Always},
        {{"p", "--progress=never"}, true, batch::ProgressMode::Never},
        {{"--progress=sometimes", "p"}, false, {}},
        {{"--progress=", "p"}, false, {}},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto opt = batch::parse_options(c.args, error);
        ASSERT_EQ(opt.has_value(), c.ok) << c.args[0] << error;
        if (opt) {
            EXPECT_EQ(opt->progress, c.mode) << c.args[0];
            EXPECT_EQ(opt->pattern, "p");  // "--progress" never takes the next word
        }
    }
}

class BatchProgressTest : public BatchTest {
protected:
    void SetUp() override {
        pattern("p.txt", "READFILE=in.txt\r\nWRITEFILE=out.txt\r\n");
        std::string lines;
        for (int i = 0; i < 5000; ++i) lines += "line " + std::to_string(i) + "\r\n";
        write_file(dir.file("in.txt"), lines);
    }

    // Runs lintavo-batch with standard error on a pseudo-terminal of 100
    // columns and standard output in a file; what the terminal showed.
    Outcome on_terminal(const std::string& args) {
        const std::string cmd = "cd " + quote(dir.path().string()) + " && exec " + quote(LINTAVO_BATCH) + " " + args +
                                " > .stdout < /dev/null";
        winsize ws{};
        ws.ws_col = 100;
        ws.ws_row = 24;
        int master = -1;
        const pid_t pid = forkpty(&master, nullptr, nullptr, &ws);
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::string shown;
        char buf[4096];
        for (;;) {
            const ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) break;  // EIO once the program has ended
            shown.append(buf, static_cast<std::size_t>(n));
        }
        close(master);
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(dir.file(".stdout")), shown};
    }
};

TEST_F(BatchProgressTest, RedrawnOnATerminalAndClearedBeforeTheSummary) {
    SKIP_ON_WINDOWS("a pseudo-terminal");
    for (const char* args : {"p.txt", "--progress p.txt", "--progress=always p.txt"}) {
        const Outcome o = on_terminal(args);
        EXPECT_EQ(o.status, 0) << args;
        EXPECT_EQ(o.out, "") << args;
        // Drawn from the line's start, each drawing clearing what was left of
        // the last; the summary stands on a cleared line.
        EXPECT_TRUE(o.err.starts_with("\r[")) << args << o.err;
        EXPECT_NE(o.err.find("%  読込件数:"), std::string::npos) << o.err;
        EXPECT_TRUE(o.err.ends_with("\033[K\r\033[K読込件数:5000\r\n書出件数:5000\r\n")) << args << o.err;
        EXPECT_EQ(o.err.find('\n'), o.err.find("読込件数:5000\r\n") + std::string("読込件数:5000\r").size());
    }
    EXPECT_EQ(read_file(dir.file("out.txt")), read_file(dir.file("in.txt")));
}

TEST_F(BatchProgressTest, QuietLeavesTheProgressAndDropsTheSummary) {
    SKIP_ON_WINDOWS("a pseudo-terminal");
    const Outcome o = on_terminal("-q p.txt");
    EXPECT_TRUE(o.err.starts_with("\r[")) << o.err;
    EXPECT_TRUE(o.err.ends_with("\033[K\r\033[K")) << o.err;
}

TEST_F(BatchProgressTest, NeverOnATerminal) {
    SKIP_ON_WINDOWS("a pseudo-terminal");
    const Outcome o = on_terminal("--progress=never p.txt");
    EXPECT_EQ(o.err, "読込件数:5000\r\n書出件数:5000\r\n");
}

TEST_F(BatchProgressTest, NotDrawnIntoAPipeUnlessAskedFor) {
    const Outcome automatic = batch("p.txt");
    EXPECT_EQ(automatic.err, "読込件数:5000\n書出件数:5000\n");
    // Asked for without a terminal: plain lines, no redrawing.
    const Outcome always = batch("--progress=always -o - p.txt");
    EXPECT_EQ(always.out, read_file(dir.file("in.txt")));
    EXPECT_NE(always.err.find("%  読込件数:0  書出件数:0  "), std::string::npos) << always.err;  // the first pause
    EXPECT_TRUE(always.err.ends_with("\n読込件数:5000\n書出件数:5000\n")) << always.err;
    EXPECT_EQ(always.err.find('\r'), std::string::npos);
    EXPECT_EQ(always.err.find('\033'), std::string::npos);
}

TEST_F(BatchProgressTest, AMessageDuringTheRunStandsOnItsOwnLine) {
    SKIP_ON_WINDOWS("a pseudo-terminal");
    pattern("p.txt", "READFILE=missing.txt\r\nWRITEFILE=out.txt\r\n");
    const Outcome o = on_terminal("p.txt");
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.starts_with("読込むファイルを開けません: missing.txt\r\n")) << o.err;
}

}  // namespace
}  // namespace lintavo
