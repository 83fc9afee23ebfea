#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace qpv {

// Where a serial port was found, which decides its place among the COM numbers: the adapters
// an operator plugs in for the job come before the computer's own UARTs.
enum class PortKind : std::uint8_t {
    StableName,  // an adapter under udev's stable name in /dev/serial/by-id
    AdapterNode, // a USB or ACM adapter's node that no stable name leads to
    BuiltIn      // a UART of the computer's own that really exists
};

// A serial port found on this computer.
struct FoundPort {
    QString device; // what the panel opens: /dev/ttyS0, /dev/serial/by-id/usb-..., /dev/ttyUSB0
    QString node;   // the device node behind it: /dev/ttyUSB0
    PortKind kind = PortKind::BuiltIn;
    // What the system says of it; empty where it says nothing.
    QString description, manufacturer, serialNumber;
};

// The ports of this computer: in COM order (COM1 first), and the system console apart, which
// the panel never takes.
struct PortSurvey {
    QList<FoundPort> ports;
    QList<FoundPort> consoles;
};

// Where ports are looked for; tests give folders of their own.
struct PortPlaces {
    QString byId = QStringLiteral("/dev/serial/by-id");
    QString dev = QStringLiteral("/dev");
    // The kernel's terminals: which are UARTs, what a USB adapter calls itself, and in
    // console/active the consoles ("tty0 ttyS0").
    QString sys = QStringLiteral("/sys/class/tty");
};

// The COM order: adapters by their stable names, then adapter nodes without one, then built-in
// UARTs, each kind in the natural order of its names (ttyS2 before ttyS10). A port whose node
// is a console (by its name, "ttyS0") is set apart.
PortSurvey comOrder(QList<FoundPort> found, const QStringList& consoles);

// Looks the ports up now, in a millisecond or so: from the folders and the kernel's own
// files. (QSerialPortInfo tells the same, but asks udev of every terminal the computer has,
// which would hold the window for tens of milliseconds at every choice of a port.)
PortSurvey surveyPorts(const PortPlaces& places = {});

} // namespace qpv
