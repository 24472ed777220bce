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

class BatchTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string lang = "C";  // the locale lintavo-batch runs in

    // Runs lintavo-batch with the arguments (shell words) in the test's folder.
    Outcome batch(const std::string& args, const std::string& stdin_bytes = "") {
        write_file(dir.file(".stdin"), stdin_bytes);
        const std::string cmd = "cd " + quote(dir.path().string()) + " && LC_ALL= LC_MESSAGES= LANG=" + lang + " " +
                                quote(LINTAVO_BATCH) + " " + args +
                                " < .stdin > .stdout 2> .stderr";
        const int r = std::system(cmd.c_str());
        return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, read_file(dir.file(".stdout")), read_file(dir.file(".stderr"))};
    }

    void pattern(const std::string& name, const std::string& body) { write_file(dir.file(name), body); }
};

}  // namespace lintavo::test
