#pragma once

#include "catalogue/clickpath.h"
#include "exchange/echo.h"
#include "serial/linesettings.h"
#include "serial/portmap.h"
#include "serial/report.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <cstdint>
#include <string>
#include <string_view>

class QTimer;

namespace qpv {

class MSComm;

// The three traffic lines of the panel.
enum class TrafficLine : std::uint8_t { Txd, Rxd, Status };

// What Hyouji does with a text: sends it, or shows and decodes it as received.
enum class HyoujiMode : std::uint8_t { Send = 1, Received = 2 };

// The command exchange: every command leaves through Hyouji and every reply reaches the traffic
// lines through it. Each send begins a new exchange: what was gathered before it is no part of
// its reply, and the watchdog and the blanking start over with the intervals in force; a reply
// is shown and decoded against the command it follows, alone. The session owns the serial
// control and the lines it opens, and is all a view or a script talks to: it tells what the
// TXD, RXD and STATUS lines show and what the line reports.
class ExchangeSession : public QObject {
    Q_OBJECT

public:
    explicit ExchangeSession(PortMap ports, QObject* parent = nullptr);

    // What a command button's click needs (a CommandSender): the reply timers' intervals, and
    // the send, which frames the command, makes it the command last sent and sends it.
    void setReplyTimers(const ReplyTimers& timers);
    void sendCommand(std::string_view command);

    // Port and speed selection, and END, act on the serial control.
    void choosePort(int port);
    void lookUpPorts();
    void setSettings(const LineSettings& settings);
    void close();
    // The port in use, whether it is open, and what stands behind each port.
    int commPort() const;
    bool portOpen() const;
    PortAssignment assignment(int port) const;

signals:
    void lineChanged(qpv::TrafficLine line, const std::string& text);
    // What has come since the send, as received, after each arrival.
    void replyReceived(const QByteArray& reply);
    // The reply watchdog has ticked: the exchange is over, and nothing came if `missing`.
    void watchdogTicked(bool missing);
    // A report of the line (a port connecting, lost or back, a command not sent, a setting not
    // applied): the STATUS line shows it, and it stands until the next.
    void lineReported(const qpv::Report& report);
    // A command did not go down the line (no port open, still connecting, the line too slow or
    // stalled): given at the send, or when the line drops the commands waiting.
    void notSent(const qpv::Report& report);
    void portChosen(int port);
    void portChoiceFailed(const QList<qpv::Report>& failures, int portInUse);
    // The ports were looked up: what stands behind each may have changed.
    void portsLookedUp();

private:
    void Hyouji(std::string_view text, std::string_view echo, HyoujiMode mode);
    void MSComm1_OnComm();
    void Timer2_Timer(); // reply watchdog
    void Timer4_Timer(); // line blanking
    void report(const Report& report);
    void show(TrafficLine line, std::string_view text);
    void blankStatus();

    MSComm* MSComm1;
    QTimer* Timer2;
    QTimer* Timer4;
    std::string CommandPrefix;    // put in front of every command; empty
    std::string TxCommand;        // the framed command last sent; chooses the reply decoder
    EchoedText RxBuffer;          // what has come since the last send or the watchdog's tick
    bool ReplyPending = false;    // from a send until anything arrives
    bool m_statusReports = false; // the STATUS line shows a report
    QElapsedTimer m_sinceReport;
    QTimer* m_reportHold; // a report stays up as long as the blanking interval
};

} // namespace qpv
