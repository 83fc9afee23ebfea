// The panel as an operator meets it: every control where it was designed, every button's bytes
// on the line, the free-text line, the keyboard and the window modes, and the same panel as a
// screen reader works it.

#include "design.h"
#include "support.h"
#include "version.h"

#include <QAccessible>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

#include <functional>
#include <map>

using namespace qpv;
using design::Row;

namespace {

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
    void theLinesAsPainted();
};

void TestPanel::everyControlAsDesigned()
{
    // The whole panel in view; the settings panel hidden until COM is pressed. On a dark
    // desktop, where the system's button face is dark.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Button, QColor(0x424245)),
        dark.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(dark);
    Panel panel;
    const std::vector<Row> rows = design::panelRows();
    std::map<int, QString> focusOrder;
    const QByteArrayList hidden =
        QByteArray("Frame8 Frame13 Option1 Option2 Option9 Option10").split(' ');
    for (const Row& row : rows) {
        const char* name = row.name.constData();
        QWidget* w = panel.find(name);
        QCOMPARE(w->parentWidget()->objectName(), QLatin1String(row.parent));
        QVERIFY2(w->geometry() == QRect(px(row.left), px(row.top), px(row.width), px(row.height)),
                 name);
        const auto role = qobject_cast<QAbstractButton*>(w) ? QPalette::Button : QPalette::Window;
        QVERIFY2(!row.back || w->palette().color(role) == QColor(QRgb(row.back)), name);
        const QByteArray caption = row.name == "Command34" ? "CLOSE" : row.caption;
        QVERIFY2(w->property("text").toString() == QString::fromUtf8(caption), name);
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

    // The colour is really painted, whatever the desktop's style, and outlined in black down
    // the button's last column from its top and along its last row.
    const QImage on = panel.find("Command17")->grab().toImage();
    const QColor painted(on.pixel(on.width() / 4, on.height() * 3 / 4));
    QVERIFY2(painted.green() > painted.red() + 30 && painted.green() > painted.blue() + 30,
             qPrintable(painted.name()));
    QVERIFY(on.pixel(on.width() - 1, 0) == qRgb(0, 0, 0) &&
            on.pixel(on.width() / 2, on.height() - 1) == qRgb(0, 0, 0));
    // COM's face is the system's, and so is its caption's colour: light on the dark face.
    const QImage com = panel.find("Command33")->grab().toImage();
    int brightest = 0;
    for (int x = 6; x < com.width() - 6; ++x) // inside the bevel
        brightest = std::max(brightest, qGray(com.pixel(x, com.height() / 2)));
    QVERIFY2(qGray(com.pixel(6, com.height() / 2)) < 80 && brightest > 200,
             qPrintable(QString::number(brightest)));
    QApplication::setPalette(light);

    // Tab follows the tab indexes from POWER ON, the captionless buttons included.
    QApplication::setActiveWindow(panel.form.get());
    QVERIFY(QTest::qWaitForWindowActive(panel.form.get()));
    panel.find("Command17")->setFocus();
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
    for (const bool picture : {false, true}) {
        for (const Row& row : design::panelRows()) {
            if (row.command.isEmpty() || picture != (row.parent == "Frame14"))
                continue;
            const char* name = row.name.constData();
            if (picture)
                panel.click("Command95");
            panel.click(name), press(panel.find(name));
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
    // The picture group's intervals stay for every later command. Enter and space press the
    // focused button, once however long the key is held: the keyboard's repeats send nothing.
    panel.find("Command17")->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        for (const bool repeat : {false, true, true, true})
            QTest::simulateEvent(panel.form->windowHandle(), true, key, {}, QString(), repeat);
        QTest::simulateEvent(panel.form->windowHandle(), false, key, {}, QString(), false);
    }
    QCOMPARE(panel.one.read(28), QByteArray("POWR   1\r").repeated(3));
    QCOMPARE(panel.timer("Timer2")->interval(), 5000);
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
        panel.click("Command95"), panel.click("Command95");
        QCOMPARE(panel.one.read(2 * onTheLine.size()), onTheLine + onTheLine);
        const QByteArray txd = panel.txd();
        panel.click("Command96");
        QVERIFY(box->text().isEmpty() && panel.txd() == txd);
        QCOMPARE(panel.one.read(1, std::chrono::milliseconds(20)), QByteArray());
    }
}

void TestPanel::startUpKeysWindowModesAndEnd()
{
    Panel panel({}, {}, true);
    Form1& form = *panel.form;
    // Centred on the outer width (9495 + two 4-pixel borders); vertically on the design-time
    // outer height (8730 + 435), before the window shrinks.
    const QRect screen = form.screen()->geometry();
    QCOMPARE(form.pos(), QPoint(qRound((screen.width() * 15 - 9615) / 30.0),
                                qRound((screen.height() * 15 - 9165) / 30.0)));
    QCOMPARE(form.windowTitle(), "OMTA   QPV-7100   CONTROL   " + QLatin1String(kTitleVersion));
    QVERIFY(panel.isOpen() && panel.warnings.isEmpty() && panel.marked("Option1") &&
            panel.marked("Option10") && !panel.marked("Option2") && !panel.marked("Option9"));
    QCOMPARE(form.focusWidget()->objectName(), "Command17");
    QCOMPARE(speedOf(panel.one.path()), speed_t{B9600});
    QCOMPARE(panel.one.attributes().c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});

    auto* toggle = panel.find<QPushButton>("Command34");
    const QString show = QString::fromUtf8("データを表示する"),
                  hide = QString::fromUtf8("データを表示しない");
    // Every control in the client area shows (not the settings panel, nor the toggle before the
    // first Ctrl+J); one wholly outside it is hidden, and a screen reader is told it is not
    // showing; Tab reaches every control shown, and no other.
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const auto inReach = [&] {
        QSet<QWidget*> shown, reached;
        for (const Row& row : design::panelRows()) {
            QWidget* w = panel.find(row.name.constData());
            const bool inside =
                form.rect().intersects(QRect(w->mapTo(&form, QPoint(0, 0)), w->size())) &&
                !QByteArray(" Frame8 Option1 Option2 Frame13 Option9 Option10 ")
                     .contains(' ' + row.name + ' ');
            QVERIFY2(w->isVisible() == inside && ax(w)->state().invisible != inside, row.name);
            if (inside && w->focusPolicy() & Qt::TabFocus)
                shown << w;
        }
        panel.find("Command17")->setFocus();
        for (int i = 0; i < 130; ++i)
            reached << QApplication::focusWidget(),
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(reached, shown);
    };
    const auto ctrlJ = [&](const char* at) { panel.key(at, Qt::Key_J, Qt::ControlModifier); };
    const auto dblClick = [&] { QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton); };
    const auto toggleClick = [&] { panel.click("Command34"); };
    for (const auto modifiers : {Qt::ControlModifier | Qt::ShiftModifier,
                                 Qt::ControlModifier | Qt::AltModifier, Qt::KeyboardModifiers()})
        panel.key("Command17", Qt::Key_J, modifiers);
    panel.key("Command17", Qt::Key_K, Qt::ControlModifier);
    dblClick(); // before Ctrl+J: nothing
    QCOMPARE(form.Height(), 5350);
    QCOMPARE(form.height(), 328); // compact: the command groups down to the signal-type band
    inReach();

    // The window's outer height and the toggle's caption after each action; what each mode
    // reveals is inReach()'s.
    // clang-format off
    const std::tuple<std::function<void()>, int, QString> steps[] = {
        {[&] { ctrlJ("Command17"); }, 7200, "CLOSE"}, {dblClick, 9100, "CLOSE"},
        {toggleClick, 5350, show},
        // The toggle lies below the compact window's edge: dragged taller, it is in reach.
        {[&] { form.resize(form.width(), 358), toggleClick(); }, 6645, hide}, {dblClick, 6645, hide},
        {[&] { ctrlJ("Command17"), ctrlJ("Image1"); }, 7200, "CLOSE"},
        // Dragged to 6000 twips (371 pixels and the frame), or one pixel less.
        {[&] { form.resize(form.width(), 371), toggleClick(); }, 5350, show},
        {[&] { form.resize(form.width(), 370), toggleClick(); }, 6645, hide},
    };
    // clang-format on
    for (const auto& [action, height, caption] : steps) {
        action();
        QCOMPARE(form.Height(), height);
        QCOMPARE(toggle->text(), caption);
        // Drawn whole: nothing of the caption on the first or last row of its area, where a
        // caption cut off would end.
        const QImage face = toggle->grab().toImage();
        for (int x = 3; x < face.width() - 3; ++x)
            QVERIFY(qGray(face.pixel(x, 2)) > 96 && qGray(face.pixel(x, face.height() - 3)) > 96);
        inReach();
    }
    QCOMPARE(form.height(), 414); // data: ends below the traffic display
    // In the whole panel J types into the box; Ctrl+J there types nothing.
    ctrlJ("Command17"), dblClick(), panel.key("Text1", Qt::Key_J), ctrlJ("Text1");
    QCOMPARE(panel.find<QLineEdit>("Text1")->text(), "j");
    QCOMPARE(form.Height(), 7200);
    panel.end(); // END closes the port and the window
    QVERIFY(!panel.isOpen() && !form.isVisible());
}

void TestPanel::aScreenReaderWorksThePanel()
{
    // What a screen reader's actions do and what the traffic lines read back, in process; the
    // names and the announcements through AT-SPI are tst_a11y_e2e's.
    Panel panel({}, {}, true);
    const auto a = [&](const char* name) { return ax(panel.find(name)); };
    press(panel.find("Command34")); // hidden until Ctrl+J: a press does nothing
    QVERIFY(a("Command34")->state().invisible && panel.form->Height() == 5350);
    panel.key("Command17", Qt::Key_J, Qt::ControlModifier);
    press(panel.find("Image1")); // the logo's press is its double-click
    QCOMPARE(panel.form->Height(), 9100);
    press(panel.find("Command33")), press(panel.find("Option9"));
    QVERIFY(a("Option9")->state().checked && speedOf(panel.one.path()) == B115200);
    a("Text1")->editableTextInterface()->insertText(0, QStringLiteral("CR7"));
    press(panel.find("Command95"));
    QCOMPARE(panel.one.read(4), QByteArray("CR7\r"));

    // A line at its longest, with what rich text would take for markup, and beyond ASCII.
    const auto text = QStringLiteral(" <b>&amp;</b> /dev/ttyÜSB0").repeated(2622).left(65535);
    for (const char* line : {"Label11", "Label12", "Label22"}) {
        panel.find<qpv::DisplayLine>(line)->setText(text.toStdString());
        QAccessibleInterface* i = a(line);
        QCOMPARE((QStringList{i->text(QAccessible::Name), i->text(QAccessible::Value),
                              i->textInterface()->text(0, -1)}),
                 QStringList(3, text));
        // The second character shown lies where the line is on the screen.
        QVERIFY(QRect(panel.find(line)->mapToGlobal(QPoint()), panel.find(line)->size())
                    .contains(i->textInterface()->characterRect(1)));
    }

    // What a screen reader is told of a line's change: a growing echo its new characters, one
    // at its cap that moves on what left its front and what came at its end, never the whole
    // text again; a text beyond ASCII whole. Each change: position-removed+inserted|.
    const QByteArray full = " " + QByteArray("a ").repeated(32767);
    // clang-format off
    const std::tuple<QByteArray, QByteArray, QString> rows[] = {
        {" 8 ", " 8 0 CR ", "3-+0 CR |"}, {" 8 0 CR ", "", "0- 8 0 CR +|"}, {" CR ", " CR ", ""},
        {full, full.mid(4) + "0 1 ", "0- a a+|65531-+0 1 |"}, {full, full + "b ", "65535-+b |"},
        {" Stand by", " Standby", "6- by+by|"}, {"/dev/ttyÜSB0", "/dev/ttyUSB0", "0-/dev/ttyÜSB0+/dev/ttyUSB0|"}};
    // clang-format on
    for (const auto& [before, after, told] : rows) {
        QString changes;
        for (const LineChange& c : lineChanges(before.toStdString(), after.toStdString()))
            changes += QString("%1-%2+%3|").arg(c.position).arg(c.removed, c.inserted);
        QCOMPARE(changes, told);
    }
}

void TestPanel::theLinesAsPainted()
{
    // What the screen shows inside each traffic line's border (TXD, RXD, STATUS; nullptr: not
    // looked at) is the text drawn in the line's font and colour: after a reply, with an echo at
    // its cap, once a stream rests, after the blanking.
    Panel panel;
    const auto shows = [&](const char* txd, const char* rxd, const char* status) {
        const QImage screen = panel.form->screen()->grabWindow(panel.form->winId()).toImage();
        for (const auto& [name, text] :
             {std::pair{"Label11", txd}, {"Label12", rxd}, {"Label22", status}}) {
            const auto* line = panel.find<qpv::DisplayLine>(name);
            QImage drawn(line->contentsRect().size(), QImage::Format_RGB32);
            drawn.fill(line->palette().color(line->backgroundRole()));
            QPainter painter(&drawn);
            painter.setFont(line->font()),
                painter.setPen(line->palette().color(QPalette::WindowText));
            painter.drawText(drawn.rect().adjusted(2, 0, 0, 0), Qt::AlignVCenter, text);
            const QPoint at = line->mapTo(panel.form.get(), line->contentsRect().topLeft());
            if (text && screen.copy({at, drawn.size()}).convertToFormat(drawn.format()) != drawn)
                return false;
        }
        return true;
    };
    const char* const tabn = " T A B N       1 CR ";
    panel.click("Command44"), panel.one.write("80\r");
    QTRY_VERIFY(shows(tabn, " 8 0 CR ", " Stand by"));
    panel.click("Command44"), panel.one.write("b" + QByteArray(40000, 'a'));
    QTRY_VERIFY(shows(tabn, " " + QByteArray("a ").repeated(200), nullptr));
    panel.click("Command44");
    for (const char digit : QByteArray("01234567890123456789"))
        panel.one.write(QByteArray(1, digit)), QTest::qWait(1);
    QTRY_VERIFY(shows(tabn, " 0 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 9 ", nullptr));
    QTRY_VERIFY_WITH_TIMEOUT(shows("", "", ""), 3000);
}

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
