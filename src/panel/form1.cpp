#include "panel/form1.h"

#include "catalogue/clickpath.h"
#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "panel/displayline.h"
#include "panel/logoimage.h"
#include "panel/panelbuilder.h"
#include "serial/mscomm.h"
#include "serial/portselection.h"
#include "version.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace qpv {

namespace {

// Titles the warning box; the window's own title is the designed one.
const char* const kApplicationName = "OMTA QPV-7100 CONTROL";

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setTimerType(Qt::PreciseTimer); // a coarse timer may tick up to 5% early
    timer->setInterval(intervalMs);
    return timer;
}

std::string statusText(const QString& report)
{
    return ' ' + report.toStdString();
}

} // namespace

std::string lineBytes(const QString& typed)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(typed.size()));
    for (const char32_t c : typed.toUcs4())
        bytes.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return bytes;
}

Form1::Form1(const PortMap& ports, QWidget* parent)
    : QWidget(parent)
    , MSComm1(new MSComm(ports, this))
    , Timer2(makeTimer(this, "Timer2", 500))
    , Timer3(makeTimer(this, "Timer3", 5000))
    , Timer4(makeTimer(this, "Timer4", 1000))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("OMTA   QPV-7100   CONTROL   ") + QLatin1String(kTitleVersion));
    MSComm1->setObjectName(QStringLiteral("MSComm1"));

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(kWindowBack));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(fontFor(kWindowFont));

    m_controls = buildPanel(this);
    Frame8 = control<QWidget>("Frame8");
    Command34 = control<QPushButton>("Command34");
    Option1 = control<QRadioButton>("Option1");
    Option2 = control<QRadioButton>("Option2");
    Text1 = control<QLineEdit>("Text1");
    Label11 = control<DisplayLine>("Label11");
    Label12 = control<DisplayLine>("Label12");
    Label22 = control<DisplayLine>("Label22");
    connectControls();

    resize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
}

Form1::~Form1() = default;

// A control by its name, checked against the table when compiled; one of another kind than
// the code expects stops the program at once, in every build.
template <typename T> T* Form1::control(ControlId id) const
{
    T* widget = qobject_cast<T*>(m_controls[static_cast<qsizetype>(id.index)]);
    if (!widget)
        qFatal("%s is not a %s", kControls[id.index].name.data(), T::staticMetaObject.className());
    return widget;
}

void Form1::connectControls()
{
    for (const CommandButton& button : kCommandButtons) {
        // Every catalogue control is a button of the table (checked when compiled).
        auto* widget = static_cast<QPushButton*>(
            m_controls[static_cast<qsizetype>(findControl(button.control))]);
        QString command = QString::fromLatin1(button.command.data(),
                                              static_cast<qsizetype>(button.command.size()));
        widget->setToolTip(command.replace(QLatin1Char(' '), QChar(0x2423)) +
                           QStringLiteral(" + CR"));
        connect(widget, &QPushButton::clicked, this,
                [this, &button] { pressCommandButton(*this, button); });
    }

    const auto onClick = [this](ControlId id, void (Form1::*handler)()) {
        connect(control<QAbstractButton>(id), &QAbstractButton::clicked, this, handler);
    };
    onClick("Command16", &Form1::Command16_Click);
    onClick("Command33", &Form1::Command33_Click);
    onClick("Command34", &Form1::Command34_Click);
    onClick("Command95", &Form1::Command95_Click);
    onClick("Command96", &Form1::Command96_Click);
    // clicked, not toggled: choosing the option already marked runs its selection again.
    onClick("Option1", &Form1::Option1_Click);
    onClick("Option2", &Form1::Option2_Click);
    onClick("Option9", &Form1::Option9_Click);
    onClick("Option10", &Form1::Option10_Click);
    connect(control<LogoImage>("Image1"), &LogoImage::doubleClicked, this, &Form1::Image1_DblClick);

    connect(MSComm1, &MSComm::OnComm, this, &Form1::MSComm1_OnComm);
    connect(MSComm1, &MSComm::portLost, this, &Form1::report);
    connect(MSComm1, &MSComm::portRestored, this, &Form1::report);
    connect(MSComm1, &MSComm::settingsNotApplied, this, &Form1::report);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
}

void Form1::showEvent(QShowEvent* event)
{
    // Key preview: each key press from the window system reaches the window before the control
    // with the focus, whichever control that is, once. Installing again changes nothing.
    windowHandle()->installEventFilter(this);
    QWidget::showEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        Form_KeyDown(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event); // the control still gets the key
}

int Form1::Height() const
{
    const int designed = look(m_mode).heightTwips;
    if (twipsToPixels(designed - kFrameAllowance) == height())
        return designed;
    return pixelsToTwips(height()) + kFrameAllowance;
}

int Form1::Width() const
{
    return pixelsToTwips(width()) + kFrameWidthAllowance;
}

void Form1::setWindowMode(WindowMode mode)
{
    m_mode = mode;
    resize(width(), twipsToPixels(look(mode).heightTwips - kFrameAllowance));
    Command34->setText(QString::fromUtf8(look(mode).toggleCaption.data(),
                                         static_cast<qsizetype>(look(mode).toggleCaption.size())));
}

void Form1::Form_Load()
{
    m_state.CommandPrefix = "";

    // Centred on the design-time height, before the window shrinks: it ends up high.
    // Not clamped: on a small screen the values are negative and applied as they are.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const float left = static_cast<float>(pixelsToTwips(area.width()) - Width()) / 2;
    const float top = static_cast<float>(pixelsToTwips(area.height()) - Height()) / 2;
    move(twipsToPixels(left), twipsToPixels(top));
    setWindowMode(WindowMode::Compact);

    m_state.ReplyPending = false;
    m_state.RxBuffer.clear();

    MSComm1->setCommPort(1);
    MSComm1->setSettings(QStringLiteral("9600,N,8,1"));
    if (MSComm1->setPortOpen(true)) {
        // Marking COM1 runs its selection as a click does: port 1 is closed and reopened.
        Option1->setChecked(true);
        Option1_Click();
    } else {
        // The panel starts with the port closed, so the operator can choose another port or
        // fix the cable; the failure was shown once and is not tried again here.
        warn(MSComm1->errorText());
        Option1->setChecked(true);
    }
    control<QWidget>("Command17")->setFocus();
}

void Form1::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // Ctrl+J, with neither Shift nor Alt.
    const auto held = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key != Qt::Key_J || held != Qt::ControlModifier)
        return;
    setWindowMode(WindowMode::Extended);
    m_state.FullPanelUnlocked = true;
    Command34->setVisible(true);
}

void Form1::Image1_DblClick()
{
    if (!m_state.FullPanelUnlocked)
        return;
    setWindowMode(WindowMode::Full);
    Command34->setVisible(true);
}

void Form1::Command34_Click()
{
    Timer3->stop();
    m_state.FullPanelUnlocked = false;
    setWindowMode(Height() >= kShowsDataTwips ? WindowMode::Compact : WindowMode::Data);
    Timer3->start();
}

void Form1::Command16_Click()
{
    MSComm1->setPortOpen(false);
    close();
    QCoreApplication::exit(0);
}

void Form1::Command33_Click()
{
    Frame8->setVisible(true);
    Timer3->start(); // pressed again, the five seconds start over
}

void Form1::Timer3_Timer()
{
    Frame8->setVisible(false);
    Timer3->stop();
}

void Form1::Option1_Click()
{
    choosePort(1);
}

void Form1::Option2_Click()
{
    choosePort(2);
}

void Form1::Option9_Click()
{
    selectSpeed("115200,N,8,1");
}

void Form1::Option10_Click()
{
    selectSpeed("9600,N,8,1");
}

void Form1::choosePort(int target)
{
    const PortSelection selection = selectPort(*MSComm1, target);
    if (selection.succeeded) {
        Frame8->setVisible(false);
        return;
    }
    warn(selection.failure);
    // The option of the port in use is marked, without running its selection; the panel
    // stays up until its countdown ends.
    markPortOption(MSComm1->CommPort());
}

void Form1::markPortOption(int port)
{
    if (port == 1)
        Option1->setChecked(true);
    else if (port == 2)
        Option2->setChecked(true);
}

void Form1::selectSpeed(const char* settings)
{
    if (!MSComm1->setSettings(QString::fromLatin1(settings)))
        report(MSComm1->errorText());
    Frame8->setVisible(false);
}

void Form1::Command95_Click()
{
    sendFreeText(*this, m_state.FreeText, lineBytes(Text1->text()));
}

void Form1::Command96_Click()
{
    Text1->setText(QString());
}

void Form1::Hyouji(const std::string& text, HyoujiMode mode)
{
    Hyouji(text, renderEcho(text), mode);
}

void Form1::Hyouji(const EchoedText& text, HyoujiMode mode)
{
    Hyouji(text.text(), text.echo(), mode);
}

void Form1::Hyouji(std::string_view text, std::string_view echo, HyoujiMode mode)
{
    if (mode == HyoujiMode::Send) {
        // A port that is not open sends nothing; the echo and the timers follow as for any
        // send, and the STATUS line says why.
        if (!MSComm1->setOutput(QByteArray(text.data(), static_cast<qsizetype>(text.size()))))
            report(MSComm1->errorText());
        Label11->setText(echo);
        // The watchdog runs on from the first of several sends, so the buffer empties on its
        // schedule and a later reply is decoded alone; each command's lines stay up in full.
        if (!Timer2->isActive())
            Timer2->start();
        m_state.ReplyPending = true;
        Timer4->start();
        return;
    }

    Label12->setText(echo);
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
    Hyouji(m_state.TxCommand, HyoujiMode::Send);
}

void Form1::setReplyTimers(const ReplyTimers& timers)
{
    // Setting an interval restarts a running timer; setting the one it already has must not.
    if (Timer2->interval() != timers.watchdogMs)
        Timer2->setInterval(timers.watchdogMs);
    Timer4->setInterval(timers.blankingMs);
}

std::string Form1::CommSettings() const
{
    return MSComm1->Settings().toStdString();
}

void Form1::MSComm1_OnComm()
{
    if (MSComm1->CommEvent() != MSComm::kComEvReceive)
        return;
    const QByteArray received = MSComm1->Input();
    m_state.RxBuffer.append({received.constData(), static_cast<std::size_t>(received.size())});
    m_state.ReplyPending = false;
    Hyouji(m_state.RxBuffer, HyoujiMode::Received);
}

void Form1::Timer2_Timer()
{
    if (m_state.ReplyPending)
        Label12->setText(" X X X X");
    Timer2->stop();
    m_state.RxBuffer.clear();
    m_state.ReplyPending = false;
}

void Form1::Timer4_Timer()
{
    Label11->setText("");
    Label12->setText("");
    Label22->setText("");
    Timer4->stop();
}

void Form1::warn(const QString& text)
{
    QMessageBox::warning(this, QString::fromLatin1(kApplicationName), text);
}

void Form1::report(const QString& text)
{
    Label22->setText(statusText(text));
}

} // namespace qpv
