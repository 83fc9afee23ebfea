// A projector behind a device server: the Telnet client on what servers send, then the window
// on rfc2217:// and socket:// through a real ser2net, with its open failures and a server that
// goes away and comes back. The panel's every command and the exchange timeline run through
// ser2net as tst_panel_rfc2217 and tst_session_rfc2217.

#include "serial/serverlink.h"
#include "serial/telnetcodec.h"
#include "support.h"

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
    void aServerThatStopsReading();
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
        // A server repeating itself: its last 16 reports kept, however many it sends.
        {"fffa2c6500002580fff0" + QByteArray("fffa2c650001c200fff0").repeated(16), "||O|" + QByteArray("115200,").repeated(16).chopped(1)},
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
    const qsizetype reports = panel.reports.size();
    panel.choose("Option9");
    QTRY_COMPARE(speedOf(server.pty.path()), speed_t{B115200});
    QTest::qWait(ServerLink::kConfirmTimeoutMs + 200);
    QCOMPARE(panel.reports.size(), reports);

    // The server killed: one report, no busy wait; started again: reconnected by itself, at
    // the speed chosen (ser2net opens the terminal at 9600).
    server.stop();
    QTRY_VERIFY(panel.reported(Cause::ServerClosed));
    const std::clock_t cpu = std::clock();
    QTest::qWait(2500);
    QVERIFY2(std::clock() - cpu < CLOCKS_PER_SEC / 10, "waiting for the server must not spin");
    QCOMPARE(panel.reports.size(), reports + 1);
    server.start();
    QTRY_VERIFY_WITH_TIMEOUT(panel.reported(Cause::Back), 5000);
    QTRY_COMPARE(speedOf(server.pty.path()), speed_t{B115200});
    panel.click("Command17");
    QCOMPARE(server.pty.read(9), QByteArray("POWR   1\r"));
}

void TestNetwork::openFailuresAndRawTcp()
{
    // Each cause of an open failure, with the address it names, in a warning box.
    const quint16 closed = freePort(); // nothing listens there
    const DeafServer deaf;
    // clang-format off
    const std::tuple<QString, Cause, QString, qint64> rows[] = {
        {QStringLiteral("rfc2217://127.0.0.1:%1").arg(closed), Cause::Refused, "127.0.0.1", closed},
        {"rfc2217://no-such-projector.invalid:7000", Cause::UnknownHost, "", 7000},
        {QStringLiteral("socket://127.0.0.1:%1").arg(deaf.server.serverPort()), Cause::NoAnswer, "127.0.0.1", deaf.server.serverPort()},
        {"rfc2217://[::1]", Cause::BadAddress, "", 0},
    };
    // clang-format on
    for (const auto& [device, cause, where, port] : rows) {
        Panel panel(device);
        QCOMPARE(panel.failed.size(), 1);
        const Report& failed = panel.failed.first();
        QVERIFY2(panel.warnings.size() == 1 && failed.cause == cause && failed.device == device &&
                     failed.where == where && failed.number == port,
                 qPrintable(device));
    }

    // Raw TCP: the bytes as they are; a speed is only recorded, and STATUS says where it is set.
    DeviceServer raw(false);
    Panel panel(raw.url());
    panel.click("Command17");
    QCOMPARE(raw.pty.read(9), QByteArray("POWR   1\r"));
    raw.pty.write("\xff\xfb\x2c");
    QTRY_COMPARE(panel.rxd(), QByteArray(" ? ? , "));
    panel.choose("Option9");
    QVERIFY(panel.reported(Cause::RawSpeed) && panel.reports.last().baud == 115200);
    QCOMPARE(speedOf(raw.pty.path()), speed_t{B9600});
}

void TestNetwork::aServerLateOrBreakingTheProtocol()
{
    ScriptedServer server;
    Panel panel(QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.server.serverPort()));
    // Each speed confirmed a second late, 115200 asked meanwhile: nothing to report.
    QTest::qWait(500), panel.choose("Option9");
    QTest::qWait(500), server.confirm(9600);
    QTest::qWait(500), server.confirm(115200);
    QTest::qWait(1700);
    QVERIFY(panel.reported(Cause::Connected));
    // Not confirmed in time, then confirmed: the warning is taken back.
    panel.choose("Option10");
    QTRY_VERIFY_WITH_TIMEOUT(panel.reported(Cause::SpeedUnconfirmed), 4000);
    QCOMPARE(panel.reports.last().baud, 9600);
    server.confirm(9600);
    QTRY_VERIFY(panel.reported(Cause::SpeedConfirmed));
    // Another speed than asked: said so, with both.
    panel.choose("Option9");
    QTest::qWait(100);
    server.confirm(57600);
    QTRY_VERIFY(panel.reported(Cause::OtherSpeed));
    QVERIFY(panel.reports.last().baud == 57600 && panel.reports.last().asked == 115200);

    // A subnegotiation left open swallows nothing for good: what it held shows, and why.
    panel.click("Command44");
    server.peer->write(QByteArray::fromHex("fffa2c6b") + "80\r");
    QTRY_COMPARE(panel.rxd(), QByteArray(" k 8 0 CR "));
    QVERIFY(panel.reported(Cause::OpenNegotiation));

    // A command sent while the port is still connecting goes nowhere, and says so; a server
    // that then refuses RFC 2217 is told apart from one that does not answer.
    panel.click("Command33"), panel.click("Option1"), panel.click("Command17");
    QVERIFY(panel.reported(Cause::StillConnecting));
    QTRY_VERIFY(panel.isOpen());
    server.peer->write(QByteArray::fromHex("fffe2c"));
    QTRY_VERIFY(panel.reported(Cause::NoRfc2217));
}

void TestNetwork::aServerThatStopsReading()
{
    // 10,000 presses to a device server with a small receive window that reads nothing for 7 s:
    // what it never took is dropped, whole commands only, and counted; every frame that
    // arrives is whole, and arrived and reported add up to what was sent.
    QProcess server;
    server.start("python3", {"-c", "import socket, time\ns = socket.socket()\n"
                                   "s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)\n"
                                   "s.bind(('127.0.0.1', 0)); s.listen()\n"
                                   "print(s.getsockname()[1], flush=True)\n"
                                   "c = s.accept()[0]; time.sleep(7); c.settimeout(1); got = b''\n"
                                   "try:\n while (more := c.recv(65536)): got += more\n"
                                   "except socket.timeout: pass\n"
                                   "print(got.decode(), end='', flush=True); time.sleep(60)"});
    QTRY_VERIFY(server.canReadLine());
    Panel panel("socket://127.0.0.1:" + server.readLine().trimmed());
    for (int i = 0; i < 10000; ++i)
        panel.session->sendCommand("POWR   1");
    QByteArray arrived;
    for (QDeadlineTimer deadline(15000); !arrived.endsWith('\r') && !deadline.hasExpired();)
        QTest::qWait(100), arrived += server.readAll();
    const qint64 frames = arrived.size() / 9;
    qint64 dropped = 0; // as the STATUS line counted them
    for (const Report& report : panel.reports)
        dropped += report.cause == Cause::Stalled ? report.number : 0;
    QCOMPARE(arrived, QByteArray("POWR   1\r").repeated(int(frames)));
    QVERIFY2(dropped > 0 && frames + dropped == 10000,
             qPrintable(QString("%1 arrived, %2 reported").arg(frames).arg(dropped)));
    server.kill(), server.waitForFinished();
}

QTEST_MAIN(TestNetwork)
#include "tst_network.moc"
