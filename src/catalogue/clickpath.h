#pragma once

#include "catalogue/commandbuttons.h"

#include <string_view>

namespace qpv {

// The reply timers' intervals, set before a send. Nothing sets the design-time 500/1000 ms
// back: the pair set last applies to every later command.
struct ReplyTimers {
    int watchdogMs;
    int blankingMs;
};
inline constexpr ReplyTimers kDesignTimers{500, 1000};
inline constexpr ReplyTimers kPictureTimers{5000, 5500};
inline constexpr ReplyTimers kFreeTextTimers{2000, 2500};

// What a click needs of the window: its reply timers, and the send, which frames the command,
// makes it the command last sent and sends it.
template <typename Window>
concept CommandSender = requires(Window& window, const ReplyTimers& timers, std::string_view c)
{
    window.setReplyTimers(timers);
    window.sendCommand(c);
};

// A click on a command button: every click sends once, whatever the port or the projector.
void pressCommandButton(CommandSender auto& window, const CommandButton& button)
{
    if (button.pictureGroup)
        window.setReplyTimers(kPictureTimers);
    window.sendCommand(button.command);
}

// SEND: the entry box's text goes out unchanged (no trimming, no case change, empty allowed).
void sendFreeText(CommandSender auto& window, std::string_view text)
{
    window.setReplyTimers(kFreeTextTimers);
    window.sendCommand(text);
}

} // namespace qpv
