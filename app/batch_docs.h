// The manual pages of lintavo and lintavo-batch and the bash completion of
// lintavo-batch, made from the option table that `--help` prints.
#pragma once

#include <string>

#include "app/batch_options.h"

namespace lintavo::batch {

// roff sources for man(1); `date` is the release date (YYYY-MM-DD).
std::string batch_manual_page(const std::string& version, const std::string& date);
std::string window_manual_page(const std::string& version, const std::string& date);
// The same pages in Japanese (installed under man/ja).
std::string batch_manual_page_ja(const std::string& version, const std::string& date);
std::string window_manual_page_ja(const std::string& version, const std::string& date);

// A bash completion script for lintavo-batch.
std::string batch_completion();

namespace detail {  // what the pages of both languages share
// A text as roff shows it literally.
std::string roff(const std::string& text);
// The title line, NAME and SYNOPSIS of a page; `name` and `synopsis` in roff.
std::string page_start(const std::string& name, const std::string& version, const std::string& date,
                       const std::string& summary, const std::string& synopsis, Language language);
// OPTIONS and EXIT STATUS of lintavo-batch, from the option table.
std::string options_section(Language language);
}  // namespace detail

}  // namespace lintavo::batch
