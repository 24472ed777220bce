// The fields that hold numbers (start positions, lengths, the record
// length): digits typed full-width (as the Japanese input method gives
// them) become half-width digits as they are typed, and a typed letter is
// not taken. A text set from a pattern file stays as it is, letters and
// all, and can still be edited.
#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

namespace lintavo::ui {

// The text with full-width digits, point, signs and blanks made half-width.
QString half_width_number(QString text);

class NumberFieldValidator : public QValidator {
public:
    explicit NumberFieldValidator(QLineEdit* edit);
    State validate(QString& input, int& pos) const override;

private:
    QString last_;  // the field's text before the change being validated
};

void make_number_field(QLineEdit* edit);

}  // namespace lintavo::ui
