#pragma once

#include "exchange/formstate.h"
#include "serial/portmap.h"

#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>

class QFrame;
class QTimer;

namespace qpv {

class DisplayLine;
class MSComm;

// The main window. Its handlers share the form-level state; every command leaves through
// Hyouji and every reply reaches the screen through it.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(const PortMap& ports, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up, before the window is first shown.
    void Form_Load();

    // Mode 1 sends the text; any other mode shows and decodes it as received.
    void Hyouji(const std::string& text, std::uint8_t mode);

    // Frames a command, makes it the command last sent and sends it.
    void sendCommand(std::string_view command);

    void MSComm1_OnComm();
    void Timer2_Timer(); // reply watchdog
    void Timer4_Timer(); // line blanking

    const FormState& state() const { return m_state; }
    MSComm& serialControl() { return *MSComm1; }

private:
    void buildTrafficDisplay();
    void showPortLost(const QString& text);

    FormState m_state;

    MSComm* MSComm1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer4 = nullptr;
    QFrame* Frame9 = nullptr;
    DisplayLine* Label11 = nullptr; // TXD
    DisplayLine* Label12 = nullptr; // RXD
    DisplayLine* Label22 = nullptr; // STATUS
};

} // namespace qpv
