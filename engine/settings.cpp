#include "engine/settings.h"

#include "engine/text_join.h"

namespace lintavo {

std::string field_name(TextField field) {
    const int f = static_cast<int>(field);
    const auto row = [](int base, int f) { return std::to_string(f - base + 1); };
    if (field == TextField::RecordLength) return "レコード長";
    if (field == TextField::Template) return "書出しパターン";
    if (f < static_cast<int>(TextField::Length0)) return join({"@", row(static_cast<int>(TextField::Start0), f), "の開始位置"});
    if (f < static_cast<int>(TextField::Key0)) return join({"@", row(static_cast<int>(TextField::Length0), f), "の長さ"});
    if (f < static_cast<int>(TextField::Keyword0)) return join({"@", row(static_cast<int>(TextField::Key0), f), "の比較内容"});
    return join({"キーワード", row(static_cast<int>(TextField::Keyword0), f)});
}

int rows_in_use(const ExtractionSettings& s) {
    int n = 0;
    while (n < kConditionRows && !s.conditions[n].txt_ichi.empty()) ++n;
    return n;
}

}  // namespace lintavo
