#pragma once

#include "serial/report.h"

#include <QSerialPort>
#include <QString>

namespace qpv {

// Why a device could not be opened. Looks at the device itself (exists, is a terminal, may be
// read and written, answers, who holds it) to tell missing, permission, busy (and by whom), a
// stale lock, not a serial device and no port behind it apart, whatever the serial library
// reported.
Report diagnoseOpenFailure(int port, const QString& device, QSerialPort::SerialPortError error,
                           const QString& libraryText);

// Another process that has the device open, as far as this user may see: `holder` and `pid`
// of the report, or nothing known.
Report otherHolder(int port, const QString& device);

// Nothing when this user may read and write the device (or it is not there); otherwise the
// group that owns it, which the user must join.
QString groupToJoin(const QString& device);

} // namespace qpv
