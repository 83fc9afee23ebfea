#pragma once

#include <QMetaType>
#include <QString>

#include <cstdint>

namespace qpv {

// What the line has to tell the operator, as the layer that notices it says it: a cause and the
// facts the words need. It is worded for people in one place (wording.h), never here.
enum class Cause : std::uint8_t {
    // A port that cannot be opened.
    NoPortFound,    // no serial port stands behind the number on this computer
    NotFound,       // the device does not exist
    Permission,     // this user may not open it; `group` owns it
    Busy,           // another program has it open: `holder` and `pid`, where known
    StaleLock,      // a lock file (`lockFile`) left by `pid`, which has ended, still holds it
    NotSerial,      // the device is not a serial device
    NoUart,         // no serial port stands behind the device (a built-in port not there)
    OpenFailed,     // anything else; the system's words in `detail`
    BadAddress,     // a device server's address that does not read rfc2217://HOST:PORT
    UnknownHost,    // the name `host` is not known
    LookupTimedOut, // the name `host` could not be looked up within `ms`
    Refused,        // nothing listens at `where`; `number` is the port of the address
    Unreachable,    // the network of `where` cannot be reached; `detail`
    NoAnswer,       // `where` did not answer within `ms`
    ConnectFailed,  // connecting to `where` failed otherwise; `detail`
    // The line while it is in use.
    Connecting,         // a device server is being connected to
    Connected,          // and now is
    Lost,               // the device went away
    ServerClosed,       // the device server closed the connection
    ConnectionLost,     // the connection to the device server failed; `detail`
    Back,               // a lost line is open again
    NotOpen,            // a command sent while no port is open
    StillConnecting,    // a command sent while the device server is still being connected to
    WriteFailed,        // the system refused a write; `detail`
    TooLong,            // a command longer than the `number` bytes held for a slow line
    Backlog,            // the commands waiting for a slow line fill their `number` bytes
    Stalled,            // the line took nothing for `ms`: `number` commands were not sent
    SharedDevice,       // another program reads the device too (`holder`, `pid`, where known)
    SettingRefused,     // the speed `baud` cannot be applied; `detail`
    RawSpeed,           // the speed `baud` of a socket:// port is the device server's to set
    NoRfc2217,          // the device server refuses to set the line
    SpeedUnconfirmed,   // the device server did not confirm `baud`
    SpeedConfirmed,     // it has now confirmed `baud`, late
    OtherSpeed,         // it set `baud` when `asked` was asked
    EndlessNegotiation, // the device server broke the Telnet protocol: a subnegotiation without end
    OpenNegotiation,    // the same: a subnegotiation left open
};

struct Report {
    Report() = default;
    Report(Cause what, int onPort, QString ofDevice)
        : cause(what)
        , port(onPort)
        , device(std::move(ofDevice))
    {
    }

    Cause cause = Cause::OpenFailed;
    int port = 0;   // COM1 or COM2
    QString device; // as opened: /dev/ttyUSB0, /dev/serial/by-id/..., rfc2217://hall-7:7000
    // The facts the cause needs (see Cause); the others stay empty.
    QString detail, host, where, group, holder, lockFile;
    qint64 number = 0, pid = 0;
    qint32 baud = 0, asked = 0;
    int ms = 0;

    bool operator==(const Report&) const = default;
};

// The causes that mean a command did not go down the line.
constexpr bool dropsCommands(Cause cause)
{
    return cause == Cause::NotOpen || cause == Cause::StillConnecting ||
           cause == Cause::WriteFailed || cause == Cause::TooLong || cause == Cause::Backlog ||
           cause == Cause::Stalled;
}

} // namespace qpv

Q_DECLARE_METATYPE(qpv::Report)
