// The texts the run shows to the user (UTF-8).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text_join.h"

namespace lintavo::msg {

inline constexpr std::string_view kNoReadFile = "読込むファイルを指定してください";
inline constexpr std::string_view kNoWriteFile = "抽出結果を書出すファイルを指定してください";
inline constexpr std::string_view kNoReadFileType = "読込みファイルの種類を選択してください";
inline constexpr std::string_view kBadRecordLength = "レコード長には1以上の数を指定してください";
inline constexpr std::string_view kSameFile = "読込むファイルと書出すファイルが同じです";
inline constexpr std::string_view kUnencodable = "Shift-JISで表せない文字があります: ";
inline constexpr std::string_view kNotInEucJp = "EUC-JPで表せない文字があります: ";
inline constexpr std::string_view kNotInUtf16 = "UTF-16で表せない文字があります: ";
inline constexpr std::string_view kCannotOpenInput = "読込むファイルを開けません: ";
inline constexpr std::string_view kCannotOpenOutput = "抽出結果を書出すファイルを開けません: ";
inline constexpr std::string_view kWriteFailed = "抽出結果の書出しに失敗しました";
inline constexpr std::string_view kReadFailed = "読込むファイルを読めません";
inline constexpr std::string_view kOutOfMemory = "読込むファイルを読めません: メモリが足りません";
inline constexpr std::string_view kOutputInUse = "抽出結果を書出すファイルは使用中です: ";

// A run whose write encoding could not hold some units of the records.
inline std::string replaced(std::int64_t units, std::int64_t first_record) {
    return join({"書出しの文字コードで表せない文字を置き換えました: ", std::to_string(units), "文字(最初は",
                 std::to_string(first_record), "件目)"});
}

inline std::string bad_start(int row) { return join({"@", std::to_string(row + 1), "の開始位置が正しくありません"}); }
inline std::string bad_column(int row) { return join({"@", std::to_string(row + 1), "の抽出する列が正しくありません"}); }
inline std::string key_not_number(int row) { return join({"@", std::to_string(row + 1), "の比較内容が数値ではありません"}); }
inline std::string bad_length(int row) { return join({"@", std::to_string(row + 1), "の長さが正しくありません"}); }

inline constexpr std::string_view kReadCount = "読込件数:";
inline constexpr std::string_view kWriteCount = "書出件数:";

// A counter label's caption once a run has got past its checks: the words
// and the count, 0 included (before any run the labels hold the words alone).
inline std::string count_caption(std::string_view words, std::int64_t n) { return join({words, std::to_string(n)}); }

}  // namespace lintavo::msg
