#include "ui/common/wrap_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace lintavo::ui {

void WrapButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    // Line breaks by the Unicode rules: between Japanese characters, never
    // before "、" or "。".
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
}

}  // namespace lintavo::ui
