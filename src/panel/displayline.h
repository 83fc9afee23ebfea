#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QString>
#include <QTimer>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qpv {

// One change of a line's text as a screen reader is told it: at `position` (in characters),
// `removed` gave way to `inserted`.
struct LineChange {
    int position = 0;
    QString removed;
    QString inserted;
    bool operator==(const LineChange&) const = default;
};

// The changes that, applied in order, turn the text `before` into `after` (both UTF-8). Only
// what changed is told: a growing echo tells its new characters, an echo at its cap that
// moves on tells what left the front and what came at the end.
std::vector<LineChange> lineChanges(std::string_view before, std::string_view after);

// One of the traffic lines (TXD, RXD, STATUS): a bordered box showing its text as plain
// text on one line, clipped at the right. The text reads back exactly as set, whatever its
// length; only the part that can fit is ever laid out, so a line holding a 130,000-character
// echo costs no more to show than a short one.
//
// The text changes at once; the box is painted at most 25 times a second (once a screen frame
// on a slower screen), and only when what it shows has changed and it is on screen at all (the
// compact mode cuts the traffic display off). A change after a rest is painted at once; a line
// that streams costs 25 paints a second, however fast its text changes.
//
// Screen readers read the whole text (see panelaccessibility.h). A change is announced to them
// only while the platform's accessibility is active, paced like the paint: at most four times
// a second, each time what changed since the last announcement (a growing echo's new
// characters, not the whole echo); a change after a rest is announced at once. Without a
// screen reader, setting a text costs what it did without one.
class DisplayLine : public QFrame {
    Q_OBJECT

public:
    explicit DisplayLine(QWidget* parent = nullptr);

    const std::string& text() const { return m_text; }
    void setText(std::string_view text);

    // The characters that can be seen: those that fit the width, and two more that the
    // clipping cuts.
    QString visibleText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void announceChange();
    void scheduleAnnouncement();
    void scheduleRepaint();

    std::string m_text;
    // Advance of each ASCII character in the line's font, for cutting the text without
    // laying it out; measured when first needed after a font change.
    mutable std::array<float, 128> m_advances{};
    mutable bool m_advancesKnown = false;
    QString m_painted;             // what the last paint showed
    QElapsedTimer m_sincePaint;    // since that paint
    QTimer m_nextFrame;            // a paint held back until its turn comes
    std::string m_announced;       // what screen readers were last told
    QElapsedTimer m_sinceAnnounce; // since they were told it
    QTimer m_nextAnnouncement;     // an announcement held back until its turn comes
};

} // namespace qpv
