#pragma once

#include <QSerialPort>
#include <QString>

namespace qpv {

// "COM1 (/dev/ttyUSB0) cannot be opened: ", which every open failure begins with.
QString openFailureHead(int port, const QString& device);

// Why a device could not be opened, in words an operator can act on. Looks at the device
// itself (exists, is a terminal, may be read and written, answers) to tell missing, permission,
// busy, not a serial device and no port behind it apart, whatever the serial library reported.
QString describeOpenFailure(int port, const QString& device, QSerialPort::SerialPortError error,
                            const QString& libraryText);

// Nothing when this user may read and write the device (or it is not there); otherwise the
// group that owns it, which the user must join.
QString groupToJoin(const QString& device);

} // namespace qpv
