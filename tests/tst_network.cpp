// A projector behind a device server: the Telnet client on what servers send, then the window
// on rfc2217:// and socket:// through a real ser2net, with its open failures and a server that
// goes away and comes back. The panel's every command and the exchange timeline run through
// ser2net as tst_panel_rfc2217 and tst_session_rfc2217.

#include "serial/serverlink.h"
#include "serial/telnetcodec.h"
#include "support.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <ctime>

using namespace qpv;

namespace {

// A device server of the test's own on loopback: it agrees to the com-port option and then says
// what the test makes it say, when the test says it.
struct ScriptedServer {
    ScriptedServer()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            peer = server.nextPendingConnection();
            peer->write(QByteArray::fromHex("fffd2c"));
        });
    }
    QString url() const
    {
        return QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.serverPort());
    }
    void confirm(quint32 baud) // the speed set, as a server reports it
    {
        const QByteArray b = QByteArray::number(baud, 16).rightJustified(8, '0');
        peer->write(QByteArray::fromHex("fffa2c65" + b + "fff0"));
    }
    QTcpServer server;
    QTcpSocket* peer = nullptr;
};

} // namespace

class TestNetwork : public QObject {
    Q_OBJECT

private slots:
    void telnetClient();
    void throughDeviceServer();
    void openFailuresAndRawTcp();
    void aServerLateOrBreakingTheProtocol();
};

void TestNetwork::telnetClient()
{
    // What a server sends, after the client has offered the com-port option (IAC WILL 44), and
    // what the client makes of it, whole or byte by byte: the data and its answers (in hex),
    // the option's state (Offered, Agreed, Refused) and the speed the server reported.
    // clang-format off
    const std::pair<QByteArray, QByteArray> rows[] = {
        // ser2net's greeting: WILL and DO suppress-go-ahead and binary, WILL and DONT echo, DO com port.
        {"fffb03fffd03fffb01fffe01fffd00fffb00fffd2c", "|fffd03fffb03fffe01fffb00fffd00|A|"},
        {"3830 0d ffff 00", "38300dff00||O|"}, // data, an escaped 0xFF and a NUL
        {"fffd2c fffa2c6500 01c200fff0", "||A|115200"}, {"fffa2c650000ffffffff fff0", "||O|65535"},
        {"fffa2c64 5150 fff0 fffa2c6b00fff0 41", "41||O|"}, // a signature, the modem state
        {"fffe2c", "||R|"}, {"fffd2c fffe2c", "|fffc2c|R|"}, // refused, or agreed and then not
        {"fffd18 fffd18 fffb1f fffb1f fffd01", "|fffc18fffe1ffffc01|O|"}, // unknown: once each
        {"fffb00 fffc00 fffc00", "|fffd00fffe00|O|"}, {"fff1 fff9 fff0 7a", "7a||O|"},
        {"fffa2c6500 fffd00 78", "78|fffb00|O|"}, // a subnegotiation left open ends at a command
        {"fffa2c65" + QByteArray(200, '1').toHex() + "fff0 79", "79||O|"}, {"fffa2c65 0001c2 fff0", "||O|"},
        {"fffa2c6500002580fff0 fffa2c650001c200fff0", "||O|9600,115200"}, // both, in order
        // Longer than any a server sends: the protocol is broken, and what it held is data.
        {"fffa2c" + QByteArray(4100, '1').toHex(), QByteArray(4100, '1').toHex() + "||O|"},
    };
    // clang-format on
    for (const auto& [sent, expected] : rows) {
        const std::string in = QByteArray::fromHex(sent).toStdString();
        for (const std::size_t piece : {in.size(), std::size_t(1)}) {
            telnet::Client client;
            std::string data, answers;
            QCOMPARE(bytes(client.start()), QByteArray::fromHex("fffb2c"));
            for (std::size_t at = 0; at < in.size(); at += piece)
                client.receive(std::string_view(in).substr(at, piece), data, answers);
            QByteArrayList bauds;
            for (const std::uint32_t baud : client.takeReportedBauds())
                bauds << QByteArray::number(baud);
            const QByteArray got = bytes(data).toHex() + '|' + bytes(answers).toHex() + '|' +
                                   "NOAR"[int(client.comPortOption())] + '|' + bauds.join(',');
            QCOMPARE(sent + " -> " + got, sent + " -> " + expected);
        }
    }
}

void TestNetwork::throughDeviceServer()
{
    // Every command, typed text and reply go through as on a local line: tst_panel_rfc2217 and
    // tst_session_rfc2217.
    DeviceServer server;
    Panel panel(server.url());

    // 115200 chosen: ser2net sets the terminal, and confirms it in time.
    QSignalSpy reports(&panel.comm(), &MSComm::reported);
    panel.choose("Option9");
    QTRY_COMPARE(speedOf(server.pty.path()), speed_t{B115200});
    QTest::qWait(ServerLink::kConfirmTimeoutMs + 200);
    QCOMPARE(reports.size(), 0);

    // The server killed: one report, no busy wait; started again: reconnected by itself, at
    // the speed chosen (ser2net opens the terminal at 9600).
    server.stop();
    QTRY_COMPARE(panel.status(), QByteArray(" COM1 was disconnected: the device server closed the "
                                            "connection. It is reconnected when the device server "
                                            "answers again, or choose the port again."));
    const std::clock_t cpu = std::clock();
    QTest::qWait(2500);
    QVERIFY2(std::clock() - cpu < CLOCKS_PER_SEC / 10, "waiting for the server must not spin");
    QCOMPARE(reports.size(), 1);
    server.start();
    QTRY_COMPARE_WITH_TIMEOUT(panel.status(), QByteArray(" COM1 is back and open again."), 3000);
    QTRY_COMPARE(speedOf(server.pty.path()), speed_t{B115200});
    panel.click("Command17");
    QCOMPARE(server.pty.read(9), QByteArray("POWR   1\r"));
}

void TestNetwork::openFailuresAndRawTcp()
{
    // Each cause of an open failure by its report, in a warning box.
    const quint16 closed = freePort(); // nothing listens there
    const DeafServer deaf;
    const QString closedUrl = QStringLiteral("rfc2217://127.0.0.1:%1").arg(closed),
                  silent = QStringLiteral("socket://127.0.0.1:%1").arg(deaf.port());
    // clang-format off
    const std::pair<QString, QString> rows[] = {
        {closedUrl, QStringLiteral("nothing is listening at 127.0.0.1 port %1 (connection refused). Check that the "
                                   "device server is running and that %1 is the port of its accepter.").arg(closed)},
        {"rfc2217://no-such-projector.invalid:7000", "the host name no-such-projector.invalid is not known. Check "
                                                     "the name, or give the device server's IP address."},
        {silent, QStringLiteral("127.0.0.1 port %1 did not answer within 1000 ms. Check that the device server is "
                                "switched on and on the network, and that no firewall drops the port.").arg(deaf.port())},
        {"rfc2217://[::1]", "the address must read rfc2217://HOST:PORT or socket://HOST:PORT, an IPv6 address in "
                            "brackets, the port from 1 to 65535."},
    };
    // clang-format on
    for (const auto& [device, cause] : rows) {
        Panel panel(device);
        QCOMPARE(panel.warnings, QStringList("COM1 (" + device + ") cannot be opened: " + cause));
    }

    // Raw TCP: the bytes as they are; a speed is only recorded, and STATUS says where it is set.
    DeviceServer raw(false);
    Panel panel(raw.url());
    panel.click("Command17");
    QCOMPARE(raw.pty.read(9), QByteArray("POWR   1\r"));
    raw.pty.write("\xff\xfb\x2c");
    QTRY_COMPARE(panel.rxd(), QByteArray(" ? ? , "));
    panel.choose("Option9");
    QCOMPARE(panel.status(),
             " COM1: 115200 baud is recorded, but the speed of a raw TCP port (socket://) is set "
             "on the device server: for ser2net in its connector, e.g. "
             "serialdev,/dev/ttyUSB0,115200n81,local. Use rfc2217:// to set it from here.");
    QCOMPARE(speedOf(raw.pty.path()), speed_t{B9600});
}

void TestNetwork::aServerLateOrBreakingTheProtocol()
{
    ScriptedServer server;
    Panel panel(server.url());
    const QString com1 = " COM1: the device server ";
    // Each speed confirmed a second late, 115200 asked meanwhile: nothing to report.
    QTest::qWait(500);
    panel.choose("Option9");
    QTest::qWait(500);
    server.confirm(9600);
    QTest::qWait(500);
    server.confirm(115200);
    QTest::qWait(1700);
    QCOMPARE(panel.status(), " COM1 is connected.");
    // Not confirmed in time, then confirmed: the warning is taken back.
    panel.choose("Option10");
    QTRY_VERIFY_WITH_TIMEOUT(panel.status().startsWith((com1 + "did not confirm the speed 9600 "
                                                               "baud")
                                                           .toUtf8()),
                             2500);
    server.confirm(9600);
    QTRY_COMPARE(panel.status(), (com1 + "has now confirmed the speed 9600 baud.").toUtf8());

    // A subnegotiation left open swallows nothing for good: what it held shows, and why.
    panel.click("Command44");
    server.peer->write(QByteArray::fromHex("fffa2c6b") + "80\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" k 8 0 CR "));
    QCOMPARE(panel.status(), (com1 + "broke the Telnet protocol (a subnegotiation left open); "
                                     "what it held is shown as received. Check the device "
                                     "server.")
                                 .toUtf8());

    // A flood of negotiations, 32 MB from a server in another process, as fast as loopback
    // takes them: the window keeps its frame and the memory its size.
    QProcess flood;
    flood.start("python3",
                {"-c", "import socket, time; s = socket.create_server(('127.0.0.1', 0));"
                       "print(s.getsockname()[1], flush=True); c = s.accept()[0]; "
                       "c.sendall(b'\\xff\\xfd\\x2c' + b'\\xff\\xfb\\x01' * (11 << 20) + "
                       "b'OK'); time.sleep(60)"});
    QVERIFY(flood.waitForReadyRead(5000));
    Panel flooded("rfc2217://127.0.0.1:" + flood.readLine().trimmed());
    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.callOnTimeout([&] { longest = std::max(longest, sinceTick.restart()); });
    [[maybe_unused]] const long memory = peakKilobytes(); // not looked at under ASan
    sinceTick.start(), tick.start(1);
    QTRY_COMPARE_WITH_TIMEOUT(flooded.rxd(), QByteArray(" O K "), 20000);
    QVERIFY(longest < 100);
#if !defined(__SANITIZE_ADDRESS__) // the sanitizer keeps freed memory aside by design
    QVERIFY(peakKilobytes() - memory < 8 * 1024);
#endif
}

QTEST_MAIN(TestNetwork)
#include "tst_network.moc"
