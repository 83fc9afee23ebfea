#include "panel/logoimage.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace qpv {

namespace {

QPixmap drawLogo(const QFont& face)
{
    // A lens beam on a dark blue plate with the maker's name: drawn here, no picture file.
    QPixmap logo(80, 26);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient plate(0, 0, 0, 26);
    plate.setColorAt(0, QColor(0x1C, 0x3F, 0x8C));
    plate.setColorAt(1, QColor(0x0A, 0x1A, 0x40));
    p.fillRect(logo.rect(), plate);

    QLinearGradient beam(8, 13, 80, 13);
    beam.setColorAt(0, QColor(255, 255, 210, 200));
    beam.setColorAt(1, QColor(255, 255, 210, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(beam);
    p.drawPolygon(QPolygonF({QPointF(12, 11), QPointF(80, 2), QPointF(80, 24), QPointF(12, 15)}));
    p.setBrush(QColor(0xE8, 0xE8, 0xF0));
    p.drawEllipse(QPointF(10, 13), 6, 6);
    p.setBrush(QColor(0x30, 0x60, 0xC0));
    p.drawEllipse(QPointF(10, 13), 3, 3);

    QFont font = face; // the panel's own font, already loaded: nothing more to load
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(20, 0, 60, 26), Qt::AlignCenter, QStringLiteral("OMTA"));
    return logo;
}

} // namespace

LogoImage::LogoImage(QWidget* parent)
    : QWidget(parent)
{
}

void LogoImage::paintEvent(QPaintEvent*)
{
    if (m_logo.isNull())
        m_logo = drawLogo(font());
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_logo);
}

void LogoImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

} // namespace qpv
