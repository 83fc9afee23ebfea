#pragma once

#include "catalogue/commandbuttons.h"

#include <string>
#include <string_view>
#include <utility>

namespace qpv {

// The reply timers' intervals, set before a send. Nothing sets the design-time 500/1000 ms
// back: the pair set last applies to every later command.
struct ReplyTimers {
    int watchdogMs;
    int blankingMs;
};
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
    if (button.pictureGroup())
        window.setReplyTimers(kPictureTimers);
    window.sendCommand(button.command);
}

// SEND: the entry box's text goes out unchanged (no trimming, no case change, empty allowed),
// and is kept as the free text.
void sendFreeText(CommandSender auto& window, std::string& freeText, std::string text)
{
    window.setReplyTimers(kFreeTextTimers);
    freeText = std::move(text);
    window.sendCommand(freeText);
}

} // namespace qpv
