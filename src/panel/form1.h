#pragma once

#include "panel/controltable.h"
#include "serial/report.h"
#include "wording/wording.h"

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
class NotSentMark;
class ExchangeSession;
enum class TrafficLine : std::uint8_t;

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

// The main window, the view of an exchange session: the panel built from the control table,
// start-up, the window-size modes, the settings panel and the warning box. Every control that
// the window's size cuts off wholly is hidden, so that neither the keyboard nor a screen reader
// reaches what the operator cannot see. Heights and positions are in twips.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // The outer size is the client size plus the frame the window manager reports, or, where
    // none is reported (no window manager, or not yet), an allowance for a usual frame: a
    // 4-pixel border on each side and a 21-pixel title bar.
    static constexpr int kBorderTwips = 60;
    static constexpr int kTitleBarTwips = 315;
    static constexpr int kFrameAllowance = kTitleBarTwips + 2 * kBorderTwips; // height
    static constexpr int kFrameWidthAllowance = 2 * kBorderTwips;

    // Reports give the advice that fits how the operator started the panel.
    explicit Form1(ExchangeSession& session, Audience audience = Audience::Menu,
                   QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up, before the window is first shown: centred, compact, COM1 chosen.
    void Form_Load();

    // Outer sizes in twips. The height reads back as its mode gives it while the window keeps
    // that height; a window resized otherwise reads as measured.
    int Height() const;
    int Width() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    template <typename T> T* control(ControlId id) const;
    void connectControls();

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
    void portChosen(int port);
    void portChoiceFailed(const QList<Report>& failures, int portInUse);
    // Free-text command line.
    void Command95_Click(); // SEND
    void Command96_Click(); // CLS

    void showLine(TrafficLine line, const std::string& text);
    void showReport(const Report& report);
    QSize frameTwips() const; // width and height the frame adds
    void setWindowMode(WindowMode mode);
    void showWhatFits();
    void warn(const QString& text);

    ExchangeSession& m_session;
    Wording m_wording;
    QList<QWidget*> m_controls; // in the control table's order
    WindowMode m_mode = WindowMode::Compact;
    int m_frameHeightTwips = kFrameAllowance; // the frame the mode's height was given for
    bool FullPanelUnlocked = false; // after Ctrl+J: the logo's double-click opens the full panel
    bool m_settingsUp = false;      // the settings panel, as COM and the choices leave it
    bool m_toggleUp = false;        // the data-display toggle, from the first Ctrl+J on

    NotSentMark* m_notSent; // the press that did not reach the line, where it was made

    QTimer* Timer3 = nullptr;
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
