// The manual pages of lintavo and lintavo-batch and the bash completion of
// lintavo-batch, made from the option table that `--help` prints.
#pragma once

#include <string>

namespace lintavo::batch {

// roff sources for man(1); `date` is the release date (YYYY-MM-DD).
std::string batch_manual_page(const std::string& version, const std::string& date);
std::string window_manual_page(const std::string& version, const std::string& date);
// The same pages in Japanese (installed under man/ja).
std::string batch_manual_page_ja(const std::string& version, const std::string& date);
std::string window_manual_page_ja(const std::string& version, const std::string& date);

// A bash completion script for lintavo-batch.
std::string batch_completion();

}  // namespace lintavo::batch
