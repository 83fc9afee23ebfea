#include "serial/devicelink.h"

#include "serial/opendiagnosis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace qpv {

namespace {

// Unix 98 pseudo-terminals: a pair that has gone never comes back, whatever takes its number.
constexpr unsigned kFirstPtyMajor = 136, kLastPtyMajor = 143;

QString firstLine(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readLine()).trimmed()
                                          : QString();
}

} // namespace

DeviceLink::DeviceLink(int port, QString device, QObject* parent)
    : Link(port, std::move(device), parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &DeviceLink::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &DeviceLink::onErrorOccurred);
    m_stalled.setSingleShot(true);
    m_stalled.setInterval(kStalledMs);
    connect(&m_stalled, &QTimer::timeout, this, &DeviceLink::tookNothing);
}

void DeviceLink::close()
{
    ++m_attempt;
    delete std::exchange(m_writable, nullptr);
    m_port.close();
    m_waiting.clear();
    m_frontTaken = 0;
    m_stalled.stop();
    m_received.clear();
}

void DeviceLink::open(const LineSettings& line)
{
    const Outcome opened = openNow(line);
    // Told once open() has returned, as for a device server: one order of events.
    QMetaObject::invokeMethod(
        this,
        [this, opened, attempt = m_attempt] {
            if (attempt != m_attempt)
                return; // given up by close()
            if (opened.ok())
                emit this->opened();
            else
                emit openFailed(opened.report());
        },
        Qt::QueuedConnection);
}

Outcome DeviceLink::openNow(const LineSettings& line)
{
    if (device().isEmpty())
        return Outcome::failure(report(Cause::NoPortFound));
    m_port.setPortName(device());
    m_port.setBaudRate(line.baud);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (m_port.open(QIODevice::ReadWrite)) {
        m_identity = identityOf(device());
        m_sharedReported = false;
        m_writable = new QSocketNotifier(m_port.handle(), QSocketNotifier::Write, this);
        m_writable->setEnabled(false);
        connect(m_writable, &QSocketNotifier::activated, this, &DeviceLink::writeWaiting);
        return {};
    }
    const QSerialPort::SerialPortError error = m_port.error();
    const QString libraryText = m_port.errorString();
    m_port.clearError();
    return Outcome::failure(diagnoseOpenFailure(port(), device(), error, libraryText));
}

QString DeviceLink::identityOf(const QString& device)
{
    const QFileInfo name(device);
    struct stat node {};
    if (!name.exists() || ::stat(QFile::encodeName(device).constData(), &node) != 0 ||
        !S_ISCHR(node.st_mode))
        return {};
    if (name.isSymLink()) // a stable name stands for its device, wherever the system puts it
        return QStringLiteral("name ") + name.absoluteFilePath();
    const unsigned major = ::major(node.st_rdev), minor = ::minor(node.st_rdev);
    if (major >= kFirstPtyMajor && major <= kLastPtyMajor)
        return QStringLiteral("pty %1:%2 %3").arg(major).arg(minor).arg(node.st_ctim.tv_nsec);
    // Where the device hangs (its USB port), and what the USB device calls itself.
    QDir usb(QFileInfo(QStringLiteral("/sys/dev/char/%1:%2/device").arg(major).arg(minor))
                 .canonicalFilePath());
    QString serial;
    for (int up = 0; up < 4 && !usb.path().isEmpty() && !usb.isRoot(); ++up, usb.cdUp()) {
        if (usb.exists(QStringLiteral("serial"))) {
            serial = firstLine(usb.filePath(QStringLiteral("serial")));
            break;
        }
    }
    return QStringLiteral("node %1:%2 %3 %4").arg(major).arg(minor).arg(usb.path(), serial);
}

bool DeviceLink::mayReopen() const
{
    // A pulled adapter is expected to be missing until it is plugged in again; under its stable
    // name it comes back even where the system gives it another node. Another device that
    // appears under the same name is not the one that went.
    return !device().isEmpty() && !m_identity.isEmpty() && identityOf(device()) == m_identity;
}

Outcome DeviceLink::write(const QByteArray& bytes)
{
    if (const std::optional<Cause> refusal = m_waiting.admit(bytes))
        return refused(*refusal);
    // Handed to the kernel now rather than on the next pass of the event loop; what a full
    // line cannot take yet follows as it takes it.
    writeWaiting();
    return {};
}

// As much as the kernel takes now, in order; a command it has begun is finished first, so that
// none is ever cut.
void DeviceLink::writeWaiting()
{
    bool tookSome = false;
    while (!m_waiting.empty() && m_port.isOpen()) {
        const QByteArray& front = m_waiting.front();
        const ssize_t taken = ::write(int(m_port.handle()), front.constData() + m_frontTaken,
                                      std::size_t(front.size() - m_frontTaken));
        if (taken < 0 && errno == EINTR)
            continue;
        if (taken < 0 && errno == EAGAIN)
            break;
        if (taken <= 0)
            return lineLost();
        tookSome = true;
        m_frontTaken += taken;
        if (m_frontTaken == front.size())
            m_waiting.takeFront(), m_frontTaken = 0;
    }
    if (m_writable)
        m_writable->setEnabled(!m_waiting.empty());
    if (m_waiting.empty())
        m_stalled.stop();
    else if (tookSome || !m_stalled.isActive())
        m_stalled.start(); // the line took something: it is slow, not stopped
}

// The commands the line has not begun to take are dropped and counted; one it has begun stays,
// to be finished when the line takes again.
void DeviceLink::tookNothing()
{
    stalled(m_waiting.dropAllBut(m_frontTaken > 0 ? 1 : 0));
}

Outcome DeviceLink::apply(const LineSettings& line)
{
    if (!m_port.setBaudRate(line.baud)) {
        Report refused = report(Cause::SettingRefused);
        refused.baud = line.baud;
        refused.detail = m_port.errorString();
        return Outcome::failure(refused);
    }
    return {};
}

void DeviceLink::onReadyRead()
{
    m_received += m_port.readAll();
    if (!m_received.isEmpty())
        emit readyRead();
}

bool DeviceLink::hungUp() const
{
    pollfd line{int(m_port.handle()), POLLIN | POLLOUT, 0};
    return ::poll(&line, 1, 0) < 0 || (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 ||
           identityOf(device()) != m_identity;
}

void DeviceLink::onErrorOccurred(QSerialPort::SerialPortError error)
{
    const bool readFailed = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (!readFailed || !m_port.isOpen())
        return;
    // A vanished device shows as a resource error, or (a terminal that hung up) as read errors
    // raised again on every pass of the event loop: the link is gone.
    if (hungUp())
        return lineLost();
    // A read that found nothing though the line said it had something: another program reads
    // this device too and took it. The serial library stops watching the line after such a
    // read; reading is what watches it again. Said once, with who the other reader is.
    m_port.clearError();
    QMetaObject::invokeMethod(this, &DeviceLink::onReadyRead, Qt::QueuedConnection);
    if (std::exchange(m_sharedReported, true))
        return;
    Report shared = report(Cause::SharedDevice);
    const Report holder = otherHolder(port(), device());
    shared.holder = holder.holder;
    shared.pid = holder.pid;
    emit warned(shared);
}

void DeviceLink::lineLost()
{
    close();
    emit lost(report(Cause::Lost));
}

} // namespace qpv
