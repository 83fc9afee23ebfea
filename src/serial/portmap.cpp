#include "serial/portmap.h"

namespace qpv {

QString PortMap::device(int port) const
{
    return m_devices.value(port, QStringLiteral("/dev/ttyS%1").arg(port - 1));
}

void PortMap::setDevice(int port, const QString& device)
{
    m_devices.insert(port, device);
}

} // namespace qpv
