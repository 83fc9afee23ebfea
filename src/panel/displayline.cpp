#include "panel/displayline.h"

#include <QPainter>

namespace qpv {

DisplayLine::DisplayLine(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoFillBackground(true);
}

void DisplayLine::setText(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    update();
}

QString DisplayLine::visibleText() const
{
    // No glyph is narrower than a pixel, so no more characters than pixels can show.
    const auto fits = static_cast<std::size_t>(std::max(0, contentsRect().width()));
    const std::size_t count = std::min(m_text.size(), fits);
    return QString::fromUtf8(m_text.data(), static_cast<qsizetype>(count));
}

void DisplayLine::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_text.empty())
        return;
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(2, 0, 0, 0);
    painter.setClipRect(area);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, visibleText());
}

} // namespace qpv
