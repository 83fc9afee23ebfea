#include "serial/opendiagnosis.h"

#include <QFile>

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

// Whether the device answers terminal requests, checked on a descriptor of our own that is
// closed at once. A busy device (held exclusively) refuses the open: that is not "not serial".
bool isTerminal(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;
    termios attributes{};
    const bool terminal = ::tcgetattr(fd, &attributes) == 0;
    ::close(fd);
    return terminal;
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
        return head + QStringLiteral("it is not a serial device.");
    if (::access(path.constData(), R_OK | W_OK) != 0) {
        return head + QStringLiteral("permission denied. The user must be in the group '%1' "
                                     "that owns the device (for example: sudo adduser $USER "
                                     "%1, then log in again).")
                          .arg(groupName(info.st_gid));
    }
    if (error == QSerialPort::PermissionError) {
        return head + QStringLiteral("the device is busy or locked by another program. Close "
                                     "that program, then choose the port again.");
    }
    if (!isTerminal(path))
        return head + QStringLiteral("it is not a serial device.");
    return head + libraryText + QLatin1Char('.');
}

} // namespace qpv
