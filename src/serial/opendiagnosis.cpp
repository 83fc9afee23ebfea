#include "serial/opendiagnosis.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace qpv {

namespace {

QString groupName(gid_t gid)
{
    if (const group* g = ::getgrgid(gid))
        return QString::fromLocal8Bit(g->gr_name);
    return QString::number(gid);
}

// What opening the device tells, on a descriptor of our own that is closed at once. A serial
// port without a UART behind it (a built-in port the computer does not have) refuses the open
// with EIO, or, on some kernels, opens with its line marked in error, which even a read of
// nothing reports. A busy device (held exclusively) refuses the open: that tells nothing, and
// is not "not serial".
enum class Finding { Nothing, NotTerminal, NoPortBehind };

Finding probe(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EIO ? Finding::NoPortBehind : Finding::Nothing;
    termios attributes{};
    char none = 0;
    Finding finding = Finding::Nothing;
    if (::tcgetattr(fd, &attributes) != 0)
        finding = Finding::NotTerminal;
    else if (::read(fd, &none, 0) < 0 && errno == EIO)
        finding = Finding::NoPortBehind;
    ::close(fd);
    return finding;
}

QString notSerial(int port)
{
    return QStringLiteral("it is not a serial device. Start the panel with --com%1 DEVICE, the "
                          "serial device, e.g. /dev/ttyUSB0 or one under /dev/serial/by-id/.")
        .arg(port);
}

} // namespace

QString openFailureHead(int port, const QString& device)
{
    return QStringLiteral("COM%1 (%2) cannot be opened: ").arg(port).arg(device);
}

QString describeOpenFailure(int port, const QString& device, QSerialPort::SerialPortError error,
                            const QString& libraryText)
{
    const QString head = openFailureHead(port, device);
    const QByteArray path = QFile::encodeName(device);

    struct stat info {};
    if (::stat(path.constData(), &info) != 0) {
        return head + QStringLiteral("the device does not exist. Check that the cable or USB "
                                     "adapter is plugged in, or start the panel with --com%1 "
                                     "DEVICE.")
                          .arg(port);
    }
    if (!S_ISCHR(info.st_mode))
        return head + notSerial(port);
    if (const QString group = groupToJoin(device); !group.isEmpty()) {
        return head + QStringLiteral("permission denied. The user must be in the group '%1' "
                                     "that owns the device (for example: sudo adduser $USER "
                                     "%1, then log in again).")
                          .arg(group);
    }
    if (error == QSerialPort::PermissionError) {
        return head + QStringLiteral("the device is busy or locked by another program. Close "
                                     "that program, then choose the port again.");
    }
    switch (probe(path)) {
    case Finding::NotTerminal:
        return head + notSerial(port);
    case Finding::NoPortBehind:
        return head + QStringLiteral("no serial port stands behind this device; it is probably a "
                                     "built-in port this computer does not have. Start the panel "
                                     "with --com%1 DEVICE, the USB adapter's device, e.g. "
                                     "/dev/ttyUSB0.")
                          .arg(port);
    case Finding::Nothing:
        break;
    }
    return head + libraryText + QLatin1Char('.');
}

QString groupToJoin(const QString& device)
{
    const QByteArray path = QFile::encodeName(device);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0 || ::access(path.constData(), R_OK | W_OK) == 0)
        return {};
    return groupName(info.st_gid);
}

} // namespace qpv
