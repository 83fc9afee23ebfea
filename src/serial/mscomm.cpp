#include "serial/mscomm.h"

#include "serial/devicelink.h"
#include "serial/serverlink.h"

namespace qpv {

namespace {

constexpr int kReopenIntervalMs = 1000;

} // namespace

MSComm::MSComm(PortMap ports, QObject* parent)
    : QObject(parent)
    , m_ports(std::move(ports))
{
    m_reopenTimer.setInterval(kReopenIntervalMs);
    connect(&m_reopenTimer, &QTimer::timeout, this, &MSComm::tryReopen);
}

QString MSComm::portLabel() const
{
    return m_link ? m_link->label() : Link::label(m_commPort, m_ports.device(m_commPort));
}

QString MSComm::brief(const QString& report) const
{
    const QString label = portLabel();
    if (!report.startsWith(label))
        return report;
    return QStringLiteral("COM%1").arg(m_commPort) + report.mid(label.size());
}

void MSComm::lookUpPorts()
{
    // A lost device keeps its number while it is waited for.
    m_ports.lookUp(m_reopenTimer.isActive() ? m_commPort : 0);
    emit portsLookedUp();
}

void MSComm::useLink(int port, const QString& device)
{
    m_commPort = port;
    if (m_link && m_link->port() == port && m_link->device() == device)
        return;
    if (m_link) {
        // It may be the one whose signal brought us here: it goes once that has returned.
        m_link->disconnect(this);
        m_link->close();
        m_link->deleteLater();
    }
    if (isNetworkDevice(device))
        m_link = new ServerLink(port, device, this);
    else
        m_link = new DeviceLink(port, device, this);
    connect(m_link, &Link::readyRead, this, &MSComm::OnComm);
    connect(m_link, &Link::opened, this, &MSComm::onOpened);
    connect(m_link, &Link::openFailed, this, &MSComm::onOpenFailed);
    connect(m_link, &Link::lost, this, &MSComm::onLost);
    connect(m_link, &Link::reported, this, &MSComm::reported);
}

void MSComm::choosePort(int target)
{
    const bool wasOpen = PortOpen() || (m_link && m_link->isOpening());
    const Selection selection{target,
                              m_commPort,
                              m_link ? m_link->device() : m_ports.device(m_commPort),
                              wasOpen,
                              m_reopenTimer.isActive(),
                              false,
                              {}};
    lookUpPorts(); // an adapter plugged in since is found
    close();
    m_selection = selection;
    useLink(target, m_ports.device(target));
    openLink();
}

void MSComm::openLink()
{
    m_link->open(m_settings);
    if (m_link->isOpening()) {
        m_connectingShown = true;
        emit reported(portLabel() + QStringLiteral(" is connecting to the device server."));
    }
}

void MSComm::onOpened()
{
    if (std::exchange(m_connectingShown, false))
        emit reported(portLabel() + QStringLiteral(" is connected."));
    if (!m_selection) { // a lost line is back
        m_reopenTimer.stop();
        emit reported(portLabel() + QStringLiteral(" is back and open again."));
        return;
    }
    const Selection selection = *std::exchange(m_selection, std::nullopt);
    if (!selection.fallingBack)
        emit portChosen(selection.target);
    else
        emit portChoiceFailed(selection.failure, m_commPort);
}

void MSComm::onOpenFailed(const QString& report)
{
    m_connectingShown = false;
    if (!m_selection)
        return; // another try at a lost line: quietly, it is expected to fail until it is back
    Selection& selection = *m_selection;
    if (!selection.fallingBack) {
        selection.failure = report;
        // The port in use was just tried, if it was the one chosen: no second report of it.
        useLink(selection.previous, selection.previousDevice);
        if (selection.wasOpen && selection.target != selection.previous) {
            selection.fallingBack = true;
            openLink();
            return;
        }
    } else {
        selection.failure += QLatin1Char('\n') + report;
    }
    const Selection failed = *std::exchange(m_selection, std::nullopt);
    if (failed.awaitingDevice && !PortOpen())
        m_reopenTimer.start();
    emit portChoiceFailed(failed.failure, m_commPort);
}

void MSComm::onLost(const QString& report)
{
    m_reopenTimer.start();
    emit reported(report);
}

void MSComm::tryReopen()
{
    // A device server is tried about once a second, each try in the background; a device once
    // it is there again.
    if (m_link->isOpening() || !m_link->mayReopen())
        return;
    m_link->open(m_settings);
}

Outcome MSComm::setSettings(const LineSettings& settings)
{
    m_settings = settings;
    if (!PortOpen())
        return {};
    return m_link->apply(settings);
}

void MSComm::close()
{
    m_selection.reset();
    m_reopenTimer.stop();
    m_connectingShown = false;
    if (m_link)
        m_link->close();
}

Outcome MSComm::setOutput(const QByteArray& bytes)
{
    if (m_link && m_link->isOpening())
        return Outcome::failure(portLabel() +
                                QStringLiteral(" is not open yet: it is still connecting"));
    if (!PortOpen())
        return Outcome::failure(portLabel() + QStringLiteral(" is not open"));
    return m_link->write(bytes);
}

QByteArray MSComm::Input()
{
    return m_link ? m_link->readAll() : QByteArray();
}

} // namespace qpv
