#include "ui/main/layout.h"

#include <string>
#include <vector>

namespace lintavo::ui {
namespace {

std::vector<Placement> make() {
    std::vector<Placement> p = {
        {"Frame2", 90, 135, 5415, 3525},
        {"Frame4", 90, 3825, 5415, 2625},
        {"Frame6", 5670, 135, 7305, 6360},
        {"Frame3", 135, 315, 6135, 1995},
        {"Frame1", 135, 2430, 7080, 3795},
        // Frame2
        {"cmd_ReadFileOpen", 180, 450, 1410, 330},
        {"txt_ReadFile", 1710, 405, 3480, 375},
        {"cmb_type", 1710, 855, 1365, 300},
        {"cmb_code", 180, 855, 1410, 300},  // under cmd_ReadFileOpen
        {"lbl_RecordLength", 3420, 900, 405, 180},
        {"txt_RecordLength", 3915, 855, 915, 285},
        {"chk_header", 3420, 855, 1815, 300},  // where the record length stands for 固定長
        {"cmd_WriteFile", 180, 1440, 1410, 330},
        {"txt_WriteFile", 1710, 1440, 3480, 375},
        {"cmd_select", 225, 2295, 3165, 645},
        {"lbl_ReadCount", 3645, 2295, 1545, 285},
        {"lbl_WriteCount", 3645, 2655, 1545, 285},
        // Shown only while a run lasts, in the free part below the counters.
        {"prg_Progress", 225, 2985, 4965, 180},
        {"lbl_Progress", 225, 3195, 4965, 240},
        // Frame4
        {"cmb_type_Write", 135, 315, 3255, 300},
        {"cmb_code_Write", 3525, 315, 1710, 300},
        {"txt_hinagata", 135, 675, 5100, 1770},
        // Frame1 headings
        {"lbl_ichi", 540, 360, 720, 180},
        {"lbl_len", 1575, 360, 315, 180},
        {"Label4", 2070, 405, 720, 180},
        {"Label1", 3240, 405, 720, 180},
        {"Label2", 5670, 405, 360, 180},
    };
    // Frame3: keyword rows.
    static const int kKeywordTop[] = {360, 765, 1125, 1485};
    static const int kKeywordListTop[] = {405, 765, 1125, 1485};
    const auto name = [](const std::string& n) { return QString::fromStdString(n); };
    for (int j = 0; j < 4; ++j) {
        const std::string row = "(" + std::to_string(j) + ")";
        p.push_back({name("txt_keyword" + row), 270, kKeywordTop[j], 4245, 285});
        p.push_back({name("cmb_keyword" + row), 4680, kKeywordListTop[j], 1320, 300});
    }
    // Frame1: condition rows.
    static const int kTextTop[] = {675, 1125, 1575, 1980, 2385, 2835, 3240};
    static const int kListTop[] = {720, 1170, 1620, 2025, 2430, 2880, 3285};
    static const int kChangeTop[] = {720, 1170, 1620, 2025, 2430, 2880, 3240};
    static const int kLabelTop[] = {720, 1125, 1575, 1980, 2385, 2835, 3240};
    for (int i = 0; i < 7; ++i) {
        const std::string row = "(" + std::to_string(i) + ")";
        p.push_back({name("lbl_selectNo" + row), 270, kLabelTop[i], 90, 180});
        p.push_back({name("txt_ichi" + row), 495, kTextTop[i], 780, 330});
        p.push_back({name("txt_len" + row), 1395, kTextTop[i], 510, 330});
        p.push_back({name("cmb_select" + row), 2025, kListTop[i], 1050, 300});
        p.push_back({name("txt_key" + row), 3195, kTextTop[i], 2400, 375});
        p.push_back({name("cmb_change" + row), 5670, kChangeTop[i], 1275, 300});
    }
    return p;
}

const std::vector<Placement>& all() {
    static const std::vector<Placement> p = make();
    return p;
}

}  // namespace

const Placement* placements(std::size_t& count) {
    count = all().size();
    return all().data();
}

QRect placement_of(const QString& name) {
    for (const Placement& p : all()) {
        if (name == p.name) return twips(p.left, p.top, p.width, p.height);
    }
    return {};
}

}  // namespace lintavo::ui
