// The line as the window drives it, against pseudo-terminals playing the projector: what goes
// out, what comes back and when the watchdog and the blanking act, the line settings, the
// reports of a port that cannot be opened or goes away, and port and speed selection.

#include "serial/linesettings.h"
#include "sim/simulator.h"
#include "support.h"

#include <QElapsedTimer>
#include <QRadioButton>

using namespace qpv;
using namespace std::chrono_literals;

namespace {

const QString kMissing = QStringLiteral("/nonexistent/ttyUSB7");

bool marked(const Panel& panel, const char* option)
{
    return panel.find<QRadioButton>(option)->isChecked();
}

speed_t speedOf(const PtyPair& pty)
{
    const termios t = pty.attributes();
    return ::cfgetospeed(&t);
}

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void oneExchange();
    void queriesInQuickSuccessionAreDecodedAlone();
    void aNewIntervalRestartsTheWatchdogAndTheSameOneDoesNot();
    void lineSettings_data();
    void lineSettings();
    void openFailuresNameDeviceAndCause_data();
    void openFailuresNameDeviceAndCause();
    void portAndSpeedSelection();
    void aFailedChoiceKeepsThePortInUseAndItsWait_data();
    void aFailedChoiceKeepsThePortInUseAndItsWait();
    void settingsPanelHidesItselfAfterFiveSeconds();
};

void TestLink::oneExchange()
{
    Panel panel;
    panel.click("Command44"); // PJ-Status
    QCOMPARE(panel.one.read(9), QByteArray::fromHex("5441424E202020310D"));
    QCOMPARE(panel.txd(), QByteArray(" T A B N       1 CR "));
    QVERIFY(panel.timer("Timer2")->isActive() && panel.timer("Timer4")->isActive());

    // A reply in two pieces is shown and decoded after each.
    panel.one.write("8");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 "));
    QCOMPARE(panel.status(), QByteArray(" Lamp Life 5% or less"));
    panel.one.write("0\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 0 CR "));
    QCOMPARE(panel.status(), QByteArray(" Stand by"));
    QTRY_COMPARE_WITH_TIMEOUT(panel.txd(), QByteArray(), 1500); // blanked after 1000 ms
    QCOMPARE(panel.rxd() + panel.status(), QByteArray());

    // No reply: " X X X X" at 500 ms; a late one replaces it and is decoded.
    panel.click("Command47"); // POWER-Status
    QTRY_COMPARE_WITH_TIMEOUT(panel.rxd(), QByteArray(" X X X X"), 800);
    QVERIFY(!panel.timer("Timer2")->isActive());
    panel.one.write("1\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 1 CR "));
    QCOMPARE(panel.status(), QByteArray(" ON"));

    // The reply is read against the command sent last; with no command outstanding it is
    // shown and decoded just the same.
    panel.form->Timer4_Timer();
    panel.form->Timer2_Timer();
    panel.click("Command47");
    panel.click("Command44");
    panel.one.write("0\r");
    QTRY_COMPARE(panel.status(), QByteArray(" Normal"));
    panel.form->Timer2_Timer();
    panel.one.write("\x06\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" ACK CR "));
}

void TestLink::queriesInQuickSuccessionAreDecodedAlone()
{
    // Three queries 400 ms apart with the 500 ms watchdog: the buffer empties on the first
    // send's schedule, so the third reply is decoded alone.
    Panel panel;
    QElapsedTimer clock;
    clock.start();
    const auto at = [&clock](int ms) { QTest::qWait(std::max(0, ms - int(clock.elapsed()))); };
    panel.click("Command44");
    panel.one.write("80\r");
    QTRY_COMPARE(panel.status(), QByteArray(" Stand by"));
    at(400);
    panel.click("Command45");
    panel.one.write("1\r");
    QTRY_VERIFY(panel.rxd().endsWith(" 1 CR "));
    at(800);
    panel.click("Command47");
    panel.one.write("1\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 1 CR "));
    QCOMPARE(panel.status(), QByteArray(" ON"));

    // A late character still stands in front of the next reply.
    at(1300 + 50);
    panel.click("Command44");
    QTRY_COMPARE_WITH_TIMEOUT(panel.rxd(), QByteArray(" X X X X"), 1000);
    panel.one.write("8");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 "));
    panel.click("Command44");
    panel.one.write("00\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 0 0 CR "));
    QCOMPARE(panel.status(), QByteArray(" Stand by"));
}

void TestLink::aNewIntervalRestartsTheWatchdogAndTheSameOneDoesNot()
{
    Panel panel;
    QTimer* watchdog = panel.timer("Timer2");
    QTimer* blanking = panel.timer("Timer4");
    panel.click("Command95"); // SEND: 2000 ms, 2500 ms
    QTest::qWait(400);
    panel.click("Command95");
    QVERIFY(watchdog->remainingTime() < 1700); // runs on from the first SEND
    QVERIFY(blanking->remainingTime() > 2400); // each command's lines stay up in full
    panel.click("Command67");                  // a picture-group button: 5000 ms
    QVERIFY(watchdog->remainingTime() > 4900);
    QTest::qWait(400);
    panel.click("Command68");
    QVERIFY(watchdog->remainingTime() < 4700);
}

void TestLink::lineSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud"); // 0: refused
    // clang-format off
    const std::pair<const char*, int> rows[] = {
        {"9600,N,8,1", 9600}, {"115200,N,8,1", 115200}, {"4800,E,7,2", 4800}, {"9600,O,5,1.5", 9600},
        {"", 0}, {"9600,N,8", 0}, {"9600,N,8,1,0", 0}, {"9600, N,8,1", 0}, {"9600,n,8,1", 0},
        {"+9600,N,8,1", 0}, {"0,N,8,1", 0}, {"9600,N,9,1", 0}, {"9600,N,8,3", 0}};
    // clang-format on
    for (const auto& [text, baud] : rows)
        QTest::newRow(*text ? text : "empty") << QString::fromLatin1(text) << baud;
}

void TestLink::lineSettings()
{
    QFETCH(QString, text);
    QFETCH(int, baud);
    const ParsedSettings parsed = parseLineSettings(text);
    QCOMPARE(parsed.settings ? parsed.settings->baudRate : 0, baud);
    if (!baud)
        QVERIFY2(parsed.error.startsWith("Invalid line settings \"" + text + '"'),
                 qPrintable(parsed.error));
}

void TestLink::openFailuresNameDeviceAndCause_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("report");
    QTest::newRow("missing")
        << kMissing
        << "COM1 (/nonexistent/ttyUSB7) cannot be opened: the device does not "
           "exist. Check that the cable or USB adapter is plugged in, or start "
           "the panel with --com1 DEVICE.";
    QTest::newRow("not a terminal")
        << "/dev/null"
        << "COM1 (/dev/null) cannot be opened: it is not a serial device.";
    QTest::newRow("busy") << QString()
                          << "COM1 (%1) cannot be opened: the device is busy or locked by another "
                             "program. Close that program, then choose the port again.";
}

void TestLink::openFailuresNameDeviceAndCause()
{
    QFETCH(QString, device);
    QFETCH(QString, report);
    // Another program holds the terminal for the busy case.
    PtyPair held;
    PortMap elsewhere;
    elsewhere.setDevice(1, held.path());
    MSComm holder(elsewhere);
    if (device.isEmpty())
        QVERIFY(holder.setPortOpen(true));

    // The window opens with the port closed and says why once; the operator chooses COM2.
    Panel panel(device.isEmpty() ? held.path() : device);
    QCOMPARE(panel.boxes.texts, QStringList{report.arg(held.path())});
    QVERIFY(panel.form->isVisible() && !panel.comm().PortOpen() && marked(panel, "Option1"));
    panel.choose("Option2");
    QCOMPARE(panel.comm().CommPort(), 2);
    QVERIFY(!panel.find("Frame8")->isVisible());
    panel.click("Command17");
    QCOMPARE(panel.two.read(9), QByteArray("POWR   1\r"));
}

void TestLink::portAndSpeedSelection()
{
    Panel panel({}, kMissing);
    // A speed choice applies to the open port at once and hides the panel.
    panel.choose("Option9");
    QVERIFY(panel.comm().PortOpen() && !panel.find("Frame8")->isVisible());
    QCOMPARE(speedOf(panel.one), speed_t{B115200});

    // COM2 cannot be opened: a warning titled with the program's name; the link stays on COM1,
    // open, with its option marked; the panel stays up until its countdown ends.
    panel.choose("Option2");
    QCOMPARE(panel.boxes.texts.size(), 1);
    QVERIFY(panel.boxes.texts.first().startsWith("COM2 (/nonexistent/ttyUSB7) cannot be opened"));
    QCOMPARE(panel.boxes.titles.first(), QStringLiteral("OMTA QPV-7100 CONTROL"));
    QCOMPARE(panel.comm().CommPort(), 1);
    QVERIFY(panel.comm().PortOpen() && marked(panel, "Option1") && !marked(panel, "Option2"));
    QVERIFY(panel.find("Frame8")->isVisible());
    panel.click("Command17");
    QCOMPARE(panel.one.read(9), QByteArray("POWR   1\r"));
    panel.click("Option10");
    QCOMPARE(speedOf(panel.one), speed_t{B9600});

    // A port choice moves the link and keeps the speed.
    Panel two;
    two.choose("Option9");
    two.choose("Option2");
    QCOMPARE(speedOf(two.two), speed_t{B115200});
    two.click("Command17");
    QCOMPARE(two.two.read(9) + two.one.read(1, 20ms), QByteArray("POWR   1\r"));
}

void TestLink::aFailedChoiceKeepsThePortInUseAndItsWait_data()
{
    QTest::addColumn<QByteArray>("chosen");
    QTest::newRow("COM1 again") << QByteArray("Option1");
    QTest::newRow("COM2, missing") << QByteArray("Option2");
}

void TestLink::aFailedChoiceKeepsThePortInUseAndItsWait()
{
    QFETCH(QByteArray, chosen);
    sim::Simulator simulator(sim::ProjectorTiming{0ms, 0ms});
    QVERIFY(simulator.start(nullptr));
    Panel panel(simulator.devicePath(), kMissing);
    const QString com1 = QStringLiteral(" COM1 (%1)").arg(simulator.devicePath());

    simulator.vanish(); // the USB adapter is pulled
    QTRY_VERIFY(!panel.comm().PortOpen());

    // Chosen while COM1's device is still away: a warning, and the panel stays on COM1.
    panel.click("Command33");
    panel.click(chosen.constData());
    QCOMPARE(panel.boxes.texts.size(), 1);
    QCOMPARE(panel.comm().CommPort(), 1);
    QVERIFY(marked(panel, "Option1") && !marked(panel, "Option2"));
    panel.click("Command44");
    QCOMPARE(panel.status(), (com1 + " is not open").toUtf8());
    QCOMPARE(panel.txd(), QByteArray(" T A B N       1 CR ")); // the echo follows all the same
    panel.form->Timer4_Timer(); // the lines blank now, not in the middle of what follows

    // Plugged in again: reopened by itself, with no further choice.
    QVERIFY(simulator.comeBack());
    QTRY_VERIFY_WITH_TIMEOUT(panel.comm().PortOpen(), 3000);
    QCOMPARE(panel.status(), (com1 + " is back and open again.").toUtf8());
    panel.click("Command44");
    QTRY_COMPARE(panel.status(), QByteArray(" Stand by"));
}

void TestLink::settingsPanelHidesItselfAfterFiveSeconds()
{
    Panel panel;
    QTimer* countdown = panel.timer("Timer3");
    QWidget* settings = panel.find("Frame8");
    panel.click("Command33");
    QVERIFY(settings->isVisible());
    QCOMPARE(countdown->interval(), 5000);
    QTest::qWait(300);
    panel.click("Command33"); // pressed again, the five seconds start over
    QVERIFY(countdown->remainingTime() > 4900);
    QTest::keyClick(panel.form.get(), Qt::Key_J, Qt::ControlModifier);
    QTest::qWait(300);
    panel.click("Command34"); // the toggle restarts the countdown too
    QVERIFY(countdown->remainingTime() > 4900);
    panel.form->Timer3_Timer();
    QVERIFY(!settings->isVisible() && !countdown->isActive());

    // After a choice has hidden the panel, the countdown's end changes nothing.
    panel.choose("Option10");
    QVERIFY(!settings->isVisible() && countdown->isActive());
    panel.form->Timer3_Timer();
    QVERIFY(!settings->isVisible() && panel.comm().PortOpen());
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
