// The command exchange on its own, without a window: the exchange session against a
// pseudo-terminal playing the projector (QPV_LINE=rfc2217: behind ser2net), on real timers.

#include "support.h"

#include <QElapsedTimer>
#include <QSocketNotifier>

using namespace qpv;

namespace {

// A session on COM1, with what its three traffic lines show.
struct Session {
    Session()
    {
        PortMap ports;
        ports.setDevice(1, lineUnderTest(pty, server));
        session = std::make_unique<ExchangeSession>(ports);
        QObject::connect(
            session.get(), &ExchangeSession::lineChanged,
            [this](TrafficLine line, const std::string& text) { lines[int(line)] = bytes(text); });
        QObject::connect(session.get(), &ExchangeSession::lineReported,
                         [this](const Report& report) { reports << report; });
        session->choosePort(1);
        QTRY_VERIFY(session->portOpen());
        if (server) { // once a byte has gone through, ser2net has the terminal open for good
            pty.write("\r");
            QTRY_COMPARE(lines[1], QByteArray(" CR "));
        }
        lines[0] = lines[1] = lines[2] = {};
    }
    PtyPair pty;
    std::unique_ptr<DeviceServer> server;
    std::unique_ptr<ExchangeSession> session;
    QByteArray lines[3]; // TXD, RXD, STATUS
    QList<Report> reports;
};

} // namespace

class TestSession : public QObject {
    Q_OBJECT

private slots:
    void exchangesOnRealTimers();
    void aStalledLineCountsWhatItDrops();
    void aSecondReaderLeavesTheLineListening();
};

void TestSession::exchangesOnRealTimers()
{
    // A command is sent (a button's control, or "SEND" with an empty box; a negative `after`:
    // that long after the step before), then the projector writes; the lines then read as given
    // (nullptr: not looked at), at once, or when a timer ends `after` ms after the last send (no
    // sooner; a coarse timer may end 5% early). Each send begins a new exchange: the buffer is
    // emptied and the watchdog (500 ms) and the blanking (1000 ms) start over, with the
    // intervals set last (SEND 2000 and 2500 ms, the picture group 5000 and 5500 ms).
    struct Step {
        int after;
        const char *send, *reply, *txd, *rxd, *status;
    };
    const char *const tabn = " T A B N       1 CR ", *const powr = " P O W R ? ? ? ? CR ",
                      *const on = " P O W R       1 CR ", *const off = " P O W R       0 CR ";
    // clang-format off
    const Step steps[] = {
        {0, "Command44", nullptr, tabn, "", ""},
        {0, nullptr, "8", tabn, " 8 ", " Lamp Life 5% or less"}, // a reply in pieces
        {0, nullptr, "0\r", tabn, " 8 0 CR ", " Stand by"},
        {-300, "Command47", nullptr, powr, " 8 0 CR ", " Stand by"}, // within the watchdog:
        {500, nullptr, nullptr, powr, " X X X X", " Stand by"}, // its own, whole
        {0, nullptr, "0\r", powr, " 0 CR ", " Standby"}, // late, and still decoded
        {0, "Command44", "80\r", tabn, " 8 0 CR ", " Stand by"}, // the next reply alone
        {1000, nullptr, nullptr, "", "", ""}, // the blanking
        {0, nullptr, "\x06\r", "", " ACK CR ", ""}, // nothing outstanding
        {0, "SEND", nullptr, " CR ", " ACK CR ", ""},
        {0, "Command17", nullptr, on, " ACK CR ", ""}, // SEND's intervals stay
        {2000, nullptr, nullptr, on, " X X X X", ""},
        {2500, nullptr, nullptr, "", "", ""},
        {0, "Command63", nullptr, " R A S R       1 CR ", "", ""}, // the picture group's
        {0, "Command18", nullptr, off, "", ""},                     // stay, too
        {5000, nullptr, nullptr, off, " X X X X", ""},
        {5500, nullptr, nullptr, "", "", ""},
    };
    // clang-format on
    Session line;
    QElapsedTimer sinceSend;
    for (const Step& step : steps) {
        QTest::qWait(std::max(0, -step.after));
        if (step.send)
            sinceSend.start();
        if (step.send && step.send == std::string_view("SEND"))
            sendFreeText(*line.session, "");
        else if (step.send) // a command button of the catalogue, by its control
            pressCommandButton(*line.session,
                               *std::ranges::find(kCommandButtons, std::string_view(step.send),
                                                  &CommandButton::control));
        if (step.reply)
            line.pty.write(step.reply);
        const char* const expected[] = {step.txd, step.rxd, step.status};
        const auto lines = [&](bool seen) { // as seen, or as expected where it is looked at
            QByteArray text = QByteArray::number(&step - steps) + ":";
            for (int i = 0; i < 3; ++i)
                text +=
                    " '" + (seen || !expected[i] ? line.lines[i] : QByteArray(expected[i])) + "'";
            return text;
        };
        QTRY_COMPARE_WITH_TIMEOUT(lines(true), lines(false), step.after + 1000);
        QVERIFY2(sinceSend.elapsed() >= step.after * 95 / 100, lines(true));
    }
    const QByteArray sent = QByteArray::fromHex("5441424E202020310D") +
                            "POWR????\rTABN   1\r\rPOWR   1\rRASR   1\rPOWR   0\r";
    QCOMPARE(line.pty.read(sent.size() + 1, std::chrono::milliseconds(100)), sent);
}

void TestSession::aStalledLineCountsWhatItDrops()
{
    // 3,000 commands, far more than the line holds at once, into a far end that reads nothing
    // for 7 s: what the line never took is dropped, whole commands only, and counted; what
    // arrives is the first of them, whole and in order, arrived and reported add up to what was
    // sent, and the port stays open for the next.
    Session line;
    QByteArray sent;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray command = QByteArray::number(i).rightJustified(8, '0');
        line.session->sendCommand(command.toStdString()), sent += command + '\r';
    }
    QTest::qWait(7000);
    QByteArray arrived; // the far end reads again, the panel finishes what it had begun
    for (QByteArray more = "."; !more.isEmpty(); arrived += more)
        QTest::qWait(100), more = line.pty.read(1 << 20, std::chrono::milliseconds(100));
    QCOMPARE(arrived, sent.left(arrived.size() / 9 * 9));
    qint64 dropped = 0; // as the STATUS line counted them
    for (const Report& report : line.reports)
        dropped += report.cause == Cause::Stalled ? report.number : 0;
    QVERIFY2(dropped > 0 && arrived.size() / 9 + dropped == 3000,
             qPrintable(QString("%1 bytes arrived, %2 reported").arg(arrived.size()).arg(dropped)));
    QVERIFY(line.reports.last().cause == Cause::Stalled && line.reports.last().ms == 5000);
    line.session->sendCommand("TABN   1");
    QCOMPARE(line.pty.read(9), QByteArray("TABN   1\r"));
    // Beyond what a slow line holds back: the command not sent, and why.
    line.session->sendCommand(std::string(1 << 21, 'x'));
    for (int i = 0; i < 130000 && line.reports.last().cause != Cause::Backlog; ++i)
        line.session->sendCommand("POWR   1");
    QVERIFY(line.reports.last().cause == Cause::Backlog && line.reports.last().number == 1 << 20);
    QVERIFY(line.reports[line.reports.size() - 2].cause == Cause::TooLong);
}

void TestSession::aSecondReaderLeavesTheLineListening()
{
    // Another program has the device open and takes replies from under the panel (its reads
    // are the test's, on the same device, as soon as the line has something): it is named,
    // once, and the line is neither closed nor reopened; once it has gone every reply is read
    // and decoded, the line never deaf.
    Session line; // the other program opens the device first
    line.session->close();
    QProcess reader;
    reader.start("python3", {"-c",
                             "import os, sys, time\nos.open(sys.argv[1], os.O_RDONLY)\n"
                             "print(flush=True)\ntime.sleep(60)",
                             line.pty.path()});
    QVERIFY(reader.waitForReadyRead(5000));
    const int theirs = ::open(QFile::encodeName(line.pty.path()), O_RDONLY | O_NONBLOCK);
    QSocketNotifier taking(theirs, QSocketNotifier::Read);
    QObject::connect(&taking, &QSocketNotifier::activated, [&] {
        for (char taken[64]; ::read(theirs, taken, sizeof taken) > 0;) {
        }
    });
    line.session->choosePort(1);
    QTRY_VERIFY(line.session->portOpen());
    for (int i = 0; i < 40; ++i)
        line.session->sendCommand("TABN   1"), line.pty.write("80\r"), QTest::qWait(20);
    QCOMPARE(line.reports.size(), 1);
    QVERIFY(line.reports[0].cause == Cause::SharedDevice &&
            line.reports[0].holder.startsWith("python3") &&
            line.reports[0].pid == reader.processId());
    taking.setEnabled(false), ::close(theirs);
    reader.kill(), reader.waitForFinished(), QTest::qWait(100);
    for (const char* reply : {"80\r", "0\r"}) {
        line.session->sendCommand("TABN   1"), line.pty.write(reply), line.lines[1].clear();
        QTRY_COMPARE(line.lines[1], bytes(renderEcho(reply)));
    }
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
