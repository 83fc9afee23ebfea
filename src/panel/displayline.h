#pragma once

#include <QFrame>

#include <array>
#include <string>

namespace qpv {

// One of the traffic lines (TXD, RXD, STATUS): a bordered box showing its text as plain
// text on one line, clipped at the right. The text reads back exactly as set, whatever its
// length; only the part that can fit is ever laid out, so a line holding a 130,000-character
// echo costs no more to show than a short one.
class DisplayLine : public QFrame {
    Q_OBJECT

public:
    explicit DisplayLine(QWidget* parent = nullptr);

    const std::string& text() const { return m_text; }
    void setText(std::string text);

    // The characters that can be seen: those that fit the width, and two more that the
    // clipping cuts.
    QString visibleText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::string m_text;
    // Advance of each ASCII character in the line's font, for cutting the text without
    // laying it out; measured when first needed after a font change.
    mutable std::array<float, 128> m_advances{};
    mutable bool m_advancesKnown = false;
};

} // namespace qpv
