#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <termios.h>

// A pseudo-terminal for tests: the program under test opens path(), the test plays the
// projector on the other end. A second descriptor of the device side stays open, so that
// the terminal does not hang up while the program has it closed.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return m_master >= 0; }
    int masterFd() const { return m_master; } // non-blocking
    QString path() const { return m_path; }

    // Writes everything; while the terminal is full, runs the event loop so that the program
    // under test, on this thread, can read.
    void write(const QByteArray& bytes);
    // Reads what the program sent, until `count` bytes have come or the time is up.
    QByteArray read(qsizetype count, std::chrono::milliseconds timeout = std::chrono::seconds(2));
    // Everything waiting now, without waiting.
    QByteArray readAvailable();

    // The device's terminal attributes as the program set them.
    termios attributes() const;

    // The projector's end goes away: the program's open port fails.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
