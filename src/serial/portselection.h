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
// recovers a closed link. On failure the link stays on the port in use: its number is kept
// (or restored), it is reopened if it had been open, and a wait for its lost device goes on.
PortSelection selectPort(MSComm& comm, int target);

} // namespace qpv
