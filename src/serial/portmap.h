#pragma once

#include "serial/portdiscovery.h"

#include <QMap>
#include <QString>

#include <array>
#include <optional>

namespace qpv {

// What stands behind a port number: the device (empty where none does), whether the command
// line named it, and what the system says of it.
struct PortAssignment {
    QString device;
    bool given = false;
    QString description;
};

// Which device stands behind each port number. A device the command line names always wins.
// Otherwise COM1 and COM2 are given to this computer's serial ports in COM order (see
// portdiscovery.h) when first needed, and a number keeps its device for as long as the panel
// runs while that device is there, or is waited for after a loss: an adapter plugged in later
// takes only a number that is free, and never moves a port to another device.
class PortMap {
public:
    explicit PortMap(PortPlaces places = {});

    // Empty where no port stands behind the number.
    QString device(int port) const;
    void setDevice(int port, const QString& device);
    // Looks the computer's ports up again (the serial control does at every choice of a
    // port). `waitedFor` is a port whose lost device is awaited: it keeps its device though
    // the device is not there.
    void lookUp(int waitedFor = 0);
    PortAssignment assignment(int port) const;

private:
    const std::optional<FoundPort>& taken(int port) const;

    QMap<int, QString> m_given;
    PortPlaces m_places;
    std::array<std::optional<FoundPort>, 2> m_taken; // COM1 and COM2, where given to a port found
};

} // namespace qpv
