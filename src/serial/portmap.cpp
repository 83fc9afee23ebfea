#include "serial/portmap.h"

namespace qpv {

PortMap::PortMap(PortPlaces places)
    : m_places(std::move(places))
{
}

QString PortMap::device(int port) const
{
    if (m_given.contains(port))
        return m_given.value(port);
    return port >= 1 && port <= m_found.size() ? m_found[port - 1].device : QString();
}

void PortMap::setDevice(int port, const QString& device)
{
    m_given.insert(port, device);
}

void PortMap::lookUp()
{
    m_found = surveyPorts(m_places).ports;
}

QString PortMap::describe(int port) const
{
    const QString head = QStringLiteral("COM%1: ").arg(port);
    if (m_given.contains(port))
        return head + m_given.value(port);
    if (port < 1 || port > m_found.size())
        return head + QStringLiteral("no serial port was found for it on this computer");
    const FoundPort& found = m_found[port - 1];
    return head + found.device +
           (found.description.isEmpty() ? QString()
                                        : QStringLiteral(" (%1)").arg(found.description));
}

} // namespace qpv
