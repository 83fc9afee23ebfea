#include "serial/devicelink.h"

#include "serial/opendiagnosis.h"

#include <QFileInfo>

namespace qpv {

DeviceLink::DeviceLink(int port, QString device, QObject* parent)
    : Link(port, std::move(device), parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &Link::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &DeviceLink::onErrorOccurred);
}

void DeviceLink::open(const LineSettings& line)
{
    m_port.setPortName(device());
    m_port.setBaudRate(line.baud);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (m_port.open(QIODevice::ReadWrite)) {
        emit opened();
        return;
    }
    const QSerialPort::SerialPortError error = m_port.error();
    const QString libraryText = m_port.errorString();
    m_port.clearError();
    emit openFailed(describeOpenFailure(port(), device(), error, libraryText));
}

bool DeviceLink::mayReopen() const
{
    // A pulled adapter is expected to be missing until it is plugged in again.
    return QFileInfo::exists(device());
}

Outcome DeviceLink::write(const QByteArray& bytes)
{
    if (m_port.write(bytes) != bytes.size())
        return Outcome::failure(
            QStringLiteral("%1: write failed: %2").arg(label(), m_port.errorString()));
    // Hand the bytes to the driver now rather than on the next pass of the event loop.
    m_port.flush();
    return {};
}

Outcome DeviceLink::apply(const LineSettings& line)
{
    if (!m_port.setBaudRate(line.baud))
        return Outcome::failure(
            QStringLiteral("%1: the line settings \"%2\" cannot be applied: %3.")
                .arg(label(), line.text(), m_port.errorString()));
    return {};
}

void DeviceLink::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // A vanished device shows as a resource error, or (a terminal that hung up) as read errors
    // raised again on every pass of the event loop. Either way the link is gone: close the
    // port, so that nothing spins, and say so once.
    const bool linkBroken = error == QSerialPort::ResourceError ||
                            error == QSerialPort::ReadError || error == QSerialPort::WriteError;
    if (!linkBroken || !m_port.isOpen())
        return;
    m_port.close();
    m_port.clearError();
    emit lost(label() + QStringLiteral(" was disconnected: the device went away. It is reopened "
                                       "when it comes back, or choose the port again."));
}

} // namespace qpv
