#include "serial/devicelink.h"

#include "serial/opendiagnosis.h"

#include <QFileInfo>

#include <cerrno>
#include <poll.h>

namespace qpv {

namespace {

// A line that takes nothing for this long while commands wait for it has stopped.
constexpr int kStalledMs = 5000;
// The most a slow line holds back, about 100,000 commands.
constexpr qint64 kMostWaiting = 1024 * 1024;

} // namespace

DeviceLink::DeviceLink(int port, QString device, QObject* parent)
    : Link(port, std::move(device), parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &Link::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &DeviceLink::onErrorOccurred);
    connect(&m_port, &QSerialPort::bytesWritten, this, &DeviceLink::onBytesWritten);
    m_stalled.setSingleShot(true);
    m_stalled.setInterval(kStalledMs);
    connect(&m_stalled, &QTimer::timeout, this, &DeviceLink::tookNothing);
}

void DeviceLink::close()
{
    ++m_attempt;
    m_port.close();
    m_waiting.clear();
    m_firstWritten = 0;
    m_stalled.stop();
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
    if (m_port.open(QIODevice::ReadWrite))
        return {};
    const QSerialPort::SerialPortError error = m_port.error();
    const QString libraryText = m_port.errorString();
    m_port.clearError();
    return Outcome::failure(diagnoseOpenFailure(port(), device(), error, libraryText));
}

bool DeviceLink::mayReopen() const
{
    // A pulled adapter is expected to be missing until it is plugged in again; under its stable
    // name it comes back even where the system gives it another node.
    return !device().isEmpty() && QFileInfo::exists(device());
}

Outcome DeviceLink::write(const QByteArray& bytes)
{
    if (m_port.bytesToWrite() + bytes.size() > kMostWaiting) {
        Report full = report(Cause::Backlog);
        full.number = kMostWaiting;
        return Outcome::failure(full);
    }
    if (m_port.write(bytes) != bytes.size()) {
        Report failed = report(Cause::WriteFailed);
        failed.detail = m_port.errorString();
        return Outcome::failure(failed);
    }
    m_waiting.push_back(bytes.size());
    if (!m_stalled.isActive())
        m_stalled.start();
    // Hand the bytes to the driver now rather than on the next pass of the event loop; what a
    // full line cannot take yet follows as it takes it.
    m_port.flush();
    return {};
}

bool DeviceLink::hungUp()
{
    pollfd line{int(m_port.handle()), POLLOUT, 0};
    return ::poll(&line, 1, 0) < 0 || (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void DeviceLink::onBytesWritten(qint64 bytes)
{
    m_firstWritten += bytes;
    while (!m_waiting.empty() && m_firstWritten >= m_waiting.front()) {
        m_firstWritten -= m_waiting.front();
        m_waiting.pop_front();
    }
    if (m_waiting.empty())
        m_stalled.stop();
    else
        m_stalled.start(); // the line took something: it is slow, not stopped
}

void DeviceLink::tookNothing()
{
    const auto count = static_cast<qsizetype>(m_waiting.size());
    m_port.clear(QSerialPort::Output);
    m_waiting.clear();
    m_firstWritten = 0;
    Report stalled = report(Cause::Stalled);
    stalled.ms = kStalledMs;
    stalled.number = count;
    emit warned(stalled);
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

void DeviceLink::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // A vanished device shows as a resource error, or (a terminal that hung up) as read errors
    // raised again on every pass of the event loop. Either way the link is gone: close the
    // port, so that nothing spins, and say so once.
    // A full line, whose far end reads slower than commands come, is not a broken one: what it
    // cannot take yet waits. Qt reports it as a resource error with the cause in its text, and
    // may give that text for a hang-up too: a broken line shows as one on its descriptor.
    if (error == QSerialPort::ResourceError && m_port.errorString() == qt_error_string(EAGAIN) &&
        !hungUp()) {
        m_port.clearError();
        return;
    }
    const bool linkBroken = error == QSerialPort::ResourceError ||
                            error == QSerialPort::ReadError || error == QSerialPort::WriteError;
    if (!linkBroken || !m_port.isOpen())
        return;
    m_port.close();
    m_port.clearError();
    emit lost(report(Cause::Lost));
}

} // namespace qpv
