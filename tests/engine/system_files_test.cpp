// The file operations that differ between systems, through whole runs, on
// the system the tests run on (Linux, or Windows under wine): Japanese
// names, bytes that a text mode would change, one file under two names, a
// save over an existing file, an output another run holds.
#include <filesystem>

#include "engine/messages.h"
#include "engine/system/files.h"
#include "recording_host.h"
#include "test_support.h"

namespace lintavo::test {
namespace {

class SystemFiles : public ::testing::Test {
protected:
    TempDir dir;
    // Names are joined as UTF-8 text: on Windows a narrow std::filesystem
    // path would read them in the ANSI code page.
    std::string at(const std::string& name) const { return dir.path().string() + "/" + name; }
    void put(const std::string& name, const std::string& bytes) { ASSERT_TRUE(sys::replace_file(at(name), bytes)) << name; }
    std::string got(const std::string& name) {
        RunFiles files;
        const auto source = files.open_input(at(name));
        if (!source) return "(cannot be opened)";
        std::string bytes(1 << 16, '\0');
        const long long n = source->read(bytes.data(), bytes.size());
        bytes.resize(static_cast<std::size_t>(n > 0 ? n : 0));
        return bytes;
    }
};

TEST_F(SystemFiles, RunsKeepEveryByteAndRefuseOneFileUnderTwoNames) {
    // CR LF, a lone LF, and Ctrl-Z inside a line and as the last line.
    const std::string bytes = "\xB1\x31\r\nb\x1A\r\n\r\nc\nd\r\n\x1A\r\n";
    struct Case {
        const char* what;
        std::string in, out;
        bool same;
    };
    const Case cases[] = {
        {"Japanese names", "顧客データ.csv", "抽出結果.txt", false},
        {"one name", "顧客.csv", "顧客.csv", true},
        {"through the folder's dot", "顧客.csv", "./顧客.csv", true},
#ifdef _WIN32
        {"backslashes and another case", "顧客.csv", ".\\顧客.CSV", true},
#endif
    };
    for (const Case& c : cases) {
        put(c.in, bytes);
        RecordingHost host;
        host.settings.txt_ReadFile = at(c.in);
        host.settings.txt_WriteFile = at(c.out);
        RunFiles files;
        EXPECT_EQ(sys::same_file(at(c.in), at(c.out)), c.same) << c.what;
        const RunResult r = cmd_select_Click(host, files);
        if (c.same) {
            EXPECT_EQ(r.outcome, RunOutcome::CheckFailed) << c.what;
            EXPECT_EQ(host.messages, std::vector<std::string>{std::string(msg::kSameFile)}) << c.what;
        } else {
            EXPECT_EQ(r.outcome, RunOutcome::Finished) << c.what;
            EXPECT_EQ(got(c.out), bytes) << c.what;
        }
        EXPECT_EQ(got(c.in), bytes) << c.what;
    }
}

TEST_F(SystemFiles, ASaveReplacesAnExistingFileAndLeavesNothingElse) {
    for (const std::string bytes : {"READFILE=a\r\n", "READFILE=longer\r\nWRITEFILE=b\r\n", ""}) {
        put("パターン.ptn", bytes);
        EXPECT_EQ(got("パターン.ptn"), bytes);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
    EXPECT_FALSE(sys::replace_file(dir.path().string(), "x")) << "a folder is no file to replace";
}

TEST_F(SystemFiles, AnOutputAnotherRunWritesIsInUse) {
    RunFiles first, second;
    auto held = first.open_output(at("出力.txt"));
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(second.open_output(at("出力.txt")), nullptr);
    EXPECT_TRUE(second.output_in_use());
    held.reset();
    EXPECT_NE(second.open_output(at("出力.txt")), nullptr);
    EXPECT_FALSE(second.output_in_use());
}

}  // namespace
}  // namespace lintavo::test
