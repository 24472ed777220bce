// Which controls the chosen read-file type and write mode show.
#pragma once

#include <QString>

namespace lintavo::ui {

struct TypeState {
    QString ichi_caption;  // the start-position heading
    bool lengths_shown;    // lbl_len and txt_len(0..6)
    bool record_length_shown;  // lbl_RecordLength and txt_RecordLength
    // chk_header: a header line is a thing of lines, not of fixed-length records.
    bool header_shown() const { return !record_length_shown; }
};

// The state for the entry text of the chosen read-file type (empty when
// no entry is chosen).
TypeState type_state(const QString& chosen_entry);

// Whether the template is shown for the chosen write mode.
inline bool template_shown(int write_mode) { return write_mode == 2; }

}  // namespace lintavo::ui
