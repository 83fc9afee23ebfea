#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers the program's warning boxes as an operator would, pressing OK, and keeps their
// texts. Runs inside the box's own event loop, so the program under test carries on.
class MessageBoxWatcher : public QObject {
    Q_OBJECT

public:
    MessageBoxWatcher();

    QStringList texts;
    QStringList titles;

private:
    void check();
    QTimer m_timer;
};
