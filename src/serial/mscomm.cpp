#include "serial/mscomm.h"

namespace qpv {

namespace {

constexpr int kReopenIntervalMs = 1000;

} // namespace

MSComm::MSComm(PortMap ports, LinkFactory makeLink, QObject* parent)
    : QObject(parent)
    , m_ports(std::move(ports))
    , m_makeLink(std::move(makeLink))
{
    m_reopenTimer.setInterval(kReopenIntervalMs);
    connect(&m_reopenTimer, &QTimer::timeout, this, &MSComm::tryReopen);
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
    m_link = m_makeLink(port, device, this);
    connect(m_link, &Link::readyRead, this, &MSComm::OnComm);
    connect(m_link, &Link::opened, this, &MSComm::onOpened);
    connect(m_link, &Link::openFailed, this, &MSComm::onOpenFailed);
    connect(m_link, &Link::lost, this, &MSComm::onLost);
    connect(m_link, &Link::warned, this, &MSComm::lineReported);
}

void MSComm::choosePort(int target)
{
    const bool wasOpen = PortOpen() || (m_link && m_link->isOpening());
    const Selection selection{target,
                              m_commPort,
                              m_link ? m_link->device() : m_ports.device(m_commPort),
                              m_link ? m_link->identity() : QString(),
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

// The link tells how the open went once open() has returned: m_link is the link opened.
void MSComm::openLink()
{
    m_link->open(m_settings);
    if (m_link->isOpening()) {
        m_connectingShown = true;
        emit lineReported(m_link->report(Cause::Connecting));
    }
}

void MSComm::onOpened()
{
    if (std::exchange(m_connectingShown, false))
        emit lineReported(m_link->report(Cause::Connected));
    if (!m_selection) { // a lost line is back
        m_reopenTimer.stop();
        emit lineReported(m_link->report(Cause::Back));
        return;
    }
    const Selection selection = *std::exchange(m_selection, std::nullopt);
    if (!selection.fallingBack)
        emit portChosen(selection.target);
    else
        emit portChoiceFailed(selection.failures, m_commPort);
}

void MSComm::onOpenFailed(const Report& report)
{
    m_connectingShown = false;
    if (!m_selection)
        return; // another try at a lost line: quietly, it is expected to fail until it is back
    Selection& selection = *m_selection;
    selection.failures.append(report);
    if (!selection.fallingBack) {
        // The port in use was just tried, if it was the one chosen: no second report of it.
        useLink(selection.previous, selection.previousDevice);
        m_link->setIdentity(selection.previousIdentity); // a lost device is waited for as it was
        if (selection.wasOpen && selection.target != selection.previous) {
            selection.fallingBack = true;
            openLink();
            return;
        }
    }
    const Selection failed = *std::exchange(m_selection, std::nullopt);
    if (failed.awaitingDevice && !PortOpen())
        m_reopenTimer.start();
    emit portChoiceFailed(failed.failures, m_commPort);
}

void MSComm::onLost(const Report& report)
{
    m_reopenTimer.start();
    emit lineReported(report);
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
        return Outcome::failure(m_link->report(Cause::StillConnecting));
    if (!PortOpen())
        return Outcome::failure(
            m_link ? m_link->report(Cause::NotOpen)
                   : Report{Cause::NotOpen, m_commPort, m_ports.device(m_commPort)});
    return m_link->write(bytes);
}

QByteArray MSComm::Input()
{
    return m_link ? m_link->readAll() : QByteArray();
}

} // namespace qpv
