#include "panel/controltable.h"

#include <iterator>

namespace qpv {

namespace {

constexpr std::uint32_t kGrey = 0xC0C0C0;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGreen = 0xC0FFC0; // ON, and the colour of SEND and "Normal"
constexpr std::uint32_t kRed = 0xFFC0C0;   // OFF, and the colour of CLS and "ECO"
constexpr std::uint32_t kCyan = 0xC0FFFF;  // ordinary command buttons

constexpr FontSpec kWin{};
constexpr FontSpec kG825{Face::Gothic, 825, false};
constexpr FontSpec kG9{Face::Gothic, 900, false};
constexpr FontSpec kG975{Face::Gothic, 975, false};
constexpr FontSpec kG975B{Face::Gothic, 975, true};
constexpr FontSpec kP9{Face::PGothic, 900, false};
constexpr FontSpec kP9B{Face::PGothic, 900, true};
constexpr FontSpec kP975B{Face::PGothic, 975, true};

// clang-format off
constexpr Control kControls[] = {
    {"Frame1", "", ControlKind::Group, "", 120, 240, 1695, 975, kGrey, kBlack, kP9, 0, 0},
    {"Frame2", "", ControlKind::Group, "", 1920, 240, 3735, 975, kGrey, kBlack, kP9, 3, 0},
    {"Frame3", "", ControlKind::Group, "", 120, 1320, 1695, 855, kGrey, kBlack, kP9, 5, 0},
    {"Frame4", "", ControlKind::Group, "", 1920, 1320, 1575, 855, kGrey, kBlack, kP9, 7, 0},
    {"Frame5", "", ControlKind::Group, "", 5280, 1320, 2055, 855, kGrey, kBlack, kP9, 9, 0},
    {"Frame6", "", ControlKind::Group, "", 5760, 240, 1575, 975, kGrey, kBlack, kP9, 11, 0},
    {"Frame7", "", ControlKind::Group, "", 3600, 1320, 1575, 855, kGrey, kBlack, kP9, 13, 0},
    {"Command13", "", ControlKind::Button, "A-IMAGE", 7800, 1920, 975, 250, 0x00C0C0, kBlack, kG9, 15, 0},
    {"Command16", "", ControlKind::Button, "END", 8400, 4320, 975, 375, kGrey, kBlack, kWin, 16, 0},
    {"Command33", "", ControlKind::Button, "COM", 4080, 4200, 1815, 375, kButtonFace, kBlack, kP9, 31, 0},
    {"Frame8", "", ControlKind::Group, "", 3480, 3600, 2775, 1185, kGrey, kBlack, kP9, 32, kHidden},
    {"Frame9", "", ControlKind::Group, "", 45, 4920, 6312, 1290, kGrey, kBlack, kP9, 35, 0},
    {"Command34", "", ControlKind::Button, "データを表示する", 6615, 5040, 1200, 375, kGrey, kBlack, kP9, 40, kHidden},
    {"Command44", "", ControlKind::Button, "PJ-Status", 6480, 5640, 1335, 255, kCyan, kBlack, kG825, 41, 0},
    {"Command45", "", ControlKind::Button, "LAMP-Status", 7800, 5880, 1215, 255, kCyan, kBlack, kG825, 42, 0},
    {"Command46", "", ControlKind::Button, "LAMP-TIME", 7800, 5640, 1215, 255, kCyan, kBlack, kG825, 43, 0},
    {"Command47", "", ControlKind::Button, "POWER-Status", 6480, 5880, 1335, 255, kCyan, kBlack, kG825, 44, 0},
    {"Command57", "", ControlKind::Button, "Normal", 6600, 4320, 720, 372, kGreen, kBlack, kG9, 46, 0},
    {"Command58", "", ControlKind::Button, "ECO", 7320, 4320, 720, 372, kRed, kBlack, kG9, 47, 0},
    {"Command30", "", ControlKind::Button, "AUTO Focus", 7560, 1560, 1215, 255, kGreen, kBlack, kG9, 48, 0},
    {"Frame14", "", ControlKind::Group, "", 120, 2280, 8655, 1320, kGrey, kBlack, kWin, 52, 0},
    {"Frame15", "", ControlKind::Group, "", 120, 7680, 7215, 570, kGrey, kBlack, kWin, 88, 0},
    {"Command4", "", ControlKind::Button, "AUTO", 360, 4320, 855, 255, kCyan, kBlack, kWin, 96, 0},
    {"Command10", "", ControlKind::Button, "AUTO", 360, 4560, 855, 255, kCyan, kBlack, kWin, 97, 0},
    {"Command11", "", ControlKind::Button, "RGB", 1200, 4560, 735, 255, kCyan, kBlack, kWin, 98, 0},
    {"Command39", "", ControlKind::Button, "RGB", 1200, 4320, 735, 255, kCyan, kBlack, kWin, 99, 0},
    {"Command40", "", ControlKind::Button, "Component", 1920, 4320, 1335, 255, kCyan, kBlack, kWin, 100, 0},
    {"Command41", "", ControlKind::Button, "Component", 1920, 4560, 1335, 255, kCyan, kBlack, kWin, 101, 0},
    {"Label27", "", ControlKind::Label, "1", 120, 4320, 255, 255, kGrey, kBlack, kWin, 102, 0},
    {"Label28", "", ControlKind::Label, "2", 120, 4560, 255, 255, kGrey, kBlack, kWin, 103, 0},
    {"Label29", "", ControlKind::Label, "Signal Type:", 120, 4080, 2775, 255, kGrey, kBlack, kWin, 104, 0},
    {"Label3", "", ControlKind::Label, "LAMP SELECT", 6360, 4080, 1815, 375, kGrey, kBlack, kG975B, 105, kCentred},
    {"Frame10", "", ControlKind::Group, "", 600, 6720, 6495, 855, kGrey, kBlack, kWin, 106, 0},
    {"Image1", "", ControlKind::Image, "", 8160, 120, 1200, 390, kGrey, kBlack, kWin, -1, 0},
    {"Label1", "Frame1", ControlKind::Label, "POWER", 240, 240, 1095, 255, kGrey, 0xC00000, kWin, 2, kCentred},
    {"Command17", "Frame1", ControlKind::Button, "ON", 120, 600, 615, 300, kGreen, kBlack, kP9B, 1, 0},
    {"Command18", "Frame1", ControlKind::Button, "OFF", 960, 600, 615, 300, kRed, kBlack, kP9B, 17, 0},
    {"Label2", "Frame2", ControlKind::Label, "INPUT MODE SET", 840, 240, 1935, 255, kGrey, kBlack, kWin, 4, kCentred},
    {"Command27", "Frame2", ControlKind::Button, "1.RGB", 120, 600, 735, 300, kCyan, kBlack, kP9B, 26, 0},
    {"Command28", "Frame2", ControlKind::Button, "2.RGB", 840, 600, 735, 300, kCyan, kBlack, kP9B, 27, 0},
    {"Command29", "Frame2", ControlKind::Button, "3.VIDEO", 1560, 600, 975, 300, kCyan, kBlack, kP9B, 28, 0},
    {"Command53", "Frame2", ControlKind::Button, "4.S-VIDEO", 2520, 600, 1095, 300, kCyan, kBlack, kP9B, 45, 0},
    {"Label4", "Frame3", ControlKind::Label, "Inside SP", 120, 195, 1455, 300, kGrey, kBlack, kWin, 6, kCentred},
    {"Command19", "Frame3", ControlKind::Button, "ON", 120, 480, 615, 300, kGreen, kBlack, kP9B, 18, 0},
    {"Command20", "Frame3", ControlKind::Button, "OFF", 960, 480, 615, 300, kRed, kBlack, kP9B, 19, 0},
    {"Label5", "Frame4", ControlKind::Label, "AV MUTE", 240, 210, 1095, 285, kGrey, kBlack, kWin, 8, kCentred},
    {"Command21", "Frame4", ControlKind::Button, "ON", 120, 480, 615, 300, kGreen, kBlack, kP9B, 20, 0},
    {"Command22", "Frame4", ControlKind::Button, "OFF", 840, 480, 615, 300, kRed, kBlack, kP9B, 21, 0},
    {"Label6", "Frame5", ControlKind::Label, "IRIS", 240, 210, 1335, 285, kGrey, kBlack, kWin, 10, kCentred},
    {"Command31", "Frame5", ControlKind::Button, "Bright", 120, 480, 855, 300, kCyan, kBlack, kP9, 29, 0},
    {"Command32", "Frame5", ControlKind::Button, "Contrast", 960, 480, 975, 300, kCyan, kBlack, kP9, 30, 0},
    {"Label7", "Frame6", ControlKind::Label, "OSD", 360, 240, 975, 255, kGrey, kBlack, kWin, 12, kCentred},
    {"Command23", "Frame6", ControlKind::Button, "ON", 120, 600, 615, 300, kGreen, kBlack, kP9B, 22, 0},
    {"Command24", "Frame6", ControlKind::Button, "OFF", 840, 600, 615, 300, kRed, kBlack, kP9B, 23, 0},
    {"Label8", "Frame7", ControlKind::Label, "FREEZE", 120, 240, 1215, 285, kGrey, kBlack, kWin, 14, kCentred},
    {"Command25", "Frame7", ControlKind::Button, "ON", 120, 480, 615, 300, kGreen, kBlack, kP9B, 24, 0},
    {"Command26", "Frame7", ControlKind::Button, "OFF", 840, 480, 615, 300, kRed, kBlack, kP9B, 25, 0},
    {"Label15", "Frame14", ControlKind::Label, "1", 120, 240, 255, 255, kGrey, kBlack, kWin, 84, 0},
    {"Label16", "Frame14", ControlKind::Label, "2", 120, 480, 255, 255, kGrey, kBlack, kWin, 85, 0},
    {"Label24", "Frame14", ControlKind::Label, "3", 120, 720, 255, 255, kGrey, kBlack, kWin, 86, 0},
    {"Label25", "Frame14", ControlKind::Label, "4", 120, 960, 255, 255, kGrey, kBlack, kWin, 87, 0},
    {"Command63", "Frame14", ControlKind::Button, "Normal", 360, 240, 855, 255, kCyan, kBlack, kG9, 53, 0},
    {"Command64", "Frame14", ControlKind::Button, "D by D", 1200, 240, 735, 255, kCyan, kBlack, kG9, 54, 0},
    {"Command65", "Frame14", ControlKind::Button, "Border", 1920, 240, 975, 255, kCyan, kBlack, kG9, 55, 0},
    {"Command66", "Frame14", ControlKind::Button, "Stretch", 2880, 240, 975, 255, kCyan, kBlack, kG9, 56, 0},
    {"Command67", "Frame14", ControlKind::Button, "Standard", 4080, 240, 975, 255, kCyan, kBlack, kG9, 57, 0},
    {"Command68", "Frame14", ControlKind::Button, "Presentation", 5040, 240, 1455, 255, kCyan, kBlack, kG9, 58, 0},
    {"Command69", "Frame14", ControlKind::Button, "Cinema", 6480, 240, 975, 255, kCyan, kBlack, kG9, 59, 0},
    {"Command70", "Frame14", ControlKind::Button, "Game", 7440, 240, 975, 255, kCyan, kBlack, kG9, 60, 0},
    {"Command71", "Frame14", ControlKind::Button, "Normal", 360, 480, 855, 255, kCyan, kBlack, kG9, 61, 0},
    {"Command72", "Frame14", ControlKind::Button, "D by D", 1200, 480, 735, 255, kCyan, kBlack, kG9, 62, 0},
    {"Command73", "Frame14", ControlKind::Button, "Border", 1920, 480, 975, 255, kCyan, kBlack, kG9, 63, 0},
    {"Command74", "Frame14", ControlKind::Button, "Stretch", 2880, 480, 975, 255, kCyan, kBlack, kG9, 64, 0},
    {"Command75", "Frame14", ControlKind::Button, "Standard", 4080, 480, 975, 255, kCyan, kBlack, kG9, 65, 0},
    {"Command76", "Frame14", ControlKind::Button, "Presentation", 5040, 480, 1455, 255, kCyan, kBlack, kG9, 95, 0},
    {"Command77", "Frame14", ControlKind::Button, "Cinema", 6480, 480, 975, 255, kCyan, kBlack, kG9, 66, 0},
    {"Command78", "Frame14", ControlKind::Button, "Game", 7440, 480, 975, 255, kCyan, kBlack, kG9, 67, 0},
    {"Command79", "Frame14", ControlKind::Button, "Normal", 360, 720, 855, 255, kCyan, kBlack, kG9, 68, 0},
    {"Command80", "Frame14", ControlKind::Button, "", 1200, 720, 735, 255, kCyan, kBlack, kG9, 69, 0},
    {"Command81", "Frame14", ControlKind::Button, "Border", 1920, 720, 975, 255, kCyan, kBlack, kG9, 70, 0},
    {"Command82", "Frame14", ControlKind::Button, "Stretch", 2880, 720, 975, 255, kCyan, kBlack, kG9, 71, 0},
    {"Command83", "Frame14", ControlKind::Button, "Standard", 4080, 720, 975, 255, kCyan, kBlack, kG9, 72, 0},
    {"Command84", "Frame14", ControlKind::Button, "Presentation", 5040, 720, 1455, 255, kCyan, kBlack, kG9, 73, 0},
    {"Command85", "Frame14", ControlKind::Button, "Cinema", 6480, 720, 975, 255, kCyan, kBlack, kG9, 74, 0},
    {"Command86", "Frame14", ControlKind::Button, "Game", 7440, 720, 975, 255, kCyan, kBlack, kG9, 75, 0},
    {"Command87", "Frame14", ControlKind::Button, "Normal", 360, 960, 855, 255, kCyan, kBlack, kG9, 76, 0},
    {"Command88", "Frame14", ControlKind::Button, "", 1200, 960, 735, 255, kCyan, kBlack, kG9, 77, 0},
    {"Command89", "Frame14", ControlKind::Button, "Border", 1920, 960, 975, 255, kCyan, kBlack, kG9, 78, 0},
    {"Command90", "Frame14", ControlKind::Button, "Stretch", 2880, 960, 975, 255, kCyan, kBlack, kG9, 79, 0},
    {"Command91", "Frame14", ControlKind::Button, "Standard", 4080, 960, 975, 255, kCyan, kBlack, kG9, 80, 0},
    {"Command92", "Frame14", ControlKind::Button, "Presentation", 5040, 960, 1455, 255, kCyan, kBlack, kG9, 81, 0},
    {"Command93", "Frame14", ControlKind::Button, "Cinema", 6480, 960, 975, 255, kCyan, kBlack, kG9, 82, 0},
    {"Command94", "Frame14", ControlKind::Button, "Game", 7440, 960, 975, 255, kCyan, kBlack, kG9, 83, 0},
    {"Option1", "Frame8", ControlKind::Option, "COM1", 240, 240, 1215, 255, kGrey, kBlack, kWin, 33, 0},
    {"Option2", "Frame8", ControlKind::Option, "COM2", 1560, 240, 1095, 255, kGrey, kBlack, kWin, 34, 0},
    {"Frame13", "Frame8", ControlKind::Group, "", 120, 480, 2535, 615, kGrey, kBlack, kWin, 49, 0},
    {"Option9", "Frame13", ControlKind::Option, "115200", 120, 240, 1095, 255, kGrey, kBlack, kWin, 50, 0},
    {"Option10", "Frame13", ControlKind::Option, "9600", 1440, 240, 975, 300, kGrey, kBlack, kWin, 51, kSelected},
    {"Label9", "Frame9", ControlKind::Label, "TXD", 105, 210, 390, 285, kGrey, kBlack, kG9, 36, kRightAligned},
    {"Label11", "Frame9", ControlKind::Line, "", 600, 180, 5610, 300, kWhite, kBlack, kP975B, 38, kBorder},
    {"Label10", "Frame9", ControlKind::Label, "RXD", 60, 540, 450, 300, kGrey, kBlack, kG9, 37, kRightAligned},
    {"Label12", "Frame9", ControlKind::Line, "", 600, 540, 5616, 300, kWhite, kBlack, kP975B, 39, kBorder},
    {"Label23", "Frame9", ControlKind::Label, "STATUS", 120, 1005, 795, 225, kGrey, kBlack, kG825, 94, 0},
    {"Label22", "Frame9", ControlKind::Line, "", 930, 900, 5295, 300, kWhite, 0xFF0000, kP9B, 93, kBorder},
    {"Label13", "Frame10", ControlKind::Label, "VOLUME", 120, 240, 1455, 255, kGrey, kBlack, kWin, 120, kCentred},
    {"Command1", "Frame10", ControlKind::Button, "0", 120, 480, 495, 255, 0xC0FFFF, kBlack, kWin, 107, 0},
    {"Command2", "Frame10", ControlKind::Button, "5", 600, 480, 495, 255, 0xC0FFFF, kBlack, kWin, 108, 0},
    {"Command3", "Frame10", ControlKind::Button, "10", 1080, 480, 495, 255, 0x80FFFF, kBlack, kWin, 109, 0},
    {"Command5", "Frame10", ControlKind::Button, "15", 1560, 480, 495, 255, 0x80FFFF, kBlack, kWin, 110, 0},
    {"Command6", "Frame10", ControlKind::Button, "20", 2040, 480, 495, 255, 0x80FFFF, kBlack, kWin, 111, 0},
    {"Command7", "Frame10", ControlKind::Button, "25", 2520, 480, 495, 255, 0x00FFFF, kBlack, kWin, 112, 0},
    {"Command8", "Frame10", ControlKind::Button, "30", 3000, 480, 495, 255, 0x00FFFF, kBlack, kWin, 113, 0},
    {"Command9", "Frame10", ControlKind::Button, "35", 3480, 480, 495, 255, 0x00FFFF, kBlack, kWin, 114, 0},
    {"Command12", "Frame10", ControlKind::Button, "40", 3960, 480, 495, 255, 0x00C0C0, kBlack, kWin, 115, 0},
    {"Command14", "Frame10", ControlKind::Button, "45", 4440, 480, 495, 255, 0x00C0C0, kBlack, kWin, 116, 0},
    {"Command15", "Frame10", ControlKind::Button, "50", 4920, 480, 495, 255, 0x00C0C0, kBlack, kWin, 117, 0},
    {"Command35", "Frame10", ControlKind::Button, "55", 5400, 480, 495, 255, 0x008080, kBlack, kWin, 118, 0},
    {"Command36", "Frame10", ControlKind::Button, "60", 5880, 480, 495, 255, 0x008080, kBlack, kWin, 119, 0},
    {"Label26", "Frame15", ControlKind::Label, "CMD", 120, 240, 495, 255, kGrey, kBlack, kG975, 92, 0},
    {"Text1", "Frame15", ControlKind::TextBox, "", 600, 165, 5055, 345, kWhite, kBlack, kG975B, 89, 0},
    {"Command95", "Frame15", ControlKind::Button, "SEND", 5760, 240, 735, 255, kGreen, kBlack, kWin, 90, 0},
    {"Command96", "Frame15", ControlKind::Button, "CLS", 6480, 240, 615, 255, kRed, kBlack, kWin, 91, 0},
};
// clang-format on
static_assert(std::size(kControls) == 122);

} // namespace

std::span<const Control> controlTable()
{
    return kControls;
}

} // namespace qpv
