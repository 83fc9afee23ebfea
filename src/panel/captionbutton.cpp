#include "panel/captionbutton.h"

#include <QKeyEvent>
#include <QPainter>

#include <utility>

namespace qpv {

namespace {

// Return, Enter and space press the focused button.
bool pressKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace

void CaptionButton::setMarked(bool marked)
{
    if (std::exchange(m_marked, marked) != marked)
        update();
}

void CaptionButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    const QRect face = rect();
    const bool sunken = isDown() || isChecked();

    painter.fillRect(face, colours.color(QPalette::Button));
    if (m_marked)
        painter.fillRect(face, QBrush(Qt::red, Qt::BDiagPattern));

    // Two-pixel bevel: light above and left, dark below and right; reversed when pressed.
    const QColor light = colours.color(QPalette::Light);
    const QColor shadow = colours.color(QPalette::Dark);
    const QColor outline = colours.color(QPalette::Shadow);
    const int r = face.right();
    const int b = face.bottom();
    painter.setPen(sunken ? outline : light);
    painter.drawLine(0, 0, r - 1, 0);
    painter.drawLine(0, 0, 0, b - 1);
    painter.setPen(sunken ? shadow : outline);
    painter.drawLine(0, b, r, b);
    painter.drawLine(r, 0, r, b);
    if (!sunken) {
        painter.setPen(shadow);
        painter.drawLine(1, b - 1, r - 1, b - 1);
        painter.drawLine(r - 1, 1, r - 1, b - 1);
    }

    QRect caption = face.adjusted(3, 2, -3, -2);
    if (sunken)
        caption.translate(1, 1);
    painter.setPen(
        colours.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    // A caption too long for one line (the toggle's Japanese ones) wraps, and is drawn smaller
    // until its lines fit whole.
    QFont fitted = font();
    const int flags = Qt::AlignCenter | Qt::TextWrapAnywhere;
    for (QFontMetrics m(fitted);
         fitted.pixelSize() > 6 && m.horizontalAdvance(text()) > caption.width() &&
         m.boundingRect(caption, flags, text()).height() > caption.height() - 2;
         m = QFontMetrics(fitted))
        fitted.setPixelSize(fitted.pixelSize() - 1);
    painter.setFont(fitted);
    painter.drawText(caption, flags, text());

    if (hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(face.adjusted(3, 3, -4, -4));
    }
    if (m_marked) {
        painter.setPen(QPen(Qt::red, 2));
        painter.drawRect(face.adjusted(1, 1, -1, -1));
    }
}

// A key clicks as it goes down, once: a press of a key that is already down is the keyboard's
// repeat, and clicks nothing (see keyrepeat.h for the X server's repeats).
void CaptionButton::keyPressEvent(QKeyEvent* event)
{
    if (!pressKey(event->key()))
        return QPushButton::keyPressEvent(event);
    event->accept();
    if (event->isAutoRepeat() || m_held.contains(event->key()))
        return;
    m_held.append(event->key());
    click();
}

void CaptionButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!pressKey(event->key()))
        return QPushButton::keyReleaseEvent(event);
    event->accept();
    if (!event->isAutoRepeat())
        m_held.removeAll(event->key());
}

// A key let go elsewhere is released here too.
void CaptionButton::focusOutEvent(QFocusEvent* event)
{
    m_held.clear();
    QPushButton::focusOutEvent(event);
}

} // namespace qpv
