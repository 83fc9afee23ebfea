#pragma once

// What the tests share: a pseudo-terminal playing the projector's end of the line, an operator
// who answers warning boxes, and the real window on two such terminals.

#include "panel/displayline.h"
#include "panel/form1.h"
#include "serial/mscomm.h"

#include <QByteArray>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>
#include <string_view>
#include <termios.h>

// The program under test opens path(); the test writes and reads the other end. A second
// descriptor of the device side stays open, so the terminal does not hang up while the
// program has it closed.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    QString path() const { return m_path; }
    int masterFd() const { return m_master; } // non-blocking
    // Writes everything; while the terminal is full, runs the event loop so the program reads.
    void write(const QByteArray& bytes);
    // What the program sent, until `count` bytes have come or the time is up.
    QByteArray read(qsizetype count, std::chrono::milliseconds timeout = std::chrono::seconds(2));
    QByteArray readAvailable();
    termios attributes() const; // as the program set them

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// Presses OK on each warning box, from inside the box's own event loop, and keeps its text.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    QStringList texts;
    QStringList titles;

private:
    QTimer m_timer;
};

inline QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// The real window on two pseudo-terminals (COM1, COM2, unless other devices are given),
// loaded and shown offscreen.
struct Panel {
    explicit Panel(const QString& com1 = {}, const QString& com2 = {});

    template <typename T = QWidget> T* find(const char* name) const
    {
        T* found = form->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char* name) const { QTest::mouseClick(find(name), Qt::LeftButton); }
    // COM, then the option: a choice on the settings panel.
    void choose(const char* option) const { click("Command33"), click(option); }
    // END, which ends the application's event loop too; it is run once more, so that later
    // dialogs in this process can run theirs.
    void end() const
    {
        click("Command16");
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
    QByteArray line(const char* name) const { return bytes(find<qpv::DisplayLine>(name)->text()); }
    QByteArray txd() const { return line("Label11"); }
    QByteArray rxd() const { return line("Label12"); }
    QByteArray status() const { return line("Label22"); }
    QTimer* timer(const char* name) const { return find<QTimer>(name); }
    qpv::MSComm& comm() const { return form->serialControl(); }

    MessageBoxWatcher boxes;
    PtyPair one;
    PtyPair two;
    std::unique_ptr<qpv::Form1> form;
};
