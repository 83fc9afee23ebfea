#pragma once

#include <QSerialPort>
#include <QString>

namespace qpv {

// "COM1 (/dev/ttyUSB0) cannot be opened: ", which every open failure begins with.
QString openFailureHead(int port, const QString& device);

// Why a device could not be opened, in words an operator can act on. Looks at the device
// itself (exists, is a terminal, may be read and written) to tell missing, permission,
// busy and not-a-serial-device apart, whatever code the serial library reported.
QString describeOpenFailure(int port, const QString& device, QSerialPort::SerialPortError error,
                            const QString& libraryText);

} // namespace qpv
