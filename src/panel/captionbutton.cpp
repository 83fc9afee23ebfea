#include "panel/captionbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace qpv {

void CaptionButton::paintEvent(QPaintEvent* event)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (fontMetrics().horizontalAdvance(text()) <= area.width()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWrapAnywhere, palette(), isEnabled(),
                         text(), QPalette::ButtonText);
}

} // namespace qpv
