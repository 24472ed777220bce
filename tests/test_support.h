// Helpers shared by the tests: temporary folders and whole-file reads and writes.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/settings.h"
#include "engine/text/cp932.h"

namespace lintavo {

// Shows settings readably when a comparison of two of them fails.
inline void PrintTo(const ExtractionSettings& s, std::ostream* os) {
    *os << "{read " << ::testing::PrintToString(s.txt_ReadFile) << " type " << s.cmb_type << " code " << s.cmb_code
        << " reclen "
        << ::testing::PrintToString(s.txt_RecordLength);
    for (const auto& c : s.conditions) {
        *os << " [" << ::testing::PrintToString(c.txt_ichi) << " " << ::testing::PrintToString(c.txt_len) << " "
            << c.cmb_select << " " << ::testing::PrintToString(c.txt_key) << " " << c.cmb_change << "]";
    }
    for (const auto& k : s.keywords) *os << " <" << ::testing::PrintToString(k.txt_keyword) << " " << k.cmb_keyword << ">";
    *os << " write " << ::testing::PrintToString(s.txt_WriteFile) << " mode " << s.cmb_type_Write << " code "
        << s.cmb_code_Write << " template "
        << ::testing::PrintToString(s.txt_hinagata) << " unencodable " << s.unencodable << "}";
}

}  // namespace lintavo

namespace lintavo::test {

// A fresh folder for one test, removed afterwards.
class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name() : "lintavo";
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        path_ = std::filesystem::temp_directory_path() / ("lintavo-test-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The code page 932 bytes of a UTF-8 text, for fixtures written readably.
inline std::string sjis(std::string_view utf8) {
    std::string out;
    EXPECT_TRUE(cp932::from_utf8(utf8, out)) << utf8;
    return out;
}

// `text` with every `from` replaced by `to`.
inline std::string replace_all(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

inline std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace lintavo::test
