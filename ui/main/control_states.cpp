#include "ui/main/control_states.h"

namespace lintavo::ui {

TypeState type_state(const QString& chosen_entry) {
    TypeState s{QStringLiteral("開始位置"), true, false};  // the state for "TEXT"
    if (chosen_entry == QStringLiteral("固定長")) {
        s.record_length_shown = true;
    } else if (chosen_entry == QStringLiteral("CSV") || chosen_entry == QStringLiteral("TSV")) {
        s.ichi_caption = QStringLiteral("抽出する列");
        s.lengths_shown = false;
    }
    return s;
}

}  // namespace lintavo::ui
