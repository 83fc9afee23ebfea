#include "serial/portselection.h"

#include "serial/mscomm.h"

namespace qpv {

PortSelection selectPort(MSComm& comm, int target, int fallback)
{
    const bool wasOpen = comm.PortOpen();
    const int previous = comm.CommPort();

    // A step that fails does not end the selection; the report of the last failure is shown.
    QString failure;
    if (wasOpen)
        comm.setPortOpen(false);
    if (!comm.setCommPort(target))
        failure = comm.errorText();
    if (failure.isEmpty() && !comm.setPortOpen(true))
        failure = comm.errorText();
    if (failure.isEmpty())
        return {true, {}};

    comm.setCommPort(fallback);
    if (wasOpen && previous == fallback && !comm.setPortOpen(true))
        failure += QLatin1Char('\n') + comm.errorText();
    return {false, failure};
}

} // namespace qpv
