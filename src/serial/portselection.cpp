#include "serial/portselection.h"

#include "serial/mscomm.h"

namespace qpv {

PortSelection selectPort(MSComm& comm, int target)
{
    const bool wasOpen = comm.PortOpen();
    const int previous = comm.CommPort();
    const bool awaitingDevice = comm.reopenPending();

    // The first step that fails ends the attempt and its report is shown; the link then goes
    // back to the port in use.
    QString failure;
    if (wasOpen)
        comm.setPortOpen(false);
    if (!comm.setCommPort(target))
        failure = comm.errorText();
    if (failure.isEmpty() && !comm.setPortOpen(true))
        failure = comm.errorText();
    if (failure.isEmpty())
        return {true, {}};

    comm.setCommPort(previous);
    // The port in use was just tried, if it was the one chosen: no second report of it.
    if (wasOpen && target != previous && !comm.setPortOpen(true))
        failure += QLatin1Char('\n') + comm.errorText();
    if (awaitingDevice)
        comm.awaitDevice();
    return {false, failure};
}

} // namespace qpv
