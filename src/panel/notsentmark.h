#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

namespace qpv {

class CaptionButton;

// A press that did not reach the line, shown where the operator is looking, in every window
// mode: the button last pressed is struck through in red for a while, and a screen reader hears
// why (its description, which it is told has changed), until the mark goes.
class NotSentMark : public QObject {
    Q_OBJECT

public:
    explicit NotSentMark(QObject* parent = nullptr);

    void pressed(CaptionButton* button) { m_pressed = button; }
    // Marks the button last pressed, saying why.
    void mark(const QString& why);

private:
    void unmark();

    QPointer<CaptionButton> m_pressed;
    QPointer<CaptionButton> m_marked;
    QString m_markedDescription; // its own, given back when the mark goes
    QTimer m_timer;
};

} // namespace qpv
