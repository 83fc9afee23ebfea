#pragma once

#include "serial/link.h"
#include "serial/telnetcodec.h"

#include <QHostAddress>
#include <QList>
#include <QTcpSocket>
#include <QTimer>

#include <deque>
#include <optional>

class QHostInfo;

namespace qpv {

// A serial line reached through a device server on the network (ser2net, a serial-to-Ethernet
// adapter): rfc2217://HOST:PORT carries the data and lets the client set the remote line;
// socket://HOST:PORT carries the data only. HOST is a name, an IPv4 address or an IPv6 address
// in brackets.
struct Endpoint {
    enum class Protocol { Rfc2217, Raw };
    Protocol protocol = Protocol::Rfc2217;
    QString host;
    quint16 port = 0;
};

// Whether the device names a network port at all (its scheme), well formed or not.
bool isNetworkDevice(const QString& device);
// The endpoint, or nothing when the address is malformed.
std::optional<Endpoint> parseEndpoint(const QString& device);

// The connection to a device server. Everything returns at once: the name is looked up and the
// connection made in the background, within kOpenTimeoutMs, and the window never waits.
class ServerLink final : public Link {
    Q_OBJECT

public:
    // The longest an open takes, name lookup included.
    static constexpr int kOpenTimeoutMs = 1000;
    // How long the device server has to confirm a line setting.
    static constexpr int kConfirmTimeoutMs = 2000;

    ServerLink(int port, QString device, QObject* parent);
    // Closed first, so that the socket going down with the object reports nothing.
    ~ServerLink() override { close(); }

    void open(const LineSettings& line) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool isOpening() const override { return m_deadline.isActive(); }

    Outcome write(const QByteArray& bytes) override;
    QByteArray readAll() override { return std::exchange(m_received, {}); }
    // RFC 2217: asks the server to set the line; its confirmation follows, or
    // reported(). Raw TCP: a failure that says the device server sets the speed.
    Outcome apply(const LineSettings& line) override;

private:
    void lookedUp(const QHostInfo& info);
    void connectNext();
    void connectFailed(QAbstractSocket::SocketError error);
    Report failure(Cause cause) const; // of an open, with the address tried
    void giveUp(const Report& failed);
    void startSession();
    void onReadyRead();
    void onStateChanged(QAbstractSocket::SocketState state);
    void sendLine();
    void lineUnconfirmed();
    void confirmed(std::uint32_t baud);
    void subnegotiationLeftOpen();
    void writeWaiting();
    void tookNothing();

    std::optional<Endpoint> m_endpoint;
    QTcpSocket m_socket;
    QTimer m_deadline; // runs while an open is under way
    QTimer m_confirmTimer;
    QTimer m_openSubnegotiation;     // runs while the server leaves a subnegotiation open
    QTimer m_stalled;                // runs while commands wait and the server takes nothing
    WaitingCommands m_waiting;       // not yet handed to the system, as sent on the wire
    int m_lookup = -1;               // the name lookup under way
    int m_attempt = 0;               // answers to an open given up are ignored
    QList<QHostAddress> m_addresses; // still to be tried
    QString m_where;                 // the address tried last
    QAbstractSocket::SocketError m_error = QAbstractSocket::SocketTimeoutError;
    QString m_reason;
    LineSettings m_line = k9600;
    telnet::Client m_telnet;
    std::deque<std::uint32_t> m_baudsAsked; // sent and not yet answered, oldest first
    bool m_unconfirmedReported = false;     // taken back by a late confirmation
    bool m_linePending = false;             // to be sent once the server agrees
    bool m_open = false;
    QByteArray m_received;
};

} // namespace qpv
