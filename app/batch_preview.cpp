#include "app/batch_preview.h"

#include "engine/text/escaped_text.h"

namespace lintavo::batch {

void PreviewTable::put(std::string_view text, bool first) {
    if (!first) std::fputc('\t', out_);
    std::fwrite(text.data(), 1, text.size(), out_);
}

void PreviewTable::begin(const PreviewLayout& layout) {
    read_ = layout.read_encoding;
    written_ = layout.write_encoding;
    put("件目", true);
    put("判定");
    put("理由");
    for (int i = 0; i < layout.rows_in_use; ++i) put("@" + std::to_string(i + 1));
    put("書出し内容");
    std::fputc('\n', out_);
}

void PreviewTable::record(const PreviewRecord& r) {
    static constexpr std::string_view kKinds[] = {"○", "×", "見出し"};
    put(std::to_string(r.number), true);
    put(kKinds[static_cast<int>(r.kind)]);
    put(r.kind == PreviewKind::HeldBack ? failed_test_name(r.verdict) : std::string());
    for (const std::string_view field : r.fields) put(escaped_text(read_, field));
    put(r.written ? escaped_text(written_, r.line) : std::string());
    std::fputc('\n', out_);
}

}  // namespace lintavo::batch
