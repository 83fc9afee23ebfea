#pragma once

#include "exchange/echo.h"

#include <cstdint>
#include <string>

namespace qpv {

// The state the main window's handlers share, alive as long as the window. The line settings
// in force are the serial control's (Form1::CommSettings).
struct FormState {
    std::string CommandPrefix; // put in front of every command; empty
    std::string TxCommand;     // the framed command last sent; chooses the reply decoder
    EchoedText RxBuffer;       // everything received since the watchdog last emptied it
    bool ReplyPending = false; // from a send until anything arrives
    std::int16_t PressureValue = 0;
    std::string FreeText;           // the entry box's text as SEND took it
    bool FullPanelUnlocked = false; // after Ctrl+J: the logo's double-click opens the full panel
};

} // namespace qpv
