#include "panel/form1.h"

#include "catalogue/clickpath.h"
#include "panel/captionbutton.h"
#include "panel/displayline.h"
#include "panel/keyrepeat.h"
#include "panel/logoimage.h"
#include "panel/notsentmark.h"
#include "panel/panelaccessibility.h"
#include "panel/panelbuilder.h"
#include "panel/qtext.h"
#include "session/exchangesession.h"
#include "version.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>

namespace qpv {

namespace {

// Titles the warning box; the window's own title is the designed one.
const char* const kApplicationName = "OMTA QPV-7100 CONTROL";

} // namespace

std::string lineBytes(const QString& typed)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(typed.size()));
    for (const char32_t c : typed.toUcs4())
        bytes.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return bytes;
}

Form1::Form1(ExchangeSession& session, Audience audience, QWidget* parent)
    : QWidget(parent)
    , m_session(session)
    , m_wording(audience)
    , m_notSent(new NotSentMark(this))
    , Timer3(new QTimer(this))
{
    prepareAccessibility(this);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("OMTA   QPV-7100   CONTROL   ") + QLatin1String(kTitleVersion));
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setTimerType(Qt::PreciseTimer); // a coarse timer may tick up to 5% early
    Timer3->setInterval(5000);

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(kGrey));
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
    // Each pair of options is one choice of its own, exclusive within itself: the checked one
    // cannot be unchecked by choosing it again, whatever else is checked in the panel.
    const auto oneChoice = [this](QAbstractButton* first, QAbstractButton* second) {
        auto* choice = new QButtonGroup(this);
        choice->addButton(first);
        choice->addButton(second);
    };
    oneChoice(Option1, Option2);
    oneChoice(control<QRadioButton>("Option9"), control<QRadioButton>("Option10"));
    connectControls();
    useDetectableKeyRepeat();

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
        widget->setToolTip(
            tr("%1 + CR").arg(toQString(button.command).replace(QLatin1Char(' '), QChar(0x2423))));
        connect(widget, &QPushButton::clicked, this, [this, &button, widget] {
            m_notSent->pressed(static_cast<CaptionButton*>(widget));
            pressCommandButton(m_session, button);
        });
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
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);

    connect(&m_session, &ExchangeSession::lineChanged, this, &Form1::showLine);
    connect(&m_session, &ExchangeSession::lineReported, this, &Form1::showReport);
    connect(&m_session, &ExchangeSession::notSent, this,
            [this](const Report& report) { m_notSent->mark(m_wording.full(report)); });
    connect(&m_session, &ExchangeSession::portChosen, this, &Form1::portChosen);
    connect(&m_session, &ExchangeSession::portChoiceFailed, this, &Form1::portChoiceFailed);
    // Each option names the device behind it, as the ports were last looked up.
    const auto namePorts = [this] {
        for (const auto& [option, port] : {std::pair{Option1, 1}, std::pair{Option2, 2}}) {
            const QString device = m_wording.describePort(port, m_session.assignment(port));
            option->setToolTip(Qt::convertFromPlainText(device));
            option->setAccessibleDescription(device);
        }
    };
    connect(&m_session, &ExchangeSession::portsLookedUp, this, namePorts);
    namePorts();
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
    // The window manager tells its frame once it has framed the window (which moves it): the
    // mode's outer height is given again for it, unless the operator has sized it otherwise.
    const bool framed = event->type() == QEvent::Move || event->type() == QEvent::Expose;
    if (watched == windowHandle() && framed && frameTwips().height() != m_frameHeightTwips &&
        height() == twipsToPixels(look(m_mode).heightTwips - m_frameHeightTwips))
        setWindowMode(m_mode);
    return QWidget::eventFilter(watched, event); // the control still gets the key
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    showWhatFits();
}

QSize Form1::frameTwips() const
{
    // The offscreen platform has no window manager: its margins are no frame anyone sees.
    const bool managed = windowHandle() && QGuiApplication::platformName() != u"offscreen";
    const QMargins frame = managed ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull())
        return {kFrameWidthAllowance, kFrameAllowance};
    return {pixelsToTwips(frame.left() + frame.right()),
            pixelsToTwips(frame.top() + frame.bottom())};
}

int Form1::Height() const
{
    const int designed = look(m_mode).heightTwips;
    if (twipsToPixels(designed - m_frameHeightTwips) == height())
        return designed;
    return pixelsToTwips(height()) + frameTwips().height();
}

int Form1::Width() const
{
    return pixelsToTwips(width()) + frameTwips().width();
}

void Form1::setWindowMode(WindowMode mode)
{
    m_mode = mode;
    m_frameHeightTwips = frameTwips().height();
    resize(width(), twipsToPixels(look(mode).heightTwips - m_frameHeightTwips));
    Command34->setText(toQString(look(mode).toggleCaption));
    showWhatFits();
}

// Every control shows that is meant to and is not wholly outside the client area. A hidden
// control takes no focus and no key, and a screen reader is told it is not showing.
void Form1::showWhatFits()
{
    for (QWidget* w : std::as_const(m_controls)) {
        const bool wanted = w == Frame8 ? m_settingsUp : w == Command34 ? m_toggleUp : true;
        const bool fits = rect().intersects(QRect(w->mapTo(this, QPoint(0, 0)), w->size()));
        w->setVisible(wanted && fits);
    }
}

void Form1::Form_Load()
{
    // Centred on the design-time height, before the window shrinks: it ends up high.
    // Not clamped: on a small screen the values are negative and applied as they are.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const float left = static_cast<float>(pixelsToTwips(area.width()) - Width()) / 2;
    const float top = static_cast<float>(pixelsToTwips(area.height()) - Height()) / 2;
    move(twipsToPixels(left), twipsToPixels(top));
    setWindowMode(WindowMode::Compact);

    // Marking COM1 runs its selection as a click does: the port opens on 1 at 9600 baud.
    Option1->setChecked(true);
    Option1_Click();
    control<QWidget>("Command17")->setFocus();
}

void Form1::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // Ctrl+J, with neither Shift nor Alt.
    const auto held = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key != Qt::Key_J || held != Qt::ControlModifier)
        return;
    m_toggleUp = true;
    setWindowMode(WindowMode::Extended);
    FullPanelUnlocked = true;
}

void Form1::Image1_DblClick()
{
    if (!FullPanelUnlocked)
        return;
    setWindowMode(WindowMode::Full);
}

void Form1::Command34_Click()
{
    Timer3->stop();
    FullPanelUnlocked = false;
    setWindowMode(Height() >= kShowsDataTwips ? WindowMode::Compact : WindowMode::Data);
    Timer3->start();
}

void Form1::Command16_Click()
{
    m_session.close();
    close();
    QCoreApplication::exit(0);
}

void Form1::Command33_Click()
{
    m_session.lookUpPorts(); // the options name what stands behind them now
    m_settingsUp = true;
    showWhatFits();
    Timer3->start(); // pressed again, the five seconds start over
}

void Form1::Timer3_Timer()
{
    m_settingsUp = false;
    showWhatFits();
    Timer3->stop();
}

void Form1::Option1_Click()
{
    m_session.choosePort(1);
}

void Form1::Option2_Click()
{
    m_session.choosePort(2);
}

void Form1::Option9_Click()
{
    m_session.setSettings(k115200);
    m_settingsUp = false;
    showWhatFits();
}

void Form1::Option10_Click()
{
    m_session.setSettings(k9600);
    m_settingsUp = false;
    showWhatFits();
}

void Form1::portChosen(int)
{
    m_settingsUp = false;
    showWhatFits();
}

void Form1::portChoiceFailed(const QList<Report>& failures, int portInUse)
{
    // The option of the port in use is marked, without running its selection; the panel
    // stays up until its countdown ends.
    (portInUse == 2 ? Option2 : Option1)->setChecked(true);
    warn(m_wording.full(failures));
}

void Form1::Command95_Click()
{
    m_notSent->pressed(control<CaptionButton>("Command95"));
    sendFreeText(m_session, lineBytes(Text1->text()));
}

void Form1::Command96_Click()
{
    Text1->setText(QString());
}

void Form1::showLine(TrafficLine line, const std::string& text)
{
    switch (line) {
    case TrafficLine::Txd:
        return Label11->setText(text);
    case TrafficLine::Rxd:
        return Label12->setText(text);
    case TrafficLine::Status:
        return Label22->setText(text);
    }
}

// A report on the STATUS line in short, the port and the cause first; in full, device and
// advice included, in the line's tool tip and description, where it stays readable until the
// next report, also after the line has moved on.
void Form1::showReport(const Report& report)
{
    Label22->setText(' ' + m_wording.brief(report).toStdString());
    const QString full = m_wording.full(report);
    Label22->setToolTip(Qt::convertFromPlainText(full)); // a device name is plain text
    Label22->setAccessibleDescription(full);
}

// The box opens once the handler that reports has finished and its state is settled, and does
// not hold the window's events in a loop of its own. Its text is plain: a device name may hold
// anything.
void Form1::warn(const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kApplicationName), text,
                                QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QTimer::singleShot(0, box, &QDialog::open);
}

} // namespace qpv
