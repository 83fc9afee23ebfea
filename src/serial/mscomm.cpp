#include "serial/mscomm.h"

#include "serial/opendiagnosis.h"

#include <QFileInfo>

namespace qpv {

namespace {

constexpr int kHighestPort = 16;
constexpr int kReopenIntervalMs = 1000;

} // namespace

MSComm::MSComm(PortMap ports, QObject* parent)
    : QObject(parent)
    , m_ports(std::move(ports))
{
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        m_commEvent = kComEvReceive;
        emit OnComm();
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, &MSComm::onErrorOccurred);
    m_reopenTimer.setInterval(kReopenIntervalMs);
    connect(&m_reopenTimer, &QTimer::timeout, this, &MSComm::tryReopen);
}

bool MSComm::setCommPort(int port)
{
    m_reopenTimer.stop();
    if (port < 1 || port > kHighestPort)
        return fail(QStringLiteral("Invalid port number %1: ports run from 1 to %2.")
                        .arg(port)
                        .arg(kHighestPort));
    if (m_port.isOpen())
        return fail(portLabel() +
                    QStringLiteral(" is open: close it before choosing another port."));
    m_commPort = port;
    return true;
}

bool MSComm::setSettings(const QString& settings)
{
    const ParsedSettings parsed = parseLineSettings(settings);
    if (!parsed.settings)
        return fail(parsed.error);
    m_settings = settings;
    if (!m_port.isOpen())
        return true;

    const LineSettings& line = *parsed.settings;
    const bool applied = m_port.setBaudRate(line.baudRate) && m_port.setParity(line.parity) &&
                         m_port.setDataBits(line.dataBits) && m_port.setStopBits(line.stopBits);
    if (!applied)
        return fail(QStringLiteral("%1: the line settings \"%2\" cannot be applied: %3.")
                        .arg(portLabel(), settings, m_port.errorString()));
    return true;
}

bool MSComm::setPortOpen(bool open)
{
    m_reopenTimer.stop();
    if (open == m_port.isOpen())
        return true;
    if (!open) {
        m_port.close();
        return true;
    }
    return this->open();
}

bool MSComm::open()
{
    const LineSettings line = parseLineSettings(m_settings).settings.value_or(LineSettings{});
    m_port.setPortName(device());
    m_port.setBaudRate(line.baudRate);
    m_port.setParity(line.parity);
    m_port.setDataBits(line.dataBits);
    m_port.setStopBits(line.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port.error();
        const QString libraryText = m_port.errorString();
        m_port.clearError();
        return fail(describeOpenFailure(m_commPort, device(), error, libraryText));
    }
    m_commEvent = 0;
    return true;
}

bool MSComm::setOutput(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        return fail(portLabel() + QStringLiteral(" is not open"));
    if (m_port.write(bytes) != bytes.size())
        return fail(QStringLiteral("%1: write failed: %2").arg(portLabel(), m_port.errorString()));
    // Hand the bytes to the driver now rather than on the next pass of the event loop.
    m_port.flush();
    return true;
}

QByteArray MSComm::Input()
{
    return m_port.readAll();
}

QString MSComm::portLabel() const
{
    return QStringLiteral("COM%1 (%2)").arg(m_commPort).arg(device());
}

void MSComm::onErrorOccurred(QSerialPort::SerialPortError error)
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
    fail(portLabel() + QStringLiteral(" was disconnected: the device went away. It is reopened "
                                      "when it comes back, or choose the port again."));
    m_reopenTimer.start();
    emit portLost(m_errorText);
}

void MSComm::awaitDevice()
{
    if (!m_port.isOpen())
        m_reopenTimer.start();
}

void MSComm::tryReopen()
{
    // Quietly: the device is expected to be missing until it is plugged in again.
    if (!QFileInfo::exists(device()))
        return;
    const QString lost = m_errorText;
    if (!open()) {
        m_errorText = lost;
        return;
    }
    m_reopenTimer.stop();
    emit portRestored(portLabel() + QStringLiteral(" is back and open again."));
}

bool MSComm::fail(const QString& text)
{
    m_errorText = text;
    return false;
}

} // namespace qpv
