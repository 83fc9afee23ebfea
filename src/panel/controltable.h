#pragma once

#include <cstdint>
#include <span>
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
    kHidden = 1,        // not visible at start
    kCentred = 2,       // caption centred
    kRightAligned = 4,  // caption right-aligned
    kBorder = 8,        // single border
    kSelected = 16,     // option marked at design time
};

// One control of the panel as designed. Positions are in twips relative to the parent
// (the window's client area, or the group holding the control).
struct Control {
    std::string_view name;
    std::string_view parent; // "" for the window
    ControlKind kind;
    std::string_view caption;
    int left;
    int top;
    int width;
    int height;
    std::uint32_t back; // #RRGGBB, or kButtonFace
    std::uint32_t fore; // #RRGGBB
    FontSpec font;
    int tabIndex; // -1 for controls without one
    std::uint8_t flags = 0;
};

// Every control, parents before their children.
std::span<const Control> controlTable();

// The window as designed.
inline constexpr int kClientWidthTwips = 9495;
inline constexpr int kClientHeightTwips = 8730;
inline constexpr std::uint32_t kWindowBack = 0xC0C0C0;
inline constexpr FontSpec kWindowFont{Face::Gothic, 900, true};

// Twips to pixels at 96 dpi, the one conversion of the panel.
constexpr int twipsToPixels(double twips)
{
    const double pixels = twips / 15.0;
    return static_cast<int>(pixels >= 0 ? pixels + 0.5 : pixels - 0.5);
}

} // namespace qpv
