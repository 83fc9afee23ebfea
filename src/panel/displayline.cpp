#include "panel/displayline.h"

#include "panel/qtext.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace qpv {

namespace {

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// How many characters left the front, when `after` is what stayed of `before` followed by
// new characters (a receive echo at its cap); 0 when it is not so. A few places are tried,
// where the start of `after` occurs in `before`.
std::size_t droppedFront(std::string_view before, std::string_view after)
{
    constexpr std::size_t kProbe = 16;
    constexpr int kTries = 8;
    if (after.empty())
        return 0;
    const std::string_view probe = after.substr(0, std::min(kProbe, after.size()));
    std::size_t at = 0;
    for (int tries = 0; tries < kTries; ++tries) {
        at = before.find(probe, at + 1);
        if (at == std::string_view::npos)
            return 0;
        if (after.starts_with(before.substr(at)))
            return at;
    }
    return 0;
}

// The shortest time between two paints of a line, or a screen frame where that is longer: each
// paint costs the toolkit a round trip to the display server, and text that changes faster
// than 25 times a second moves faster than anyone reads it.
constexpr qint64 kPaintIntervalMs = 40;
// The shortest time between two announcements of a line's change to screen readers.
constexpr qint64 kAnnounceIntervalMs = 250;

} // namespace

std::vector<LineChange> lineChanges(std::string_view before, std::string_view after)
{
    if (before == after)
        return {};
    if (!isAscii(before) || !isAscii(after)) {
        // Offsets in bytes are not offsets in characters here: the whole text is told.
        return {{0, toQString(before), toQString(after)}};
    }
    // One byte, one character from here on.
    const auto at = [](std::size_t offset) { return static_cast<int>(offset); };
    const auto differ = std::mismatch(before.begin(), before.end(), after.begin(), after.end());
    const auto same = static_cast<std::size_t>(differ.first - before.begin());
    if (same == before.size())
        return {{at(same), {}, toQString(after.substr(same))}};
    if (same == after.size())
        return {{at(same), toQString(before.substr(same)), {}}};
    if (const std::size_t dropped = droppedFront(before, after); dropped > 0) {
        std::vector<LineChange> changes{{0, toQString(before.substr(0, dropped)), {}}};
        const std::size_t stayed = before.size() - dropped;
        if (stayed < after.size())
            changes.push_back({at(stayed), {}, toQString(after.substr(stayed))});
        return changes;
    }
    return {{at(same), toQString(before.substr(same)), toQString(after.substr(same))}};
}

DisplayLine::DisplayLine(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoFillBackground(true);
    m_nextFrame.setSingleShot(true);
    connect(&m_nextFrame, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    m_nextAnnouncement.setSingleShot(true);
    connect(&m_nextAnnouncement, &QTimer::timeout, this, &DisplayLine::announceChange);
}

void DisplayLine::setText(std::string_view text)
{
    if (text == m_text)
        return;
    m_text.assign(text); // into the storage the line already has: no copy made and freed
    scheduleRepaint();
    if (QAccessible::isActive())
        scheduleAnnouncement();
}

void DisplayLine::scheduleAnnouncement()
{
    if (m_nextAnnouncement.isActive())
        return;
    const qint64 since =
        m_sinceAnnounce.isValid() ? m_sinceAnnounce.elapsed() : kAnnounceIntervalMs;
    if (since >= kAnnounceIntervalMs)
        announceChange();
    else
        m_nextAnnouncement.start(int(kAnnounceIntervalMs - since));
}

void DisplayLine::scheduleRepaint()
{
    // A paint already due, a box nobody can see, or a change beyond what the box shows: the
    // paint to come, the expose when it shows, or the one before, shows the new text.
    if (m_nextFrame.isActive() || visibleRegion().isEmpty() || visibleText() == m_painted)
        return;
    // A change after a rest is painted at once, one that follows a paint closely waits its turn.
    const qreal hertz = screen() ? screen()->refreshRate() : 60;
    const qint64 frameMs = qRound64(1000 / std::max<qreal>(hertz, 1));
    const qint64 intervalMs = std::max(frameMs, kPaintIntervalMs);
    const qint64 since = m_sincePaint.isValid() ? m_sincePaint.elapsed() : intervalMs;
    if (since >= intervalMs)
        update();
    else
        m_nextFrame.start(int(intervalMs - since));
}

void DisplayLine::announceChange()
{
    const std::vector<LineChange> changes = lineChanges(m_announced, m_text);
    m_announced = m_text;
    m_sinceAnnounce.start();
    // An echo that grows, or moves on at its cap, only gains characters at its end and loses
    // some at its front.
    bool streams = !changes.empty();
    for (const LineChange& change : changes) {
        streams =
            streams && (change.removed.isEmpty() ? change.position > 0 : change.inserted.isEmpty());
        if (change.removed.isEmpty()) {
            QAccessibleTextInsertEvent event(this, change.position, change.inserted);
            QAccessible::updateAccessibility(&event);
        } else if (change.inserted.isEmpty()) {
            QAccessibleTextRemoveEvent event(this, change.position, change.removed);
            QAccessible::updateAccessibility(&event);
        } else {
            QAccessibleTextUpdateEvent event(this, change.position, change.removed,
                                             change.inserted);
            QAccessible::updateAccessibility(&event);
        }
    }
    // The text is also the line's name: a screen reader speaks a new STATUS from this. An echo
    // that streams tells its change alone, not its whole text again.
    if (streams)
        return;
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

QString DisplayLine::visibleText() const
{
    if (!m_advancesKnown) {
        const QFontMetricsF metrics(font());
        for (std::size_t c = 0; c < m_advances.size(); ++c)
            m_advances[c] =
                static_cast<float>(metrics.horizontalAdvance(QChar(static_cast<char16_t>(c))));
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
    m_sincePaint.start();
    m_painted = visibleText();
    if (m_painted.isEmpty())
        return;
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(2, 0, 0, 0);
    painter.setClipRect(area);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_painted);
}

} // namespace qpv
