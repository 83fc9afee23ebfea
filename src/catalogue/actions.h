#pragma once

#include "catalogue/commandbuttons.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qpv {

// What a script calls each command button: its group, shortened, and its caption ("power-on",
// "input-1-rgb", "volume-35", "picture-row-3-border", "pj-status"); the picture group's two
// buttons without a caption by their column, "d-by-d".
struct Action {
    std::string_view name;
    std::string_view control;
};

// clang-format off
inline constexpr std::array kActions = {
    Action{"power-on", "Command17"},
    Action{"power-off", "Command18"},
    Action{"input-1-rgb", "Command27"},
    Action{"input-2-rgb", "Command28"},
    Action{"input-3-video", "Command29"},
    Action{"input-4-s-video", "Command53"},
    Action{"osd-on", "Command23"},
    Action{"osd-off", "Command24"},
    Action{"inside-sp-on", "Command19"},
    Action{"inside-sp-off", "Command20"},
    Action{"av-mute-on", "Command21"},
    Action{"av-mute-off", "Command22"},
    Action{"freeze-on", "Command25"},
    Action{"freeze-off", "Command26"},
    Action{"iris-bright", "Command31"},
    Action{"iris-contrast", "Command32"},
    Action{"auto-focus", "Command30"},
    Action{"a-image", "Command13"},
    Action{"signal-type-1-auto", "Command4"},
    Action{"signal-type-1-rgb", "Command39"},
    Action{"signal-type-1-component", "Command40"},
    Action{"signal-type-2-auto", "Command10"},
    Action{"signal-type-2-rgb", "Command11"},
    Action{"signal-type-2-component", "Command41"},
    Action{"lamp-normal", "Command57"},
    Action{"lamp-eco", "Command58"},
    Action{"pj-status", "Command44"},
    Action{"lamp-status", "Command45"},
    Action{"lamp-time", "Command46"},
    Action{"power-status", "Command47"},
    Action{"volume-0", "Command1"},
    Action{"volume-5", "Command2"},
    Action{"volume-10", "Command3"},
    Action{"volume-15", "Command5"},
    Action{"volume-20", "Command6"},
    Action{"volume-25", "Command7"},
    Action{"volume-30", "Command8"},
    Action{"volume-35", "Command9"},
    Action{"volume-40", "Command12"},
    Action{"volume-45", "Command14"},
    Action{"volume-50", "Command15"},
    Action{"volume-55", "Command35"},
    Action{"volume-60", "Command36"},
    Action{"picture-row-1-normal", "Command63"},
    Action{"picture-row-1-d-by-d", "Command64"},
    Action{"picture-row-1-border", "Command65"},
    Action{"picture-row-1-stretch", "Command66"},
    Action{"picture-row-1-standard", "Command67"},
    Action{"picture-row-1-presentation", "Command68"},
    Action{"picture-row-1-cinema", "Command69"},
    Action{"picture-row-1-game", "Command70"},
    Action{"picture-row-2-normal", "Command71"},
    Action{"picture-row-2-d-by-d", "Command72"},
    Action{"picture-row-2-border", "Command73"},
    Action{"picture-row-2-stretch", "Command74"},
    Action{"picture-row-2-standard", "Command75"},
    Action{"picture-row-2-presentation", "Command76"},
    Action{"picture-row-2-cinema", "Command77"},
    Action{"picture-row-2-game", "Command78"},
    Action{"picture-row-3-normal", "Command79"},
    Action{"picture-row-3-d-by-d", "Command80"},
    Action{"picture-row-3-border", "Command81"},
    Action{"picture-row-3-stretch", "Command82"},
    Action{"picture-row-3-standard", "Command83"},
    Action{"picture-row-3-presentation", "Command84"},
    Action{"picture-row-3-cinema", "Command85"},
    Action{"picture-row-3-game", "Command86"},
    Action{"picture-row-4-normal", "Command87"},
    Action{"picture-row-4-d-by-d", "Command88"},
    Action{"picture-row-4-border", "Command89"},
    Action{"picture-row-4-stretch", "Command90"},
    Action{"picture-row-4-standard", "Command91"},
    Action{"picture-row-4-presentation", "Command92"},
    Action{"picture-row-4-cinema", "Command93"},
    Action{"picture-row-4-game", "Command94"},
};
// clang-format on
static_assert(kActions.size() == kCommandButtons.size());

// The button an action presses, or nothing for a name that is none.
constexpr const CommandButton* findAction(std::string_view name)
{
    const auto action = std::find_if(kActions.begin(), kActions.end(),
                                     [&](const Action& a) { return a.name == name; });
    if (action == kActions.end())
        return nullptr;
    return &*std::find_if(kCommandButtons.begin(), kCommandButtons.end(),
                          [&](const CommandButton& b) { return b.control == action->control; });
}

// Each action names a button of the catalogue, and each name is one action's.
constexpr bool actionsHoldTogether()
{
    for (const Action& action : kActions) {
        if (std::count_if(kActions.begin(), kActions.end(),
                          [&](const Action& a) { return a.name == action.name; }) != 1 ||
            std::none_of(kCommandButtons.begin(), kCommandButtons.end(),
                         [&](const CommandButton& b) { return b.control == action.control; }))
            return false;
    }
    return true;
}
static_assert(actionsHoldTogether());

} // namespace qpv
