#include "panel/notsentmark.h"

#include "panel/captionbutton.h"

namespace qpv {

namespace {

// How long a button stays marked after a press that did not reach the line.
constexpr int kMarkedMs = 2000;

} // namespace

NotSentMark::NotSentMark(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kMarkedMs);
    connect(&m_timer, &QTimer::timeout, this, &NotSentMark::unmark);
}

void NotSentMark::mark(const QString& why)
{
    if (m_marked != m_pressed)
        unmark();
    if (!m_pressed)
        return;
    if (!m_marked)
        m_markedDescription = m_pressed->accessibleDescription();
    m_marked = m_pressed;
    m_marked->setMarked(true);
    m_marked->setAccessibleDescription(why);
    m_timer.start();
}

void NotSentMark::unmark()
{
    if (m_marked) {
        m_marked->setMarked(false);
        m_marked->setAccessibleDescription(m_markedDescription);
    }
    m_marked = nullptr;
}

} // namespace qpv
