#pragma once

#include <array>
#include <string_view>

namespace qpv {

// One command button: the control it is on the panel, the group it belongs to (how operators
// and screen readers tell equal captions apart) and the exact command it sends.
struct CommandButton {
    std::string_view control;
    std::string_view group;
    std::string_view command;
    // The picture group's buttons, its four rows, lengthen the reply timers before sending.
    bool pictureGroup = false;
};

inline constexpr bool kPictureGroup = true;

// The blanks inside commands are part of them: one-digit arguments have three blanks before
// them, two-digit arguments two, and "????" none.
inline constexpr std::array kCommandButtons = {
    CommandButton{"Command17", "POWER", "POWR   1"},
    CommandButton{"Command18", "POWER", "POWR   0"},
    CommandButton{"Command27", "INPUT MODE SET", "IRGB   1"},
    CommandButton{"Command28", "INPUT MODE SET", "IRGB   2"},
    CommandButton{"Command29", "INPUT MODE SET", "IVED   1"},
    CommandButton{"Command53", "INPUT MODE SET", "IVED   2"},
    CommandButton{"Command23", "OSD", "IMDI   1"},
    CommandButton{"Command24", "OSD", "IMDI   0"},
    CommandButton{"Command19", "Inside SP", "ASPK   1"},
    CommandButton{"Command20", "Inside SP", "ASPK   0"},
    CommandButton{"Command21", "AV MUTE", "IMBK   1"},
    CommandButton{"Command22", "AV MUTE", "IMBK   0"},
    CommandButton{"Command25", "FREEZE", "FREZ   1"},
    CommandButton{"Command26", "FREEZE", "FREZ   0"},
    CommandButton{"Command31", "IRIS", "IRIS   1"},
    CommandButton{"Command32", "IRIS", "IRIS   3"},
    CommandButton{"Command30", "", "AFST   1"},
    CommandButton{"Command13", "", "ADJS   1"},
    CommandButton{"Command4", "Signal Type 1", "IASI   0"},
    CommandButton{"Command39", "Signal Type 1", "IASI   1"},
    CommandButton{"Command40", "Signal Type 1", "IASI   2"},
    CommandButton{"Command10", "Signal Type 2", "IBSI   0"},
    CommandButton{"Command11", "Signal Type 2", "IBSI   1"},
    CommandButton{"Command41", "Signal Type 2", "IBSI   2"},
    CommandButton{"Command57", "LAMP SELECT", "THMD   0"},
    CommandButton{"Command58", "LAMP SELECT", "THMD   1"},
    CommandButton{"Command44", "", "TABN   1"},
    CommandButton{"Command45", "", "TLPS   1"},
    CommandButton{"Command46", "", "TLTT   1"},
    CommandButton{"Command47", "", "POWR????"},
    CommandButton{"Command1", "VOLUME", "VOLA  00"},
    CommandButton{"Command2", "VOLUME", "VOLA  05"},
    CommandButton{"Command3", "VOLUME", "VOLA  10"},
    CommandButton{"Command5", "VOLUME", "VOLA  15"},
    CommandButton{"Command6", "VOLUME", "VOLA  20"},
    CommandButton{"Command7", "VOLUME", "VOLA  25"},
    CommandButton{"Command8", "VOLUME", "VOLA  30"},
    CommandButton{"Command9", "VOLUME", "VOLA  35"},
    CommandButton{"Command12", "VOLUME", "VOLA  40"},
    CommandButton{"Command14", "VOLUME", "VOLA  45"},
    CommandButton{"Command15", "VOLUME", "VOLA  50"},
    CommandButton{"Command35", "VOLUME", "VOLA  55"},
    CommandButton{"Command36", "VOLUME", "VOLA  60"},
    CommandButton{"Command63", "Picture row 1", "RASR   1", kPictureGroup},
    CommandButton{"Command64", "Picture row 1", "RASR   3", kPictureGroup},
    CommandButton{"Command65", "Picture row 1", "RASR   6", kPictureGroup},
    CommandButton{"Command66", "Picture row 1", "RASR   2", kPictureGroup},
    CommandButton{"Command67", "Picture row 1", "RAPS  10", kPictureGroup},
    CommandButton{"Command68", "Picture row 1", "RAPS  11", kPictureGroup},
    CommandButton{"Command69", "Picture row 1", "RAPS  12", kPictureGroup},
    CommandButton{"Command70", "Picture row 1", "RAPS  13", kPictureGroup},
    CommandButton{"Command71", "Picture row 2", "RBSR   1", kPictureGroup},
    CommandButton{"Command72", "Picture row 2", "RBSR   3", kPictureGroup},
    CommandButton{"Command73", "Picture row 2", "RBSR   6", kPictureGroup},
    CommandButton{"Command74", "Picture row 2", "RBSR   2", kPictureGroup},
    CommandButton{"Command75", "Picture row 2", "RBPS  10", kPictureGroup},
    CommandButton{"Command76", "Picture row 2", "RBPS  11", kPictureGroup},
    CommandButton{"Command77", "Picture row 2", "RBPS  12", kPictureGroup},
    CommandButton{"Command78", "Picture row 2", "RBPS  13", kPictureGroup},
    CommandButton{"Command79", "Picture row 3", "RASV   1", kPictureGroup},
    CommandButton{"Command80", "Picture row 3", "CF INPUT3 ANALOG", kPictureGroup},
    CommandButton{"Command81", "Picture row 3", "RASV   3", kPictureGroup},
    CommandButton{"Command82", "Picture row 3", "RASV   2", kPictureGroup},
    CommandButton{"Command83", "Picture row 3", "VAPS  10", kPictureGroup},
    CommandButton{"Command84", "Picture row 3", "VAPS  11", kPictureGroup},
    CommandButton{"Command85", "Picture row 3", "VAPS  12", kPictureGroup},
    CommandButton{"Command86", "Picture row 3", "VAPS  13", kPictureGroup},
    CommandButton{"Command87", "Picture row 4", "RBSV   1", kPictureGroup},
    CommandButton{"Command88", "Picture row 4", "CF INPUT4 ANALOG", kPictureGroup},
    CommandButton{"Command89", "Picture row 4", "RBSV   3", kPictureGroup},
    CommandButton{"Command90", "Picture row 4", "RBSV   2", kPictureGroup},
    CommandButton{"Command91", "Picture row 4", "VBPS  10", kPictureGroup},
    CommandButton{"Command92", "Picture row 4", "VBPS  11", kPictureGroup},
    CommandButton{"Command93", "Picture row 4", "VBPS  12", kPictureGroup},
    CommandButton{"Command94", "Picture row 4", "VBPS  13", kPictureGroup},
};
static_assert(kCommandButtons.size() == 75);

// A screen reader names a button by its group, then its caption. The two picture-group
// buttons without a caption stand in the "D by D" column and are named by it.
inline constexpr std::string_view kCaptionlessColumn = "D by D";

} // namespace qpv
