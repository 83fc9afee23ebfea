#pragma once

#include <QString>

namespace qpv {

class MSComm;

struct PortSelection {
    bool succeeded = false;
    QString failure; // the report of the step that failed, for the warning box
};

// Moves the link to port `target`: closes the open port, records the number and opens it.
// The port is opened whether or not it had been open, so choosing a port again always
// recovers a closed link. On failure the port number goes back to `fallback`, which is
// reopened when it was the port open before, so the link stays as it was.
PortSelection selectPort(MSComm& comm, int target, int fallback);

} // namespace qpv
