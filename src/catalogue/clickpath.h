#pragma once

#include "catalogue/commandbuttons.h"
#include "exchange/formstate.h"

#include <string>
#include <string_view>

namespace qpv {

// What a command button needs of the window: the two reply timers and the send.
class CommandSender {
public:
    virtual void setReplyTimerIntervals(int watchdogMs, int blankingMs) = 0;
    // Frames the command, makes it the command last sent, and sends it.
    virtual void sendCommand(std::string_view command) = 0;

protected:
    ~CommandSender() = default;
};

// Intervals set before a send. Nothing sets the design-time 500/1000 ms back: the pair set
// last applies to every later command.
inline constexpr int kPictureWatchdogMs = 5000;
inline constexpr int kPictureBlankingMs = 5500;
inline constexpr int kFreeTextWatchdogMs = 2000;
inline constexpr int kFreeTextBlankingMs = 2500;

// A click on a command button: every click sends once, whatever the port or the projector.
void pressCommandButton(CommandSender& sender, const CommandButton& button);

// SEND: the entry box's text goes out unchanged (no trimming, no case change, empty allowed).
void sendFreeText(CommandSender& sender, FormState& state, std::string text);

// The name a screen reader gives a button: its group, then its caption.
std::string accessibleName(const CommandButton& button, std::string_view caption);

} // namespace qpv
