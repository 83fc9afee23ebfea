// A panel that sits beside a projector for hours: devices that vanish and come back, a line
// that carries garbage, thousands of clicks, a long session against the simulated projector
// with faults injected, and nothing lost. Long forms: QPV_HOSTILE_SECONDS, QPV_SOAK_SECONDS.

#include "exchange/echo.h"
#include "sim/projector.h"
#include "sim/simulator.h"
#include "support.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

using namespace qpv;
using namespace std::chrono_literals;

namespace {

// A device path that vanishes and comes back, as /dev/serial/by-id/... does when a USB adapter
// is pulled and plugged in again: a link to a fresh pseudo-terminal each time.
struct Pluggable {
    Pluggable() { plugIn(); }
    void pull() { pty.reset(), QFile::remove(path); }
    void plugIn() { pty = std::make_unique<PtyPair>(), QFile::link(pty->path(), path); }
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("ttyUSB0"));
    std::unique_ptr<PtyPair> pty;
};

int secondsFromEnvironment(const char* name, int fallback)
{
    const int value = qEnvironmentVariableIntValue(name);
    return value > 0 ? value : fallback;
}

QByteArray randomBytes(QRandomGenerator& random, qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

} // namespace

class TestHardening : public QObject {
    Q_OBJECT

private slots:
    void lostDeviceIsReopenedWithItsSpeed();
    void permissionDeniedNamesTheGroup();
    void hostileLine();
    void simulatedProjector();
    void soak();
};

void TestHardening::lostDeviceIsReopenedWithItsSpeed()
{
    Pluggable adapter;
    Panel panel(adapter.path);
    panel.choose("Option9"); // 115200 baud
    adapter.pull();
    QTRY_VERIFY(!panel.comm().PortOpen());
    const QString com1 = " COM1 (" + adapter.path + ")";
    QCOMPARE(panel.status(),
             (com1 + " was disconnected: the device went away. It is reopened when it "
                     "comes back, or choose the port again.")
                 .toUtf8());
    const double cpu = threadCpuSeconds();
    QTest::qWait(2500);
    QVERIFY2(threadCpuSeconds() - cpu < 0.1, "waiting for the device must not spin");
    adapter.plugIn();
    QTRY_VERIFY_WITH_TIMEOUT(panel.comm().PortOpen(), 3000);
    QCOMPARE(panel.status(), (com1 + " is back and open again.").toUtf8());
    const termios t = adapter.pty->attributes();
    QCOMPARE(::cfgetospeed(&t), speed_t{B115200});
    panel.click("Command47");
    QCOMPARE(adapter.pty->read(9), QByteArray("POWR????\r"));

    // A successful choice of the other port, or END, ends the wait.
    adapter.pull();
    QTRY_VERIFY(!panel.comm().PortOpen());
    panel.choose("Option2");
    adapter.plugIn();
    QTest::qWait(1500);
    QCOMPARE(panel.comm().CommPort(), 2); // not pulled back to COM1
    panel.choose("Option1");
    adapter.pull();
    QTRY_VERIFY(!panel.comm().PortOpen());
    panel.click("Command16");
    adapter.plugIn();
    QTest::qWait(1500);
    QVERIFY(!panel.comm().PortOpen());
}

void TestHardening::permissionDeniedNamesTheGroup()
{
    const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
    if (::geteuid() != 0 || runuser.isEmpty())
        QSKIP("needs root and runuser to make a device the test user cannot open");
    PtyPair line;
    QFile::setPermissions(line.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::WriteGroup);
    const QString group = QFileInfo(line.path()).group();
    QProcess probe;
    probe.start(runuser,
                {"-u", "nobody", "--",
                 QCoreApplication::applicationDirPath() + "/serial_open_probe", line.path()});
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(
        QString::fromUtf8(probe.readAllStandardOutput()).trimmed(),
        QStringLiteral(
            "COM1 (%1) cannot be opened: permission denied. The user must be in the group '%2' "
            "that owns the device (for example: sudo adduser $USER %2, then log in again).")
            .arg(line.path(), group));
}

void TestHardening::hostileLine()
{
    Panel panel;
    QRandomGenerator random(7100);
    // Random bytes in random pieces: every character under the cap is shown, in order.
    QByteArray sent;
    while (sent.size() < 30000) {
        const QByteArray piece = randomBytes(random, 1 + random.bounded(300));
        sent += piece;
        panel.one.write(piece);
        QCoreApplication::processEvents();
    }
    QTRY_VERIFY(panel.rxd() == bytes(renderEcho({sent.constData(), size_t(sent.size())})));

    // Then 115200 baud of garbage, markup, NUL runs and long runs without a CR, with a click
    // every 250 ms: each click still goes out, RXD shows plain characters only, memory bounded.
    const char* const nasty[] = {"<b>", "</b>", "&#", "&#x41;", "<img src=x>", "\r\n", "\x1b[2J"};
    const int seconds = secondsFromEnvironment("QPV_HOSTILE_SECONDS", 5);
    int clicks = 0;
    long peakRss = 0;
    QByteArray onTheLine;
    QElapsedTimer clock, sinceClick;
    clock.start();
    sinceClick.start();
    while (clock.elapsed() < seconds * 1000) {
        const auto kind = random.bounded(10);
        panel.one.write(kind < 2   ? QByteArray(nasty[random.bounded(7)])
                        : kind < 3 ? QByteArray(64, char(0x80 + random.bounded(128)))
                        : kind < 4 ? QByteArray(32, '\0')
                                   : randomBytes(random, 1 + random.bounded(115)));
        QTest::qWait(10);
        onTheLine += panel.one.readAvailable();
        if (sinceClick.elapsed() >= 250) {
            panel.click("Command44"), ++clicks, sinceClick.restart();
            peakRss = std::max(peakRss, statusKilobytes("VmRSS:"));
            const QByteArray rxd = panel.rxd();
            QVERIFY(
                std::all_of(rxd.begin(), rxd.end(), [](char c) { return c >= ' ' && c <= 'z'; }));
        }
    }
    onTheLine += panel.one.read(9 * clicks - onTheLine.size());
    QCOMPARE(onTheLine, QByteArray("TABN   1\r").repeated(clicks));
    qInfo("hostile line: %d s, %d clicks, peak RSS %.1f MB", seconds, clicks,
          double(peakRss) / 1024);
#if !defined(__SANITIZE_ADDRESS__) // the sanitizer keeps freed memory aside by design
    QVERIFY(peakRss < 200 * 1024);
#endif
}

void TestHardening::simulatedProjector()
{
    // qpv-sim as an operator starts it, each fault by its name; the panel talks to it.
    QProcess version;
    version.start(QStringLiteral(QPV_SIM), {"--version"});
    QVERIFY(version.waitForFinished(5000));
    QCOMPARE(version.readAll(), QByteArray("qpv-sim 1.04.0002\n"));
    const QTemporaryDir dir;
    for (const char* fault : {"none", "pieces", "late", "garbage", "vanish", "silent"}) {
        QProcess sim;
        const QString link = dir.filePath(QString::fromLatin1(fault));
        sim.start(QStringLiteral(QPV_SIM), {"--fault", fault, "--link", link});
        QVERIFY(sim.waitForReadyRead(5000));
        QCOMPARE(
            sim.readLine(),
            QStringLiteral("QPV-7100 simulator on %1 (fault: %2)\n").arg(link, fault).toUtf8());
        Panel panel(link);
        panel.click("Command44");
        if (QByteArray(fault) == "silent")
            QTRY_COMPARE(panel.rxd(), QByteArray(" X X X X"));
        if (QByteArray("none pieces late").contains(fault))
            QTRY_COMPARE(panel.status(), QByteArray(" Stand by"));
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
    }

    // Power phases follow their timing; settings are acknowledged, anything else refused.
    sim::Projector projector(sim::ProjectorTiming{2000ms, 1000ms});
    const auto t0 = sim::Projector::Clock::now();
    // clang-format off
    const std::tuple<int, const char*, const char*> script[] = {
        {0, "TABN   1", "80\r"}, {0, "POWR   1", "\x06\r"}, {1999, "TABN   1", "40\r"},
        {1999, "TLPS   1", "3\r"}, {2000, "TABN   1", "00\r"}, {2000, "VOLA  40", "\x06\r"},
        {2000, "CF INPUT4 ANALOG", "\x06\r"}, {2000, "CRA", "00\r"}, {2000, "IMBK   1", "\x06\r"},
        {2000, "CRA", "03\r"}, {2000, "VOLA 40", "ERR\r"}, {2000, "VOLA  61", "ERR\r"},
        {2000, "powr   1", "ERR\r"}, {2000, "", "ERR\r"}, {3000, "POWR   0", "\x06\r"},
        {3500, "TABN   1", "20\r"}, {4000, "TABN   1", "80\r"}};
    // clang-format on
    for (const auto& [ms, command, reply] : script)
        QCOMPARE(bytes(projector.reply(command, t0 + std::chrono::milliseconds(ms))),
                 QByteArray(reply));
}

void TestHardening::soak()
{
    // Status queries against the simulated projector in standby, one after another, faults
    // rotating: every reply that arrives is decoded exactly; timers and memory stay flat.
    const struct {
        const char *command, *status;
    } queries[] = {
        {"TABN   1", " Stand by"},  {"TLPS   1", " OFF"},
        {"POWR????", " Standby"},   {"TLTT   1", " 0 4 1 2   0 3 9 8   0 4 0 5   0 3 7 7 Hour Use"},
        {"CR4", " Normally"},       {"CR6", "  S1= + 2 4 . 0 C  ,   S2=  2 4 . 5 C"},
        {"CRA", " Stand by"},       {"CR9", " Q P V 7 1 0 0   V 1 . 0 4 CR "},
        {"CR PRESSURE", "650 hPa"}, {"CR7", " All OFF : 4 Lamp mode"}};
    const sim::Fault faults[] = {sim::Fault::None, sim::Fault::Pieces, sim::Fault::None,
                                 sim::Fault::Late, sim::Fault::None,   sim::Fault::NoReply,
                                 sim::Fault::None, sim::Fault::Garbage};
    const int seconds = secondsFromEnvironment("QPV_SOAK_SECONDS", 15);
    sim::Simulator projector(sim::ProjectorTiming{0ms, 0ms});
    QVERIFY(projector.start(nullptr));
    Panel panel(projector.devicePath());
    const qsizetype timers = panel.form->findChildren<QTimer*>().size();
    int exchanges = 0;
    long rssWarm = 0;
    QElapsedTimer clock;
    clock.start();
    for (; clock.elapsed() < seconds * 1000; ++exchanges) {
        const auto& query = queries[size_t(exchanges) % std::size(queries)];
        const sim::Fault fault = faults[size_t(exchanges) % std::size(faults)];
        projector.setFaults({fault});
        panel.form->sendCommand(query.command);
        if (fault == sim::Fault::NoReply)
            QTRY_COMPARE_WITH_TIMEOUT(panel.rxd(), QByteArray(" X X X X"), 3000);
        else if (fault != sim::Fault::Garbage)
            QTRY_COMPARE_WITH_TIMEOUT(panel.status(), QByteArray(query.status), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!panel.timer("Timer4")->isActive(), 4000);
        if (fault == sim::Fault::Late) { // the late reply waits in the buffer for a watchdog
            projector.setFaults({});
            panel.form->sendCommand("VOLA  20");
            QTRY_VERIFY_WITH_TIMEOUT(!panel.timer("Timer4")->isActive(), 4000);
        }
        if (!rssWarm && clock.elapsed() > seconds * 250)
            rssWarm = statusKilobytes("VmRSS:");
    }
    const long rssEnd = statusKilobytes("VmRSS:");
    qInfo("soak: %d exchanges in %d s, RSS %.1f -> %.1f MB", exchanges, seconds,
          double(rssWarm) / 1024, double(rssEnd) / 1024);
    QVERIFY(exchanges >= seconds / 4);
    QCOMPARE(panel.form->findChildren<QTimer*>().size(), timers);
    QVERIFY(rssEnd - rssWarm < 2048);
}

int main(int argc, char* argv[])
{
    // Qt Test stops a test function after five minutes; a long soak takes longer.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT",
                QByteArray::number((secondsFromEnvironment("QPV_SOAK_SECONDS", 0) + 300) * 1000));
    QApplication app(argc, argv);
    TestHardening test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hardening.moc"
