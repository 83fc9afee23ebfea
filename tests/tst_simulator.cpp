// The simulated projector: its replies decode on the panel and its power phases follow their
// timing. Its faults are exercised by the soak and hardening tests.

#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "panel/displayline.h"
#include "panel/form1.h"
#include "serial/mscomm.h"
#include "sim/projector.h"
#include "sim/simulator.h"
#include "testbytes.h"

#include <QTest>

using namespace qpv;
using namespace qpv::sim;
using namespace std::chrono_literals;

namespace {

QByteArray statusFor(const char* query, const std::string& reply)
{
    return statusOf(decodeReply("", frameCommand("", query), renderEcho(reply)));
}

QByteArray lineText(const Form1& form, const char* name)
{
    return bytes(form.findChild<DisplayLine*>(QLatin1String(name))->text());
}

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    void everyDecodedQueryGetsADecodableReply_data();
    void everyDecodedQueryGetsADecodableReply();
    void powerPhases();
    void setCommandsAreAcknowledgedOthersRefused_data();
    void setCommandsAreAcknowledgedOthersRefused();
    void exchangeInRealTime();
};

void TestSimulator::everyDecodedQueryGetsADecodableReply_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("standby");
    QTest::addColumn<QByteArray>("on");

    QTest::newRow("PJ-Status") << QByteArray("TABN   1") << QByteArray(" Stand by") << QByteArray(" Normal");
    QTest::newRow("LAMP-Status") << QByteArray("TLPS   1") << QByteArray(" OFF") << QByteArray(" ON");
    QTest::newRow("POWER-Status") << QByteArray("POWR????") << QByteArray(" Standby") << QByteArray(" ON");
    QTest::newRow("LAMP-TIME") << QByteArray("TLTT   1")
                               << QByteArray(" 0 4 1 2   0 3 9 8   0 4 0 5   0 3 7 7 Hour Use")
                               << QByteArray(" 0 4 1 2   0 3 9 8   0 4 0 5   0 3 7 7 Hour Use");
    QTest::newRow("CR4") << QByteArray("CR4") << QByteArray(" Normally") << QByteArray(" Normally");
    QTest::newRow("CR6") << QByteArray("CR6") << QByteArray("  S1= + 2 4 . 0 C  ,   S2=  2 4 . 5 C")
                         << QByteArray("  S1= + 3 2 . 5 C  ,   S2=  4 0 . 1 C");
    QTest::newRow("CRA") << QByteArray("CRA") << QByteArray(" Stand by")
                         << QByteArray(" Video & Audio mute OFF");
    QTest::newRow("CR9") << QByteArray("CR9") << QByteArray(" Q P V 7 1 0 0   V 1 . 0 4 CR ")
                         << QByteArray(" Q P V 7 1 0 0   V 1 . 0 4 CR ");
    QTest::newRow("CR PRESSURE") << QByteArray("CR PRESSURE") << QByteArray("650 hPa")
                                 << QByteArray("650 hPa");
    QTest::newRow("CR7") << QByteArray("CR7") << QByteArray(" All OFF : 4 Lamp mode")
                         << QByteArray(" All ON  : 4 Lamp mode");
}

void TestSimulator::everyDecodedQueryGetsADecodableReply()
{
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, standby);
    QFETCH(QByteArray, on);

    Projector projector(ProjectorTiming{0ms, 0ms});
    const auto now = Projector::Clock::now();
    QCOMPARE(statusFor(query, projector.reply(view(query), now)), standby);
    QCOMPARE(bytes(projector.reply("POWR   1", now)), QByteArray("\x06\r"));
    QCOMPARE(statusFor(query, projector.reply(view(query), now + 1ms)), on);
}

void TestSimulator::powerPhases()
{
    Projector projector(ProjectorTiming{2000ms, 1000ms});
    const auto t0 = Projector::Clock::now();
    QCOMPARE(statusFor("TABN   1", projector.reply("TABN   1", t0)), QByteArray(" Stand by"));
    projector.reply("POWR   1", t0);
    QCOMPARE(statusFor("TABN   1", projector.reply("TABN   1", t0 + 1999ms)), QByteArray(" Count down"));
    QCOMPARE(statusFor("TLPS   1", projector.reply("TLPS   1", t0 + 1999ms)), QByteArray(" Waiting"));
    QCOMPARE(statusFor("TABN   1", projector.reply("TABN   1", t0 + 2000ms)), QByteArray(" Normal"));
    projector.reply("POWR   0", t0 + 3000ms);
    QCOMPARE(statusFor("TABN   1", projector.reply("TABN   1", t0 + 3500ms)),
             QByteArray(" Cooling down"));
    QCOMPARE(statusFor("TABN   1", projector.reply("TABN   1", t0 + 4000ms)), QByteArray(" Stand by"));

    projector.setLampMode(2);
    projector.reply("POWR   1", t0 + 5000ms);
    QCOMPARE(statusFor("CR7", projector.reply("CR7", t0 + 8000ms)),
             QByteArray(" No2,3 ON  : 2 Lamp mode(2,3)"));
}

void TestSimulator::setCommandsAreAcknowledgedOthersRefused_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");

    const QByteArray ack("\x06\r");
    const QByteArray refused("ERR\r");
    QTest::newRow("VOLA  40") << QByteArray("VOLA  40") << ack;
    QTest::newRow("VOLA  00") << QByteArray("VOLA  00") << ack;
    QTest::newRow("RAPS  13") << QByteArray("RAPS  13") << ack;
    QTest::newRow("RASV   3") << QByteArray("RASV   3") << ack;
    QTest::newRow("CF INPUT4 ANALOG") << QByteArray("CF INPUT4 ANALOG") << ack;
    QTest::newRow("one blank") << QByteArray("VOLA 40") << refused;
    QTest::newRow("out of range") << QByteArray("VOLA  61") << refused;
    QTest::newRow("digits misplaced") << QByteArray("POWR  1 ") << refused;
    QTest::newRow("lower case") << QByteArray("powr   1") << refused;
    QTest::newRow("unknown") << QByteArray("XXXX   1") << refused;
    QTest::newRow("empty") << QByteArray() << refused;
    QTest::newRow("typed cr4") << QByteArray("cr4") << refused;
}

void TestSimulator::setCommandsAreAcknowledgedOthersRefused()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    Projector projector;
    QCOMPARE(bytes(projector.reply(view(command), Projector::Clock::now())), reply);
}

void TestSimulator::exchangeInRealTime()
{
    Simulator simulator(ProjectorTiming{0ms, 0ms});
    QString error;
    QVERIFY2(simulator.start(&error), qPrintable(error));
    PortMap ports;
    ports.setDevice(1, simulator.devicePath());
    Form1 form(ports);
    form.Form_Load();
    QVERIFY(form.serialControl().PortOpen());

    QElapsedTimer clock;
    clock.start();
    form.sendCommand("TABN   1");
    QTRY_COMPARE(lineText(form, "Label22"), QByteArray(" Stand by"));
    QCOMPARE(lineText(form, "Label12"), QByteArray(" 8 0 CR "));
    // The watchdog finds a reply and leaves it; the blanking clears all three lines at 1 s.
    QTRY_COMPARE_WITH_TIMEOUT(lineText(form, "Label11"), QByteArray(), 3000);
    QVERIFY(clock.elapsed() >= 1000);
    QCOMPARE(lineText(form, "Label12"), QByteArray());
    QCOMPARE(lineText(form, "Label22"), QByteArray());
    QCOMPARE(simulator.framesReceived(), 1);
}

QTEST_MAIN(TestSimulator)
#include "tst_simulator.moc"
