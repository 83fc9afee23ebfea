#pragma once

// The panel as designed, written out: every control with its place, colour, font, tab index and,
// for a command button, the exact command it sends.

#include <QByteArray>
#include <QByteArrayList>

#include <iterator>
#include <vector>

namespace design {

// A control as designed: geometry in twips relative to its container, back colour (0: the
// platform's button face), font ("" the window's: gothic 9 pt bold; G gothic, P proportional
// gothic, then points, b bold), tab index (-1: none) and, for a command button, its command and
// the group a screen reader names it by.
struct Row {
    QByteArray name, parent, caption;
    int left, top, width, height;
    unsigned back;
    QByteArray font;
    int tab;
    QByteArray command = {}, group = {};
};

inline constexpr unsigned kGrey = 0xC0C0C0, kCyan = 0xC0FFFF, kGreen = 0xC0FFC0, kRed = 0xFFC0C0,
                          kWhite = 0xFFFFFF;

// clang-format off
inline const Row kRows[] = {
    {"Frame1", "Form1", "", 120, 240, 1695, 975, kGrey, "P9", 0},
    {"Frame2", "Form1", "", 1920, 240, 3735, 975, kGrey, "P9", 3},
    {"Frame3", "Form1", "", 120, 1320, 1695, 855, kGrey, "P9", 5},
    {"Frame4", "Form1", "", 1920, 1320, 1575, 855, kGrey, "P9", 7},
    {"Frame5", "Form1", "", 5280, 1320, 2055, 855, kGrey, "P9", 9},
    {"Frame6", "Form1", "", 5760, 240, 1575, 975, kGrey, "P9", 11},
    {"Frame7", "Form1", "", 3600, 1320, 1575, 855, kGrey, "P9", 13},
    {"Command13", "Form1", "A-IMAGE", 7800, 1920, 975, 250, 0x00C0C0, "G9", 15, "ADJS   1"},
    {"Command16", "Form1", "END", 8400, 4320, 975, 375, kGrey, "", 16},
    {"Command33", "Form1", "COM", 4080, 4200, 1815, 375, 0, "P9", 31},
    {"Frame8", "Form1", "", 3480, 3600, 2775, 1185, kGrey, "P9", 32},
    {"Frame9", "Form1", "", 45, 4920, 6312, 1290, kGrey, "P9", 35},
    {"Command34", "Form1", "データを表示する", 6615, 5040, 1200, 375, kGrey, "P9", 40},
    {"Command44", "Form1", "PJ-Status", 6480, 5640, 1335, 255, kCyan, "G8.25", 41, "TABN   1"},
    {"Command45", "Form1", "LAMP-Status", 7800, 5880, 1215, 255, kCyan, "G8.25", 42, "TLPS   1"},
    {"Command46", "Form1", "LAMP-TIME", 7800, 5640, 1215, 255, kCyan, "G8.25", 43, "TLTT   1"},
    {"Command47", "Form1", "POWER-Status", 6480, 5880, 1335, 255, kCyan, "G8.25", 44, "POWR????"},
    {"Command57", "Form1", "Normal", 6600, 4320, 720, 372, kGreen, "G9", 46, "THMD   0", "LAMP SELECT"},
    {"Command58", "Form1", "ECO", 7320, 4320, 720, 372, kRed, "G9", 47, "THMD   1", "LAMP SELECT"},
    {"Command30", "Form1", "AUTO Focus", 7560, 1560, 1215, 255, kGreen, "G9", 48, "AFST   1"},
    {"Frame14", "Form1", "", 120, 2280, 8655, 1320, kGrey, "", 52},
    {"Frame15", "Form1", "", 120, 7680, 7215, 570, kGrey, "", 88},
    {"Command4", "Form1", "AUTO", 360, 4320, 855, 255, kCyan, "", 96, "IASI   0", "Signal Type 1"},
    {"Command10", "Form1", "AUTO", 360, 4560, 855, 255, kCyan, "", 97, "IBSI   0", "Signal Type 2"},
    {"Command11", "Form1", "RGB", 1200, 4560, 735, 255, kCyan, "", 98, "IBSI   1", "Signal Type 2"},
    {"Command39", "Form1", "RGB", 1200, 4320, 735, 255, kCyan, "", 99, "IASI   1", "Signal Type 1"},
    {"Command40", "Form1", "Component", 1920, 4320, 1335, 255, kCyan, "", 100, "IASI   2", "Signal Type 1"},
    {"Command41", "Form1", "Component", 1920, 4560, 1335, 255, kCyan, "", 101, "IBSI   2", "Signal Type 2"},
    {"Label27", "Form1", "1", 120, 4320, 255, 255, kGrey, "", 102},
    {"Label28", "Form1", "2", 120, 4560, 255, 255, kGrey, "", 103},
    {"Label29", "Form1", "Signal Type:", 120, 4080, 2775, 255, kGrey, "", 104},
    {"Label3", "Form1", "LAMP SELECT", 6360, 4080, 1815, 375, kGrey, "G9.75b", 105},
    {"Frame10", "Form1", "", 600, 6720, 6495, 855, kGrey, "", 106},
    {"Image1", "Form1", "", 8160, 120, 1200, 390, 0, "", -1},
    {"Label1", "Frame1", "POWER", 240, 240, 1095, 255, kGrey, "", 2},
    {"Command17", "Frame1", "ON", 120, 600, 615, 300, kGreen, "P9b", 1, "POWR   1", "POWER"},
    {"Command18", "Frame1", "OFF", 960, 600, 615, 300, kRed, "P9b", 17, "POWR   0", "POWER"},
    {"Label2", "Frame2", "INPUT MODE SET", 840, 240, 1935, 255, kGrey, "", 4},
    {"Command27", "Frame2", "1.RGB", 120, 600, 735, 300, kCyan, "P9b", 26, "IRGB   1", "INPUT MODE SET"},
    {"Command28", "Frame2", "2.RGB", 840, 600, 735, 300, kCyan, "P9b", 27, "IRGB   2", "INPUT MODE SET"},
    {"Command29", "Frame2", "3.VIDEO", 1560, 600, 975, 300, kCyan, "P9b", 28, "IVED   1", "INPUT MODE SET"},
    {"Command53", "Frame2", "4.S-VIDEO", 2520, 600, 1095, 300, kCyan, "P9b", 45, "IVED   2", "INPUT MODE SET"},
    {"Label4", "Frame3", "Inside SP", 120, 195, 1455, 300, kGrey, "", 6},
    {"Command19", "Frame3", "ON", 120, 480, 615, 300, kGreen, "P9b", 18, "ASPK   1", "Inside SP"},
    {"Command20", "Frame3", "OFF", 960, 480, 615, 300, kRed, "P9b", 19, "ASPK   0", "Inside SP"},
    {"Label5", "Frame4", "AV MUTE", 240, 210, 1095, 285, kGrey, "", 8},
    {"Command21", "Frame4", "ON", 120, 480, 615, 300, kGreen, "P9b", 20, "IMBK   1", "AV MUTE"},
    {"Command22", "Frame4", "OFF", 840, 480, 615, 300, kRed, "P9b", 21, "IMBK   0", "AV MUTE"},
    {"Label6", "Frame5", "IRIS", 240, 210, 1335, 285, kGrey, "", 10},
    {"Command31", "Frame5", "Bright", 120, 480, 855, 300, kCyan, "P9", 29, "IRIS   1", "IRIS"},
    {"Command32", "Frame5", "Contrast", 960, 480, 975, 300, kCyan, "P9", 30, "IRIS   3", "IRIS"},
    {"Label7", "Frame6", "OSD", 360, 240, 975, 255, kGrey, "", 12},
    {"Command23", "Frame6", "ON", 120, 600, 615, 300, kGreen, "P9b", 22, "IMDI   1", "OSD"},
    {"Command24", "Frame6", "OFF", 840, 600, 615, 300, kRed, "P9b", 23, "IMDI   0", "OSD"},
    {"Label8", "Frame7", "FREEZE", 120, 240, 1215, 285, kGrey, "", 14},
    {"Command25", "Frame7", "ON", 120, 480, 615, 300, kGreen, "P9b", 24, "FREZ   1", "FREEZE"},
    {"Command26", "Frame7", "OFF", 840, 480, 615, 300, kRed, "P9b", 25, "FREZ   0", "FREEZE"},
    {"Option1", "Frame8", "COM1", 240, 240, 1215, 255, kGrey, "", 33},
    {"Option2", "Frame8", "COM2", 1560, 240, 1095, 255, kGrey, "", 34},
    {"Frame13", "Frame8", "", 120, 480, 2535, 615, kGrey, "", 49},
    {"Option9", "Frame13", "115200", 120, 240, 1095, 255, kGrey, "", 50},
    {"Option10", "Frame13", "9600", 1440, 240, 975, 300, kGrey, "", 51},
    {"Label9", "Frame9", "TXD", 105, 210, 390, 285, kGrey, "G9", 36},
    {"Label11", "Frame9", "", 600, 180, 5610, 300, kWhite, "P9.75b", 38},
    {"Label10", "Frame9", "RXD", 60, 540, 450, 300, kGrey, "G9", 37},
    {"Label12", "Frame9", "", 600, 540, 5616, 300, kWhite, "P9.75b", 39},
    {"Label23", "Frame9", "STATUS", 120, 1005, 795, 225, kGrey, "G8.25", 94},
    {"Label22", "Frame9", "", 930, 900, 5295, 300, kWhite, "P9b", 93},
    {"Label13", "Frame10", "VOLUME", 120, 240, 1455, 255, kGrey, "", 120},
    {"Label26", "Frame15", "CMD", 120, 240, 495, 255, kGrey, "G9.75", 92},
    {"Text1", "Frame15", "", 600, 165, 5055, 345, 0, "G9.75b", 89},
    {"Command95", "Frame15", "SEND", 5760, 240, 735, 255, kGreen, "", 90},
    {"Command96", "Frame15", "CLS", 6480, 240, 615, 255, kRed, "", 91},
};
// clang-format on

// The picture group and the VOLUME row follow rules: a grid of eight columns by four rows, and
// one row of thirteen levels whose colour darkens.
inline std::vector<Row> panelRows()
{
    std::vector<Row> rows(std::begin(kRows), std::end(kRows));
    const QByteArrayList columns =
        QByteArray("Normal,D by D,Border,Stretch,Standard,Presentation,Cinema,Game").split(',');
    const int lefts[] = {360, 1200, 1920, 2880, 4080, 5040, 6480, 7440};
    const int widths[] = {855, 735, 975, 975, 975, 1455, 975, 975};
    const QByteArray commands[] = {
        "RASR   1,RASR   3,RASR   6,RASR   2,RAPS  10,RAPS  11,RAPS  12,RAPS  13",
        "RBSR   1,RBSR   3,RBSR   6,RBSR   2,RBPS  10,RBPS  11,RBPS  12,RBPS  13",
        "RASV   1,CF INPUT3 ANALOG,RASV   3,RASV   2,VAPS  10,VAPS  11,VAPS  12,VAPS  13",
        "RBSV   1,CF INPUT4 ANALOG,RBSV   3,RBSV   2,VBPS  10,VBPS  11,VBPS  12,VBPS  13"};
    for (int r = 0; r < 4; ++r) {
        rows.push_back({"Label" + QByteArray("15162425").mid(2 * r, 2), "Frame14",
                        QByteArray::number(r + 1), 120, 240 * (r + 1), 255, 255, kGrey, "",
                        84 + r});
        for (int c = 0, number = 63 + 8 * r; c < 8; ++c, ++number)
            rows.push_back({"Command" + QByteArray::number(number), "Frame14",
                            r >= 2 && c == 1 ? "" : columns[c], lefts[c], 240 * (r + 1), widths[c],
                            255, kCyan, "G9", number == 76 ? 95 : number - 10 - (number > 76),
                            commands[r].split(',')[c], "Picture row " + QByteArray::number(r + 1)});
    }
    const int volume[] = {1, 2, 3, 5, 6, 7, 8, 9, 12, 14, 15, 35, 36};
    const unsigned shades[] = {kCyan, 0x80FFFF, 0x00FFFF, 0x00C0C0, 0x008080};
    for (int k = 0; k < 13; ++k)
        rows.push_back({"Command" + QByteArray::number(volume[k]), "Frame10",
                        QByteArray::number(5 * k), 120 + 480 * k, 480, 495, 255,
                        shades[(k + 1) / 3], "", 107 + k,
                        "VOLA  " + QByteArray::number(5 * k).rightJustified(2, '0'), "VOLUME"});
    return rows;
}

} // namespace design
