#include "messageboxwatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

MessageBoxWatcher::MessageBoxWatcher()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::check);
    m_timer.start();
}

void MessageBoxWatcher::check()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    texts << box->text();
    titles << box->windowTitle();
    if (box->icon() != QMessageBox::Warning)
        texts.last().prepend(QStringLiteral("(not a warning) "));
    box->button(QMessageBox::Ok)->click();
}
