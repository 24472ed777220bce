// lintavo-batch run as a program on the files of a temporary folder.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "test_support.h"

namespace lintavo::test {

struct Outcome {
    int status;
    std::string out, err;
};

inline std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The program under test: this build's lintavo-batch or, when
// LINTAVO_BATCH_WINDOWS names one, lintavo-batch.exe started by the
// launcher in LINTAVO_BATCH_LAUNCHER (wine).
struct ProgramUnderTest {
    std::string launcher;  // empty: the program runs itself
    std::string program;
    bool windows() const { return !launcher.empty(); }
    // The words that start it, for a shell.
    std::string command() const { return (windows() ? quote(launcher) + " " : std::string()) + quote(program); }
};

inline const ProgramUnderTest& under_test() {
    static const ProgramUnderTest p = [] {
        const char* exe = std::getenv("LINTAVO_BATCH_WINDOWS");
        const char* launcher = std::getenv("LINTAVO_BATCH_LAUNCHER");
        if (exe != nullptr && *exe != '\0') return ProgramUnderTest{launcher != nullptr ? launcher : "wine", exe};
        return ProgramUnderTest{"", LINTAVO_BATCH};
    }();
    return p;
}

// What only POSIX systems have (signals, FIFOs, file modes, limits,
// pseudo-terminals, closed standard streams) is not tested on Windows.
#define SKIP_ON_WINDOWS(why) \
    if (::lintavo::test::under_test().windows()) GTEST_SKIP() << "not on Windows: " << (why)

class BatchTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string lang = "C";  // the locale lintavo-batch runs in

    // Runs lintavo-batch with the arguments (shell words) in the test's folder.
    Outcome batch(const std::string& args, const std::string& stdin_bytes = "") {
        write_file(dir.file(".stdin"), stdin_bytes);
        const std::string cmd = "cd " + quote(dir.path().string()) + " && LC_ALL= LC_MESSAGES= LANG=" + lang + " " +
                                under_test().command() + " " + args +
                                " < .stdin > .stdout 2> .stderr";
        const int r = std::system(cmd.c_str());
        return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, read_file(dir.file(".stdout")), read_file(dir.file(".stderr"))};
    }

    void pattern(const std::string& name, const std::string& body) { write_file(dir.file(name), body); }
};

}  // namespace lintavo::test
