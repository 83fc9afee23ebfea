#include "panel/displayline.h"

#include <QEvent>
#include <QFontMetricsF>
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
    if (!m_advancesKnown) {
        const QFontMetricsF metrics(font());
        for (std::size_t c = 0; c < m_advances.size(); ++c)
            m_advances[c] = static_cast<float>(metrics.horizontalAdvance(QChar(static_cast<char16_t>(c))));
        m_advancesKnown = true;
    }
    // Bytes beyond ASCII (a device path in a report) are counted as one pixel each: no
    // glyph is narrower, so nothing that fits is ever cut.
    const float width = static_cast<float>(contentsRect().width());
    float used = 0;
    std::size_t count = 0;
    while (count < m_text.size() && used <= width) {
        const auto c = static_cast<unsigned char>(m_text[count]);
        used += c < m_advances.size() ? std::max(m_advances[c], 1.0f) : 1.0f;
        ++count;
    }
    count = std::min(m_text.size(), count + 2);
    return QString::fromUtf8(m_text.data(), static_cast<qsizetype>(count));
}

void DisplayLine::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_advancesKnown = false;
    QFrame::changeEvent(event);
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
