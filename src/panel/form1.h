#pragma once

#include "catalogue/clickpath.h"
#include "exchange/formstate.h"
#include "serial/portmap.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace qpv {

class DisplayLine;
class LogoImage;
class MSComm;

// The main window. Its handlers share the form-level state; every command leaves through
// Hyouji and every reply reaches the screen through it. Heights and positions are in twips.
class Form1 : public QWidget, public CommandSender {
    Q_OBJECT

public:
    // Window heights of the size modes (outer heights, title bar and borders included).
    static constexpr int kCompactHeight = 5350;
    static constexpr int kDataHeight = 6645;
    static constexpr int kExtendedHeight = 7200;
    static constexpr int kFullHeight = 9100;
    // The outer size is the client size plus an allowance for the frame: a 4-pixel border on
    // each side and a 21-pixel title bar.
    static constexpr int kBorderTwips = 60;
    static constexpr int kTitleBarTwips = 315;
    static constexpr int kFrameAllowance = kTitleBarTwips + 2 * kBorderTwips; // height
    static constexpr int kFrameWidthAllowance = 2 * kBorderTwips;

    explicit Form1(const PortMap& ports, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up, before the window is first shown.
    void Form_Load();
    // Key preview: every key press, whichever control has the focus. Shift: 1 Shift, 2 Ctrl, 4 Alt.
    void Form_KeyDown(int& KeyCode, int& Shift);
    void Image1_DblClick();
    void Command34_Click(); // data-display toggle
    void Command16_Click(); // END

    // Port and speed selection, the settings panel.
    void Command33_Click();
    void Timer3_Timer();
    void Option1_Click();
    void Option2_Click();
    void Option9_Click();
    void Option10_Click();

    // Free-text command line.
    void Command95_Click(); // SEND
    void Command96_Click(); // CLS

    // Mode 1 sends the text; any other mode shows and decodes it as received.
    void Hyouji(const std::string& text, std::uint8_t mode);
    // The same for the receive buffer, whose echo is kept up to date as it grows.
    void Hyouji(const EchoedText& text, std::uint8_t mode);
    void MSComm1_OnComm();
    void Timer2_Timer(); // reply watchdog
    void Timer4_Timer(); // line blanking

    void sendCommand(std::string_view command) override;
    void setReplyTimerIntervals(int watchdogMs, int blankingMs) override;

    int Height() const;
    void setHeight(int twips);
    int Width() const;

    const FormState& state() const { return m_state; }
    MSComm& serialControl() { return *MSComm1; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename T> T* control(const char* name) const;
    void connectControls();
    void choosePort(int target);
    void selectSpeed(const char* settings);
    void markPortOption(int port);
    void Hyouji(const std::string& text, const std::string& echo, std::uint8_t mode);
    void warn(const QString& text);
    void report(const QString& text);

    FormState m_state;
    QHash<QString, QWidget*> m_controls;
    int m_heightTwips = 0;
    // The key press last previewed, and the control it started at.
    struct KeyPress {
        const QEvent* event = nullptr;
        int key = 0;
        quint64 timestamp = 0;
        bool operator==(const KeyPress&) const = default;
    };
    KeyPress m_keyPress;
    QPointer<QWidget> m_keyTarget;

    MSComm* MSComm1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;
    QWidget* Frame8 = nullptr;
    QPushButton* Command34 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLineEdit* Text1 = nullptr;
    DisplayLine* Label11 = nullptr; // TXD
    DisplayLine* Label12 = nullptr; // RXD
    DisplayLine* Label22 = nullptr; // STATUS
};

// A typed text as it goes down the line: one byte per character, and a character outside
// ASCII as one "?", which is also how its echo shows it.
std::string lineBytes(const QString& typed);

} // namespace qpv
