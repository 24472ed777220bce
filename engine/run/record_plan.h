// RecordPlan: the settings made ready for the records of a run: the
// conditions' plan, and what the run itself needs (the layout of the
// records, the write mode, what each record needs). A plan holds views into
// the settings it was made from; the run makes a new plan whenever the
// settings change.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/conditions/condition_plan.h"
#include "engine/io/line_break.h"
#include "engine/settings.h"

namespace lintavo {

struct RecordPlan : ConditionPlan {
    int type = kTypeText;
    std::int64_t record_length = 0;
    int write_mode = kWriteAsRead;
    std::string_view hinagata;
    bool fields_needed = false;  // some comparison or the write mode looks at the fields
    bool compares = false;       // some row in use has a comparison
    bool header = false;         // the first record is a header line (TEXT and CSV only)
};

// The plan for records in `encoding`, whose texts the settings already hold
// in that encoding.
RecordPlan make_plan(const ExtractionSettings& s, Encoding encoding = Encoding::Cp932);

// The encodings of the file read and of the file written.
inline Encoding read_encoding(const ExtractionSettings& s) {
    switch (s.cmb_code) {
        case kReadUtf8: return Encoding::Utf8;
        case kReadEucJp: return Encoding::EucJp;
        case kReadUtf16: return Encoding::Utf16Le;  // until the file's mark says otherwise
        default: return Encoding::Cp932;
    }
}
Encoding write_encoding(int write_code, Encoding read);

// The settings as the records of a file see them: the settings taken, for
// a file in another encoding than code page 932 or a LF file a copy whose
// texts are made fit for its records (keys, keywords and template turned
// into the read encoding, an invalid byte staying that byte; the template's
// CR LF turned into LF), and the plan that views them.
class SettingsPlan {
public:
    explicit SettingsPlan(Encoding read, LineBreak lines = {}) : read_(read), lines_(lines) {}
    SettingsPlan(const SettingsPlan&) = delete;
    SettingsPlan& operator=(const SettingsPlan&) = delete;

    // Takes the settings (the code page 932 texts of the window and the
    // pattern file) and makes the plan anew.
    const RecordPlan& take(const ExtractionSettings& s);
    // The line ends of the file read, once they are known; makes the plan anew.
    const RecordPlan& set_line_break(LineBreak lines);
    // The byte order of a UTF-16 file, once its mark is read; makes the plan anew.
    const RecordPlan& set_encoding(Encoding read);
    const ExtractionSettings& settings() const { return settings_; }
    const RecordPlan& plan() const { return plan_; }

private:
    const RecordPlan& make();

    Encoding read_;
    LineBreak lines_;
    ExtractionSettings settings_;
    ExtractionSettings texts_;  // for a file not in code page 932, or a LF file
    RecordPlan plan_;
};

}  // namespace lintavo
