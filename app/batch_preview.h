// lintavo-batch --preview: the preview as a table on standard output, one
// line of column names and one line per record read, columns separated by
// TAB, every line ended by LF, in UTF-8.
#pragma once

#include <cstdio>

#include "engine/run/preview.h"

namespace lintavo::batch {

class PreviewTable : public PreviewSink {
public:
    explicit PreviewTable(std::FILE* out) : out_(out) {}
    void begin(const PreviewLayout& layout) override;
    void record(const PreviewRecord& r) override;
    // A table whose writing failed (a pipe closed by its reader) takes no more.
    bool wants_more() const override { return std::ferror(out_) == 0; }

private:
    void put(std::string_view text, bool first = false);

    std::FILE* out_;
    Encoding read_ = Encoding::Cp932;
    Encoding written_ = Encoding::Cp932;
};

}  // namespace lintavo::batch
