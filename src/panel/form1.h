#pragma once

#include "panel/formstate.h"
#include "serial/portmap.h"

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
struct ControlId;
struct ReplyTimers;

// The main window. Its handlers share the form-level state; every command leaves through
// Hyouji and every reply reaches the screen through it. Heights and positions are in twips.
// The window's size modes. Each gives the window's outer height (title bar and borders
// included) and the caption of the data-display toggle.
enum class WindowMode : std::uint8_t { Compact, Data, Extended, Full };

struct WindowModeLook {
    int heightTwips;
    std::string_view toggleCaption;
};

constexpr WindowModeLook look(WindowMode mode)
{
    switch (mode) {
    case WindowMode::Compact:
        return {5350, "データを表示する"};
    case WindowMode::Data:
        return {6645, "データを表示しない"};
    case WindowMode::Extended:
        return {7200, "CLOSE"};
    case WindowMode::Full:
        return {9100, "CLOSE"};
    }
    return {};
}

// A window at least this tall shows the traffic display, whatever gave it its height; the
// toggle then goes to compact, and otherwise to data.
inline constexpr int kShowsDataTwips = 6000;

// What Hyouji does with a text: sends it, or shows and decodes it as received.
enum class HyoujiMode : std::uint8_t { Send = 1, Received = 2 };

class Form1 : public QWidget {
    Q_OBJECT

public:
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
    // Key preview: every key press, whichever control has the focus.
    void Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
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

    // Sends the text, or shows and decodes it as received.
    void Hyouji(const std::string& text, HyoujiMode mode);
    // The same for the receive buffer, whose echo is kept up to date as it grows.
    void Hyouji(const EchoedText& text, HyoujiMode mode);
    void MSComm1_OnComm();
    void Timer2_Timer(); // reply watchdog
    void Timer4_Timer(); // line blanking

    // What a command button's click needs (a CommandSender).
    void sendCommand(std::string_view command);
    void setReplyTimers(const ReplyTimers& timers);
    // The serial line settings in force, "baud,parity,data bits,stop bits".
    std::string CommSettings() const;

    // Outer sizes in twips. The height reads back as its mode gives it while the window keeps
    // that height; a window resized otherwise reads as measured.
    int Height() const;
    int Width() const;
    WindowMode windowMode() const { return m_mode; }

    const FormState& state() const { return m_state; }
    MSComm& serialControl() { return *MSComm1; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    template <typename T> T* control(ControlId id) const;
    void connectControls();
    void choosePort(int target);
    void selectSpeed(const char* settings);
    void markPortOption(int port);
    void Hyouji(std::string_view text, std::string_view echo, HyoujiMode mode);
    void setWindowMode(WindowMode mode);
    void warn(const QString& text);
    void report(const QString& text);

    FormState m_state;
    QList<QWidget*> m_controls; // in the control table's order
    WindowMode m_mode = WindowMode::Compact;

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
