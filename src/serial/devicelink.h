#pragma once

#include "serial/link.h"

#include <QSerialPort>

namespace qpv {

// A serial device on this computer: a built-in port, a USB adapter, a pseudo-terminal.
class DeviceLink final : public Link {
    Q_OBJECT

public:
    DeviceLink(int port, QString device, QObject* parent);

    void open(const LineSettings& line) override;
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    bool mayReopen() const override;

    Outcome write(const QByteArray& bytes) override;
    QByteArray readAll() override { return m_port.readAll(); }
    Outcome apply(const LineSettings& line) override;

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);

    QSerialPort m_port;
};

} // namespace qpv
