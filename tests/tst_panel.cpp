// The whole panel as an operator meets it: every button's bytes on the line, the free-text
// line, the window modes and the keyboard, and the layout as designed.

#include "panelfixture.h"

#include <QFontInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace qpv;

namespace {

// Types as a keyboard would, any character (QTest::keyClicks knows only ASCII).
void type(QWidget* box, const QString& text)
{
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
    }
}

QColor buttonColour(const QWidget* w)
{
    return w->palette().color(QPalette::Button);
}

} // namespace

class TestPanel : public QObject {
    Q_OBJECT

private slots:
    void everyButtonSendsItsCommand_data();
    void everyButtonSendsItsCommand();
    void sameButtonTwiceSendsTwice();
    void pictureGroupAndSendSetTheTimerIntervals();
    void replyIsReadAgainstTheLaterCommand();
    void freeText_data();
    void freeText();
    void freeTextBoxStaysAndClears();
    void enterInTheBoxDoesNotSend();
    void typedQueryDecodesAsItsButton();
    void ctrlJ_data();
    void ctrlJ();
    void ctrlJReachesTheWindowAndTheFocusedControl();
    void logoBeforeCtrlJDoesNothing();
    void modeSequence();
    void exactly6000IsLarge();
    void eachModeShowsItsBands();
    void startUpPlacement();
    void focusStartsOnPowerOnAndTabFollowsTheDesign();
    void enterAndSpacePressTheFocusedButton();
    void layoutAsDesigned_data();
    void layoutAsDesigned();
    void coloursAsDesigned();
    void fontsAndJapaneseCaptions();
    void hiddenAtStart();
    void settingsPanelCoversTheComButton();
    void endClosesThePortFirst();
};

void TestPanel::everyButtonSendsItsCommand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("command");

    const char* const rows[][2] = {
        {"POWER ON", "POWR   1"},
        {"POWER OFF", "POWR   0"},
        {"INPUT MODE SET 1.RGB", "IRGB   1"},
        {"INPUT MODE SET 2.RGB", "IRGB   2"},
        {"INPUT MODE SET 3.VIDEO", "IVED   1"},
        {"INPUT MODE SET 4.S-VIDEO", "IVED   2"},
        {"OSD ON", "IMDI   1"},
        {"OSD OFF", "IMDI   0"},
        {"Inside SP ON", "ASPK   1"},
        {"Inside SP OFF", "ASPK   0"},
        {"AV MUTE ON", "IMBK   1"},
        {"AV MUTE OFF", "IMBK   0"},
        {"FREEZE ON", "FREZ   1"},
        {"FREEZE OFF", "FREZ   0"},
        {"IRIS Bright", "IRIS   1"},
        {"IRIS Contrast", "IRIS   3"},
        {"AUTO Focus", "AFST   1"},
        {"A-IMAGE", "ADJS   1"},
        {"Signal Type 1 AUTO", "IASI   0"},
        {"Signal Type 1 RGB", "IASI   1"},
        {"Signal Type 1 Component", "IASI   2"},
        {"Signal Type 2 AUTO", "IBSI   0"},
        {"Signal Type 2 RGB", "IBSI   1"},
        {"Signal Type 2 Component", "IBSI   2"},
        {"LAMP SELECT Normal", "THMD   0"},
        {"LAMP SELECT ECO", "THMD   1"},
        {"PJ-Status", "TABN   1"},
        {"LAMP-Status", "TLPS   1"},
        {"LAMP-TIME", "TLTT   1"},
        {"POWER-Status", "POWR????"},
        {"VOLUME 0", "VOLA  00"},
        {"VOLUME 5", "VOLA  05"},
        {"VOLUME 10", "VOLA  10"},
        {"VOLUME 15", "VOLA  15"},
        {"VOLUME 20", "VOLA  20"},
        {"VOLUME 25", "VOLA  25"},
        {"VOLUME 30", "VOLA  30"},
        {"VOLUME 35", "VOLA  35"},
        {"VOLUME 40", "VOLA  40"},
        {"VOLUME 45", "VOLA  45"},
        {"VOLUME 50", "VOLA  50"},
        {"VOLUME 55", "VOLA  55"},
        {"VOLUME 60", "VOLA  60"},
        {"Picture row 1 Normal", "RASR   1"},
        {"Picture row 1 D by D", "RASR   3"},
        {"Picture row 1 Border", "RASR   6"},
        {"Picture row 1 Stretch", "RASR   2"},
        {"Picture row 1 Standard", "RAPS  10"},
        {"Picture row 1 Presentation", "RAPS  11"},
        {"Picture row 1 Cinema", "RAPS  12"},
        {"Picture row 1 Game", "RAPS  13"},
        {"Picture row 2 Normal", "RBSR   1"},
        {"Picture row 2 D by D", "RBSR   3"},
        {"Picture row 2 Border", "RBSR   6"},
        {"Picture row 2 Stretch", "RBSR   2"},
        {"Picture row 2 Standard", "RBPS  10"},
        {"Picture row 2 Presentation", "RBPS  11"},
        {"Picture row 2 Cinema", "RBPS  12"},
        {"Picture row 2 Game", "RBPS  13"},
        {"Picture row 3 Normal", "RASV   1"},
        {"Picture row 3 D by D", "CF INPUT3 ANALOG"},
        {"Picture row 3 Border", "RASV   3"},
        {"Picture row 3 Stretch", "RASV   2"},
        {"Picture row 3 Standard", "VAPS  10"},
        {"Picture row 3 Presentation", "VAPS  11"},
        {"Picture row 3 Cinema", "VAPS  12"},
        {"Picture row 3 Game", "VAPS  13"},
        {"Picture row 4 Normal", "RBSV   1"},
        {"Picture row 4 D by D", "CF INPUT4 ANALOG"},
        {"Picture row 4 Border", "RBSV   3"},
        {"Picture row 4 Stretch", "RBSV   2"},
        {"Picture row 4 Standard", "VBPS  10"},
        {"Picture row 4 Presentation", "VBPS  11"},
        {"Picture row 4 Cinema", "VBPS  12"},
        {"Picture row 4 Game", "VBPS  13"},
    };
    static_assert(std::size(rows) == 75);
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QByteArray(row[1]);
}

void TestPanel::everyButtonSendsItsCommand()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, command);

    PanelFixture panel;
    int ctrlJ = Qt::Key_J, ctrl = 2;
    panel.form->Form_KeyDown(ctrlJ, ctrl);
    panel.form->Image1_DblClick(); // the full panel: every button can be seen

    QPushButton* button = panel.button(name);
    QVERIFY2(button, qPrintable(name));
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    const QByteArray frame = command + '\r';
    QCOMPARE(panel.one.read(frame.size()), frame);
    QCOMPARE(panel.one.read(1, std::chrono::milliseconds(20)), QByteArray()); // nothing more
    QCOMPARE(panel.line("Label11").size(), 1 + 2 * command.size() + 3); // the echo, ending "CR "

    // The tooltip shows the command with its blanks made visible.
    QVERIFY2(button->toolTip().startsWith(QString::fromLatin1(command).replace(' ', QChar(0x2423))),
             qPrintable(button->toolTip()));
}

void TestPanel::sameButtonTwiceSendsTwice()
{
    PanelFixture panel;
    QPushButton* on = panel.button(QStringLiteral("POWER ON"));
    QTest::mouseClick(on, Qt::LeftButton);
    QTest::mouseClick(on, Qt::LeftButton);
    QCOMPARE(panel.one.read(18), QByteArray("POWR   1\rPOWR   1\r"));
}

void TestPanel::pictureGroupAndSendSetTheTimerIntervals()
{
    PanelFixture panel;
    int ctrlJ = Qt::Key_J, ctrl = 2;
    panel.form->Form_KeyDown(ctrlJ, ctrl);
    panel.form->Image1_DblClick();
    QTimer* watchdog = panel.timer("Timer2");
    QTimer* blanking = panel.timer("Timer4");

    QTest::mouseClick(panel.button(QStringLiteral("POWER ON")), Qt::LeftButton);
    QCOMPARE(watchdog->interval(), 500);
    QCOMPARE(blanking->interval(), 1000);

    QTest::mouseClick(panel.button(QStringLiteral("Picture row 1 Standard")), Qt::LeftButton);
    QCOMPARE(watchdog->interval(), 5000);
    QCOMPARE(blanking->interval(), 5500);
    QTest::mouseClick(panel.button(QStringLiteral("POWER ON")), Qt::LeftButton);
    QCOMPARE(watchdog->interval(), 5000); // never set back
    QCOMPARE(blanking->interval(), 5500);
    QVERIFY(watchdog->isActive() && blanking->isActive());

    QTest::mouseClick(panel.find<QPushButton>("Command95"), Qt::LeftButton); // SEND
    QCOMPARE(watchdog->interval(), 2000);
    QCOMPARE(blanking->interval(), 2500);
    QTest::mouseClick(panel.button(QStringLiteral("VOLUME 35")), Qt::LeftButton);
    QCOMPARE(watchdog->interval(), 2000);
    QCOMPARE(blanking->interval(), 2500);
}

void TestPanel::replyIsReadAgainstTheLaterCommand()
{
    PanelFixture panel;
    int ctrlJ = Qt::Key_J, ctrl = 2;
    panel.form->Form_KeyDown(ctrlJ, ctrl);
    QTest::mouseClick(panel.button(QStringLiteral("POWER-Status")), Qt::LeftButton);
    QTest::mouseClick(panel.button(QStringLiteral("PJ-Status")), Qt::LeftButton);
    panel.one.write("0\r"); // the answer to POWER-Status, read as projector status
    QTRY_COMPARE(panel.line("Label22"), QByteArray(" Normal"));
}

void TestPanel::freeText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("onTheLine");

    QTest::newRow("empty box sends CR alone") << QString() << QByteArray("\r");
    QTest::newRow("three blanks as POWER ON") << "POWR   1" << QByteArray("POWR   1\r");
    QTest::newRow("one blank is another command") << "POWR 1" << QByteArray("POWR 1\r");
    QTest::newRow("CR PRESSURE") << "CR PRESSURE" << QByteArray("CR PRESSURE\r");
    QTest::newRow("lower case kept") << "powr   1" << QByteArray("powr   1\r");
    QTest::newRow("blanks at the ends kept") << "  CR4  " << QByteArray("  CR4  \r");
    QTest::newRow("non-ASCII as one question mark") << QString::fromUtf8("é→日😀x")
                                                    << QByteArray("????x\r");
}

void TestPanel::freeText()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, onTheLine);

    PanelFixture panel;
    auto* box = panel.find<QLineEdit>("Text1");
    box->setFocus();
    type(box, typed);
    QCOMPARE(box->text(), typed);
    QTest::mouseClick(panel.find<QPushButton>("Command95"), Qt::LeftButton);
    QCOMPARE(panel.one.read(onTheLine.size()), onTheLine);
    QCOMPARE(panel.one.read(1, std::chrono::milliseconds(20)), QByteArray());
    QCOMPARE(QByteArray::fromStdString(panel.form->state().FreeText), onTheLine.chopped(1));
    QVERIFY(panel.timer("Timer2")->isActive()); // the reply watch is armed as for any send
}

void TestPanel::freeTextBoxStaysAndClears()
{
    PanelFixture panel;
    auto* box = panel.find<QLineEdit>("Text1");
    QTest::keyClicks(box, QStringLiteral("CR7"));
    auto* send = panel.find<QPushButton>("Command95");
    auto* cls = panel.find<QPushButton>("Command96");
    QTest::mouseClick(send, Qt::LeftButton);
    QTest::mouseClick(send, Qt::LeftButton); // the same command again, the box unchanged
    QCOMPARE(panel.one.read(8), QByteArray("CR7\rCR7\r"));
    QCOMPARE(box->text(), QStringLiteral("CR7"));

    const QByteArray txd = panel.line("Label11");
    QTest::mouseClick(cls, Qt::LeftButton);
    QCOMPARE(box->text(), QString());
    QCOMPARE(QByteArray::fromStdString(panel.form->state().FreeText), QByteArray("CR7"));
    QCOMPARE(QByteArray::fromStdString(panel.form->state().TxCommand), QByteArray("CR7\r"));
    QCOMPARE(panel.line("Label11"), txd);
    QCOMPARE(panel.timer("Timer2")->interval(), 2000);
    QTest::mouseClick(cls, Qt::LeftButton); // on an empty box: nothing changes
    QCOMPARE(box->text(), QString());
    QCOMPARE(panel.one.read(1, std::chrono::milliseconds(20)), QByteArray());

    QVERIFY(box->maxLength() > 1'000'000); // no length limit
}

void TestPanel::enterInTheBoxDoesNotSend()
{
    PanelFixture panel;
    auto* box = panel.find<QLineEdit>("Text1");
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("POWR   0"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Enter);
    QCOMPARE(panel.one.read(1, std::chrono::milliseconds(50)), QByteArray());
}

void TestPanel::typedQueryDecodesAsItsButton()
{
    PanelFixture panel;
    QTest::keyClicks(panel.find<QLineEdit>("Text1"), QStringLiteral("POWR????"));
    QTest::mouseClick(panel.find<QPushButton>("Command95"), Qt::LeftButton);
    QCOMPARE(panel.one.read(9), QByteArray("POWR????\r"));
    panel.one.write("0\r");
    QTRY_COMPARE(panel.line("Label22"), QByteArray(" Standby"));
}

void TestPanel::ctrlJ_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("height");

    QTest::newRow("Ctrl+J") << int(Qt::ControlModifier) << int(Qt::Key_J) << 7200;
    QTest::newRow("Ctrl+Shift+J") << int(Qt::ControlModifier | Qt::ShiftModifier) << int(Qt::Key_J)
                                  << 5350;
    QTest::newRow("Ctrl+Alt+J") << int(Qt::ControlModifier | Qt::AltModifier) << int(Qt::Key_J)
                                << 5350;
    QTest::newRow("J alone") << int(Qt::NoModifier) << int(Qt::Key_J) << 5350;
    QTest::newRow("Ctrl+K") << int(Qt::ControlModifier) << int(Qt::Key_K) << 5350;
}

void TestPanel::ctrlJ()
{
    QFETCH(int, modifiers);
    QFETCH(int, key);
    QFETCH(int, height);

    PanelFixture panel;
    QCOMPARE(panel.form->Height(), 5350);
    QWidget* focused = panel.find("Command17");
    QTest::keyClick(focused, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(panel.form->Height(), height);
    const bool opened = height == 7200;
    QCOMPARE(panel.find("Command34")->isVisibleTo(panel.form.get()), opened);
    QCOMPARE(panel.form->state().FullPanelUnlocked, std::int16_t(opened ? 1 : 0));
    if (opened)
        QCOMPARE(panel.find<QPushButton>("Command34")->text(), QStringLiteral("CLOSE"));
}

void TestPanel::ctrlJReachesTheWindowAndTheFocusedControl()
{
    PanelFixture panel;
    auto* box = panel.find<QLineEdit>("Text1");
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("CR"));

    // The box sees the key press after the window: it still gets it.
    int pressesSeen = 0;
    struct Counter : QObject {
        int* count;
        explicit Counter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_J)
                ++*count;
            return false;
        }
    } counter(&pressesSeen);
    box->installEventFilter(&counter);

    // Auto-repeat repeats the action, which changes nothing further.
    QTest::keyClick(box, Qt::Key_J, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(panel.form->Height(), 7200);
    QCOMPARE(pressesSeen, 2);
    QCOMPARE(box->text(), QStringLiteral("CR"));
}

void TestPanel::logoBeforeCtrlJDoesNothing()
{
    PanelFixture panel;
    QWidget* logo = panel.find("Image1");
    QTest::mouseDClick(logo, Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 5350);
    QVERIFY(!panel.find("Command34")->isVisibleTo(panel.form.get()));

    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton); // clears the unlock
    QCOMPARE(panel.form->Height(), 5350);
    QTest::mouseDClick(logo, Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 5350);
}

void TestPanel::modeSequence()
{
    PanelFixture panel;
    auto* toggle = panel.find<QPushButton>("Command34");
    const QString show = QString::fromUtf8("データを表示する");
    const QString hide = QString::fromUtf8("データを表示しない");

    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(panel.form->Height(), 7200);
    QCOMPARE(toggle->text(), QStringLiteral("CLOSE"));
    QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 9100);
    QCOMPARE(toggle->text(), QStringLiteral("CLOSE"));
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 5350);
    QCOMPARE(toggle->text(), show);
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 6645);
    QCOMPARE(toggle->text(), hide);
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 5350);
    QCOMPARE(toggle->text(), show);
    QVERIFY(toggle->isVisible()); // nothing hides it again

    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(panel.form->Height(), 7200); // from every mode
}

void TestPanel::exactly6000IsLarge()
{
    PanelFixture panel;
    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    panel.form->setHeight(6000);
    QCOMPARE(panel.form->Height(), 6000);
    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 5350);
    panel.form->setHeight(5999);
    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 6645);
}

void TestPanel::eachModeShowsItsBands()
{
    PanelFixture panel;
    Form1& form = *panel.form;
    // Whether a control lies wholly inside the window's client area.
    const auto shown = [&](const char* name) {
        QWidget* w = panel.find(name);
        return form.rect().contains(QRect(w->mapTo(&form, QPoint(0, 0)), w->size()));
    };

    // compact: the command groups down to the signal-type band (ends at 4815 twips)
    QCOMPARE(form.height(), 328);
    QVERIFY(shown("Command16") && shown("Command41") && shown("Command58"));
    QVERIFY(!shown("Frame9") && !shown("Command44"));

    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier); // extended
    QVERIFY(shown("Frame9") && shown("Command44") && shown("Command45") && shown("Command34"));
    QVERIFY(!shown("Frame10"));

    QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton); // full
    QVERIFY(shown("Frame10") && shown("Frame15") && shown("Command95"));

    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton); // compact
    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton); // data: ends at Frame9
    QCOMPARE(form.height(), 414);
    QVERIFY(shown("Frame9") && !shown("Frame10"));
}

void TestPanel::startUpPlacement()
{
    PanelFixture panel;
    const QRect screen = panel.form->screen()->geometry();
    // Centred on the outer width (9495 + two 4-pixel borders); vertically on the design-time
    // outer height (8730 + 435 twips).
    QCOMPARE(panel.form->pos().x(), qRound((screen.width() * 15 - 9615) / 2.0 / 15));
    QCOMPARE(panel.form->pos().y(), qRound((screen.height() * 15 - 9165) / 2.0 / 15));
    QCOMPARE(panel.form->windowTitle(), QStringLiteral("OMTA   QPV-7100   CONTROL   Ver.1.42"));
}

void TestPanel::focusStartsOnPowerOnAndTabFollowsTheDesign()
{
    PanelFixture panel;
    QApplication::setActiveWindow(panel.form.get());
    QVERIFY(QTest::qWaitForWindowActive(panel.form.get()));
    QCOMPARE(QApplication::focusWidget(), panel.find("Command17"));

    // Tab indexes: POWER ON 1, A-IMAGE 15, END 16, POWER OFF 17, Inside SP ON 18.
    const char* const order[] = {"Command13", "Command16", "Command18", "Command19"};
    for (const char* name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(name));
    }
    // The captionless picture buttons are in the order too: row 3 runs 68 to 75.
    panel.find("Command79")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command80"));
    // Row 2 "Presentation" has tab index 95, after the others of its row.
    panel.find("Command75")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command77"));
}

void TestPanel::enterAndSpacePressTheFocusedButton()
{
    PanelFixture panel;
    QWidget* on = panel.find("Command17");
    QTest::keyClick(on, Qt::Key_Return);
    QTest::keyClick(on, Qt::Key_Space);
    QTest::keyClick(on, Qt::Key_Enter);
    QCOMPARE(panel.one.read(27), QByteArray("POWR   1\rPOWR   1\rPOWR   1\r"));
}

void TestPanel::layoutAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips"); // left, top, width, height relative to the container
    QTest::addColumn<QString>("parent");

    QTest::newRow("Frame1") << "Frame1" << QRect(120, 240, 1695, 975) << "Form1";
    QTest::newRow("Command17") << "Command17" << QRect(120, 600, 615, 300) << "Frame1";
    QTest::newRow("Command53") << "Command53" << QRect(2520, 600, 1095, 300) << "Frame2";
    QTest::newRow("Command13") << "Command13" << QRect(7800, 1920, 975, 250) << "Form1";
    QTest::newRow("Image1") << "Image1" << QRect(8160, 120, 1200, 390) << "Form1";
    QTest::newRow("Frame14") << "Frame14" << QRect(120, 2280, 8655, 1320) << "Form1";
    QTest::newRow("Command68") << "Command68" << QRect(5040, 240, 1455, 255) << "Frame14";
    QTest::newRow("Command88") << "Command88" << QRect(1200, 960, 735, 255) << "Frame14";
    QTest::newRow("Label25") << "Label25" << QRect(120, 960, 255, 255) << "Frame14";
    QTest::newRow("Frame8") << "Frame8" << QRect(3480, 3600, 2775, 1185) << "Form1";
    QTest::newRow("Option10") << "Option10" << QRect(1440, 240, 975, 300) << "Frame13";
    QTest::newRow("Command41") << "Command41" << QRect(1920, 4560, 1335, 255) << "Form1";
    QTest::newRow("Label12") << "Label12" << QRect(600, 540, 5616, 300) << "Frame9";
    QTest::newRow("Label22") << "Label22" << QRect(930, 900, 5295, 300) << "Frame9";
    QTest::newRow("Command34") << "Command34" << QRect(6615, 5040, 1200, 375) << "Form1";
    QTest::newRow("Command12") << "Command12" << QRect(3960, 480, 495, 255) << "Frame10";
    QTest::newRow("Text1") << "Text1" << QRect(600, 165, 5055, 345) << "Frame15";
    QTest::newRow("Command96") << "Command96" << QRect(6480, 240, 615, 255) << "Frame15";
}

void TestPanel::layoutAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, parent);

    PanelFixture panel;
    QWidget* w = panel.form->findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->parentWidget()->objectName(), parent);
    const auto px = [](int t) { return qRound(t / 15.0); };
    QCOMPARE(w->geometry(), QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
}

void TestPanel::coloursAsDesigned()
{
    PanelFixture panel;
    const auto colourOf = [&](const char* name) { return buttonColour(panel.find(name)); };
    QCOMPARE(colourOf("Command17"), QColor(0xC0, 0xFF, 0xC0)); // ON
    QCOMPARE(colourOf("Command26"), QColor(0xFF, 0xC0, 0xC0)); // OFF
    QCOMPARE(colourOf("Command95"), QColor(0xC0, 0xFF, 0xC0)); // SEND
    QCOMPARE(colourOf("Command96"), QColor(0xFF, 0xC0, 0xC0)); // CLS
    QCOMPARE(colourOf("Command44"), QColor(0xC0, 0xFF, 0xFF)); // ordinary
    QCOMPARE(colourOf("Command13"), QColor(0x00, 0xC0, 0xC0)); // A-IMAGE
    QCOMPARE(colourOf("Command1"), QColor(0xC0, 0xFF, 0xFF));  // VOLUME darkens
    QCOMPARE(colourOf("Command6"), QColor(0x80, 0xFF, 0xFF));
    QCOMPARE(colourOf("Command9"), QColor(0x00, 0xFF, 0xFF));
    QCOMPARE(colourOf("Command12"), QColor(0x00, 0xC0, 0xC0));
    QCOMPARE(colourOf("Command36"), QColor(0x00, 0x80, 0x80));
    QCOMPARE(colourOf("Command16"), QColor(0xC0, 0xC0, 0xC0)); // END

    // The colour is really painted, whatever the desktop's style.
    QWidget* on = panel.find("Command17");
    const QImage picture = on->grab().toImage();
    const QColor painted(picture.pixel(on->width() / 4, on->height() * 3 / 4));
    QVERIFY2(painted.green() > painted.red() + 30 && painted.green() > painted.blue() + 30,
             qPrintable(painted.name()));

    const QPalette status = panel.find("Label22")->palette();
    QCOMPARE(status.color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(status.color(QPalette::Window), QColor(0xFF, 0xFF, 0xFF));
    QCOMPARE(panel.find("Label1")->palette().color(QPalette::WindowText), QColor(0xC0, 0x00, 0x00));
    QCOMPARE(panel.form->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
}

void TestPanel::fontsAndJapaneseCaptions()
{
    PanelFixture panel;
    const QFontInfo fixed(panel.find("Command44")->font());   // ＭＳ ゴシック 8.25 pt
    const QFontInfo proportional(panel.find("Command17")->font()); // ＭＳ Ｐゴシック 9 pt bold
    QCOMPARE(fixed.family(), QStringLiteral("IPAGothic"));
    QCOMPARE(proportional.family(), QStringLiteral("IPAPGothic"));
    QVERIFY(proportional.bold());
    QCOMPARE(panel.find("Command17")->font().pixelSize(), 12);
    QCOMPARE(panel.find("Command44")->font().pixelSize(), 11);
    QCOMPARE(panel.find("Label3")->font().pixelSize(), 13);
    QCOMPARE(QFontInfo(panel.form->font()).family(), QStringLiteral("IPAGothic")); // window font
    QVERIFY(panel.form->font().bold());

    const QFontMetrics metrics(panel.find("Command34")->font());
    for (const char32_t c : QString::fromUtf8("データを表示しない").toUcs4())
        QVERIFY2(metrics.inFontUcs4(c), "a Japanese caption would show boxes");
}

void TestPanel::hiddenAtStart()
{
    PanelFixture panel;
    Form1* form = panel.form.get();
    QVERIFY(!panel.find("Frame8")->isVisibleTo(form));
    QVERIFY(!panel.find("Option1")->isVisibleTo(form));
    QVERIFY(!panel.find("Command34")->isVisibleTo(form));
    const QStringList visible = {"Command33", "Frame9", "Image1", "Command80", "Text1", "Label22"};
    for (const QString& name : visible)
        QVERIFY2(form->findChild<QWidget*>(name)->isVisibleTo(form), qPrintable(name));
    QVERIFY(!panel.timer("Timer2")->isActive());
    QVERIFY(!panel.timer("Timer3")->isActive());
    QVERIFY(!panel.timer("Timer4")->isActive());
}

void TestPanel::settingsPanelCoversTheComButton()
{
    PanelFixture panel;
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QVERIFY(panel.find("Frame8")->isVisible());
    // Where the speed options overlap the COM button, the option is on top and takes the click.
    QWidget* fast = panel.find("Option9");
    const QPoint centre = fast->mapTo(panel.form.get(), fast->rect().center());
    QWidget* hit = panel.form->childAt(centre);
    QVERIFY(hit == fast || fast->isAncestorOf(hit));
    QVERIFY(panel.find("Command33")->geometry().contains(centre));
}

void TestPanel::endClosesThePortFirst()
{
    PanelFixture panel;
    QVERIFY(panel.form->serialControl().PortOpen());
    bool openWhenHidden = true;
    struct HideSpy : QObject {
        Form1* form;
        bool* open;
        HideSpy(Form1* f, bool* o) : form(f), open(o) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide)
                *open = form->serialControl().PortOpen();
            return false;
        }
    } spy(panel.form.get(), &openWhenHidden);
    panel.form->installEventFilter(&spy);
    QTest::mouseClick(panel.find("Command16"), Qt::LeftButton);
    QVERIFY(!panel.form->isVisible());
    QVERIFY(!openWhenHidden);
}

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
