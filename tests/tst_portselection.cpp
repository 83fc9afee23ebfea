// Port and speed selection on the settings panel, the start-up's port and its failure, and
// the panel's five-second auto-hide.

#include "panelfixture.h"
#include "sim/simulator.h"

#include <QRadioButton>
#include <QTest>

using namespace qpv;

namespace {

const QString kMissing = QStringLiteral("/nonexistent/ttyUSB7");

bool marked(const PanelFixture& panel, const char* option)
{
    return panel.find<QRadioButton>(option)->isChecked();
}

} // namespace

class TestPortSelection : public QObject {
    Q_OBJECT

private slots:
    void startUpOpensCom1At9600();
    void startUpFailureShowsTheWindowWithThePortClosed();
    void choosingAPortMovesTheLinkAndKeepsTheSpeed();
    void failedSelectionFallsBackAndKeepsTheLink();
    void aFailedChoiceKeepsThePortInUseAndItsWait_data();
    void aFailedChoiceKeepsThePortInUseAndItsWait();
    void speedChangeAppliesToTheOpenPort();
    void settingsPanelHidesItselfAfterFiveSeconds();
    void comAndToggleRestartTheCountdown();
};

void TestPortSelection::startUpOpensCom1At9600()
{
    PanelFixture panel;
    QVERIFY(panel.boxes.texts.isEmpty());
    QVERIFY(panel.form->serialControl().PortOpen());
    QCOMPARE(panel.form->serialControl().CommPort(), 1);
    QVERIFY(marked(panel, "Option1"));
    QVERIFY(marked(panel, "Option10"));
    QVERIFY(!marked(panel, "Option2") && !marked(panel, "Option9"));
    QVERIFY(!panel.find("Frame8")->isVisibleTo(panel.form.get()));
    const termios t = panel.one.attributes();
    QCOMPARE(::cfgetospeed(&t), speed_t{B9600});
    QCOMPARE(t.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});
    QCOMPARE(QByteArray::fromStdString(panel.form->state().CommSettings), QByteArray("9600,N,8,1"));
}

void TestPortSelection::startUpFailureShowsTheWindowWithThePortClosed()
{
    PanelFixture panel(kMissing);
    QCOMPARE(panel.boxes.texts.size(), 1); // shown once, not again by the COM1 option
    QVERIFY2(panel.boxes.texts.first().startsWith(
                 QStringLiteral("COM1 (/nonexistent/ttyUSB7) cannot be opened: the device does not exist.")),
             qPrintable(panel.boxes.texts.first()));
    QVERIFY(panel.form->isVisible());
    QVERIFY(!panel.form->serialControl().PortOpen());
    QVERIFY(marked(panel, "Option1"));

    // The operator chooses COM2 and carries on.
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::mouseClick(panel.find("Option2"), Qt::LeftButton);
    QCOMPARE(panel.boxes.texts.size(), 1);
    QVERIFY(panel.form->serialControl().PortOpen());
    QCOMPARE(panel.form->serialControl().CommPort(), 2);
    QVERIFY(!panel.find("Frame8")->isVisible());
    panel.form->sendCommand("POWR????");
    QCOMPARE(panel.two.read(9), QByteArray("POWR????\r"));
}

void TestPortSelection::choosingAPortMovesTheLinkAndKeepsTheSpeed()
{
    PanelFixture panel;
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::mouseClick(panel.find("Option9"), Qt::LeftButton); // 115200
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::mouseClick(panel.find("Option2"), Qt::LeftButton);
    QCOMPARE(panel.form->serialControl().CommPort(), 2);
    const termios t = panel.two.attributes();
    QCOMPARE(::cfgetospeed(&t), speed_t{B115200});
    panel.form->sendCommand("CR4");
    QCOMPARE(panel.two.read(4), QByteArray("CR4\r"));
    QCOMPARE(panel.one.read(1, std::chrono::milliseconds(20)), QByteArray());
}

void TestPortSelection::failedSelectionFallsBackAndKeepsTheLink()
{
    PanelFixture panel({}, kMissing);
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::mouseClick(panel.find("Option2"), Qt::LeftButton);

    QCOMPARE(panel.boxes.texts.size(), 1);
    QVERIFY(panel.boxes.texts.first().startsWith(QStringLiteral("COM2 (/nonexistent/ttyUSB7) cannot be opened")));
    QCOMPARE(panel.boxes.titles.first(), QStringLiteral("OMTA QPV-7100 CONTROL"));
    QCOMPARE(panel.form->serialControl().CommPort(), 1);
    QVERIFY(panel.form->serialControl().PortOpen()); // COM1 reopened: the link as it was
    QVERIFY(marked(panel, "Option1"));               // the port in use is the one marked
    QVERIFY(!marked(panel, "Option2"));
    QVERIFY(panel.find("Frame8")->isVisible()); // stays up until its countdown ends
    panel.form->sendCommand("TABN   1");
    QCOMPARE(panel.one.read(9), QByteArray("TABN   1\r"));
}

void TestPortSelection::aFailedChoiceKeepsThePortInUseAndItsWait_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::newRow("COM1 again") << QStringLiteral("Option1");
    QTest::newRow("COM2, missing") << QStringLiteral("Option2");
}

void TestPortSelection::aFailedChoiceKeepsThePortInUseAndItsWait()
{
    using namespace std::chrono_literals;
    QFETCH(QString, chosen);
    sim::Simulator simulator(sim::ProjectorTiming{0ms, 0ms});
    QVERIFY(simulator.start(nullptr));
    PanelFixture panel(simulator.devicePath(), kMissing);
    const QString com1 = QStringLiteral("COM1 (%1)").arg(simulator.devicePath());

    simulator.vanish(); // the USB adapter is pulled
    QTRY_VERIFY(!panel.form->serialControl().PortOpen());
    QVERIFY(panel.line("Label22").contains("was disconnected"));

    // Chosen while COM1's device is still away: a warning, and the panel stays on COM1.
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::mouseClick(panel.find(qPrintable(chosen)), Qt::LeftButton);
    QCOMPARE(panel.boxes.texts.size(), 1);
    QCOMPARE(panel.form->serialControl().CommPort(), 1);
    QVERIFY(marked(panel, "Option1") && !marked(panel, "Option2"));
    panel.form->sendCommand("TABN   1");
    QCOMPARE(panel.line("Label22"), (' ' + com1 + QStringLiteral(" is not open")).toUtf8());
    panel.form->Timer4_Timer(); // the lines blank now, not in the middle of what follows

    // Plugged in again: reopened by itself, no further choice needed.
    QVERIFY(simulator.comeBack());
    QTRY_VERIFY_WITH_TIMEOUT(panel.form->serialControl().PortOpen(), 3000);
    QCOMPARE(panel.line("Label22"), (' ' + com1 + QStringLiteral(" is back and open again.")).toUtf8());
    panel.form->sendCommand("TABN   1");
    QTRY_COMPARE(panel.line("Label22"), QByteArray(" Stand by"));
}

void TestPortSelection::speedChangeAppliesToTheOpenPort()
{
    PanelFixture panel;
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::mouseClick(panel.find("Option9"), Qt::LeftButton);
    QVERIFY(panel.form->serialControl().PortOpen());
    QVERIFY(!panel.find("Frame8")->isVisible());
    QCOMPARE(::cfgetospeed(&static_cast<const termios&>(panel.one.attributes())), speed_t{B115200});
    QCOMPARE(QByteArray::fromStdString(panel.form->state().CommSettings), QByteArray("115200,N,8,1"));

    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::mouseClick(panel.find("Option10"), Qt::LeftButton);
    QCOMPARE(::cfgetospeed(&static_cast<const termios&>(panel.one.attributes())), speed_t{B9600});
}

void TestPortSelection::settingsPanelHidesItselfAfterFiveSeconds()
{
    PanelFixture panel;
    QTimer* countdown = panel.timer("Timer3");
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QVERIFY(panel.find("Frame8")->isVisible());
    QVERIFY(countdown->isActive());
    QCOMPARE(countdown->interval(), 5000);

    panel.form->Timer3_Timer();
    QVERIFY(!panel.find("Frame8")->isVisible());
    QVERIFY(!countdown->isActive());

    // After a choice has hidden the panel, the countdown's end changes nothing.
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::mouseClick(panel.find("Option10"), Qt::LeftButton);
    QVERIFY(!panel.find("Frame8")->isVisible());
    panel.form->Timer3_Timer();
    QVERIFY(!panel.find("Frame8")->isVisible());
    QVERIFY(panel.form->serialControl().PortOpen());
}

void TestPortSelection::comAndToggleRestartTheCountdown()
{
    PanelFixture panel;
    QTimer* countdown = panel.timer("Timer3");
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QTest::qWait(300);
    QVERIFY(countdown->remainingTime() < 4800);
    QTest::mouseClick(panel.find("Command33"), Qt::LeftButton);
    QVERIFY(countdown->remainingTime() > 4900);

    QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
    QTest::qWait(300);
    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton);
    QVERIFY(countdown->remainingTime() > 4900);
    QVERIFY(panel.find("Frame8")->isVisible());

    // A toggle while the panel is hidden leaves a countdown whose end changes nothing.
    panel.form->Timer3_Timer();
    QTest::mouseClick(panel.find("Command34"), Qt::LeftButton);
    QVERIFY(countdown->isActive());
    panel.form->Timer3_Timer();
    QVERIFY(!panel.find("Frame8")->isVisible());
}

QTEST_MAIN(TestPortSelection)
#include "tst_portselection.moc"
