#include "serial/serverlink.h"

#include <QHostInfo>
#include <QUrl>

#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace qpv {

namespace {

const QString kRfc2217 = QStringLiteral("rfc2217"), kRaw = QStringLiteral("socket");
// Answers to a server that sends negotiations but reads nothing are dropped beyond this.
constexpr qint64 kMostUnsent = 64 * 1024;
// What comes is read in slices of this, one a pass of the event loop, so that a server
// flooding the connection neither holds the window nor fills the memory.
constexpr qint64 kSlice = 64 * 1024;
// A subnegotiation a server leaves open this long has broken the protocol.
constexpr int kOpenSubnegotiationMs = 500;
// The system holds this much of what is sent; what waits beyond it is the link's, and a server
// that stops reading has what it never took dropped and counted, not lost unseen.
constexpr int kSendBuffer = 16 * 1024;
// A connection that stops answering (a cable pulled, a server switched off) is noticed in
// about 10 s, not after the system's two hours.
constexpr int kKeepIdleS = 5, kKeepIntervalS = 2, kKeepCount = 3, kUnackedMs = 10000;

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

ServerLink::ServerLink(int port, QString device, QObject* parent)
    : Link(port, std::move(device), parent)
    , m_endpoint(parseEndpoint(this->device()))
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &ServerLink::onReadyRead);
    connect(&m_socket, &QTcpSocket::stateChanged, this, &ServerLink::onStateChanged);
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_deadline.stop();
        startSession();
        emit opened();
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &ServerLink::connectFailed);
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer); // a coarse timer may give up 5% early
    m_deadline.setInterval(kOpenTimeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        Report late = failure(m_lookup >= 0 ? Cause::LookupTimedOut : Cause::NoAnswer);
        late.ms = kOpenTimeoutMs;
        giveUp(late);
    });
    m_confirmTimer.setSingleShot(true);
    m_confirmTimer.setInterval(kConfirmTimeoutMs);
    connect(&m_confirmTimer, &QTimer::timeout, this, &ServerLink::lineUnconfirmed);
    m_openSubnegotiation.setSingleShot(true);
    m_openSubnegotiation.setInterval(kOpenSubnegotiationMs);
    connect(&m_openSubnegotiation, &QTimer::timeout, this, &ServerLink::subnegotiationLeftOpen);
    m_stalled.setSingleShot(true);
    m_stalled.setInterval(kStalledMs);
    connect(&m_stalled, &QTimer::timeout, this, &ServerLink::tookNothing);
    connect(&m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (!m_waiting.empty())
            m_stalled.start(); // the server took something: it is slow, not stopped
        writeWaiting();
    });
    m_socket.setReadBufferSize(kSlice);
}

void ServerLink::open(const LineSettings& line)
{
    close();
    m_line = line;
    if (!m_endpoint) {
        // Told once open() has returned, as every other answer.
        QMetaObject::invokeMethod(
            this,
            [this, attempt = m_attempt] {
                if (attempt == m_attempt)
                    emit openFailed(report(Cause::BadAddress));
            },
            Qt::QueuedConnection);
        return;
    }
    m_deadline.start();
    m_error = QAbstractSocket::SocketTimeoutError;
    if (QHostAddress literal; literal.setAddress(m_endpoint->host)) {
        m_addresses = {literal};
        connectNext();
        return;
    }
    // Qt looks the name up on a thread of its own and answers here, on the window's thread.
    const int attempt = m_attempt;
    m_lookup =
        QHostInfo::lookupHost(m_endpoint->host, this, [this, attempt](const QHostInfo& info) {
            if (attempt == m_attempt)
                lookedUp(info);
        });
}

void ServerLink::lookedUp(const QHostInfo& info)
{
    m_lookup = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        giveUp(failure(Cause::UnknownHost));
        return;
    }
    m_addresses = info.addresses();
    connectNext();
}

// Each address of the name in turn (localhost is ::1 and 127.0.0.1), within the one deadline.
void ServerLink::connectNext()
{
    if (m_addresses.isEmpty()) {
        Report failed = failure(m_error == QAbstractSocket::ConnectionRefusedError ? Cause::Refused
                                : m_error == QAbstractSocket::NetworkError ? Cause::Unreachable
                                                                           : Cause::ConnectFailed);
        failed.detail = m_reason;
        giveUp(failed);
        return;
    }
    const QHostAddress address = m_addresses.takeFirst();
    m_where = address.toString();
    m_socket.connectToHost(address, m_endpoint->port);
}

void ServerLink::connectFailed(QAbstractSocket::SocketError error)
{
    if (!isOpening())
        return;
    m_error = error;
    m_reason = m_socket.errorString();
    // The socket takes the next address once it has left this failure behind.
    const int attempt = m_attempt;
    QTimer::singleShot(0, this, [this, attempt] {
        if (attempt != m_attempt || !isOpening())
            return;
        m_socket.abort();
        connectNext();
    });
}

Report ServerLink::failure(Cause cause) const
{
    Report failed = report(cause);
    failed.host = m_endpoint->host;
    failed.where = m_where;
    failed.number = m_endpoint->port;
    return failed;
}

void ServerLink::giveUp(const Report& failed)
{
    close();
    emit openFailed(failed);
}

void ServerLink::startSession()
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
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSendBuffer, sizeof kSendBuffer);
    if (m_endpoint->protocol == Endpoint::Protocol::Raw)
        return;
    const std::string offer = m_telnet.start();
    m_socket.write(offer.data(), qint64(offer.size()));
    m_linePending = true; // the line is set once the server agrees, within the confirmation wait
    m_confirmTimer.start();
}

void ServerLink::close()
{
    ++m_attempt;
    m_deadline.stop();
    if (m_lookup >= 0)
        QHostInfo::abortHostLookup(std::exchange(m_lookup, -1));
    m_addresses.clear();
    m_open = false;
    m_linePending = false;
    m_baudsAsked.clear();
    m_unconfirmedReported = false;
    m_confirmTimer.stop();
    m_openSubnegotiation.stop();
    m_stalled.stop();
    m_waiting.clear();
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

Outcome ServerLink::apply(const LineSettings& line)
{
    m_line = line;
    if (m_endpoint->protocol == Endpoint::Protocol::Raw) {
        Report raw = report(Cause::RawSpeed);
        raw.baud = line.baud;
        return Outcome::failure(raw);
    }
    if (m_telnet.comPortOption() == telnet::ComPortOption::Refused)
        return Outcome::failure(report(Cause::NoRfc2217));
    if (m_telnet.comPortOption() == telnet::ComPortOption::Agreed)
        sendLine();
    else
        m_linePending = true, m_confirmTimer.start();
    return {};
}

void ServerLink::sendLine()
{
    m_linePending = false;
    const telnet::RemoteLine remote{std::uint32_t(m_line.baud)}; // 8 data bits, no parity, 1 stop
    const std::string request = telnet::setLine(remote);
    m_socket.write(request.data(), qint64(request.size()));
    m_socket.flush();
    m_baudsAsked.push_back(remote.baud);
    m_confirmTimer.start();
}

void ServerLink::lineUnconfirmed()
{
    m_unconfirmedReported = true;
    Report unconfirmed = report(Cause::SpeedUnconfirmed);
    unconfirmed.baud = m_line.baud;
    emit warned(unconfirmed);
}

Outcome ServerLink::write(const QByteArray& bytes)
{
    const QByteArray wire = m_endpoint->protocol == Endpoint::Protocol::Raw
                                ? bytes
                                : QByteArray::fromStdString(telnet::escape(view(bytes)));
    if (const std::optional<Cause> refusal = m_waiting.admit(wire))
        return refused(*refusal);
    writeWaiting();
    return {};
}

// One command at a time goes to the socket, once the system has taken all before it, so that
// the commands a stopped server never took are still the link's to count.
void ServerLink::writeWaiting()
{
    while (!m_waiting.empty() && m_open && m_socket.bytesToWrite() == 0) {
        const QByteArray wire = m_waiting.takeFront();
        if (m_socket.write(wire) != wire.size())
            break;        // the socket is failing: its end is reported as the connection's
        m_socket.flush(); // to the system now, without waiting
    }
    if (m_waiting.empty())
        m_stalled.stop();
    else if (!m_stalled.isActive())
        m_stalled.start();
}

// The commands the server has not taken are dropped and counted; the one handed to the socket
// goes when the server reads again.
void ServerLink::tookNothing()
{
    stalled(m_waiting.dropAllBut(0));
}

void ServerLink::onReadyRead()
{
    // At most a slice: the socket holds no more, and reads on once this has been taken.
    const QByteArray bytes = m_socket.readAll();
    if (!m_open)
        return;
    if (m_endpoint->protocol == Endpoint::Protocol::Raw) {
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
        m_linePending = false, m_baudsAsked.clear(), m_confirmTimer.stop();
        emit warned(report(Cause::NoRfc2217));
    }
    for (const std::uint32_t baud : m_telnet.takeReportedBauds())
        confirmed(baud);
    if (m_telnet.takeBroken())
        emit warned(report(Cause::EndlessNegotiation));
    if (!m_telnet.inSubnegotiation())
        m_openSubnegotiation.stop();
    else if (!m_openSubnegotiation.isActive())
        m_openSubnegotiation.start();
    if (!data.empty()) {
        m_received.append(data.data(), qsizetype(data.size()));
        emit readyRead();
    }
}

// Each confirmation answers the oldest request not yet answered; the answer to the last one has
// the last word, and takes back a warning that it was missing.
void ServerLink::confirmed(std::uint32_t baud)
{
    if (m_baudsAsked.empty())
        return; // a report no request of ours asked for
    const std::uint32_t asked = m_baudsAsked.front();
    m_baudsAsked.pop_front();
    if (!m_baudsAsked.empty())
        return;
    m_confirmTimer.stop();
    Report speed = report(baud != asked ? Cause::OtherSpeed : Cause::SpeedConfirmed);
    speed.baud = qint32(baud);
    speed.asked = qint32(asked);
    if (baud != asked || std::exchange(m_unconfirmedReported, false))
        emit warned(speed);
}

// A subnegotiation that is not ended while nothing more comes swallows every reply after it:
// the server broke the protocol, and what it held is given back as received.
void ServerLink::subnegotiationLeftOpen()
{
    const std::string held = m_telnet.abandonSubnegotiation();
    emit warned(report(Cause::OpenNegotiation));
    if (!held.empty()) {
        m_received.append(held.data(), qsizetype(held.size()));
        emit readyRead();
    }
}

void ServerLink::onStateChanged(QAbstractSocket::SocketState state)
{
    if (state != QAbstractSocket::UnconnectedState || !m_open)
        return;
    while (m_socket.bytesAvailable() > 0) // what came before the end is read all the same
        onReadyRead();
    m_open = false;
    m_confirmTimer.stop();
    const bool closed = m_socket.error() == QAbstractSocket::RemoteHostClosedError;
    Report gone = report(closed ? Cause::ServerClosed : Cause::ConnectionLost);
    gone.detail = closed ? QString() : m_socket.errorString();
    emit lost(gone);
}

} // namespace qpv
