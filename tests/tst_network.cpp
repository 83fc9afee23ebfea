// A projector behind a device server: the Telnet client on what servers send, then the window
// on rfc2217:// and socket:// through a real ser2net, with its open failures and a server that
// goes away and comes back.

#include "serial/telnetcodec.h"
#include "support.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>

#include <ctime>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace qpv;

namespace {

const QByteArray kSer2netFix = "If it is ser2net, its accepter must read telnet(rfc2217),tcp,PORT: "
                               "a tcp or plain telnet accepter carries data only. Or use socket:// "
                               "and set the speed on the device server.";

speed_t speedOf(const PtyPair& pty)
{
    const termios t = pty.attributes();
    return ::cfgetospeed(&t);
}

// Every command button (its tool tip shows its command) clicked, then SEND with every printable
// character: what goes on the line.
void everyCommand(const Panel& panel)
{
    for (auto* button : panel.form->findChildren<QAbstractButton*>())
        if (button->toolTip().endsWith(" + CR"))
            QTest::mouseClick(button, Qt::LeftButton);
    QString printable;
    for (char c = ' '; c <= '~'; ++c)
        printable += QLatin1Char(c);
    panel.find<QLineEdit>("Text1")->setText(printable);
    panel.click("Command95");
}

} // namespace

class TestNetwork : public QObject {
    Q_OBJECT

private slots:
    void telnetClient_data();
    void telnetClient();
    void throughDeviceServer();
    void rawTcpAndUnconfirmedSpeeds();
    void openFailures();
};

void TestNetwork::telnetClient_data()
{
    // What a server sends, after the client has offered the com-port option (IAC WILL 44), and
    // what the client makes of it: the data, its answers, the option's state, the speed the
    // server reported (0: none).
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<int>("option");
    QTest::addColumn<uint>("baud");
    const int offered = int(telnet::ComPortOption::Offered),
              agreed = int(telnet::ComPortOption::Agreed),
              refused = int(telnet::ComPortOption::Refused);
    // clang-format off
    const std::tuple<const char*, const char*, QByteArray, QByteArray, int, uint> rows[] = {
        // ser2net's greeting: WILL and DO suppress-go-ahead and binary, WILL and DONT echo, DO com port.
        {"greeting", "fffb03fffd03fffb01fffe01fffd00fffb00fffd2c", "", "fffd03fffb03fffe01fffb00fffd00", agreed, 0},
        {"data, escaped FF, NUL", "3830 0d ffff 00", "80\r\xff" + QByteArray(1, '\0'), "", offered, 0},
        {"speed report", "fffd2c fffa2c6500 01c200fff0", "", "", agreed, 115200},
        {"speed with FF escaped", "fffa2c650000ffffffff fff0", "", "", offered, 65535},
        {"signature, modem state", "fffa2c64 5150 fff0 fffa2c6b00fff0 41", "A", "", offered, 0},
        {"refusal", "fffe2c", "", "", refused, 0},
        {"agreed, then refused", "fffd2c fffe2c", "", "fffc2c", refused, 0},
        {"unknown options, once", "fffd18 fffd18 fffb1f fffb1f fffd01", "", "fffc18fffe1ffffc01", offered, 0},
        {"binary on and off", "fffb00 fffc00 fffc00", "", "fffd00fffe00", offered, 0},
        {"NOP, GA, stray SE", "fff1 fff9 fff0 7a", "z", "", offered, 0},
        {"subnegotiation left open", "fffa2c6500 fffd00 78", "x", "fffb00", offered, 0},
        {"subnegotiation too long", "fffa2c65" + QByteArray(200, '1').toHex() + "fff0 79", "y", "", offered, 0},
        {"speed report short", "fffa2c65 0001c2 fff0", "", "", offered, 0},
    };
    // clang-format on
    for (const auto& [name, sent, data, answers, option, baud] : rows)
        QTest::newRow(name) << QByteArray::fromHex(sent) << QByteArray(data)
                            << QByteArray::fromHex(answers) << option << baud;
}

void TestNetwork::telnetClient()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, answers);
    // The whole at once, then byte by byte: the same.
    for (const qsizetype piece : {sent.size(), qsizetype(1)}) {
        telnet::Client client;
        QCOMPARE(bytes(client.start()), QByteArray::fromHex("fffb2c"));
        std::string gotData, gotAnswers;
        for (qsizetype at = 0; at < sent.size(); at += piece)
            client.receive({sent.constData() + at, size_t(std::min(piece, sent.size() - at))},
                           gotData, gotAnswers);
        QCOMPARE(bytes(gotData), data);
        QCOMPARE(bytes(gotAnswers), answers);
        QTEST(int(client.comPortOption()), "option");
        QTEST(client.takeReportedBaud().value_or(0), "baud");
    }
}

void TestNetwork::throughDeviceServer()
{
    // Every command and every printable character arrives as on a local line.
    DeviceServer server;
    Panel local, panel(server.url());
    QVERIFY(panel.warnings.isEmpty() && panel.comm().PortOpen());
    everyCommand(local), everyCommand(panel);
    const QByteArray sent = local.one.read(1 << 20, std::chrono::milliseconds(300));
    QCOMPARE(server.pty.read(sent.size()), sent);
    QCOMPARE(sent.count('\r'), 75 + 1);

    // Replies show and decode; 0xFF is one character, and nothing else shows.
    QTRY_COMPARE(panel.status(), QByteArray());
    panel.click("Command44");
    QCOMPARE(server.pty.read(9), QByteArray("TABN   1\r"));
    server.pty.write("80\r\xff");
    QTRY_COMPARE(panel.rxd(), QByteArray(" 8 0 CR ? "));
    QCOMPARE(panel.status(), QByteArray(" Stand by"));

    // 115200 chosen: ser2net sets the terminal, and confirms it in time.
    const QString com1 = " COM1 (" + server.url() + ")";
    QSignalSpy notSet(&panel.comm(), &MSComm::settingsNotApplied);
    panel.choose("Option9");
    QTRY_COMPARE(speedOf(server.pty), speed_t{B115200});
    QTest::qWait(NetworkPort::kConfirmTimeoutMs + 200);
    QCOMPARE(notSet.size(), 0);

    // The server killed: one report, no busy wait; started again: reconnected by itself, at
    // the speed chosen (ser2net opens the terminal at 9600).
    QSignalSpy lost(&panel.comm(), &MSComm::portLost);
    server.stop();
    QTRY_COMPARE(panel.status(), (com1 + " was disconnected: the device server closed the "
                                         "connection. It is reconnected when the device server "
                                         "answers again, or choose the port again.")
                                     .toUtf8());
    const std::clock_t cpu = std::clock();
    QTest::qWait(2500);
    QVERIFY2(std::clock() - cpu < CLOCKS_PER_SEC / 10, "waiting for the server must not spin");
    QCOMPARE(lost.size(), 1);
    server.start();
    QTRY_COMPARE_WITH_TIMEOUT(panel.status(), (com1 + " is back and open again.").toUtf8(), 3000);
    QTRY_COMPARE(speedOf(server.pty), speed_t{B115200});
    panel.click("Command17");
    QCOMPARE(server.pty.read(9), QByteArray("POWR   1\r"));
}

void TestNetwork::rawTcpAndUnconfirmedSpeeds()
{
    // Raw TCP: the bytes as they are; a speed is only recorded, and STATUS says where it is set.
    DeviceServer raw(false);
    auto panel = std::make_unique<Panel>(raw.url());
    panel->click("Command17");
    QCOMPARE(raw.pty.read(9), QByteArray("POWR   1\r"));
    raw.pty.write("\xff\xfb\x2c");
    QTRY_COMPARE(panel->rxd(), QByteArray(" ? ? , "));
    panel->choose("Option9");
    QCOMPARE(panel->status(),
             " COM1 (" + raw.url().toUtf8() +
                 "): 115200 baud is recorded, but the speed of a raw TCP port (socket://) is set "
                 "on the device server: for ser2net in its connector, e.g. "
                 "serialdev,/dev/ttyUSB0,115200n81,local. Use rfc2217:// to set it from here.");
    QCOMPARE(speedOf(raw.pty), speed_t{B9600});
    panel.reset(); // ser2net serves one connection at a time

    // rfc2217:// to a server that does not answer the option: never reported as set.
    const QString url = QString(raw.url()).replace("socket", "rfc2217");
    Panel unset(url);
    QTRY_COMPARE_WITH_TIMEOUT(unset.status(),
                              " COM1 (" + url.toUtf8() +
                                  "): the device server did not confirm the speed 9600 baud, so "
                                  "the line may run at another speed. " + kSer2netFix,
                              3000);
}

void TestNetwork::openFailures()
{
    // Each cause by its report, in a warning box, within the longest wait the window allows.
    QTcpServer probe; // a port with nothing listening
    probe.listen(QHostAddress::LocalHost);
    const quint16 closed = probe.serverPort();
    probe.close();
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0); // listens, but never accepts: once its
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}}; // queue is full, no answer
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length), ::listen(fd, 0);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    const quint16 deaf = ntohs(address.sin_port);
    QTcpSocket queue[4];
    for (QTcpSocket& waiting : queue)
        waiting.connectToHost(QHostAddress::LocalHost, deaf);
    QTest::qWait(100);
    const QString nobody = QStringLiteral("rfc2217://127.0.0.1:%1").arg(closed);
    const QString silent = QStringLiteral("socket://127.0.0.1:%1").arg(deaf);
    const QString fix = " Check that the device server is running and that %1 is the port of "
                        "its accepter.";
    const std::pair<QString, QString> rows[] = {
        {nobody, ("nothing is listening at 127.0.0.1 port %1 (connection refused)." + fix).arg(closed)},
        {"rfc2217://no-such-projector.invalid:7000",
         "the host name no-such-projector.invalid is not known. Check the name, or give the "
         "device server's IP address."},
        {silent, QStringLiteral("127.0.0.1 port %1 did not answer within 1000 ms. Check that the "
                                "device server is switched on and on the network, and that no "
                                "firewall drops the port.")
                     .arg(deaf)},
        {"rfc2217://[::1]", "the address must read rfc2217://HOST:PORT or socket://HOST:PORT, an "
                            "IPv6 address in brackets, the port from 1 to 65535."},
    };
    qint64 longest = 0;
    for (const auto& [url, cause] : rows) {
        QElapsedTimer clock;
        clock.start();
        const Panel panel(url);
        longest = std::max(longest, clock.elapsed());
        QCOMPARE(panel.warnings, QStringList("COM1 (" + url + ") cannot be opened: " + cause));
        QVERIFY(!panel.comm().PortOpen());
    }
    qInfo("the longest the window waited for a network port: %lld ms", longest);
    ::close(fd);
}

QTEST_MAIN(TestNetwork)
#include "tst_network.moc"
