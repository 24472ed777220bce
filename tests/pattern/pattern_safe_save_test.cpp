// Saving a pattern where others share the folder or things go wrong: only
// regular files the user may write are replaced, links are followed as the
// system's protected-symlinks rule follows them, the old file's owner, group
// and mode stay, a stop signal leaves no temporary file, and the file holds
// only what it can hold faithfully. Cases that need another user run as
// root only (the saver then acts for "nobody" in a child process).
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "engine/io/stop_signals.h"
#include "pattern/pattern_file.h"
#include "test_support.h"

namespace lintavo::pattern {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;

constexpr uid_t kNobody = 65534;
const std::string kOld = "READFILE=old\r\n";

ExtractionSettings some_settings() {
    ExtractionSettings s;
    s.txt_ReadFile = "in.txt";
    s.txt_WriteFile = "out.txt";
    return s;
}

std::string saved_bytes(const ExtractionSettings& s) {
    std::string bytes;
    EXPECT_FALSE(pattern_bytes(s, bytes).has_value());
    return bytes;
}

std::string cannot_save(const std::string& path) { return "抽出パターンファイルを保存できません: " + path; }

struct stat stat_of(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

// Saves `name` in `folder` in a child process acting as "nobody"; its exit
// status says whether the save was refused (1) or done (0). The child
// enters the folder first, as the folders above it may be closed to others.
int save_as_nobody(const TempDir& folder, const std::string& name) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.path().c_str()) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(3);
        _exit(save_pattern(name, some_settings()) ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PatternSafeSave, OnlyARegularFileIsReplaced) {
    TempDir dir;
    const std::string fifo = dir.file("fifo"), folder = dir.file("folder"), socket_path = dir.file("socket");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(socket_path.size(), sizeof addr.sun_path);
    socket_path.copy(addr.sun_path, socket_path.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    for (const std::string& path : {fifo, folder, socket_path, std::string("/dev/null")}) {
        const struct stat before = stat_of(path);
        EXPECT_EQ(save_pattern(path, some_settings()), cannot_save(path));
        const struct stat after = stat_of(path);
        EXPECT_EQ(after.st_mode, before.st_mode) << path;
        EXPECT_EQ(after.st_ino, before.st_ino) << path;
    }
    close(sock);
    EXPECT_EQ(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
}

TEST(PatternSafeSave, ReplacesAFileKeepingItsModeAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.file("p.ptn");
    write_file(path, kOld);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_FALSE(save_pattern(path, some_settings()));
    EXPECT_EQ(read_file(path), saved_bytes(some_settings()));
    EXPECT_EQ(stat_of(path).st_mode & 07777, 0640u);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(PatternSafeSave, ALongestLegalNameCanBeSaved) {
    TempDir dir;
    const std::string path = dir.file(std::string(255, 'p'));
    EXPECT_FALSE(save_pattern(path, some_settings()));
    EXPECT_EQ(read_file(path), saved_bytes(some_settings()));
}

TEST(PatternSafeSave, ALinkIsFollowedWhereTheSystemWouldFollowIt) {
    TempDir dir;
    const std::string target = dir.file("target.ptn"), link = dir.file("link.ptn");
    write_file(target, kOld);
    ASSERT_EQ(symlink("target.ptn", link.c_str()), 0);
    ASSERT_FALSE(save_pattern(link, some_settings()));  // the user's own link in the user's folder
    EXPECT_EQ(read_file(target), saved_bytes(some_settings()));
    EXPECT_TRUE(S_ISLNK(stat_of(link).st_mode));  // the link stays a link

    if (geteuid() != 0) GTEST_SKIP() << "a link of another user needs root";
    // A shared folder like /tmp, another user's link in it: refused.
    const std::string shared = dir.file("shared");
    ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    const std::string planted = shared + "/planted.ptn";
    write_file(target, kOld);
    ASSERT_EQ(symlink(target.c_str(), planted.c_str()), 0);
    ASSERT_EQ(lchown(planted.c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(save_pattern(planted, some_settings()), cannot_save(planted));
    EXPECT_EQ(read_file(target), kOld);
    // The folder's owner's link is followed.
    ASSERT_EQ(lchown(planted.c_str(), 0, 0), 0);
    EXPECT_FALSE(save_pattern(planted, some_settings()));
    EXPECT_EQ(read_file(target), saved_bytes(some_settings()));
}

TEST(PatternSafeSave, AFileTheUserMayNotWriteInPlaceIsRefusedAndAReplacedFileKeepsItsOwner) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to act as another user";
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 01777), 0);
    struct Case {
        const char* name;
        uid_t owner;
        mode_t mode;
        int refused;  // by "nobody"
    };
    const Case cases[] = {
        {"roots.ptn", 0, 0644, 1},         // another owner's file, readable only
        {"own-readonly.ptn", kNobody, 0444, 1},  // the user's own read-only file
        {"own.ptn", kNobody, 0600, 0},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        write_file(path, kOld);
        ASSERT_EQ(chown(path.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        EXPECT_EQ(save_as_nobody(dir, c.name), c.refused) << c.name;
        EXPECT_EQ(read_file(path) == kOld, c.refused == 1) << c.name;
    }
    // Root saving over a user's pattern leaves it the user's, with its mode.
    const std::string users = dir.file("users.ptn");
    write_file(users, kOld);
    ASSERT_EQ(chown(users.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(users.c_str(), 0604), 0);
    ASSERT_FALSE(save_pattern(users, some_settings()));
    const struct stat st = stat_of(users);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(read_file(users), saved_bytes(some_settings()));
}

TEST(PatternSafeSave, AStopSignalDuringASaveLeavesNoTemporaryFile) {
    TempDir dir;
    ExtractionSettings big = some_settings();
    big.txt_hinagata.assign(std::size_t{16} << 20, 'x');  // a large template: each save takes a while
    big.txt_hinagata += "\r\n";
    const std::string path = dir.file("big.ptn");
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t pid = fork();
        if (pid == 0) {
            stop_signals::install();
            for (;;) save_pattern(path, big);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            EXPECT_EQ(e.path().filename(), "big.ptn") << signal;
        }
    }
}

TEST(PatternSafeSave, TextsThePatternCannotHoldAreRefused) {
    struct Case {
        const char* what;
        void (*change)(ExtractionSettings&);
        std::string message;
    };
    const Case cases[] = {
        {"CR in the read file", [](ExtractionSettings& s) { s.txt_ReadFile = "evil\rREADFILE=/etc/shadow"; },
         "抽出パターンに保存できない文字があります: 読込みファイル"},
        {"LF in the write file", [](ExtractionSettings& s) { s.txt_WriteFile = "out\n.txt"; },
         "抽出パターンに保存できない文字があります: 書出しファイル"},
        {"CR in a keyword", [](ExtractionSettings& s) { s.keywords[1].txt_keyword = "a\rb"; },
         "抽出パターンに保存できない文字があります: キーワード2"},
        {"not UTF-8 in the read file", [](ExtractionSettings& s) { s.txt_ReadFile = "\x83" "A.txt"; },
         "Shift-JISで表せない文字があります: 読込みファイル"},
        {"not UTF-8 in the write file", [](ExtractionSettings& s) { s.txt_WriteFile = "out\xFF"; },
         "Shift-JISで表せない文字があります: 書出しファイル"},
    };
    TempDir dir;
    const std::string path = dir.file("p.ptn");
    for (const Case& c : cases) {
        write_file(path, kOld);
        ExtractionSettings s = some_settings();
        c.change(s);
        EXPECT_EQ(save_pattern(path, s), c.message) << c.what;
        EXPECT_EQ(read_file(path), kOld) << c.what;
    }
}

TEST(PatternSafeSave, APathLoadedAndSavedUnchangedKeepsItsBytes) {
    const std::string paths[] = {
        "\x87\x9A.txt",           // "∵" as an NEC code (0x81E6 is the same character)
        "\xFA\x5C\\data.csv",     // an IBM code with an NEC twin at 0xED40
        "a\x81 b.txt",            // an invalid byte
        "\x82\xA0.txt",           // "あ", nothing special
    };
    for (const std::string& p : paths) {
        const std::string file = "READFILE=" + p + "\r\nWRITEFILE=" + p + ".out\r\n";
        ExtractionSettings s;
        apply_pattern(file, s);
        const std::string bytes = saved_bytes(s);
        EXPECT_NE(bytes.find("READFILE=" + p + "\r\n"), std::string::npos) << testing::PrintToString(p);
        EXPECT_NE(bytes.find("WRITEFILE=" + p + ".out\r\n"), std::string::npos) << testing::PrintToString(p);
        s.txt_ReadFile = "other.txt";  // a changed path is written from its name
        EXPECT_NE(saved_bytes(s).find("READFILE=other.txt\r\n"), std::string::npos);
    }
}

TEST(PatternSafeSave, ALoadThatCannotReadChangesNothing) {
    ExtractionSettings s = some_settings();
    s.txt_hinagata = "kept\r\n";
    const ExtractionSettings before = s;
    // /proc/self/mem gives EIO when read from its start.
    EXPECT_EQ(proc_ReadPattern("/proc/self/mem", s), "抽出パターンファイルを開けません: /proc/self/mem");
    EXPECT_EQ(proc_ReadPattern(std::string("p\0x", 3), s), "抽出パターンファイルを開けません: " + std::string("p\0x", 3));
    EXPECT_EQ(s, before);
}

}  // namespace
}  // namespace lintavo::pattern
