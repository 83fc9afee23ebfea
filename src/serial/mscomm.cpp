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
    connect(&m_port, &QSerialPort::readyRead, this, &MSComm::received);
    connect(&m_port, &QSerialPort::errorOccurred, this, &MSComm::onErrorOccurred);
    connect(&m_network, &NetworkPort::readyRead, this, &MSComm::received);
    connect(&m_network, &NetworkPort::dropped, this, [this](const QString& cause) {
        lost(cause + QStringLiteral(" It is reconnected when the device server answers again, "
                                    "or choose the port again."));
    });
    connect(&m_network, &NetworkPort::reconnected, this, &MSComm::restored);
    connect(&m_network, &NetworkPort::lineNotSet, this, [this](const QString& cause) {
        emit settingsNotApplied(portLabel() + QStringLiteral(": ") + cause);
    });
    m_reopenTimer.setInterval(kReopenIntervalMs);
    connect(&m_reopenTimer, &QTimer::timeout, this, &MSComm::tryReopen);
}

LineSettings MSComm::lineSettings() const
{
    return parseLineSettings(m_settings).settings.value_or(LineSettings{});
}

void MSComm::received()
{
    m_commEvent = kComEvReceive;
    emit OnComm();
}

bool MSComm::setCommPort(int port)
{
    stopWaiting();
    if (port < 1 || port > kHighestPort)
        return fail(QStringLiteral("Invalid port number %1: ports run from 1 to %2.")
                        .arg(port)
                        .arg(kHighestPort));
    if (PortOpen())
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
    const LineSettings& line = *parsed.settings;
    if (m_network.isOpen()) {
        if (!m_network.apply(line))
            return fail(portLabel() + QStringLiteral(": ") + m_network.errorText());
        return true;
    }
    if (!m_port.isOpen())
        return true;

    const bool applied = m_port.setBaudRate(line.baudRate) && m_port.setParity(line.parity) &&
                         m_port.setDataBits(line.dataBits) && m_port.setStopBits(line.stopBits);
    if (!applied)
        return fail(QStringLiteral("%1: the line settings \"%2\" cannot be applied: %3.")
                        .arg(portLabel(), settings, m_port.errorString()));
    return true;
}

bool MSComm::setPortOpen(bool open)
{
    stopWaiting();
    if (open == PortOpen())
        return true;
    if (!open) {
        m_port.close();
        m_network.close();
        return true;
    }
    return this->open();
}

bool MSComm::open()
{
    const LineSettings line = lineSettings();
    if (isNetworkDevice(device())) {
        const std::optional<Endpoint> endpoint = parseEndpoint(device());
        if (!endpoint)
            return fail(openFailureHead(m_commPort, device()) +
                        QStringLiteral("the address must read rfc2217://HOST:PORT or "
                                       "socket://HOST:PORT, an IPv6 address in brackets, the "
                                       "port from 1 to 65535."));
        if (!m_network.open(*endpoint, line))
            return fail(openFailureHead(m_commPort, device()) + m_network.errorText());
        m_commEvent = 0;
        return true;
    }
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
    if (!PortOpen())
        return fail(portLabel() + QStringLiteral(" is not open"));
    if (m_network.isOpen()) {
        if (!m_network.write(bytes))
            return fail(portLabel() + QStringLiteral(": ") + m_network.errorText());
        return true;
    }
    if (m_port.write(bytes) != bytes.size())
        return fail(QStringLiteral("%1: write failed: %2").arg(portLabel(), m_port.errorString()));
    // Hand the bytes to the driver now rather than on the next pass of the event loop.
    m_port.flush();
    return true;
}

QByteArray MSComm::Input()
{
    return m_network.isOpen() ? m_network.readAll() : m_port.readAll();
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
    lost(QStringLiteral("the device went away. It is reopened when it comes back, or choose "
                        "the port again."));
}

void MSComm::lost(const QString& cause)
{
    fail(portLabel() + QStringLiteral(" was disconnected: ") + cause);
    m_reopenTimer.start();
    emit portLost(m_errorText);
}

void MSComm::awaitDevice()
{
    if (!PortOpen())
        m_reopenTimer.start();
}

void MSComm::stopWaiting()
{
    m_reopenTimer.stop();
    if (!m_network.isOpen())
        m_network.close(); // a reconnection under way is given up
}

void MSComm::tryReopen()
{
    // A device server is tried in the background, about once a second, until it answers.
    if (isNetworkDevice(device())) {
        if (const std::optional<Endpoint> endpoint = parseEndpoint(device()))
            m_network.reconnect(*endpoint, lineSettings());
        return;
    }
    // Quietly: the device is expected to be missing until it is plugged in again.
    if (!QFileInfo::exists(device()))
        return;
    const QString lost = m_errorText;
    if (!open()) {
        m_errorText = lost;
        return;
    }
    restored();
}

void MSComm::restored()
{
    m_reopenTimer.stop();
    emit portRestored(portLabel() + QStringLiteral(" is back and open again."));
}

bool MSComm::fail(const QString& text)
{
    m_errorText = text;
    return false;
}

} // namespace qpv
