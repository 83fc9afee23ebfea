#pragma once

#include "catalogue/clickpath.h"
#include "exchange/echo.h"
#include "serial/mscomm.h"

#include <QElapsedTimer>
#include <QObject>

#include <cstdint>
#include <string>
#include <string_view>

class QTimer;

namespace qpv {

// The three traffic lines of the panel.
enum class TrafficLine : std::uint8_t { Txd, Rxd, Status };

// What Hyouji does with a text: sends it, or shows and decodes it as received.
enum class HyoujiMode : std::uint8_t { Send = 1, Received = 2 };

// The command exchange: every command leaves through Hyouji and every reply reaches the traffic
// lines through it. Each send begins a new exchange: what was gathered before it is no part of
// its reply, and the watchdog and the blanking start over with the intervals in force; a reply
// is shown and decoded against the command it follows, alone. The session owns the serial
// control and tells the view what the TXD, RXD and STATUS lines show.
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
    const MSComm& serialControl() const { return *MSComm1; }

signals:
    void lineChanged(qpv::TrafficLine line, std::string_view text);
    // A report of the line (a port lost, back, connecting, not open, a setting not applied), in
    // full; the STATUS line shows it with the port and the cause first. It stands until the next.
    void reported(const QString& text);
    // A command did not go down the line (no port open, still connecting, the line too slow);
    // the report says why. Given during the send.
    void notSent(const QString& report);
    void portChosen(int port);
    void portChoiceFailed(const QString& report, int portInUse);

private:
    void Hyouji(std::string_view text, std::string_view echo, HyoujiMode mode);
    void MSComm1_OnComm();
    void Timer2_Timer(); // reply watchdog
    void Timer4_Timer(); // line blanking
    void report(const QString& text);
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
