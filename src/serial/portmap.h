#pragma once

#include "serial/portdiscovery.h"

#include <QMap>
#include <QString>

namespace qpv {

// Which device stands behind each port number. A device the command line names always wins;
// otherwise COMn is the n-th serial port of this computer, as last looked up (see
// portdiscovery.h; the serial control looks at every choice of a port), so an adapter plugged
// in since is found by looking again.
class PortMap {
public:
    explicit PortMap(PortPlaces places = {});

    // Empty where no port stands behind the number.
    QString device(int port) const;
    void setDevice(int port, const QString& device);
    // Looks the computer's ports up again.
    void lookUp();
    // What stands behind the port, for its option: "COM1: /dev/serial/by-id/usb-FTDI_... (FT232R
    // USB UART)", or that no serial port was found for it.
    QString describe(int port) const;

private:
    QMap<int, QString> m_given;
    PortPlaces m_places;
    QList<FoundPort> m_found; // in COM order
};

} // namespace qpv
