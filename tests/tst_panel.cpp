// The panel as an operator meets it: every control where it was designed, every button's bytes
// on the line, the free-text line, the keyboard and the window modes, and the same panel as a
// screen reader works it.

#include "support.h"
#include "version.h"

#include <QAccessible>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <functional>
#include <map>

using namespace qpv;

namespace {

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

constexpr unsigned kGrey = 0xC0C0C0, kCyan = 0xC0FFFF, kGreen = 0xC0FFC0, kRed = 0xFFC0C0,
                   kWhite = 0xFFFFFF;

// clang-format off
const Row kRows[] = {
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
std::vector<Row> panelRows()
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

const auto px = [](int twips) { return qRound(twips / 15.0); };
const auto ax = [](QObject* o) { return QAccessible::queryAccessibleInterface(o); };
// As a screen reader presses; the event loop then runs the click the press queued.
const auto press = [](QObject* o) {
    ax(o)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
};

} // namespace

class TestPanel : public QObject {
    Q_OBJECT

private slots:
    void everyControlAsDesigned();
    void everyButtonSendsItsCommand();
    void freeText();
    void startUpKeysWindowModesAndEnd();
    void aScreenReaderWorksThePanel();
};

void TestPanel::everyControlAsDesigned()
{
    Panel panel;
    const std::vector<Row> rows = panelRows();
    QCOMPARE(rows.size(), size_t(122));
    std::map<int, QString> focusOrder;
    const QByteArrayList hidden =
        QByteArray("Frame8 Frame13 Option1 Option2 Option9 Option10 Command34").split(' ');
    for (const Row& row : rows) {
        const char* name = row.name.constData();
        QWidget* w = panel.find(name);
        QCOMPARE(w->parentWidget()->objectName(), QLatin1String(row.parent));
        QVERIFY2(w->geometry() == QRect(px(row.left), px(row.top), px(row.width), px(row.height)),
                 name);
        const auto role = qobject_cast<QAbstractButton*>(w) ? QPalette::Button : QPalette::Window;
        QVERIFY2(!row.back || w->palette().color(role) == QColor(QRgb(row.back)), name);
        QVERIFY2(w->property("text").toString() == QString::fromUtf8(row.caption), name);
        const QByteArray font = row.font.isEmpty() ? "G9b" : row.font;
        QVERIFY2(QFontInfo(w->font()).family() == (font[0] == 'G' ? "IPAGothic" : "IPAPGothic") &&
                     w->font().pixelSize() ==
                         qRound(font.mid(1).replace("b", "").toDouble() * 4 / 3) &&
                     w->font().bold() == font.endsWith('b'),
                 name);
        QVERIFY2(w->isVisibleTo(panel.form.get()) != hidden.contains(row.name), name);
        if (w->focusPolicy() & Qt::TabFocus && !hidden.contains(row.name))
            focusOrder[row.tab] = QLatin1String(name);
    }
    QCOMPARE(panel.find("Label1")->palette().color(QPalette::WindowText), QColor(0xC0, 0x00, 0x00));
    QCOMPARE(panel.find("Label22")->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(panel.form->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
    for (const char* centred : {"Label1", "Label2", "Label4", "Label5", "Label6", "Label7",
                                "Label8", "Label3", "Label13"})
        QVERIFY2(panel.find<QLabel>(centred)->alignment() & Qt::AlignHCenter, centred);
    QVERIFY(panel.find<QLabel>("Label9")->alignment() & Qt::AlignRight);
    QVERIFY(panel.find<QLineEdit>("Text1")->maxLength() > 1'000'000);

    // The colour is really painted, whatever the desktop's style.
    QWidget* on = panel.find("Command17");
    const QColor painted(on->grab().toImage().pixel(on->width() / 4, on->height() * 3 / 4));
    QVERIFY2(painted.green() > painted.red() + 30 && painted.green() > painted.blue() + 30,
             qPrintable(painted.name()));

    // Focus starts on POWER ON and Tab follows the tab indexes, the captionless buttons included.
    QApplication::setActiveWindow(panel.form.get());
    QVERIFY(QTest::qWaitForWindowActive(panel.form.get()));
    for (const auto& [tab, name] : focusOrder) {
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }

    // Where controls overlap, the one on top takes the click: a button over a caption (LAMP
    // SELECT's lower edge), and with the settings panel shown, a speed option over COM.
    panel.click("Command33");
    const std::tuple<int, int, const char*> tops[] = {{6700, 4400, "Command57"},
                                                      {4400, 4450, "Option9"}};
    for (const auto& [x, y, name] : tops)
        QCOMPARE(panel.form->childAt(px(x), px(y))->objectName(), QLatin1String(name));
}

void TestPanel::everyButtonSendsItsCommand()
{
    // The others first: they leave the intervals as they are; then each picture-group button
    // after SEND (2000 ms), so that its own 5000 ms shows. A screen reader's press sends the
    // same again.
    Panel panel;
    int buttons = 0;
    for (const bool picture : {false, true}) {
        for (const Row& row : panelRows()) {
            if (row.command.isEmpty() || picture != (row.parent == "Frame14"))
                continue;
            const char* name = row.name.constData();
            if (picture)
                panel.click("Command95");
            panel.click(name), press(panel.find(name)), ++buttons;
            const QByteArray frame = row.command + '\r';
            QVERIFY2(panel.one.read(2 * frame.size() + picture) ==
                         (picture ? "\r" : "") + frame + frame,
                     name);
            // A picture-group button after SEND: a new interval, the watchdog started afresh.
            QVERIFY2(panel.timer("Timer2")->interval() == (picture ? 5000 : 500) &&
                         (!picture || panel.timer("Timer2")->remainingTime() > 4900) &&
                         panel.timer("Timer4")->interval() == (picture ? 5500 : 1000),
                     name);
            QCOMPARE(panel.find(name)->toolTip(),
                     QString::fromLatin1(row.command).replace(' ', QChar(0x2423)) + " + CR");
            // Equal captions told apart by their group; the captionless ones by their column.
            const QByteArray caption = row.caption.isEmpty() ? "D by D" : row.caption;
            QCOMPARE(ax(panel.find(name))->text(QAccessible::Name),
                     QString::fromUtf8((row.group + ' ' + caption).trimmed()));
        }
    }
    QCOMPARE(buttons, 75);
    // The picture group's intervals stay for every later command; Enter and space press the
    // focused button.
    QWidget* on = panel.find("Command17");
    QTest::keyClick(on, Qt::Key_Return);
    QTest::keyClick(on, Qt::Key_Space);
    QCOMPARE(panel.one.read(18), QByteArray("POWR   1\rPOWR   1\r"));
    QCOMPARE(panel.timer("Timer2")->interval(), 5000);
    QCOMPARE(panel.one.read(1, std::chrono::milliseconds(20)), QByteArray()); // nothing more
}

void TestPanel::freeText()
{
    // Typed as a keyboard types, any character; Enter does not send, SEND sends and the box
    // stays, CLS empties the box and nothing else.
    // clang-format off
    const std::pair<QString, QByteArray> texts[] = {{"", "\r"}, {"POWR   1", "POWR   1\r"},
        {"POWR 1", "POWR 1\r"}, {"  jJ cr4  ", "  jJ cr4  \r"}, {QString::fromUtf8("é→日😀x"), "????x\r"}};
    // clang-format on
    Panel panel;
    auto* box = panel.find<QLineEdit>("Text1");
    for (const auto& [typed, onTheLine] : texts) {
        box->setFocus(); // through the window, as a filter on it would see them
        for (const char32_t c : typed.toUcs4())
            QTest::sendKeyEvent(QTest::Click, panel.form->windowHandle(),
                                c == 'J' || c == 'j' ? Qt::Key_J : Qt::Key(0),
                                QString::fromUcs4(&c, 1), Qt::NoModifier);
        QCOMPARE(box->text(), typed);
        panel.key("Text1", Qt::Key_Return);
        panel.click("Command95");
        panel.click("Command95");
        QCOMPARE(panel.one.read(2 * onTheLine.size()), onTheLine + onTheLine);
        const QByteArray txd = panel.txd();
        panel.click("Command96");
        QCOMPARE(box->text(), QString());
        QCOMPARE(panel.txd(), txd);
        QCOMPARE(panel.one.read(1, std::chrono::milliseconds(20)), QByteArray());
    }
}

void TestPanel::startUpKeysWindowModesAndEnd()
{
    Panel panel;
    Form1& form = *panel.form;
    // Centred on the outer width (9495 + two 4-pixel borders); vertically on the design-time
    // outer height (8730 + 435), before the window shrinks.
    const QRect screen = form.screen()->geometry();
    QCOMPARE(form.pos(), QPoint(qRound((screen.width() * 15 - 9615) / 30.0),
                                qRound((screen.height() * 15 - 9165) / 30.0)));
    QCOMPARE(form.windowTitle(), "OMTA   QPV-7100   CONTROL   " + QLatin1String(kTitleVersion));
    for (const char* timer : {"Timer2", "Timer3", "Timer4"})
        QVERIFY2(!panel.timer(timer)->isActive(), timer);
    QVERIFY(panel.marked("Option1") && panel.marked("Option10") && !panel.marked("Option2") &&
            !panel.marked("Option9"));
    QVERIFY(panel.comm().PortOpen() && panel.warnings.isEmpty());
    const termios t = panel.one.attributes();
    QCOMPARE(::cfgetospeed(&t), speed_t{B9600});
    QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});

    auto* toggle = panel.find<QPushButton>("Command34");
    const QString show = QString::fromUtf8("データを表示する"),
                  hide = QString::fromUtf8("データを表示しない");
    // Whether a control lies wholly inside the window's client area, and a screen reader is
    // told the same.
    const auto shown = [&](const char* name) {
        QWidget* w = panel.find(name);
        const bool inside = form.rect().contains(QRect(w->mapTo(&form, QPoint(0, 0)), w->size()));
        if (inside == (ax(w)->state().invisible || ax(w)->state().offscreen))
            return qWarning("%s: a screen reader is told otherwise", name), !inside;
        return inside;
    };
    const auto ctrlJ = [&](const char* at) { panel.key(at, Qt::Key_J, Qt::ControlModifier); };
    const auto dblClick = [&] { QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton); };
    const auto toggleClick = [&] { panel.click("Command34"); };
    auto* box = panel.find<QLineEdit>("Text1");
    for (const auto modifiers : {Qt::ControlModifier | Qt::ShiftModifier,
                                 Qt::ControlModifier | Qt::AltModifier, Qt::KeyboardModifiers()})
        panel.key("Text1", Qt::Key_J, modifiers);
    panel.key("Text1", Qt::Key_K, Qt::ControlModifier);
    dblClick(); // before Ctrl+J: nothing
    QCOMPARE(form.Height(), 5350);
    QCOMPARE(form.height(), 328); // compact: the command groups down to the signal-type band
    QVERIFY(shown("Command16") && shown("Command58") && !shown("Frame9") && !toggle->isVisible());
    const QString typed = box->text(); // J alone typed a "j"
    QVERIFY(typed.contains('j'));

    const struct {
        std::function<void()> action;
        int height;
        QString caption;
        std::vector<const char*> in, out;
    } steps[] = {
        {[&] { ctrlJ("Text1"); }, 7200, "CLOSE", {"Frame9", "Command47", "Command34"}, {"Frame10"}},
        {dblClick, 9100, "CLOSE", {"Frame10", "Frame15"}, {}},
        {toggleClick, 5350, show, {"Command16"}, {"Frame9"}},
        {toggleClick, 6645, hide, {"Frame9", "Command45"}, {"Frame10"}},
        {dblClick, 6645, hide, {}, {}},
        {[&] { ctrlJ("Command17"), ctrlJ("Image1"); }, 7200, "CLOSE", {}, {}},
        // Dragged to 6000 twips (371 pixels and the frame), or one pixel less.
        {[&] { form.resize(form.width(), 371), toggleClick(); }, 5350, show, {}, {}},
        {[&] { form.resize(form.width(), 370), toggleClick(); }, 6645, hide, {}, {"Frame10"}},
    };
    for (const auto& step : steps) {
        step.action();
        QCOMPARE(form.Height(), step.height);
        QCOMPARE(toggle->text(), step.caption);
        QVERIFY(toggle->isVisible());
        for (const char* name : step.in)
            QVERIFY2(shown(name), name);
        for (const char* name : step.out)
            QVERIFY2(!shown(name), name);
    }
    QCOMPARE(form.height(), 414); // data: ends below the traffic display
    QCOMPARE(box->text(), typed); // Ctrl+J reached the box, and typed nothing
    panel.end();                  // END closes the port and the window
    QVERIFY(!panel.comm().PortOpen() && !form.isVisible());
}

void TestPanel::aScreenReaderWorksThePanel()
{
    // Names, states, text read back and what actions put on the line, in process; the
    // offscreen platform carries no announcements: tst_a11y_e2e hears them through AT-SPI.
    Panel panel;
    const auto a = [&](const char* name) { return ax(panel.find(name)); };
    press(panel.find("Command34")); // hidden until Ctrl+J: a press does nothing
    QVERIFY(a("Command34")->state().invisible && panel.form->Height() == 5350);
    panel.key("Command17", Qt::Key_J, Qt::ControlModifier);
    QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton);

    QStringList told; // "control: name"
    for (QWidget* w : panel.form->findChildren<QWidget*>()) {
        // A traffic line's name is its text; the caption labelling it says what it is.
        const auto labels = ax(w)->relations(QAccessible::Label);
        const auto name = (labels.isEmpty() ? ax(w) : labels[0].first)->text(QAccessible::Name);
        told << w->objectName() + ": " + name;
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(told.last()));
    }
    QCOMPARE(told.size(), 122);
    for (const char* promised :
         {"Text1: CMD", "Label22: STATUS", "Frame8: COM settings", "Image1: OMTA logo"})
        QVERIFY2(told.contains(promised), promised);

    press(panel.find("Command33")), press(panel.find("Option9"));
    QVERIFY(a("Option9")->state().checked);
    press(panel.find("Command33")); // the choice hid the settings panel
    a("Option10")->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QTRY_VERIFY(a("Option10")->state().checked);
    QVERIFY(a("Text1")->state().editable);
    // The box edited as a screen reader edits: insert, replace, delete, select, move the cursor.
    QAccessibleEditableTextInterface* edit = a("Text1")->editableTextInterface();
    QAccessibleTextInterface* entry = a("Text1")->textInterface();
    edit->insertText(0, QStringLiteral("CRx9")), edit->replaceText(2, 4, QStringLiteral("79"));
    edit->deleteText(3, -1), entry->addSelection(1, 2);
    int from = -1, to = -1;
    entry->selection(0, &from, &to);
    QCOMPARE((QList<int>{entry->selectionCount(), from, to}), (QList<int>{1, 1, 2}));
    entry->scrollToSubstring(1, 3);
    QCOMPARE((QList<int>{entry->selectionCount(), entry->cursorPosition()}), (QList<int>{0, 1}));
    press(panel.find("Command95"));
    QCOMPARE(panel.one.read(4), QByteArray("CR7\r"));
    press(panel.find("Command96"));
    QCOMPARE(a("Text1")->text(QAccessible::Value), QString());
    // A button held down reads as pressed, and sends on release.
    QTest::mousePress(panel.find("Command17"), Qt::LeftButton);
    QVERIFY(a("Command17")->state().pressed);
    QTest::mouseRelease(panel.find("Command17"), Qt::LeftButton);
    QVERIFY(!a("Command17")->state().pressed && panel.one.read(9) == "POWR   1\r");

    // A line at its longest, with what rich text would take for markup, and beyond ASCII.
    const auto text = QStringLiteral(" <b>&amp;</b> /dev/ttyÜSB0").repeated(2622).left(65535);
    for (const char* line : {"Label11", "Label12", "Label22"}) {
        panel.find<qpv::DisplayLine>(line)->setText(text.toStdString());
        QAccessibleInterface* i = a(line);
        QCOMPARE((QStringList{i->text(QAccessible::Name), i->text(QAccessible::Value),
                              i->textInterface()->text(0, -1)}),
                 QStringList(3, text));
        // A point on the second and third characters shown (" <") finds them.
        const QAccessibleTextInterface* t = i->textInterface();
        QCOMPARE(t->offsetAtPoint(t->characterRect(1).center()), 1);
        QCOMPARE(t->offsetAtPoint(t->characterRect(2).center()), 2);
        QCOMPARE(t->selectionCount(), 0); // nothing on a traffic line is ever selected
        QVERIFY(QRect(panel.find(line)->mapToGlobal(QPoint()), panel.find(line)->size())
                    .contains(t->characterRect(1)));
    }
}

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
