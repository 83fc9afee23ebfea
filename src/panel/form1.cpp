#include "panel/form1.h"

#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "panel/displayline.h"
#include "serial/mscomm.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace qpv {

namespace {

constexpr std::uint8_t kSend = 1;
constexpr std::uint8_t kReceived = 2;

// Positions and sizes are designed in twips; 15 twips are one pixel at 96 dpi.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(intervalMs);
    return timer;
}

} // namespace

Form1::Form1(const PortMap& ports, QWidget* parent)
    : QWidget(parent)
    , MSComm1(new MSComm(ports, this))
    , Timer2(makeTimer(this, "Timer2", 500))
    , Timer4(makeTimer(this, "Timer4", 1000))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("OMTA   QPV-7100   CONTROL   Ver.1.42"));
    resize(px(9495), px(8730));
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    buildTrafficDisplay();

    connect(MSComm1, &MSComm::OnComm, this, &Form1::MSComm1_OnComm);
    connect(MSComm1, &MSComm::portLost, this, &Form1::showPortLost);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
}

Form1::~Form1() = default;

void Form1::buildTrafficDisplay()
{
    Frame9 = new QFrame(this);
    Frame9->setObjectName(QStringLiteral("Frame9"));
    Frame9->setGeometry(twipsRect(45, 4920, 6312, 1290));
    Frame9->setFrameStyle(QFrame::Box | QFrame::Sunken);

    const auto caption = [this](const char* name, const char* text, QRect rect) {
        auto* label = new QLabel(QLatin1String(text), Frame9);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(rect);
    };
    caption("Label9", "TXD", twipsRect(105, 210, 390, 285));
    caption("Label10", "RXD", twipsRect(60, 540, 450, 300));
    caption("Label23", "STATUS", twipsRect(120, 1005, 795, 225));

    const auto line = [this](const char* name, QRect rect) {
        auto* display = new DisplayLine(Frame9);
        display->setObjectName(QLatin1String(name));
        display->setGeometry(rect);
        return display;
    };
    Label11 = line("Label11", twipsRect(600, 180, 5610, 300));
    Label12 = line("Label12", twipsRect(600, 540, 5616, 300));
    Label22 = line("Label22", twipsRect(930, 900, 5295, 300));
}

void Form1::Form_Load()
{
    m_state.CommSettings = "9600,N,8,1";
    m_state.CommandPrefix = "";
    m_state.ReplyPending = 0;
    m_state.RxBuffer = "";

    MSComm1->setCommPort(1);
    MSComm1->setSettings(QString::fromStdString(m_state.CommSettings));
    if (!MSComm1->setPortOpen(true))
        Label22->setText(' ' + MSComm1->errorText().toStdString());
}

void Form1::Hyouji(const std::string& text, std::uint8_t mode)
{
    if (mode == kSend) {
        // A port that is not open sends nothing; the echo and the timers follow as for any
        // send, and the STATUS line says why.
        if (!MSComm1->setOutput(QByteArray::fromStdString(text)))
            Label22->setText(' ' + MSComm1->errorText().toStdString());
        Label11->setText(renderEcho(text));
        Timer2->start(); // every send restarts the countdowns
        m_state.ReplyPending = 1;
        Timer4->start();
        return;
    }

    Label12->setText(renderEcho(text));
    // The decoders read the RXD line back, never the raw text.
    const std::optional<StatusUpdate> update =
        decodeReply(m_state.CommandPrefix, m_state.TxCommand, Label12->text());
    if (!update)
        return;
    if (update->pressureValue)
        m_state.PressureValue = *update->pressureValue;
    Label22->setText(update->text);
}

void Form1::sendCommand(std::string_view command)
{
    m_state.TxCommand = frameCommand(m_state.CommandPrefix, command);
    Hyouji(m_state.TxCommand, kSend);
}

void Form1::MSComm1_OnComm()
{
    if (MSComm1->CommEvent() != MSComm::kComEvReceive)
        return;
    const QByteArray received = MSComm1->Input();
    appendCapped(m_state.RxBuffer, {received.constData(), static_cast<std::size_t>(received.size())});
    m_state.ReplyPending = 0;
    Hyouji(m_state.RxBuffer, kReceived);
}

void Form1::Timer2_Timer()
{
    if (m_state.ReplyPending == 1)
        Label12->setText(" X X X X");
    Timer2->stop();
    m_state.RxBuffer = "";
    m_state.ReplyPending = 0;
}

void Form1::Timer4_Timer()
{
    Label11->setText("");
    Label12->setText("");
    Label22->setText("");
    Timer4->stop();
}

void Form1::showPortLost(const QString& text)
{
    Label22->setText(' ' + text.toStdString());
}

} // namespace qpv
