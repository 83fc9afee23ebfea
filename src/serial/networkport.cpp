#include "serial/networkport.h"

#include <QDeadlineTimer>
#include <QHostInfo>
#include <QUrl>

#include <future>
#include <linux/sockios.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>

namespace qpv {

namespace {

const QString kRfc2217 = QStringLiteral("rfc2217"), kRaw = QStringLiteral("socket");
// Answers to a server that sends negotiations but reads nothing are dropped beyond this.
constexpr qint64 kMostUnsent = 64 * 1024;
// A connection that stops answering (a cable pulled, a server switched off) is noticed in
// about 10 s, not after the system's two hours.
constexpr int kKeepIdleS = 5, kKeepIntervalS = 2, kKeepCount = 3, kUnackedMs = 10000;

const QString kSer2netFix = QStringLiteral(
    "If it is ser2net, its accepter must read telnet(rfc2217),tcp,PORT: a tcp or plain telnet "
    "accepter carries data only. Or use socket:// and set the speed on the device server.");

// Name lookup with a deadline: QHostInfo::fromName waits for a slow name server far longer
// than the window may. The lookup runs on in a thread of its own and is then forgotten.
std::optional<QHostInfo> lookUp(const QString& host, int timeoutMs)
{
    auto promise = std::make_shared<std::promise<QHostInfo>>();
    std::future<QHostInfo> result = promise->get_future();
    std::thread([promise, host] { promise->set_value(QHostInfo::fromName(host)); }).detach();
    if (result.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}

telnet::RemoteLine remoteLine(const LineSettings& line)
{
    telnet::RemoteLine remote;
    remote.baud = std::uint32_t(line.baudRate);
    remote.dataSize = std::uint8_t(line.dataBits);
    switch (line.parity) {
    case QSerialPort::OddParity:
        remote.parity = 2;
        break;
    case QSerialPort::EvenParity:
        remote.parity = 3;
        break;
    case QSerialPort::MarkParity:
        remote.parity = 4;
        break;
    case QSerialPort::SpaceParity:
        remote.parity = 5;
        break;
    default:
        remote.parity = 1;
        break;
    }
    remote.stopSize = line.stopBits == QSerialPort::TwoStop          ? 2
                      : line.stopBits == QSerialPort::OneAndHalfStop ? 3
                                                                     : 1;
    return remote;
}

std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), std::size_t(bytes.size())};
}

} // namespace

bool isNetworkDevice(const QString& device)
{
    return device.startsWith(kRfc2217 + QStringLiteral("://"), Qt::CaseInsensitive) ||
           device.startsWith(kRaw + QStringLiteral("://"), Qt::CaseInsensitive);
}

std::optional<Endpoint> parseEndpoint(const QString& device)
{
    const QUrl url(device, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != kRfc2217 && scheme != kRaw) || url.host().isEmpty() ||
        url.port() < 1 || !url.userInfo().isEmpty() || !url.path().isEmpty() || url.hasQuery() ||
        url.hasFragment())
        return std::nullopt;
    return Endpoint{scheme == kRaw ? Endpoint::Protocol::Raw : Endpoint::Protocol::Rfc2217,
                    url.host(), quint16(url.port())};
}

NetworkPort::NetworkPort(QObject* parent)
    : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &NetworkPort::onReadyRead);
    connect(&m_socket, &QTcpSocket::stateChanged, this, &NetworkPort::onStateChanged);
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        if (!std::exchange(m_reconnecting, false))
            return; // a blocking open, which starts the session itself
        startSession();
        emit reconnected();
    });
    m_confirmTimer.setSingleShot(true);
    m_confirmTimer.setInterval(kConfirmTimeoutMs);
    connect(&m_confirmTimer, &QTimer::timeout, this, &NetworkPort::lineUnconfirmed);
}

bool NetworkPort::open(const Endpoint& endpoint, const LineSettings& line)
{
    close();
    m_endpoint = endpoint;
    m_line = line;
    if (!connectNow(endpoint.host))
        return false;
    startSession();
    return true;
}

bool NetworkPort::connectNow(const QString& host)
{
    const QDeadlineTimer deadline(kOpenTimeoutMs);
    QList<QHostAddress> addresses;
    if (QHostAddress literal; literal.setAddress(host)) {
        addresses = {literal};
    } else {
        const std::optional<QHostInfo> info = lookUp(host, kOpenTimeoutMs);
        if (!info)
            return fail(QStringLiteral("the name %1 could not be looked up within %2 ms. Check "
                                       "the network's name server, or give the device "
                                       "server's IP address.")
                            .arg(host)
                            .arg(kOpenTimeoutMs));
        if (info->error() != QHostInfo::NoError || info->addresses().isEmpty())
            return fail(QStringLiteral("the host name %1 is not known. Check the name, or give "
                                       "the device server's IP address.")
                            .arg(host));
        addresses = info->addresses();
    }

    // Each address of the name in turn (localhost is ::1 and 127.0.0.1), within the one wait.
    QAbstractSocket::SocketError error = QAbstractSocket::SocketTimeoutError;
    QString reason;
    QString where;
    for (const QHostAddress& address : addresses) {
        where = QStringLiteral("%1 port %2").arg(address.toString()).arg(m_endpoint.port);
        m_socket.connectToHost(address, m_endpoint.port);
        if (m_socket.waitForConnected(int(std::max<qint64>(0, deadline.remainingTime()))))
            return true;
        error = deadline.hasExpired() ? QAbstractSocket::SocketTimeoutError : m_socket.error();
        reason = m_socket.errorString();
        m_socket.abort();
        if (deadline.hasExpired())
            break;
    }
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return fail(QStringLiteral("nothing is listening at %1 (connection refused). Check that "
                                   "the device server is running and that %2 is the port of "
                                   "its accepter.")
                        .arg(where)
                        .arg(m_endpoint.port));
    case QAbstractSocket::SocketTimeoutError:
        return fail(QStringLiteral("%1 did not answer within %2 ms. Check that the device "
                                   "server is switched on and on the network, and that no "
                                   "firewall drops the port.")
                        .arg(where)
                        .arg(kOpenTimeoutMs));
    case QAbstractSocket::NetworkError:
        return fail(QStringLiteral("the network of %1 cannot be reached (%2). Check the network "
                                   "connection and the address.")
                        .arg(where, reason));
    default:
        return fail(QStringLiteral("%1: %2.").arg(where, reason));
    }
}

void NetworkPort::startSession()
{
    m_open = true;
    m_telnet = {};
    m_received.clear();
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1); // a command goes out at once
    m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    const int fd = int(m_socket.socketDescriptor());
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleS, sizeof kKeepIdleS);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalS, sizeof kKeepIntervalS);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepCount, sizeof kKeepCount);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUnackedMs, sizeof kUnackedMs);
    if (m_endpoint.protocol == Endpoint::Protocol::Raw)
        return;
    const std::string offer = m_telnet.start();
    m_socket.write(offer.data(), qint64(offer.size()));
    m_linePending = true; // the line is set once the server agrees, within the confirmation wait
    m_confirmTimer.start();
}

void NetworkPort::close()
{
    m_open = false;
    m_reconnecting = false;
    m_linePending = false;
    m_baudAsked.reset();
    m_confirmTimer.stop();
    // A device server serves one connection at a time and turns the next away until it has let
    // go of the last, which after a plain close takes it a while. Reset, the connection is let
    // go of at once; that is done only when the server has acknowledged every byte sent.
    if (m_socket.state() == QAbstractSocket::ConnectedState && m_socket.bytesToWrite() == 0) {
        const int fd = int(m_socket.socketDescriptor());
        if (int unacknowledged = -1;
            ::ioctl(fd, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged == 0) {
            const linger reset{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        }
    }
    m_socket.abort();
    m_received.clear();
}

bool NetworkPort::apply(const LineSettings& line)
{
    m_line = line;
    if (m_endpoint.protocol == Endpoint::Protocol::Raw)
        return fail(QStringLiteral("%1 baud is recorded, but the speed of a raw TCP port "
                                   "(socket://) is set on the device server: for ser2net in "
                                   "its connector, e.g. serialdev,/dev/ttyUSB0,%1n81,local. Use "
                                   "rfc2217:// to set it from here.")
                        .arg(line.baudRate));
    if (m_telnet.comPortOption() == telnet::ComPortOption::Refused)
        return fail(QStringLiteral("the device server does not set the line (it refused RFC "
                                   "2217). ") +
                    kSer2netFix);
    if (m_telnet.comPortOption() == telnet::ComPortOption::Agreed)
        sendLine();
    else
        m_linePending = true, m_confirmTimer.start();
    return true;
}

void NetworkPort::sendLine()
{
    m_linePending = false;
    const std::string request = telnet::setLine(remoteLine(m_line));
    m_socket.write(request.data(), qint64(request.size()));
    m_socket.flush();
    m_baudAsked = std::uint32_t(m_line.baudRate);
    m_confirmTimer.start();
}

void NetworkPort::lineUnconfirmed()
{
    m_baudAsked.reset();
    emit lineNotSet(QStringLiteral("the device server did not confirm the speed %1 baud, so the "
                                   "line may run at another speed. ")
                        .arg(m_line.baudRate) +
                    kSer2netFix);
}

bool NetworkPort::write(const QByteArray& bytes)
{
    const QByteArray wire = m_endpoint.protocol == Endpoint::Protocol::Raw
                                ? bytes
                                : QByteArray::fromStdString(telnet::escape(view(bytes)));
    if (m_socket.write(wire) != wire.size())
        return fail(QStringLiteral("sending failed: %1.").arg(m_socket.errorString()));
    m_socket.flush(); // to the system now, without waiting
    return true;
}

QByteArray NetworkPort::readAll()
{
    return std::exchange(m_received, {});
}

void NetworkPort::reconnect(const Endpoint& endpoint, const LineSettings& line)
{
    close();
    m_endpoint = endpoint;
    m_line = line;
    m_reconnecting = true;
    m_socket.connectToHost(endpoint.host, endpoint.port);
}

void NetworkPort::onReadyRead()
{
    const QByteArray bytes = m_socket.readAll();
    if (!m_open)
        return;
    if (m_endpoint.protocol == Endpoint::Protocol::Raw) {
        m_received += bytes;
        emit readyRead();
        return;
    }
    std::string data, answers;
    const telnet::ComPortOption before = m_telnet.comPortOption();
    m_telnet.receive(view(bytes), data, answers);
    if (!answers.empty() && m_socket.bytesToWrite() < kMostUnsent)
        m_socket.write(answers.data(), qint64(answers.size()));

    const telnet::ComPortOption now = m_telnet.comPortOption();
    if (now == telnet::ComPortOption::Agreed && m_linePending) {
        sendLine();
    } else if (now == telnet::ComPortOption::Refused && before != now) {
        m_linePending = false, m_baudAsked.reset(), m_confirmTimer.stop();
        emit lineNotSet(QStringLiteral("the device server refused to set the line (no RFC "
                                       "2217). ") +
                        kSer2netFix);
    }
    if (const auto baud = m_telnet.takeReportedBaud(); baud && m_baudAsked) {
        if (*baud != *m_baudAsked)
            emit lineNotSet(QStringLiteral("the device server set %1 baud when %2 was asked: "
                                           "the device server may not offer that speed.")
                                .arg(*baud)
                                .arg(*m_baudAsked));
        m_baudAsked.reset(), m_confirmTimer.stop();
    }
    if (!data.empty()) {
        m_received.append(data.data(), qsizetype(data.size()));
        emit readyRead();
    }
}

void NetworkPort::onStateChanged(QAbstractSocket::SocketState state)
{
    if (state != QAbstractSocket::UnconnectedState || !m_open)
        return;
    m_open = false;
    m_confirmTimer.stop();
    emit dropped(m_socket.error() == QAbstractSocket::RemoteHostClosedError
                     ? QStringLiteral("the device server closed the connection.")
                     : QStringLiteral("the connection failed: %1.").arg(m_socket.errorString()));
}

bool NetworkPort::fail(const QString& text)
{
    m_errorText = text;
    return false;
}

} // namespace qpv
