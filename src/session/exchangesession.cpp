#include "session/exchangesession.h"

#include "exchange/decoder.h"
#include "serial/devicelink.h"
#include "serial/mscomm.h"
#include "serial/serverlink.h"

#include <QMetaMethod>
#include <QTimer>

#include <utility>

namespace qpv {

namespace {

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setTimerType(Qt::PreciseTimer); // a coarse timer may tick up to 5% early
    timer->setInterval(intervalMs);
    return timer;
}

Link* makeLink(int port, const QString& device, QObject* parent)
{
    if (isNetworkDevice(device))
        return new ServerLink(port, device, parent);
    return new DeviceLink(port, device, parent);
}

} // namespace

ExchangeSession::ExchangeSession(PortMap ports, QObject* parent)
    : QObject(parent)
    , MSComm1(new MSComm(std::move(ports), makeLink, this))
    , Timer2(makeTimer(this, "Timer2", kDesignTimers.watchdogMs))
    , Timer4(makeTimer(this, "Timer4", kDesignTimers.blankingMs))
    , m_reportHold(makeTimer(this, "reportHold", 0))
{
    m_reportHold->setSingleShot(true);
    connect(m_reportHold, &QTimer::timeout, this, &ExchangeSession::blankStatus);
    connect(MSComm1, &MSComm::OnComm, this, &ExchangeSession::MSComm1_OnComm);
    connect(MSComm1, &MSComm::lineReported, this, [this](const Report& lineReport) {
        report(lineReport);
        if (dropsCommands(lineReport.cause))
            emit notSent(lineReport);
    });
    connect(MSComm1, &MSComm::portChosen, this, &ExchangeSession::portChosen);
    connect(MSComm1, &MSComm::portChoiceFailed, this, &ExchangeSession::portChoiceFailed);
    connect(MSComm1, &MSComm::portsLookedUp, this, &ExchangeSession::portsLookedUp);
    connect(Timer2, &QTimer::timeout, this, &ExchangeSession::Timer2_Timer);
    connect(Timer4, &QTimer::timeout, this, &ExchangeSession::Timer4_Timer);
}

void ExchangeSession::setReplyTimers(const ReplyTimers& timers)
{
    Timer2->setInterval(timers.watchdogMs);
    Timer4->setInterval(timers.blankingMs);
}

void ExchangeSession::sendCommand(std::string_view command)
{
    TxCommand = frameCommand(CommandPrefix, command);
    Hyouji(TxCommand, renderEcho(TxCommand), HyoujiMode::Send);
}

void ExchangeSession::choosePort(int port)
{
    MSComm1->choosePort(port);
}

void ExchangeSession::lookUpPorts()
{
    MSComm1->lookUpPorts();
}

void ExchangeSession::setSettings(const LineSettings& settings)
{
    if (const Outcome applied = MSComm1->setSettings(settings); !applied.ok())
        report(applied.report());
}

void ExchangeSession::close()
{
    MSComm1->close();
}

int ExchangeSession::commPort() const
{
    return MSComm1->CommPort();
}

bool ExchangeSession::portOpen() const
{
    return MSComm1->PortOpen();
}

PortAssignment ExchangeSession::assignment(int port) const
{
    return MSComm1->assignment(port);
}

void ExchangeSession::Hyouji(std::string_view text, std::string_view echo, HyoujiMode mode)
{
    if (mode == HyoujiMode::Send) {
        // A port that is not open sends nothing; the echo and the timers follow as for any
        // send, and the STATUS line says why.
        const Outcome sent =
            MSComm1->setOutput(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
        if (!sent.ok())
            report(sent.report()), emit notSent(sent.report());
        show(TrafficLine::Txd, echo);
        // A new exchange: characters gathered before this send are no part of its reply.
        RxBuffer.clear();
        Timer2->start();
        ReplyPending = true;
        Timer4->start();
        return;
    }

    show(TrafficLine::Rxd, echo);
    // The decoders read the echo, as the RXD line shows it, never the raw text.
    if (const std::optional<std::string> status = decodeReply(CommandPrefix, TxCommand, echo))
        show(TrafficLine::Status, *status);
}

void ExchangeSession::MSComm1_OnComm()
{
    const QByteArray received = MSComm1->Input();
    RxBuffer.append({received.constData(), static_cast<std::size_t>(received.size())});
    ReplyPending = false;
    Hyouji(RxBuffer.text(), RxBuffer.echo(), HyoujiMode::Received);
    // A copy only for whoever listens (a script); the window takes the echo.
    static const QMetaMethod receivedSignal =
        QMetaMethod::fromSignal(&ExchangeSession::replyReceived);
    if (isSignalConnected(receivedSignal))
        emit replyReceived(QByteArray(RxBuffer.text().data(), qsizetype(RxBuffer.text().size())));
}

void ExchangeSession::Timer2_Timer()
{
    if (ReplyPending)
        show(TrafficLine::Rxd, " X X X X");
    Timer2->stop();
    RxBuffer.clear();
    emit watchdogTicked(std::exchange(ReplyPending, false));
}

void ExchangeSession::Timer4_Timer()
{
    show(TrafficLine::Txd, "");
    show(TrafficLine::Rxd, "");
    // A report that came just before the blanking stays readable as long as a reply would.
    const qint64 shownFor = m_statusReports ? m_sinceReport.elapsed() : Timer4->interval();
    if (shownFor < Timer4->interval())
        m_reportHold->start(int(Timer4->interval() - shownFor));
    else
        blankStatus();
    Timer4->stop();
}

void ExchangeSession::blankStatus()
{
    show(TrafficLine::Status, "");
}

void ExchangeSession::report(const Report& report)
{
    m_reportHold->stop();
    m_statusReports = true;
    m_sinceReport.start();
    emit lineReported(report);
}

void ExchangeSession::show(TrafficLine line, std::string_view text)
{
    if (line == TrafficLine::Status)
        m_statusReports = false, m_reportHold->stop();
    emit lineChanged(line, std::string(text));
}

} // namespace qpv
