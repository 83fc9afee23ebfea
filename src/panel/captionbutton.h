#pragma once

#include <QPushButton>

namespace qpv {

// A command button whose caption wraps onto a second line when it is wider than the button,
// as the Japanese captions of the data-display toggle are. The caption reads back unchanged.
class CaptionButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qpv
