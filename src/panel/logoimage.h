#pragma once

#include <QPixmap>
#include <QWidget>

namespace qpv {

// The maker's logo at the top right of the panel: an 80 x 26 picture shown unscaled. Its one
// action is the double-click that opens the full panel.
class LogoImage : public QWidget {
    Q_OBJECT

public:
    explicit LogoImage(QWidget* parent = nullptr);

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap m_logo; // drawn when first shown
};

} // namespace qpv
