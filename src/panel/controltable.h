#pragma once

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <string_view>

namespace qpv {

enum class ControlKind : std::uint8_t { Group, Label, Line, Button, Option, TextBox, Image };

// The panel's two faces: a fixed-pitch Japanese gothic and its proportional sibling.
// Window: the window's own font (gothic, 9 pt, bold).
enum class Face : std::uint8_t { Window, Gothic, PGothic };

struct FontSpec {
    Face face = Face::Window;
    std::uint16_t centiPoints = 0; // 825 is 8.25 pt
    bool bold = false;
};

inline constexpr std::uint32_t kButtonFace = 0xFF000000; // the platform's normal button colour

enum ControlFlag : std::uint8_t {
    kHidden = 1,       // not visible at start
    kCentred = 2,      // caption centred
    kRightAligned = 4, // caption right-aligned
    kSelected = 8,     // option marked at design time
};

// A control's place in twips, relative to its parent (the window's client area, or the group
// holding the control).
struct Place {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kGrey = 0xC0C0C0;      // the window, its groups and labels
inline constexpr std::uint32_t kGreen = 0xC0FFC0;     // ON, and the colour of SEND and "Normal"
inline constexpr std::uint32_t kRed = 0xFFC0C0;       // OFF, and the colour of CLS and "ECO"
inline constexpr std::uint32_t kCyan = 0xC0FFFF;      // ordinary command buttons, VOLUME 0 and 5
inline constexpr std::uint32_t kPaleAqua = 0x80FFFF;  // VOLUME 10 to 20
inline constexpr std::uint32_t kAqua = 0x00FFFF;      // VOLUME 25 to 35
inline constexpr std::uint32_t kTeal = 0x00C0C0;      // VOLUME 40 to 50, A-IMAGE
inline constexpr std::uint32_t kDarkTeal = 0x008080;  // VOLUME 55 and 60
inline constexpr std::uint32_t kDarkRed = 0xC00000;   // the POWER caption
inline constexpr std::uint32_t kBrightRed = 0xFF0000; // the STATUS line's text

inline constexpr FontSpec kWin{};
inline constexpr FontSpec kG825{Face::Gothic, 825, false};
inline constexpr FontSpec kG9{Face::Gothic, 900, false};
inline constexpr FontSpec kG975{Face::Gothic, 975, false};
inline constexpr FontSpec kG975B{Face::Gothic, 975, true};
inline constexpr FontSpec kP9{Face::PGothic, 900, false};
inline constexpr FontSpec kP9B{Face::PGothic, 900, true};
inline constexpr FontSpec kP975B{Face::PGothic, 975, true};

// One control of the panel as designed: everything the window and screen readers know of it.
struct Control {
    std::string_view name;
    std::string_view parent; // "" for the window
    ControlKind kind;
    std::string_view caption;
    Place place;
    std::uint32_t back; // #RRGGBB, or kButtonFace
    std::uint32_t fore = kBlack;
    FontSpec font;
    int tabIndex = -1; // -1 for controls without one
    std::uint8_t flags = 0;
    // What a screen reader calls a control without a caption of its own, and what it says of a
    // control whose caption alone does not tell what it does. Command buttons are named by
    // their group and caption.
    std::string_view spokenName = {};
    std::string_view description = {};
    std::string_view names = {}; // for a caption: the control beside it that it names

    constexpr Control withFore(std::uint32_t colour) const
    {
        Control c = *this;
        c.fore = colour;
        return c;
    }
    constexpr Control spoken(std::string_view as, std::string_view what = {}) const
    {
        Control c = *this;
        c.spokenName = as;
        c.description = what;
        return c;
    }
    constexpr Control describedAs(std::string_view what) const { return spoken({}, what); }
    constexpr Control naming(std::string_view control) const
    {
        Control c = *this;
        c.names = control;
        return c;
    }
};

// One helper for each kind of control: what all controls of a kind share is written once.
constexpr Control group(std::string_view name, std::string_view parent, Place place, FontSpec font,
                        int tab, std::uint8_t flags = 0)
{
    return {name, parent, ControlKind::Group, {}, place, kGrey, kBlack, font, tab, flags};
}
constexpr Control label(std::string_view name, std::string_view parent, std::string_view caption,
                        Place place, FontSpec font, int tab, std::uint8_t flags = 0)
{
    return {name, parent, ControlKind::Label, caption, place, kGrey, kBlack, font, tab, flags};
}
constexpr Control button(std::string_view name, std::string_view parent, std::string_view caption,
                         Place place, std::uint32_t back, FontSpec font, int tab,
                         std::uint8_t flags = 0)
{
    return {name, parent, ControlKind::Button, caption, place, back, kBlack, font, tab, flags};
}
constexpr Control option(std::string_view name, std::string_view parent, std::string_view caption,
                         Place place, int tab, std::uint8_t flags = 0)
{
    return {name, parent, ControlKind::Option, caption, place, kGrey, kBlack, kWin, tab, flags};
}
// A traffic display line: white, bordered.
constexpr Control line(std::string_view name, std::string_view parent, Place place, FontSpec font,
                       int tab)
{
    return {name, parent, ControlKind::Line, {}, place, kWhite, kBlack, font, tab};
}
constexpr Control textBox(std::string_view name, std::string_view parent, Place place,
                          FontSpec font, int tab)
{
    return {name, parent, ControlKind::TextBox, {}, place, kWhite, kBlack, font, tab};
}
constexpr Control image(std::string_view name, std::string_view parent, Place place)
{
    return {name, parent, ControlKind::Image, {}, place, kGrey, kBlack, kWin, -1};
}

// Every control, parents before their children.
// clang-format off
inline constexpr std::array kControls = {
    group("Frame1", "", {120, 240, 1695, 975}, kP9, 0),
    group("Frame2", "", {1920, 240, 3735, 975}, kP9, 3),
    group("Frame3", "", {120, 1320, 1695, 855}, kP9, 5),
    group("Frame4", "", {1920, 1320, 1575, 855}, kP9, 7),
    group("Frame5", "", {5280, 1320, 2055, 855}, kP9, 9),
    group("Frame6", "", {5760, 240, 1575, 975}, kP9, 11),
    group("Frame7", "", {3600, 1320, 1575, 855}, kP9, 13),
    button("Command13", "", "A-IMAGE", {7800, 1920, 975, 250}, kTeal, kG9, 15),
    button("Command16", "", "END", {8400, 4320, 975, 375}, kGrey, kWin, 16)
        .describedAs(QT_TRANSLATE_NOOP("Control", "Closes the port and ends the program")),
    button("Command33", "", "COM", {4080, 4200, 1815, 375}, kButtonFace, kP9, 31)
        .describedAs(QT_TRANSLATE_NOOP("Control", "Opens the port and speed settings")),
    group("Frame8", "", {3480, 3600, 2775, 1185}, kP9, 32, kHidden)
        .spoken(QT_TRANSLATE_NOOP("Control", "COM settings"),
                QT_TRANSLATE_NOOP("Control", "The port and its speed; closes after a choice")),
    group("Frame9", "", {45, 4920, 6312, 1290}, kP9, 35)
        .spoken(QT_TRANSLATE_NOOP("Control", "Traffic"),
                QT_TRANSLATE_NOOP("Control",
                                  "What was sent, what came back, and the decoded status")),
    button("Command34", "", "データを表示する", {6615, 5040, 1200, 375}, kGrey, kP9, 40, kHidden)
        .describedAs(QT_TRANSLATE_NOOP("Control", "Shows or hides the traffic display")),
    button("Command44", "", "PJ-Status", {6480, 5640, 1335, 255}, kCyan, kG825, 41),
    button("Command45", "", "LAMP-Status", {7800, 5880, 1215, 255}, kCyan, kG825, 42),
    button("Command46", "", "LAMP-TIME", {7800, 5640, 1215, 255}, kCyan, kG825, 43),
    button("Command47", "", "POWER-Status", {6480, 5880, 1335, 255}, kCyan, kG825, 44),
    button("Command57", "", "Normal", {6600, 4320, 720, 372}, kGreen, kG9, 46),
    button("Command58", "", "ECO", {7320, 4320, 720, 372}, kRed, kG9, 47),
    button("Command30", "", "AUTO Focus", {7560, 1560, 1215, 255}, kGreen, kG9, 48),
    group("Frame14", "", {120, 2280, 8655, 1320}, kWin, 52)
        .spoken(QT_TRANSLATE_NOOP("Control", "Picture"),
                QT_TRANSLATE_NOOP("Control", "Picture modes in four rows")),
    group("Frame15", "", {120, 7680, 7215, 570}, kWin, 88)
        .spoken("CMD", QT_TRANSLATE_NOOP("Control", "Free-text command")),
    button("Command4", "", "AUTO", {360, 4320, 855, 255}, kCyan, kWin, 96),
    button("Command10", "", "AUTO", {360, 4560, 855, 255}, kCyan, kWin, 97),
    button("Command11", "", "RGB", {1200, 4560, 735, 255}, kCyan, kWin, 98),
    button("Command39", "", "RGB", {1200, 4320, 735, 255}, kCyan, kWin, 99),
    button("Command40", "", "Component", {1920, 4320, 1335, 255}, kCyan, kWin, 100),
    button("Command41", "", "Component", {1920, 4560, 1335, 255}, kCyan, kWin, 101),
    label("Label27", "", "1", {120, 4320, 255, 255}, kWin, 102),
    label("Label28", "", "2", {120, 4560, 255, 255}, kWin, 103),
    label("Label29", "", "Signal Type:", {120, 4080, 2775, 255}, kWin, 104),
    label("Label3", "", "LAMP SELECT", {6360, 4080, 1815, 375}, kG975B, 105, kCentred),
    group("Frame10", "", {600, 6720, 6495, 855}, kWin, 106),
    image("Image1", "", {8160, 120, 1200, 390})
        .spoken(QT_TRANSLATE_NOOP("Control", "OMTA logo"),
                QT_TRANSLATE_NOOP("Control", "Double-click after Ctrl+J to show the whole panel")),
    label("Label1", "Frame1", "POWER", {240, 240, 1095, 255}, kWin, 2, kCentred).withFore(kDarkRed),
    button("Command17", "Frame1", "ON", {120, 600, 615, 300}, kGreen, kP9B, 1),
    button("Command18", "Frame1", "OFF", {960, 600, 615, 300}, kRed, kP9B, 17),
    label("Label2", "Frame2", "INPUT MODE SET", {840, 240, 1935, 255}, kWin, 4, kCentred),
    button("Command27", "Frame2", "1.RGB", {120, 600, 735, 300}, kCyan, kP9B, 26),
    button("Command28", "Frame2", "2.RGB", {840, 600, 735, 300}, kCyan, kP9B, 27),
    button("Command29", "Frame2", "3.VIDEO", {1560, 600, 975, 300}, kCyan, kP9B, 28),
    button("Command53", "Frame2", "4.S-VIDEO", {2520, 600, 1095, 300}, kCyan, kP9B, 45),
    label("Label4", "Frame3", "Inside SP", {120, 195, 1455, 300}, kWin, 6, kCentred),
    button("Command19", "Frame3", "ON", {120, 480, 615, 300}, kGreen, kP9B, 18),
    button("Command20", "Frame3", "OFF", {960, 480, 615, 300}, kRed, kP9B, 19),
    label("Label5", "Frame4", "AV MUTE", {240, 210, 1095, 285}, kWin, 8, kCentred),
    button("Command21", "Frame4", "ON", {120, 480, 615, 300}, kGreen, kP9B, 20),
    button("Command22", "Frame4", "OFF", {840, 480, 615, 300}, kRed, kP9B, 21),
    label("Label6", "Frame5", "IRIS", {240, 210, 1335, 285}, kWin, 10, kCentred),
    button("Command31", "Frame5", "Bright", {120, 480, 855, 300}, kCyan, kP9, 29),
    button("Command32", "Frame5", "Contrast", {960, 480, 975, 300}, kCyan, kP9, 30),
    label("Label7", "Frame6", "OSD", {360, 240, 975, 255}, kWin, 12, kCentred),
    button("Command23", "Frame6", "ON", {120, 600, 615, 300}, kGreen, kP9B, 22),
    button("Command24", "Frame6", "OFF", {840, 600, 615, 300}, kRed, kP9B, 23),
    label("Label8", "Frame7", "FREEZE", {120, 240, 1215, 285}, kWin, 14, kCentred),
    button("Command25", "Frame7", "ON", {120, 480, 615, 300}, kGreen, kP9B, 24),
    button("Command26", "Frame7", "OFF", {840, 480, 615, 300}, kRed, kP9B, 25),
    label("Label15", "Frame14", "1", {120, 240, 255, 255}, kWin, 84),
    label("Label16", "Frame14", "2", {120, 480, 255, 255}, kWin, 85),
    label("Label24", "Frame14", "3", {120, 720, 255, 255}, kWin, 86),
    label("Label25", "Frame14", "4", {120, 960, 255, 255}, kWin, 87),
    button("Command63", "Frame14", "Normal", {360, 240, 855, 255}, kCyan, kG9, 53),
    button("Command64", "Frame14", "D by D", {1200, 240, 735, 255}, kCyan, kG9, 54),
    button("Command65", "Frame14", "Border", {1920, 240, 975, 255}, kCyan, kG9, 55),
    button("Command66", "Frame14", "Stretch", {2880, 240, 975, 255}, kCyan, kG9, 56),
    button("Command67", "Frame14", "Standard", {4080, 240, 975, 255}, kCyan, kG9, 57),
    button("Command68", "Frame14", "Presentation", {5040, 240, 1455, 255}, kCyan, kG9, 58),
    button("Command69", "Frame14", "Cinema", {6480, 240, 975, 255}, kCyan, kG9, 59),
    button("Command70", "Frame14", "Game", {7440, 240, 975, 255}, kCyan, kG9, 60),
    button("Command71", "Frame14", "Normal", {360, 480, 855, 255}, kCyan, kG9, 61),
    button("Command72", "Frame14", "D by D", {1200, 480, 735, 255}, kCyan, kG9, 62),
    button("Command73", "Frame14", "Border", {1920, 480, 975, 255}, kCyan, kG9, 63),
    button("Command74", "Frame14", "Stretch", {2880, 480, 975, 255}, kCyan, kG9, 64),
    button("Command75", "Frame14", "Standard", {4080, 480, 975, 255}, kCyan, kG9, 65),
    button("Command76", "Frame14", "Presentation", {5040, 480, 1455, 255}, kCyan, kG9, 95),
    button("Command77", "Frame14", "Cinema", {6480, 480, 975, 255}, kCyan, kG9, 66),
    button("Command78", "Frame14", "Game", {7440, 480, 975, 255}, kCyan, kG9, 67),
    button("Command79", "Frame14", "Normal", {360, 720, 855, 255}, kCyan, kG9, 68),
    button("Command80", "Frame14", "", {1200, 720, 735, 255}, kCyan, kG9, 69),
    button("Command81", "Frame14", "Border", {1920, 720, 975, 255}, kCyan, kG9, 70),
    button("Command82", "Frame14", "Stretch", {2880, 720, 975, 255}, kCyan, kG9, 71),
    button("Command83", "Frame14", "Standard", {4080, 720, 975, 255}, kCyan, kG9, 72),
    button("Command84", "Frame14", "Presentation", {5040, 720, 1455, 255}, kCyan, kG9, 73),
    button("Command85", "Frame14", "Cinema", {6480, 720, 975, 255}, kCyan, kG9, 74),
    button("Command86", "Frame14", "Game", {7440, 720, 975, 255}, kCyan, kG9, 75),
    button("Command87", "Frame14", "Normal", {360, 960, 855, 255}, kCyan, kG9, 76),
    button("Command88", "Frame14", "", {1200, 960, 735, 255}, kCyan, kG9, 77),
    button("Command89", "Frame14", "Border", {1920, 960, 975, 255}, kCyan, kG9, 78),
    button("Command90", "Frame14", "Stretch", {2880, 960, 975, 255}, kCyan, kG9, 79),
    button("Command91", "Frame14", "Standard", {4080, 960, 975, 255}, kCyan, kG9, 80),
    button("Command92", "Frame14", "Presentation", {5040, 960, 1455, 255}, kCyan, kG9, 81),
    button("Command93", "Frame14", "Cinema", {6480, 960, 975, 255}, kCyan, kG9, 82),
    button("Command94", "Frame14", "Game", {7440, 960, 975, 255}, kCyan, kG9, 83),
    option("Option1", "Frame8", "COM1", {240, 240, 1215, 255}, 33),
    option("Option2", "Frame8", "COM2", {1560, 240, 1095, 255}, 34),
    group("Frame13", "Frame8", {120, 480, 2535, 615}, kWin, 49)
        .spoken(QT_TRANSLATE_NOOP("Control", "Speed")),
    option("Option9", "Frame13", "115200", {120, 240, 1095, 255}, 50),
    option("Option10", "Frame13", "9600", {1440, 240, 975, 300}, 51, kSelected),
    label("Label9", "Frame9", "TXD", {105, 210, 390, 285}, kG9, 36, kRightAligned)
        .naming("Label11"),
    line("Label11", "Frame9", {600, 180, 5610, 300}, kP975B, 38)
        .describedAs(
            QT_TRANSLATE_NOOP("Control", "TXD: the command sent, each character made visible")),
    label("Label10", "Frame9", "RXD", {60, 540, 450, 300}, kG9, 37, kRightAligned)
        .naming("Label12"),
    line("Label12", "Frame9", {600, 540, 5616, 300}, kP975B, 39)
        .describedAs(
            QT_TRANSLATE_NOOP("Control", "RXD: the reply received, each character made visible")),
    label("Label23", "Frame9", "STATUS", {120, 1005, 795, 225}, kG825, 94).naming("Label22"),
    line("Label22", "Frame9", {930, 900, 5295, 300}, kP9B, 93).withFore(kBrightRed)
        .describedAs(QT_TRANSLATE_NOOP("Control", "STATUS: the decoded reply")),
    label("Label13", "Frame10", "VOLUME", {120, 240, 1455, 255}, kWin, 120, kCentred),
    button("Command1", "Frame10", "0", {120, 480, 495, 255}, kCyan, kWin, 107),
    button("Command2", "Frame10", "5", {600, 480, 495, 255}, kCyan, kWin, 108),
    button("Command3", "Frame10", "10", {1080, 480, 495, 255}, kPaleAqua, kWin, 109),
    button("Command5", "Frame10", "15", {1560, 480, 495, 255}, kPaleAqua, kWin, 110),
    button("Command6", "Frame10", "20", {2040, 480, 495, 255}, kPaleAqua, kWin, 111),
    button("Command7", "Frame10", "25", {2520, 480, 495, 255}, kAqua, kWin, 112),
    button("Command8", "Frame10", "30", {3000, 480, 495, 255}, kAqua, kWin, 113),
    button("Command9", "Frame10", "35", {3480, 480, 495, 255}, kAqua, kWin, 114),
    button("Command12", "Frame10", "40", {3960, 480, 495, 255}, kTeal, kWin, 115),
    button("Command14", "Frame10", "45", {4440, 480, 495, 255}, kTeal, kWin, 116),
    button("Command15", "Frame10", "50", {4920, 480, 495, 255}, kTeal, kWin, 117),
    button("Command35", "Frame10", "55", {5400, 480, 495, 255}, kDarkTeal, kWin, 118),
    button("Command36", "Frame10", "60", {5880, 480, 495, 255}, kDarkTeal, kWin, 119),
    label("Label26", "Frame15", "CMD", {120, 240, 495, 255}, kG975, 92).naming("Text1"),
    textBox("Text1", "Frame15", {600, 165, 5055, 345}, kG975B, 89)
        .spoken("CMD", QT_TRANSLATE_NOOP("Control", "Free-text command, sent unchanged with SEND")),
    button("Command95", "Frame15", "SEND", {5760, 240, 735, 255}, kGreen, kWin, 90)
        .describedAs(QT_TRANSLATE_NOOP("Control", "Sends the CMD text")),
    button("Command96", "Frame15", "CLS", {6480, 240, 615, 255}, kRed, kWin, 91)
        .describedAs(QT_TRANSLATE_NOOP("Control", "Empties the CMD text")),
};
// clang-format on
static_assert(kControls.size() == 122);

// The place of a control in kControls, or kControls.size() for a name that is not there.
constexpr std::size_t findControl(std::string_view name)
{
    std::size_t i = 0;
    while (i < kControls.size() && kControls[i].name != name)
        ++i;
    return i;
}

// The same where a constant is needed: a name that is not in the table does not compile.
consteval std::size_t controlIndex(std::string_view name)
{
    const std::size_t i = findControl(name);
    if (i == kControls.size())
        throw "not a control of the panel";
    return i;
}

// A control named in code: checked against the table when the program is compiled.
struct ControlId {
    consteval ControlId(const char* name)
        : index(controlIndex(name))
    {
    }
    std::size_t index;
};

// The window as designed.
inline constexpr int kClientWidthTwips = 9495;
inline constexpr int kClientHeightTwips = 8730;
inline constexpr FontSpec kWindowFont{Face::Gothic, 900, true};

// Twips and pixels at 96 dpi (15 twips to the pixel), the one conversion of the panel, both
// ways; twips round to the nearest pixel.
constexpr int twipsToPixels(double twips)
{
    const double pixels = twips / 15.0;
    return static_cast<int>(pixels >= 0 ? pixels + 0.5 : pixels - 0.5);
}
constexpr int pixelsToTwips(int pixels)
{
    return pixels * 15;
}

} // namespace qpv
