#include "serial/portmap.h"

#include <QFileInfo>

#include <algorithm>

namespace qpv {

PortMap::PortMap(PortPlaces places)
    : m_places(std::move(places))
{
}

const std::optional<FoundPort>& PortMap::taken(int port) const
{
    static const std::optional<FoundPort> none;
    return port >= 1 && port <= int(m_taken.size()) ? m_taken[std::size_t(port - 1)] : none;
}

QString PortMap::device(int port) const
{
    if (m_given.contains(port))
        return m_given.value(port);
    return taken(port) ? taken(port)->device : QString();
}

void PortMap::setDevice(int port, const QString& device)
{
    m_given.insert(port, device);
}

void PortMap::lookUp(int waitedFor)
{
    const QList<FoundPort> found = surveyPorts(m_places).ports;
    const auto there = [&](const QString& device) {
        return std::find_if(found.begin(), found.end(),
                            [&](const FoundPort& port) { return port.device == device; });
    };
    for (std::size_t i = 0; i < m_taken.size(); ++i) {
        std::optional<FoundPort>& port = m_taken[i];
        if (!port)
            continue;
        if (const auto now = there(port->device); now != found.end())
            port = *now; // what the system says of it may have changed
        else if (waitedFor != int(i) + 1)
            port.reset();
    }
    // A device the command line names is that port's, under whichever name it was given.
    QStringList given;
    for (const QString& device : std::as_const(m_given))
        given << QFileInfo(device).canonicalFilePath();
    for (const FoundPort& port : found) {
        const bool placed = given.contains(port.node) ||
                            std::any_of(m_taken.begin(), m_taken.end(), [&](const auto& taken) {
                                return taken && taken->device == port.device;
                            });
        for (std::size_t i = 0; i < m_taken.size() && !placed; ++i) {
            if (!m_taken[i] && !m_given.contains(int(i) + 1)) {
                m_taken[i] = port;
                break;
            }
        }
    }
}

PortAssignment PortMap::assignment(int port) const
{
    if (m_given.contains(port))
        return {m_given.value(port), true, {}};
    if (!taken(port))
        return {};
    return {taken(port)->device, false, taken(port)->description};
}

} // namespace qpv
