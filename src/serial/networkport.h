#pragma once

#include "serial/linesettings.h"
#include "serial/telnetcodec.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

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

// The connection behind a network port. Opening waits at most kOpenTimeoutMs, name lookup
// included; everything else (sending, receiving, reconnecting) returns at once. Texts are
// causes in words, for the serial control to put after the port's name.
class NetworkPort : public QObject {
    Q_OBJECT

public:
    // The longest the window waits while a network port opens.
    static constexpr int kOpenTimeoutMs = 1000;
    // How long the device server has to confirm a line setting.
    static constexpr int kConfirmTimeoutMs = 2000;

    explicit NetworkPort(QObject* parent = nullptr);
    // Closed first, so that the socket going down with the object reports nothing.
    ~NetworkPort() override { close(); }

    bool open(const Endpoint& endpoint, const LineSettings& line);
    void close();
    bool isOpen() const { return m_open; }

    // RFC 2217: asks the server to set the line; its confirmation follows, or lineNotSet.
    // Raw TCP: false, with a note that the device server sets the speed.
    bool apply(const LineSettings& line);

    bool write(const QByteArray& bytes);
    QByteArray readAll();

    // One attempt to connect again, in the background; an attempt still under way from the
    // call before is given up first. reconnected() follows when it succeeds.
    void reconnect(const Endpoint& endpoint, const LineSettings& line);

    QString errorText() const { return m_errorText; }

signals:
    void readyRead();
    // The open connection ended (the server went away, the network failed).
    void dropped(const QString& cause);
    void reconnected();
    // The device server did not set the line as asked: the text says what to check.
    void lineNotSet(const QString& cause);

private:
    bool connectNow(const QString& host);
    void startSession();
    void onReadyRead();
    void onStateChanged(QAbstractSocket::SocketState state);
    void sendLine();
    void lineUnconfirmed();
    bool fail(const QString& text);

    QTcpSocket m_socket;
    QTimer m_confirmTimer;
    Endpoint m_endpoint;
    LineSettings m_line;
    telnet::Client m_telnet;
    std::optional<std::uint32_t> m_baudAsked; // sent, not yet confirmed
    bool m_linePending = false;               // to be sent once the server agrees
    bool m_open = false;
    bool m_reconnecting = false;
    QByteArray m_received;
    QString m_errorText;
};

} // namespace qpv
