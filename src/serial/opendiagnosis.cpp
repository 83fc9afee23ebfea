#include "serial/opendiagnosis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <csignal>

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

// The lock file the serial library takes for a device: "LCK.." and its name below /dev, the
// slashes made underscores, in the system's lock folder.
QString lockFileOf(const QString& device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char* folder : {"/var/lock", "/run/lock"}) {
        const QString path = QLatin1String(folder) + QStringLiteral("/LCK..") + name;
        if (QFileInfo::exists(path))
            return QFileInfo(path).canonicalFilePath(); // where it really is: /run/lock
    }
    return {};
}

QString processName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readLine()).trimmed()
                                          : QString();
}

// Who holds a busy device: the process its lock file names (or the lock, where that process
// has ended), else a process that has the device open, as far as this user may see.
void findHolder(const QString& device, Report& report)
{
    if (const QString lock = lockFileOf(device); !lock.isEmpty()) {
        qint64 pid = 0;
        QString host, program;
        if (QLockFile(lock).getLockInfo(&pid, &host, &program) && pid > 0) {
            report.pid = pid;
            if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
                report.cause = Cause::StaleLock;
                report.lockFile = lock;
            } else {
                report.holder = processName(pid);
                if (report.holder.isEmpty())
                    report.holder = program;
            }
            return;
        }
    }
    const Report other = otherHolder(report.port, device);
    report.holder = other.holder;
    report.pid = other.pid;
}

} // namespace

Report otherHolder(int port, const QString& device)
{
    Report report(Cause::Busy, port, device);
    const QString node = QFileInfo(device).canonicalFilePath();
    const QFileInfoList processes = QDir(QStringLiteral("/proc")).entryInfoList(QDir::Dirs);
    for (const QFileInfo& process : processes) {
        bool isProcess = false;
        const qint64 pid = process.fileName().toLongLong(&isProcess);
        if (!isProcess || pid == ::getpid())
            continue;
        const QDir fds(process.absoluteFilePath() + QStringLiteral("/fd"));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
            if (fd.symLinkTarget() == node) {
                report.holder = processName(pid);
                report.pid = pid;
                return report;
            }
        }
    }
    return report;
}

Report diagnoseOpenFailure(int port, const QString& device, QSerialPort::SerialPortError error,
                           const QString& libraryText)
{
    Report report{Cause::OpenFailed, port, device};
    const QByteArray path = QFile::encodeName(device);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        report.cause = Cause::NotFound;
    else if (!S_ISCHR(info.st_mode))
        report.cause = Cause::NotSerial;
    else if (report.group = groupToJoin(device); !report.group.isEmpty())
        report.cause = Cause::Permission;
    else if (error == QSerialPort::PermissionError)
        report.cause = Cause::Busy, findHolder(device, report);
    else if (const Finding finding = probe(path); finding == Finding::NotTerminal)
        report.cause = Cause::NotSerial;
    else if (finding == Finding::NoPortBehind)
        report.cause = Cause::NoUart;
    else
        report.detail = libraryText;
    return report;
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
