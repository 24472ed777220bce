#include "ui/common/number_field.h"

#include <QLineEdit>

#include <algorithm>

namespace lintavo::ui {
namespace {

qsizetype letters(const QString& text) {
    return std::count_if(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

}  // namespace

QString half_width_number(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９') c = QChar(u'0' + (u - u'０'));
        else if (u == u'．') c = QLatin1Char('.');
        else if (u == u'，') c = QLatin1Char(',');
        else if (u == u'＋') c = QLatin1Char('+');
        else if (u == u'－' || u == u'−') c = QLatin1Char('-');
        else if (u == u'　') c = QLatin1Char(' ');
    }
    return text;
}

NumberFieldValidator::NumberFieldValidator(QLineEdit* edit) : QValidator(edit), last_(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { last_ = text; });
}

QValidator::State NumberFieldValidator::validate(QString& input, int&) const {
    input = half_width_number(input);
    // A change that adds a letter is refused; one that keeps or removes
    // the letters a pattern file put there is not.
    return letters(input) > letters(last_) ? Invalid : Acceptable;
}

void make_number_field(QLineEdit* edit) { edit->setValidator(new NumberFieldValidator(edit)); }

}  // namespace lintavo::ui
