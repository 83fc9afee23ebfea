#pragma once

#include <QPushButton>

namespace qpv {

// A command button drawn as the panel was designed: a raised face in the button's own
// colour (the same on every desktop style), sunken while pressed, with a dotted focus
// frame. A caption wider than the button (the Japanese captions of the data-display toggle)
// wraps onto a second line, in a smaller size where two lines would not fit; the caption itself
// reads back unchanged. One press of a key is one click: a key held down repeats nothing.
// A button can be marked for a while, struck through in red: the press did not reach the line.
class CaptionButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    void setMarked(bool marked);
    bool isMarked() const { return m_marked; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QList<int> m_held; // the keys gone down here and not yet released
    bool m_marked = false;
};

} // namespace qpv
