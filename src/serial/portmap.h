#pragma once

#include <QMap>
#include <QString>

namespace qpv {

// Which Linux device stands behind each port number. COMn is /dev/ttyS(n-1) unless the
// command line names another device (a USB adapter, /dev/serial/by-id/..., a simulator).
class PortMap {
public:
    QString device(int port) const;
    void setDevice(int port, const QString& device);

private:
    QMap<int, QString> m_devices;
};

} // namespace qpv
