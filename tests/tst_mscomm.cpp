#include "ptypair.h"
#include "serial/linesettings.h"
#include "serial/mscomm.h"

#include <QSignalSpy>
#include <QTest>

using namespace qpv;

namespace {

PortMap portsOn(const QString& com1, const QString& com2 = QStringLiteral("/nonexistent/ttyQPV1"))
{
    PortMap ports;
    ports.setDevice(1, com1);
    ports.setDevice(2, com2);
    return ports;
}

speed_t speedOf(const termios& t)
{
    return ::cfgetospeed(&t);
}

} // namespace

class TestMSComm : public QObject {
    Q_OBJECT

private slots:
    void settingsText_data();
    void settingsText();
    void defaultDevices();
    void framesGoOutByteExact();
    void lineSettingsReachTheDevice();
    void portAndSettingsSurviveCloseAndOpen();
    void receivedCharactersRaiseOnComm();
    void openFailuresNameDeviceAndCause_data();
    void openFailuresNameDeviceAndCause();
    void busyDevice();
    void writeWhileClosed();
    void deviceVanishingWhileOpen();
};

void TestMSComm::settingsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("baud");

    QTest::newRow("9600,N,8,1") << "9600,N,8,1" << true << 9600;
    QTest::newRow("115200,N,8,1") << "115200,N,8,1" << true << 115200;
    QTest::newRow("even parity, 7 bits, 2 stop") << "4800,E,7,2" << true << 4800;
    QTest::newRow("1.5 stop bits") << "9600,O,5,1.5" << true << 9600;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("three fields") << "9600,N,8" << false << 0;
    QTest::newRow("five fields") << "9600,N,8,1,0" << false << 0;
    QTest::newRow("blank in a field") << "9600, N,8,1" << false << 0;
    QTest::newRow("lower-case parity") << "9600,n,8,1" << false << 0;
    QTest::newRow("unknown parity") << "9600,X,8,1" << false << 0;
    QTest::newRow("baud not a number") << "fast,N,8,1" << false << 0;
    QTest::newRow("signed baud") << "+9600,N,8,1" << false << 0;
    QTest::newRow("zero baud") << "0,N,8,1" << false << 0;
    QTest::newRow("9 data bits") << "9600,N,9,1" << false << 0;
    QTest::newRow("3 stop bits") << "9600,N,8,3" << false << 0;
}

void TestMSComm::settingsText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, baud);
    const ParsedSettings parsed = parseLineSettings(text);
    QCOMPARE(parsed.settings.has_value(), valid);
    if (valid) {
        QCOMPARE(parsed.settings->baudRate, baud);
    } else {
        QVERIFY2(parsed.error.startsWith(QStringLiteral("Invalid line settings \"") + text + '"'),
                 qPrintable(parsed.error));
    }
}

void TestMSComm::defaultDevices()
{
    const PortMap ports;
    QCOMPARE(ports.device(1), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(ports.device(2), QStringLiteral("/dev/ttyS1"));
}

void TestMSComm::framesGoOutByteExact()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    MSComm comm(portsOn(pty.path()));
    QVERIFY2(comm.setPortOpen(true), qPrintable(comm.errorText()));

    QVERIFY(comm.setOutput("POWR   1\r"));
    QCOMPARE(pty.read(9), QByteArray::fromHex("504F5752202020310D"));

    // Every byte value goes out unchanged: no translation of CR, LF, NUL or high bytes.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    QVERIFY(comm.setOutput(all));
    QCOMPARE(pty.read(256), all);
}

void TestMSComm::lineSettingsReachTheDevice()
{
    PtyPair pty;
    MSComm comm(portsOn(pty.path()));
    QVERIFY(comm.setSettings(QStringLiteral("9600,N,8,1")));
    QVERIFY(comm.setPortOpen(true));

    termios t = pty.attributes();
    QCOMPARE(speedOf(t), speed_t{B9600});
    QCOMPARE(t.c_cflag & CSIZE, tcflag_t{CS8});
    QCOMPARE(t.c_cflag & PARENB, tcflag_t{0});
    QCOMPARE(t.c_cflag & CSTOPB, tcflag_t{0});

    // On an open port a new speed applies at once, without closing it.
    QVERIFY(comm.setSettings(QStringLiteral("115200,N,8,1")));
    QVERIFY(comm.PortOpen());
    t = pty.attributes();
    QCOMPARE(speedOf(t), speed_t{B115200});
    QCOMPARE(t.c_cflag & CSIZE, tcflag_t{CS8});

    // A malformed text changes nothing.
    QVERIFY(!comm.setSettings(QStringLiteral("9600,N,8")));
    QCOMPARE(comm.Settings(), QStringLiteral("115200,N,8,1"));
    QCOMPARE(speedOf(pty.attributes()), speed_t{B115200});
}

void TestMSComm::portAndSettingsSurviveCloseAndOpen()
{
    PtyPair one;
    PtyPair two;
    MSComm comm(portsOn(one.path(), two.path()));
    QVERIFY(comm.setSettings(QStringLiteral("115200,N,8,1")));
    QVERIFY(comm.setCommPort(2));
    QVERIFY(comm.setPortOpen(true));
    QVERIFY(!comm.setCommPort(1)); // refused while open
    QCOMPARE(comm.CommPort(), 2);
    QVERIFY(comm.setPortOpen(false));
    QVERIFY(comm.setPortOpen(true));
    QCOMPARE(comm.CommPort(), 2);
    QCOMPARE(comm.Settings(), QStringLiteral("115200,N,8,1"));
    QCOMPARE(speedOf(two.attributes()), speed_t{B115200});
    QVERIFY(comm.setOutput("X"));
    QCOMPARE(two.read(1), QByteArray("X"));
}

void TestMSComm::receivedCharactersRaiseOnComm()
{
    PtyPair pty;
    MSComm comm(portsOn(pty.path()));
    QVERIFY(comm.setPortOpen(true));
    QSignalSpy spy(&comm, &MSComm::OnComm);

    pty.write("80\r");
    QVERIFY(spy.wait(2000));
    QCOMPARE(comm.CommEvent(), MSComm::kComEvReceive);
    QCOMPARE(comm.Input(), QByteArray("80\r"));
    QCOMPARE(comm.Input(), QByteArray()); // reading takes the characters away
}

void TestMSComm::openFailuresNameDeviceAndCause_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("expected");

    QTest::newRow("missing") << "/nonexistent/ttyUSB9"
                             << "COM1 (/nonexistent/ttyUSB9) cannot be opened: the device does "
                                "not exist. Check that the cable or USB adapter is plugged in, "
                                "or start the panel with --com1 DEVICE.";
    QTest::newRow("not a terminal") << "/dev/null"
                                    << "COM1 (/dev/null) cannot be opened: it is not a serial device.";
    QTest::newRow("a folder") << "/tmp" << "COM1 (/tmp) cannot be opened: it is not a serial device.";
}

void TestMSComm::openFailuresNameDeviceAndCause()
{
    QFETCH(QString, device);
    QFETCH(QString, expected);
    MSComm comm(portsOn(device));
    QVERIFY(!comm.setPortOpen(true));
    QVERIFY(!comm.PortOpen());
    QCOMPARE(comm.errorText(), expected);
}

void TestMSComm::busyDevice()
{
    PtyPair pty;
    MSComm first(portsOn(pty.path()));
    MSComm second(portsOn(pty.path()));
    QVERIFY(first.setPortOpen(true));
    QVERIFY(!second.setPortOpen(true));
    QCOMPARE(second.errorText(),
             QStringLiteral("COM1 (%1) cannot be opened: the device is busy or locked by another "
                            "program. Close that program, then choose the port again.")
                 .arg(pty.path()));
    QVERIFY(first.setPortOpen(false));
    QVERIFY2(second.setPortOpen(true), qPrintable(second.errorText()));
}

void TestMSComm::writeWhileClosed()
{
    PtyPair pty;
    MSComm comm(portsOn(QStringLiteral("/nonexistent/ttyQPV0"), pty.path()));
    QVERIFY(comm.setCommPort(2));
    QVERIFY(!comm.setOutput("POWR   1\r"));
    QCOMPARE(comm.errorText(), QStringLiteral("COM2 (%1) is not open").arg(pty.path()));
    QCOMPARE(pty.read(1, std::chrono::milliseconds(100)), QByteArray());
}

void TestMSComm::deviceVanishingWhileOpen()
{
    PtyPair pty;
    const QString path = pty.path();
    MSComm comm(portsOn(path));
    QVERIFY(comm.setPortOpen(true));
    QSignalSpy lost(&comm, &MSComm::portLost);

    pty.hangUp();
    QVERIFY(lost.wait(2000));
    QVERIFY(!comm.PortOpen());
    QCOMPARE(lost.first().first().toString(),
             QStringLiteral("COM1 (%1) was disconnected: the device went away. It is reopened "
                            "when it comes back, or choose the port again.")
                 .arg(path));
    QVERIFY(!comm.setOutput("X"));
    // Reported once; the closed port raises nothing more.
    QTest::qWait(200);
    QCOMPARE(lost.size(), 1);
}

QTEST_GUILESS_MAIN(TestMSComm)
#include "tst_mscomm.moc"
