// lintavo-batch on bad input, end to end: files that cannot be read or
// written, settings out of range, broken pattern files, odd bytes in the
// input, huge records and files, and a full disk. Each gives a clear
// message and the right exit status, and no file is touched that should not be.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "batch_support.h"

namespace lintavo {
namespace {

using test::BatchTest;
using test::Outcome;
using test::read_file;
using test::write_file;

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // memory figures mean nothing under AddressSanitizer
#else
constexpr bool kSanitized = false;
#endif

// Root may read and write whatever the permission bits say.
bool permissions_bind() { return ::geteuid() != 0; }

TEST_F(BatchTest, FilesThatCannotBeReadOrWritten) {
    SKIP_ON_WINDOWS("file modes and symbolic links");
    write_file(dir.file("in.txt"), "x\r\ny\r\n");
    fs::create_directory(dir.file("sub"));
    fs::create_symlink("in.txt", dir.file("link.txt"));
    fs::create_hard_link(dir.file("in.txt"), dir.file("hard.txt"));
    write_file(dir.file("locked.txt"), "secret\r\n");
    ::chmod(dir.file("locked.txt").c_str(), 0);
    fs::create_directory(dir.file("readonly"));
    ::chmod(dir.file("readonly").c_str(), 0555);
    pattern("p.txt", "");
    const std::string same = "読込むファイルと書出すファイルが同じです\n";
    const struct {
        std::string args;
        int status;
        std::string err;
        bool needs_permissions = false;
    } cases[] = {
        {"-i missing.txt -o out.txt p.txt", 1, "読込むファイルを開けません: missing.txt\n読込件数:0\n書出件数:0\n"},
        {"-i sub -o out.txt p.txt", 1, "読込むファイルを開けません: sub\n読込件数:0\n書出件数:0\n"},
        {"-i locked.txt -o out.txt p.txt", 1, "読込むファイルを開けません: locked.txt\n読込件数:0\n書出件数:0\n", true},
        {"-i in.txt -o no/such/out.txt p.txt", 1, "抽出結果を書出すファイルを開けません: no/such/out.txt\n読込件数:0\n書出件数:0\n"},
        {"-i in.txt -o readonly/out.txt p.txt", 1, "抽出結果を書出すファイルを開けません: readonly/out.txt\n読込件数:0\n書出件数:0\n", true},
        {"-i in.txt -o sub p.txt", 1, "抽出結果を書出すファイルを開けません: sub\n読込件数:0\n書出件数:0\n"},
        // The same file by another path, a symbolic link or a hard link is never emptied.
        {"-i in.txt -o ./in.txt p.txt", 1, same},
        {"-i in.txt -o sub/../in.txt p.txt", 1, same},
        {"-i in.txt -o link.txt p.txt", 1, same},
        {"-i link.txt -o in.txt p.txt", 1, same},
        {"-i in.txt -o hard.txt p.txt", 1, same},
        // An empty input gives an empty output.
        {"-i /dev/null -o out.txt p.txt", 0, "読込件数:0\n書出件数:0\n"},
    };
    for (const auto& c : cases) {
        if (c.needs_permissions && !permissions_bind()) continue;
        fs::remove(dir.file("out.txt"));
        const Outcome o = batch(c.args);
        EXPECT_EQ(o.status, c.status) << c.args;
        EXPECT_EQ(o.err, c.err) << c.args;
        EXPECT_EQ(read_file(dir.file("in.txt")), "x\r\ny\r\n") << c.args;
        EXPECT_EQ(fs::exists(dir.file("out.txt")), c.status == 0) << c.args;
    }
    EXPECT_EQ(read_file(dir.file("out.txt")), "");
    ::chmod(dir.file("readonly").c_str(), 0755);
}

TEST_F(BatchTest, SettingsOutOfRange) {
    write_file(dir.file("in.txt"), "abcdef\r\nxy\r\n");
    const std::string reclen = "レコード長には1以上の数を指定してください\n";
    const struct {
        std::string pattern;
        int status;
        std::string err;  // the message, or "" for a run that finishes
        std::string out;
    } cases[] = {
        {"READFILETYPE=2\r\nRECORDLENGTH=0\r\n", 1, reclen, ""},
        {"READFILETYPE=2\r\nRECORDLENGTH=-5\r\n", 1, reclen, ""},
        {"READFILETYPE=2\r\nRECORDLENGTH=abc\r\n", 1, reclen, ""},
        // No allocation of that size: the whole file is one short record.
        {"READFILETYPE=2\r\nRECORDLENGTH=1e30\r\n", 0, "", "abcdef\r\nxy\r\n\r\n"},
        {"ITEM000=    -3,     2,00,00,\r\nWRITEFILETYPE=1\r\n", 1, "@1の開始位置が正しくありません\n", ""},
        {"ITEM000=     1,    -1,00,00,\r\nWRITEFILETYPE=1\r\n", 1, "@1の長さが正しくありません\n", ""},
        {"ITEM000=999999,     2,00,00,\r\nWRITEFILETYPE=1\r\n", 0, "", "\r\n\r\n"},  // past the end: the empty text
        {"ITEM000=     5,999999,00,00,\r\nWRITEFILETYPE=1\r\n", 0, "", "ef\r\n\r\n"},
    };
    for (const auto& c : cases) {
        fs::remove(dir.file("out.txt"));
        pattern("p.txt", c.pattern);
        const Outcome o = batch("-q -i in.txt -o out.txt p.txt");
        EXPECT_EQ(o.status, c.status) << c.pattern;
        EXPECT_EQ(o.err, c.err) << c.pattern;
        EXPECT_EQ(fs::exists(dir.file("out.txt")), c.status == 0) << c.pattern;
        if (c.status == 0) {
            EXPECT_EQ(read_file(dir.file("out.txt")), c.out) << c.pattern;
        }
    }
}

TEST_F(BatchTest, BrokenPatternFiles) {
    write_file(dir.file("in.txt"), "x\r\n");
    std::string garbage;
    std::mt19937 rng(5);
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>(rng() & 0xFF);
    for (int i = 0; i < 256; ++i) garbage += static_cast<char>(i);
    const std::string no_input = "読込むファイルを指定してください\n";
    const struct {
        std::string name, bytes;
        int status;
        std::string err;
    } cases[] = {
        {"garbage", garbage, 1, no_input},
        {"only CRs", std::string(10000, '\r'), 1, no_input},
        {"empty", "", 1, no_input},
        {"a 100 MB line", std::string(100'000'000, 'X') + "\r\nREADFILE=in.txt\r\nWRITEFILE=out.txt\r\n", 0,
         "読込件数:1\n書出件数:1\n"},
        {"indices 99 and -7", "READFILE=in.txt\r\nWRITEFILE=out.txt\r\nITEM099=     1,     2,00,00,\r\n"
                              "KEYWORD-07=0,       x\r\nITEM-7=     1,\r\n",
         0, "読込件数:1\n書出件数:1\n"},
        {"a huge number", "READFILE=in.txt\r\nWRITEFILE=out.txt\r\nREADFILETYPE=1e400\r\n", 0,
         "p.txt:3: READFILETYPE: 一覧にない番号 9223372036854775807 を無視しました\n読込件数:1\n書出件数:1\n"},
    };
    for (const auto& c : cases) {
        fs::remove(dir.file("out.txt"));
        pattern("p.txt", c.bytes);
        const Outcome o = batch("p.txt");
        EXPECT_EQ(o.status, c.status) << c.name;
        EXPECT_EQ(o.err, c.err) << c.name;
        EXPECT_EQ(fs::exists(dir.file("out.txt")), c.status == 0) << c.name;
    }
}

TEST_F(BatchTest, OddBytesInTheInputPassExactly) {
    const struct {
        std::string name, pattern, input, out;
    } cases[] = {
        {"NUL bytes in lines", "", std::string("a\0b\r\n\0\r\n", 8), std::string("a\0b\r\n\0\r\n", 8)},
        {"NUL bytes in CSV", "READFILETYPE=1\r\nITEM000=     1,      ,00,00,\r\nWRITEFILETYPE=3\r\n",
         std::string("\"a\0b\",c\r\n", 9), "\"ab\"\r\n"},  // bytes below TAB are dropped by the CSV split
        {"a lead byte at the end of the file", "KEYWORD000=0,       \x82\xA0\r\n", "x\x82\xA0y\r\nabc\x82",
         "x\x82\xA0y\r\n"},
        {"a lead byte ending the file, written as read", "", "abc\x82", "abc\x82\r\n"},
        {"a lead byte ending a fixed-length record", "READFILETYPE=2\r\nRECORDLENGTH=3\r\n", "ab\x82\xA0\x83q\x81",
         "ab\x82\r\n\xA0\x83q\r\n\x81\r\n"},
        {"invalid double-byte codes", "", "\x85\x40\xFD\xFE\xFF\x80\xA0\r\n", "\x85\x40\xFD\xFE\xFF\x80\xA0\r\n"},
    };
    for (const auto& c : cases) {
        pattern("p.txt", c.pattern);
        write_file(dir.file("in.txt"), c.input);
        const Outcome o = batch("-q -i in.txt -o out.txt p.txt");
        EXPECT_EQ(o.status, 0) << c.name << ": " << o.err;
        EXPECT_EQ(read_file(dir.file("out.txt")), c.out) << c.name;
    }
}

// Runs lintavo-batch in the folder and returns its exit status and peak
// resident memory in KiB.
std::pair<int, long> run_measured(const std::string& folder, const std::vector<std::string>& args) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        std::vector<char*> argv{const_cast<char*>(LINTAVO_BATCH)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(LINTAVO_BATCH, argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

TEST_F(BatchTest, A200MegabyteLineCostsAboutItsOwnSize) {
    SKIP_ON_WINDOWS("the peak memory measured would be wine's");
    const std::size_t size = 200'000'000;
    {
        std::string line(size, 'x');
        line.replace(size / 2, 4, "E001");
        write_file(dir.file("in.txt"), "head\r\n" + line);  // the last line has no terminator
    }
    const struct {
        std::string pattern;
        std::size_t out_size;
    } cases[] = {
        {"", 6 + size + 2},                                  // written as read
        {"KEYWORD000=0,       E001\r\n", size + 2},          // kept by a keyword
        {"ITEM000=     1,     3,00,00,\r\nWRITEFILETYPE=3\r\n", 7 + 7},  // cut
    };
    for (const auto& c : cases) {
        pattern("p.txt", c.pattern);
        const auto [status, peak_kib] = run_measured(dir.path().string(), {"-q", "-i", "in.txt", "-o", "out.txt", "p.txt"});
        EXPECT_EQ(status, 0) << c.pattern;
        EXPECT_EQ(fs::file_size(dir.file("out.txt")), c.out_size) << c.pattern;
        if (!kSanitized) {
            // The record, the buffer doubling that held it, and some buffers.
            EXPECT_LT(peak_kib, static_cast<long>((size * 13 / 10 + (32 << 20)) / 1024)) << c.pattern;
        }
    }
}

TEST_F(BatchTest, AFileOfMoreThan4GiBCountsPast32Bits) {
    // Sparse: 4 GiB of holes, then one record with a keyword.
    const std::uint64_t size = (std::uint64_t{4} << 30) + 4096;
    {
        const int fd = ::open(dir.file("big.dat").c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "TAIL", 4, static_cast<off_t>(size - 4)), 4);
        ::close(fd);
    }
    pattern("p.txt", "READFILETYPE=2\r\nRECORDLENGTH=4096\r\nKEYWORD000=0,       TAIL\r\n");
    const Outcome o = batch("-i big.dat -o out.txt p.txt");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "読込件数:1048577\n書出件数:1\n");
    EXPECT_EQ(read_file(dir.file("out.txt")), std::string(4092, '\0') + "TAIL\r\n");
}

TEST_F(BatchTest, AFullDiskKeepsCompleteLines) {
    // A small file system of its own that fills up.
    const std::string mnt = dir.file("small");
    fs::create_directory(mnt);
    if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=1m") != 0) GTEST_SKIP() << "cannot mount a small tmpfs here";
    std::string input;
    for (int i = 0; i < 100000; ++i) input += "line " + std::to_string(i) + " of the input\r\n";
    write_file(dir.file("in.txt"), input);
    pattern("p.txt", "");
    const Outcome o = batch("-i in.txt -o small/out.txt p.txt");
    const std::string out = read_file(mnt + "/out.txt");
    ::umount(mnt.c_str());
    EXPECT_EQ(o.status, 1);
    ASSERT_TRUE(o.err.starts_with("抽出結果の書出しに失敗しました\n読込件数:")) << o.err;
    // Every line written is complete, and the count says how many there are.
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(input.compare(0, out.size(), out), 0);
    EXPECT_TRUE(out.ends_with("\r\n"));
    std::size_t lines = 0;
    for (char ch : out) lines += ch == '\n';
    EXPECT_TRUE(o.err.ends_with("\n書出件数:" + std::to_string(lines) + "\n")) << o.err << " lines " << lines;
}

}  // namespace
}  // namespace lintavo
