// The panel as a screen reader meets it, in process: the accessible interfaces of the real
// window, what they read back and what their actions do, and what a change of a traffic line
// tells. That the announcements reach a screen reader is shown through AT-SPI by
// tst_a11y_e2e (the offscreen platform has no accessibility bridge to send them to).

#include "panelfixture.h"

#include <QAccessible>
#include <QLineEdit>
#include <QSet>
#include <QTest>

#include <chrono>
#include <vector>

using namespace qpv;
using namespace std::chrono_literals;

namespace {

QAccessibleInterface* accessible(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString name(QObject* object)
{
    return accessible(object)->text(QAccessible::Name);
}

QAccessible::State state(QObject* object)
{
    return accessible(object)->state();
}

// What a screen reader counts as showing: neither hidden nor cut off by the window's size.
bool showing(QObject* object)
{
    const QAccessible::State s = state(object);
    return !s.invisible && !s.offscreen;
}

// A screen reader's press: the action, then the event loop runs the click it queued.
void press(QObject* object, const QString& action = QAccessibleActionInterface::pressAction())
{
    QAccessibleActionInterface* actions = accessible(object)->actionInterface();
    QVERIFY(actions);
    QVERIFY2(actions->actionNames().contains(action), qPrintable(name(object)));
    actions->doAction(action);
    QCoreApplication::processEvents();
}

// The name a caption beside the control gives it.
QString labelledBy(QObject* object)
{
    const auto labels = accessible(object)->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// One command as it comes down the line: everything up to its CR.
QByteArray readCommand(PtyPair& line)
{
    QByteArray command;
    while (!command.endsWith('\r')) {
        const QByteArray next = line.read(1);
        if (next.isEmpty())
            break;
        command += next;
    }
    return command;
}

void openTheWholePanel(PanelFixture& panel)
{
    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton);
    QCOMPARE(panel.form->Height(), 9100);
}

QString longEcho()
{
    QString text;
    while (text.size() < 65535)
        text += QStringLiteral(" 8 0 CR <b>&amp;</b> ");
    text.truncate(65535);
    return text;
}

} // namespace

class TestA11yPanel : public QObject {
    Q_OBJECT

private slots:
    void linesReadBackExactly_data();
    void linesReadBackExactly();
    void lineChangesTellOnlyWhatChanged_data();
    void lineChangesTellOnlyWhatChanged();
    void statusReplyReadsBack();
    void everyControlHasAName();
    void commandButtonsPressAsAClickDoes();
    void everyCommandButtonSendsWhatItsClickSends();
    void optionsEntryBoxAndPanelButtons();
    void windowModesChangeWhatIsShowing();
    void everyControlFollowsTheWindowSize();
    void hiddenControlsCannotBePressed();
};

void TestA11yPanel::linesReadBackExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("status") << QStringLiteral(" Stand by");
    QTest::newRow("lamp hours")
        << QStringLiteral(" 0 1 2 3   0 4 5 6   0 7 8 9   1 0 1 1 Hour Use");
    QTest::newRow("markup stays text") << QStringLiteral("<b>bold</b> &amp; <i>x</i> &lt;");
    QTest::newRow("blanks kept") << QStringLiteral("   two  blanks   ");
    QTest::newRow("device path") << QStringLiteral(" COM1 (/dev/ttyÜSB0) is not open");
    QTest::newRow("65535 characters") << longEcho();
}

void TestA11yPanel::linesReadBackExactly()
{
    QFETCH(QString, text);
    PanelFixture panel;
    for (const char* line : {"Label11", "Label12", "Label22"}) {
        auto* widget = panel.find<DisplayLine>(line);
        widget->setText(text.toStdString());
        QAccessibleInterface* iface = accessible(widget);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QCOMPARE(iface->text(QAccessible::Name), text);
        QCOMPARE(iface->text(QAccessible::Value), text);
        QAccessibleTextInterface* textIface = iface->textInterface();
        QVERIFY(textIface);
        QCOMPARE(textIface->characterCount(), text.size());
        QCOMPARE(textIface->text(0, textIface->characterCount()), text);
        QCOMPARE(textIface->text(0, -1), text);
        QCOMPARE(textIface->text(1, 4), text.mid(1, 3));
        QVERIFY(iface->state().readOnly);
    }
}

void TestA11yPanel::lineChangesTellOnlyWhatChanged_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    // The longest text any one change may carry.
    QTest::addColumn<int>("mostTold");

    const QString echo = longEcho();
    QTest::newRow("first text") << QString() << QStringLiteral(" Stand by") << 9;
    QTest::newRow("status changes") << QStringLiteral(" Stand by") << QStringLiteral(" Normal")
                                    << 8;
    QTest::newRow("blanked") << QStringLiteral(" 8 0 CR ") << QString() << 8;
    QTest::newRow("echo grows") << QStringLiteral(" 8 0 ") << QStringLiteral(" 8 0 CR ") << 3;
    QTest::newRow("long echo grows") << echo.left(65000) << echo << 535;
    QTest::newRow("echo at its cap moves on")
        << echo << echo.mid(6) + QStringLiteral(" 4 1 CR ") << 8;
    QTest::newRow("front dropped only") << QStringLiteral(" 8 0 CR  4 1 CR ")
                                        << QStringLiteral(" 4 1 CR ") << 8;
    QTest::newRow("repeating text") << QStringLiteral(" A A A A A A A A A A A A A A A A A A")
                                    << QStringLiteral(" A A A A A A A A A A A A A A A A A B") << 36;
    QTest::newRow("watchdog") << QStringLiteral(" 8 ") << QStringLiteral(" X X X X") << 7;
    QTest::newRow("beyond ASCII") << QStringLiteral(" COM1 (/dev/ttyÜSB0) is not open")
                                  << QStringLiteral(" COM1 (/dev/ttyÜSB1) is not open") << 40;
    QTest::newRow("unchanged") << QStringLiteral(" ON") << QStringLiteral(" ON") << 0;
}

void TestA11yPanel::lineChangesTellOnlyWhatChanged()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, mostTold);

    // Applied in order to the old text, the changes told give the new text.
    QString text = before;
    const auto changes = lineChanges(before.toStdString(), after.toStdString());
    for (const LineChange& change : changes) {
        QVERIFY(!change.removed.isEmpty() || !change.inserted.isEmpty());
        QVERIFY(change.inserted.size() <= mostTold && change.removed.size() <= mostTold);
        QCOMPARE(text.mid(change.position, change.removed.size()), change.removed);
        text.replace(change.position, change.removed.size(), change.inserted);
    }
    QCOMPARE(text, after);
    QCOMPARE(changes.empty(), before == after);
}

void TestA11yPanel::statusReplyReadsBack()
{
    PanelFixture panel;
    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    QObject* status = panel.find("Label22");
    QObject* received = panel.find("Label12");
    QObject* sent = panel.find("Label11");

    press(panel.button(QStringLiteral("PJ-Status")));
    QCOMPARE(panel.one.read(9), QByteArray("TABN   1\r"));
    QCOMPARE(name(sent), QStringLiteral(" T A B N       1 CR "));
    panel.one.write("80\r");
    QTRY_COMPARE_WITH_TIMEOUT(name(status), QStringLiteral(" Stand by"), 400);
    QCOMPARE(accessible(status)->textInterface()->text(0, -1), QStringLiteral(" Stand by"));
    QCOMPARE(name(received), QStringLiteral(" 8 0 CR "));
    QVERIFY(showing(status));
    // Where a character is drawn, and which character is drawn there (a magnifier's question).
    QAccessibleTextInterface* text = accessible(status)->textInterface();
    const QRect s = text->characterRect(1);
    const QRect t = text->characterRect(2);
    QVERIFY(!s.isEmpty() && t.left() >= s.right());
    QVERIFY(accessible(status)->rect().contains(s));
    QCOMPARE(text->offsetAtPoint(s.center()), 1);
    QCOMPARE(text->offsetAtPoint(t.center()), 2);

    // Blanked a second after the send, and read back so.
    QTRY_COMPARE_WITH_TIMEOUT(name(status), QString(), 1500);
    QCOMPARE(accessible(status)->textInterface()->characterCount(), 0);
    QCOMPARE(name(received), QString());
}

void TestA11yPanel::everyControlHasAName()
{
    PanelFixture panel;
    QAccessibleInterface* window = accessible(panel.form.get());
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name),
             QStringLiteral("OMTA   QPV-7100   CONTROL   Ver.1.42"));

    QStringList unnamed;
    int controls = 0;
    std::vector<QAccessibleInterface*> pending{window};
    while (!pending.empty()) {
        QAccessibleInterface* iface = pending.back();
        pending.pop_back();
        for (int i = 0; i < iface->childCount(); ++i)
            pending.push_back(iface->child(i));
        if (iface == window)
            continue;
        ++controls;
        // A traffic line's name is its text, blank at first: its caption names it.
        const QString named = iface->role() == QAccessible::StaticText && iface->textInterface()
                                  ? labelledBy(iface->object())
                                  : iface->text(QAccessible::Name);
        if (named.trimmed().isEmpty())
            unnamed << iface->object()->objectName();
    }
    QCOMPARE(controls, 122);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u' ')));

    // The ones without a caption of their own.
    QCOMPARE(labelledBy(panel.find("Label11")), QStringLiteral("TXD"));
    QCOMPARE(labelledBy(panel.find("Label12")), QStringLiteral("RXD"));
    QCOMPARE(labelledBy(panel.find("Label22")), QStringLiteral("STATUS"));
    QCOMPARE(labelledBy(panel.find("Text1")), QStringLiteral("CMD"));
    QCOMPARE(name(panel.find("Frame1")), QStringLiteral("POWER"));
    QCOMPARE(name(panel.find("Frame10")), QStringLiteral("VOLUME"));
    QCOMPARE(name(panel.find("Frame8")), QStringLiteral("COM settings"));
    QCOMPARE(accessible(panel.find("Frame8"))->role(), QAccessible::Grouping);
    QCOMPARE(name(panel.find("Image1")), QStringLiteral("OMTA logo"));
    QCOMPARE(name(panel.find("Label1")), QStringLiteral("POWER"));
}

void TestA11yPanel::commandButtonsPressAsAClickDoes()
{
    PanelFixture panel;
    openTheWholePanel(panel);
    const struct {
        const char* name;
        QByteArray frame;
    } rows[] = {
        {"POWER ON", "POWR   1\r"},
        {"VOLUME 35", "VOLA  35\r"},
        {"Picture row 3 D by D", "CF INPUT3 ANALOG\r"},
        {"Picture row 4 D by D", "CF INPUT4 ANALOG\r"},
        {"Signal Type 2 Component", "IBSI   2\r"},
        {"LAMP-TIME", "TLTT   1\r"},
    };
    for (const auto& row : rows) {
        QPushButton* button = panel.button(QString::fromLatin1(row.name));
        QVERIFY2(button, row.name);
        QAccessibleInterface* iface = accessible(button);
        QCOMPARE(iface->role(), QAccessible::PushButton);
        QCOMPARE(iface->text(QAccessible::Name), QString::fromLatin1(row.name));
        QVERIFY(showing(button));
        press(button);
        QCOMPARE(panel.one.read(row.frame.size()), row.frame);
        QCOMPARE(panel.one.read(1, 20ms), QByteArray()); // once, nothing more
    }

    // Two presses in a row are two commands, as two clicks are.
    QPushButton* off = panel.button(QStringLiteral("POWER OFF"));
    accessible(off)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    accessible(off)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    QCOMPARE(panel.one.read(18), QByteArray("POWR   0\rPOWR   0\r"));
}

void TestA11yPanel::everyCommandButtonSendsWhatItsClickSends()
{
    PanelFixture panel;
    openTheWholePanel(panel);
    const QStringList others = {QStringLiteral("Command16"), QStringLiteral("Command33"),
                                QStringLiteral("Command34"), QStringLiteral("Command95"),
                                QStringLiteral("Command96")}; // END, COM, toggle, SEND, CLS
    QStringList names;
    for (QPushButton* button : panel.form->findChildren<QPushButton*>()) {
        if (others.contains(button->objectName()))
            continue;
        const QString named = name(button);
        names << named;
        QVERIFY2(showing(button), qPrintable(named));
        QTest::mouseClick(button, Qt::LeftButton);
        const QByteArray clicked = readCommand(panel.one);
        press(button);
        const QByteArray pressed = readCommand(panel.one);
        QVERIFY2(clicked.size() > 1 && clicked.endsWith('\r'), qPrintable(named));
        QCOMPARE(pressed, clicked);
    }
    QCOMPARE(panel.one.read(1, 20ms), QByteArray()); // nothing more
    QCOMPARE(names.size(), 75);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 75); // told apart by name
}

void TestA11yPanel::optionsEntryBoxAndPanelButtons()
{
    PanelFixture panel;
    openTheWholePanel(panel);

    // The settings panel: hidden until COM, its options marked as at start-up.
    QWidget* com = panel.find("Command33");
    QCOMPARE(name(com), QStringLiteral("COM"));
    const char* const options[][2] = {
        {"Option1", "COM1"}, {"Option2", "COM2"}, {"Option9", "115200"}, {"Option10", "9600"}};
    for (const auto& option : options) {
        QCOMPARE(name(panel.find(option[0])), QString::fromLatin1(option[1]));
        QCOMPARE(accessible(panel.find(option[0]))->role(), QAccessible::RadioButton);
        QVERIFY(state(panel.find(option[0])).invisible);
    }
    QVERIFY(state(panel.find("Option1")).checked && state(panel.find("Option10")).checked);
    QVERIFY(!state(panel.find("Option2")).checked && !state(panel.find("Option9")).checked);
    press(com);
    QVERIFY(showing(panel.find("Frame8")) && showing(panel.find("Option9")));
    press(panel.find("Option9"), QAccessibleActionInterface::toggleAction());
    QVERIFY(state(panel.find("Option9")).checked);
    QVERIFY(!state(panel.find("Option10")).checked);
    QVERIFY(!showing(panel.find("Option9"))); // the panel closes after a choice
    QVERIFY(panel.boxes.texts.isEmpty());

    // The entry box: named by its caption, edited through the interface, sent with SEND.
    auto* box = panel.find<QLineEdit>("Text1");
    QAccessibleInterface* entry = accessible(box);
    QCOMPARE(entry->role(), QAccessible::EditableText);
    QCOMPARE(entry->text(QAccessible::Name), QStringLiteral("CMD"));
    QVERIFY(entry->state().editable && showing(box));
    QAccessibleEditableTextInterface* editable = entry->editableTextInterface();
    QVERIFY(editable);
    editable->insertText(0, QStringLiteral("CR"));
    editable->insertText(2, QStringLiteral("77"));
    editable->deleteText(3, 4);
    QCOMPARE(box->text(), QStringLiteral("CR7"));
    QCOMPARE(entry->textInterface()->text(0, -1), QStringLiteral("CR7"));
    QCOMPARE(entry->text(QAccessible::Value), QStringLiteral("CR7"));
    QWidget* send = panel.find("Command95");
    QCOMPARE(name(send), QStringLiteral("SEND"));
    press(send);
    QCOMPARE(panel.one.read(4), QByteArray("CR7\r"));
    editable->replaceText(0, -1, QStringLiteral("CR PRESSURE"));
    QCOMPARE(box->text(), QStringLiteral("CR PRESSURE"));
    QWidget* cls = panel.find("Command96");
    QCOMPARE(name(cls), QStringLiteral("CLS"));
    press(cls);
    QCOMPARE(box->text(), QString());

    // The toggle is named by its caption, which follows the mode.
    QWidget* toggle = panel.find("Command34");
    QCOMPARE(name(toggle), QStringLiteral("CLOSE"));
    press(toggle);
    QCOMPARE(panel.form->Height(), 5350);
    QCOMPARE(name(toggle), QStringLiteral("データを表示する"));
    QVERIFY(!showing(box));

    QWidget* end = panel.find("Command16");
    QCOMPARE(name(end), QStringLiteral("END"));
    press(end);
    QVERIFY(!panel.form->isVisible());
}

void TestA11yPanel::windowModesChangeWhatIsShowing()
{
    PanelFixture panel;
    const char* const compact[] = {"Command17", "Command33", "Command16", "Command41", "Image1"};
    const char* const extended[] = {"Frame9", "Label11", "Label12", "Label22", "Label9",
                                    "Command44", "Command45", "Command46", "Command47"};
    const char* const full[] = {"Frame10", "Label13", "Command9", "Frame15", "Text1",
                                "Command95", "Command96"};
    const auto allShowing = [&](const auto& names, bool expected) {
        for (const char* n : names) {
            if (showing(panel.find(n)) != expected)
                return QByteArray(n) + (expected ? " is not showing" : " is showing");
        }
        return QByteArray();
    };

    QCOMPARE(allShowing(compact, true), QByteArray());
    QCOMPARE(allShowing(extended, false), QByteArray());
    QCOMPARE(allShowing(full, false), QByteArray());
    QVERIFY(state(panel.find("Command34")).invisible);
    QVERIFY(state(panel.find("Frame8")).invisible);

    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(allShowing(compact, true), QByteArray());
    QCOMPARE(allShowing(extended, true), QByteArray());
    QCOMPARE(allShowing(full, false), QByteArray());
    QVERIFY(showing(panel.find("Command34")));

    QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton);
    QCOMPARE(allShowing(full, true), QByteArray());

    press(panel.find("Command34")); // back to compact
    QCOMPARE(allShowing(compact, true), QByteArray());
    QCOMPARE(allShowing(extended, false), QByteArray());
    QCOMPARE(allShowing(full, false), QByteArray());
    // The toggle is cut off below the compact window, but not hidden: the keyboard reaches it.
    QVERIFY(!showing(panel.find("Command34")) && !state(panel.find("Command34")).invisible);

    press(panel.find("Command34")); // data: the traffic display without the queries
    QCOMPARE(panel.form->Height(), 6645);
    for (const char* n : {"Frame9", "Label11", "Label12", "Label22"})
        QVERIFY2(showing(panel.find(n)), n);
    QVERIFY(!showing(panel.find("Frame10")) && !showing(panel.find("Text1")));

    // The logo's press is its double-click: only after Ctrl+J it opens the whole panel.
    press(panel.find("Image1"));
    QCOMPARE(panel.form->Height(), 6645);
    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    press(panel.find("Image1"));
    QCOMPARE(panel.form->Height(), 9100);
    QCOMPARE(allShowing(full, true), QByteArray());
}

void TestA11yPanel::everyControlFollowsTheWindowSize()
{
    PanelFixture panel;
    Form1& form = *panel.form;
    const auto check = [&](const char* mode) {
        QStringList wrong;
        int inside = 0, outside = 0;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            const QRect area(w->mapTo(&form, QPoint(0, 0)), w->size());
            bool expected = false;
            if (!w->isVisible())
                expected = false;
            else if (form.rect().contains(area))
                expected = true, ++inside;
            else if (!form.rect().intersects(area))
                expected = false, ++outside;
            else
                continue; // partly cut off
            if (showing(w) != expected)
                wrong << w->objectName();
        }
        return QStringLiteral("%1: %2 inside, %3 outside, wrong: %4")
            .arg(QLatin1String(mode))
            .arg(inside)
            .arg(outside)
            .arg(wrong.join(u' '));
    };
    const auto rightFor = [](const QString& report) { return report.endsWith(u": "); };

    QVERIFY2(rightFor(check("compact")), qPrintable(check("compact")));
    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    QVERIFY2(rightFor(check("extended")), qPrintable(check("extended")));
    QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton);
    QVERIFY2(rightFor(check("full")), qPrintable(check("full")));
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton); // the settings panel
    QVERIFY2(rightFor(check("full, settings")), qPrintable(check("full, settings")));
    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton);
    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton);
    QCOMPARE(form.Height(), 6645);
    QVERIFY2(rightFor(check("data")), qPrintable(check("data")));
}

void TestA11yPanel::hiddenControlsCannotBePressed()
{
    PanelFixture panel;
    auto* toggle = panel.find<QPushButton>("Command34");
    QVERIFY(state(toggle).invisible);
    accessible(toggle)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    QCOMPARE(panel.form->Height(), 5350);
    QCOMPARE(toggle->text(), QStringLiteral("データを表示する"));

    // A control cut off by the window's size is still there for the keyboard, and so for a
    // screen reader's press, as Tab and Enter reach it.
    QPushButton* volume = panel.button(QStringLiteral("VOLUME 35"));
    QVERIFY(!showing(volume) && !state(volume).invisible);
    press(volume);
    QCOMPARE(panel.one.read(9), QByteArray("VOLA  35\r"));
}

QTEST_MAIN(TestA11yPanel)
#include "tst_a11y_panel.moc"
