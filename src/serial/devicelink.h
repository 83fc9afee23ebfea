#pragma once

#include "serial/link.h"

#include <QSerialPort>
#include <QTimer>

class QSocketNotifier;

namespace qpv {

// A serial device on this computer: a built-in port, a USB adapter, a pseudo-terminal. Reading
// is the serial library's; commands are handed to the kernel here, whole and in order, so that
// what a stalled line drops is known to the command.
class DeviceLink final : public Link {
    Q_OBJECT

public:
    DeviceLink(int port, QString device, QObject* parent);

    void open(const LineSettings& line) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    bool mayReopen() const override;
    QString identity() const override { return m_identity; }
    void setIdentity(const QString& identity) override { m_identity = identity; }

    Outcome write(const QByteArray& bytes) override;
    QByteArray readAll() override { return std::exchange(m_received, {}); }
    Outcome apply(const LineSettings& line) override;

    // What tells one device from another under the same name: where the device sits (its node's
    // number and, for an adapter, the USB device behind it), or the stable name it was opened
    // by. Empty where nothing is there.
    static QString identityOf(const QString& device);

private:
    Outcome openNow(const LineSettings& line);
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    bool hungUp() const;
    void lineLost();
    void writeWaiting();
    void tookNothing();

    QSerialPort m_port;
    QSocketNotifier* m_writable = nullptr; // watches for room while commands wait
    WaitingCommands m_waiting;             // those the kernel has not wholly taken
    qsizetype m_frontTaken = 0;            // of the first, the bytes the kernel has taken
    QTimer m_stalled;                      // runs while commands wait and the line takes nothing
    QByteArray m_received;                 // read and not yet taken
    QString m_identity;                    // of the device as it was opened
    bool m_sharedReported = false;
    int m_attempt = 0; // an open given up by close() tells nothing
};

} // namespace qpv
