#include "catalogue/clickpath.h"

namespace qpv {

void pressCommandButton(CommandSender& sender, const CommandButton& button)
{
    if (button.pictureGroup)
        sender.setReplyTimerIntervals(kPictureWatchdogMs, kPictureBlankingMs);
    sender.sendCommand(button.command);
}

void sendFreeText(CommandSender& sender, FormState& state, std::string text)
{
    sender.setReplyTimerIntervals(kFreeTextWatchdogMs, kFreeTextBlankingMs);
    state.FreeText = std::move(text);
    sender.sendCommand(state.FreeText);
}

std::string accessibleName(const CommandButton& button, std::string_view caption)
{
    std::string name(button.group);
    if (!name.empty())
        name += ' ';
    name += caption.empty() ? kCaptionlessColumn : caption;
    return name;
}

} // namespace qpv
