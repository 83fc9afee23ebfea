#pragma once

#include <array>
#include <string_view>

namespace qpv {

// One command button: the control it is on the panel, the group it belongs to (how operators
// and screen readers tell equal captions apart) and the exact command it sends.
struct CommandButton {
    std::string_view control;
    std::string_view group;
    std::string_view caption; // as the control table has it (checked when the panel is built)
    std::string_view command;
    // The picture group's buttons, its four rows, lengthen the reply timers before sending.
    bool pictureGroup = false;
};

inline constexpr bool kPictureGroup = true;

// The blanks inside commands are part of them: one-digit arguments have three blanks before
// them, two-digit arguments two, and "????" none.
inline constexpr std::array kCommandButtons = {
    CommandButton{"Command17", "POWER", "ON", "POWR   1"},
    CommandButton{"Command18", "POWER", "OFF", "POWR   0"},
    CommandButton{"Command27", "INPUT MODE SET", "1.RGB", "IRGB   1"},
    CommandButton{"Command28", "INPUT MODE SET", "2.RGB", "IRGB   2"},
    CommandButton{"Command29", "INPUT MODE SET", "3.VIDEO", "IVED   1"},
    CommandButton{"Command53", "INPUT MODE SET", "4.S-VIDEO", "IVED   2"},
    CommandButton{"Command23", "OSD", "ON", "IMDI   1"},
    CommandButton{"Command24", "OSD", "OFF", "IMDI   0"},
    CommandButton{"Command19", "Inside SP", "ON", "ASPK   1"},
    CommandButton{"Command20", "Inside SP", "OFF", "ASPK   0"},
    CommandButton{"Command21", "AV MUTE", "ON", "IMBK   1"},
    CommandButton{"Command22", "AV MUTE", "OFF", "IMBK   0"},
    CommandButton{"Command25", "FREEZE", "ON", "FREZ   1"},
    CommandButton{"Command26", "FREEZE", "OFF", "FREZ   0"},
    CommandButton{"Command31", "IRIS", "Bright", "IRIS   1"},
    CommandButton{"Command32", "IRIS", "Contrast", "IRIS   3"},
    CommandButton{"Command30", "", "AUTO Focus", "AFST   1"},
    CommandButton{"Command13", "", "A-IMAGE", "ADJS   1"},
    CommandButton{"Command4", "Signal Type 1", "AUTO", "IASI   0"},
    CommandButton{"Command39", "Signal Type 1", "RGB", "IASI   1"},
    CommandButton{"Command40", "Signal Type 1", "Component", "IASI   2"},
    CommandButton{"Command10", "Signal Type 2", "AUTO", "IBSI   0"},
    CommandButton{"Command11", "Signal Type 2", "RGB", "IBSI   1"},
    CommandButton{"Command41", "Signal Type 2", "Component", "IBSI   2"},
    CommandButton{"Command57", "LAMP SELECT", "Normal", "THMD   0"},
    CommandButton{"Command58", "LAMP SELECT", "ECO", "THMD   1"},
    CommandButton{"Command44", "", "PJ-Status", "TABN   1"},
    CommandButton{"Command45", "", "LAMP-Status", "TLPS   1"},
    CommandButton{"Command46", "", "LAMP-TIME", "TLTT   1"},
    CommandButton{"Command47", "", "POWER-Status", "POWR????"},
    CommandButton{"Command1", "VOLUME", "0", "VOLA  00"},
    CommandButton{"Command2", "VOLUME", "5", "VOLA  05"},
    CommandButton{"Command3", "VOLUME", "10", "VOLA  10"},
    CommandButton{"Command5", "VOLUME", "15", "VOLA  15"},
    CommandButton{"Command6", "VOLUME", "20", "VOLA  20"},
    CommandButton{"Command7", "VOLUME", "25", "VOLA  25"},
    CommandButton{"Command8", "VOLUME", "30", "VOLA  30"},
    CommandButton{"Command9", "VOLUME", "35", "VOLA  35"},
    CommandButton{"Command12", "VOLUME", "40", "VOLA  40"},
    CommandButton{"Command14", "VOLUME", "45", "VOLA  45"},
    CommandButton{"Command15", "VOLUME", "50", "VOLA  50"},
    CommandButton{"Command35", "VOLUME", "55", "VOLA  55"},
    CommandButton{"Command36", "VOLUME", "60", "VOLA  60"},
    CommandButton{"Command63", "Picture row 1", "Normal", "RASR   1", kPictureGroup},
    CommandButton{"Command64", "Picture row 1", "D by D", "RASR   3", kPictureGroup},
    CommandButton{"Command65", "Picture row 1", "Border", "RASR   6", kPictureGroup},
    CommandButton{"Command66", "Picture row 1", "Stretch", "RASR   2", kPictureGroup},
    CommandButton{"Command67", "Picture row 1", "Standard", "RAPS  10", kPictureGroup},
    CommandButton{"Command68", "Picture row 1", "Presentation", "RAPS  11", kPictureGroup},
    CommandButton{"Command69", "Picture row 1", "Cinema", "RAPS  12", kPictureGroup},
    CommandButton{"Command70", "Picture row 1", "Game", "RAPS  13", kPictureGroup},
    CommandButton{"Command71", "Picture row 2", "Normal", "RBSR   1", kPictureGroup},
    CommandButton{"Command72", "Picture row 2", "D by D", "RBSR   3", kPictureGroup},
    CommandButton{"Command73", "Picture row 2", "Border", "RBSR   6", kPictureGroup},
    CommandButton{"Command74", "Picture row 2", "Stretch", "RBSR   2", kPictureGroup},
    CommandButton{"Command75", "Picture row 2", "Standard", "RBPS  10", kPictureGroup},
    CommandButton{"Command76", "Picture row 2", "Presentation", "RBPS  11", kPictureGroup},
    CommandButton{"Command77", "Picture row 2", "Cinema", "RBPS  12", kPictureGroup},
    CommandButton{"Command78", "Picture row 2", "Game", "RBPS  13", kPictureGroup},
    CommandButton{"Command79", "Picture row 3", "Normal", "RASV   1", kPictureGroup},
    CommandButton{"Command80", "Picture row 3", "", "CF INPUT3 ANALOG", kPictureGroup},
    CommandButton{"Command81", "Picture row 3", "Border", "RASV   3", kPictureGroup},
    CommandButton{"Command82", "Picture row 3", "Stretch", "RASV   2", kPictureGroup},
    CommandButton{"Command83", "Picture row 3", "Standard", "VAPS  10", kPictureGroup},
    CommandButton{"Command84", "Picture row 3", "Presentation", "VAPS  11", kPictureGroup},
    CommandButton{"Command85", "Picture row 3", "Cinema", "VAPS  12", kPictureGroup},
    CommandButton{"Command86", "Picture row 3", "Game", "VAPS  13", kPictureGroup},
    CommandButton{"Command87", "Picture row 4", "Normal", "RBSV   1", kPictureGroup},
    CommandButton{"Command88", "Picture row 4", "", "CF INPUT4 ANALOG", kPictureGroup},
    CommandButton{"Command89", "Picture row 4", "Border", "RBSV   3", kPictureGroup},
    CommandButton{"Command90", "Picture row 4", "Stretch", "RBSV   2", kPictureGroup},
    CommandButton{"Command91", "Picture row 4", "Standard", "VBPS  10", kPictureGroup},
    CommandButton{"Command92", "Picture row 4", "Presentation", "VBPS  11", kPictureGroup},
    CommandButton{"Command93", "Picture row 4", "Cinema", "VBPS  12", kPictureGroup},
    CommandButton{"Command94", "Picture row 4", "Game", "VBPS  13", kPictureGroup},
};
static_assert(kCommandButtons.size() == 75);

// A screen reader names a button by its group, then its caption. The two picture-group
// buttons without a caption stand in the "D by D" column and are named by it.
inline constexpr std::string_view kCaptionlessColumn = "D by D";

} // namespace qpv
