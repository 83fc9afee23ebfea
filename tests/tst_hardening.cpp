// A panel that sits beside a projector for hours: devices that vanish and come back, a line
// that carries garbage, the simulated projector with its faults, and nothing lost. The long
// form of the hostile line: QPV_HOSTILE_SECONDS.

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

#include <ctime>
#include <sys/resource.h>
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

long peakKilobytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestHardening : public QObject {
    Q_OBJECT

private slots:
    void lostDeviceIsReopenedWithItsSpeed();
    void permissionDeniedNamesTheGroup();
    void hostileLine();
    void simulatedProjector();
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
    const std::clock_t cpu = std::clock();
    QTest::qWait(2500);
    QVERIFY2(std::clock() - cpu < CLOCKS_PER_SEC / 10, "waiting for the device must not spin");
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
    // Random bytes, markup, NUL runs and bytes above ASCII in random pieces: the first 30,000
    // as fast as they go, every character shown in order; then at 115200 baud with a click
    // every 250 ms: every click goes out, RXD shows plain text, memory stays bounded.
    Panel panel;
    QRandomGenerator random(7100);
    const char* const nasty[] = {"<b>", "</b>", "&#", "&#x41;", "<img src=x>", "\r\n", "\x1b[2J"};
    const auto piece = [&] {
        const auto kind = random.bounded(10);
        QByteArray bytes = kind < 2   ? QByteArray(nasty[random.bounded(7)])
                           : kind < 3 ? QByteArray(64, char(0x80 + random.bounded(128)))
                                      : QByteArray(1 + random.bounded(115), '\0');
        if (kind >= 4)
            std::generate(bytes.begin(), bytes.end(), [&] { return char(random.bounded(256)); });
        return bytes;
    };
    QByteArray sent;
    while (sent.size() < 30000) {
        const QByteArray bytes = piece();
        panel.one.write(bytes), sent += bytes;
        QCoreApplication::processEvents();
    }
    QTRY_VERIFY(panel.rxd() == bytes(renderEcho({sent.constData(), size_t(sent.size())})));

    const int seconds = secondsFromEnvironment("QPV_HOSTILE_SECONDS", 5);
    int clicks = 0;
    QByteArray onTheLine;
    QElapsedTimer clock;
    for (clock.start(); clock.elapsed() < seconds * 1000; QTest::qWait(10)) {
        panel.one.write(piece());
        onTheLine += panel.one.readAvailable();
        if (clock.elapsed() / 250 >= clicks) {
            panel.click("Command44"), ++clicks;
            const QByteArray rxd = panel.rxd();
            QVERIFY(
                std::all_of(rxd.begin(), rxd.end(), [](char c) { return c >= ' ' && c <= 'z'; }));
        }
    }
    onTheLine += panel.one.read(9 * clicks - onTheLine.size());
    QCOMPARE(onTheLine, QByteArray("TABN   1\r").repeated(clicks));
    qInfo("hostile line: %d s, %d clicks, peak RSS %.1f MB", seconds, clicks,
          double(peakKilobytes()) / 1024);
#if !defined(__SANITIZE_ADDRESS__) // the sanitizer keeps freed memory aside by design
    QVERIFY(peakKilobytes() < 200 * 1024);
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
        {0, "TLTT   1", "0412 0398 0405 0377\r"}, {0, "CR4", "11\r"},
        {0, "CR9", "QPV7100 V1.04\r"}, {0, "CR6", "+24.0 +24.5 +23.8\r"},
        {0, "CR PRESSURE", "0512\r"}, {0, "CR7", "00\r"}, {0, "POWR????", "0\r"}, {0, "CRA", "FF\r"},
        {0, "TABN   1", "80\r"}, {0, "POWR   1", "\x06\r"}, {1999, "TABN   1", "40\r"},
        {1999, "TLPS   1", "3\r"}, {2000, "TABN   1", "00\r"},
        {2000, "CR6", "+32.5 +40.1 +28.0\r"}, {2000, "CR7", "0F\r"}, {2000, "TLPS   1", "1\r"},
        {2000, "POWR????", "1\r"}, {2000, "VOLA  40", "\x06\r"},
        {2000, "CF INPUT4 ANALOG", "\x06\r"}, {2000, "CRA", "00\r"}, {2000, "IMBK   1", "\x06\r"},
        {2000, "CRA", "03\r"}, {2000, "VOLA 40", "ERR\r"}, {2000, "VOLA  61", "ERR\r"},
        {2000, "powr   1", "ERR\r"}, {2000, "", "ERR\r"}, {3000, "POWR   0", "\x06\r"},
        {3500, "TABN   1", "20\r"}, {4000, "TABN   1", "80\r"}};
    // clang-format on
    for (const auto& [ms, command, reply] : script)
        QCOMPARE(bytes(projector.reply(command, t0 + std::chrono::milliseconds(ms))),
                 QByteArray(reply));
}

int main(int argc, char* argv[])
{
    // Qt Test stops a test function after five minutes; a long hostile line takes longer.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv(
            "QTEST_FUNCTION_TIMEOUT",
            QByteArray::number((secondsFromEnvironment("QPV_HOSTILE_SECONDS", 0) + 300) * 1000));
    QApplication app(argc, argv);
    TestHardening test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hardening.moc"
