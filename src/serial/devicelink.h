#pragma once

#include "serial/link.h"

#include <QSerialPort>
#include <QTimer>

#include <deque>

namespace qpv {

// A serial device on this computer: a built-in port, a USB adapter, a pseudo-terminal.
class DeviceLink final : public Link {
    Q_OBJECT

public:
    DeviceLink(int port, QString device, QObject* parent);

    void open(const LineSettings& line) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    bool mayReopen() const override;

    Outcome write(const QByteArray& bytes) override;
    QByteArray readAll() override { return m_port.readAll(); }
    Outcome apply(const LineSettings& line) override;

private:
    Outcome openNow(const LineSettings& line);
    void onErrorOccurred(QSerialPort::SerialPortError error);
    bool hungUp();
    void onBytesWritten(qint64 bytes);
    void tookNothing();

    QSerialPort m_port;
    std::deque<qint64> m_waiting; // the sizes of the commands not yet handed to the driver
    qint64 m_firstWritten = 0;    // of the first of them, already handed over
    QTimer m_stalled;             // runs while commands wait and the line takes nothing
    int m_attempt = 0;            // an open given up by close() tells nothing
};

} // namespace qpv
