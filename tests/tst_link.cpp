// The line as the window drives it, against pseudo-terminals playing the projector: the reports
// of a port that cannot be opened or goes away, port and speed selection, the ports found on the
// computer, both programs' command lines and the simulated projector with its faults.

#include "serial/portdiscovery.h"
#include "sim/projector.h"
#include "sim/simulator.h"
#include "support.h"
#include "version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

#include <ctime>
#include <sys/stat.h>

using namespace qpv;
using namespace std::chrono_literals;

namespace {

const QString kMissing = QStringLiteral("/nonexistent/<b>ttyUSB7</b>");

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void openFailuresNameDeviceAndCause();
    void portAndSpeedSelection();
    void aLostDeviceIsReopenedWithItsSpeed();
    void portsFoundNamedAndFollowed();
    void commandLines();
    void simulatedProjector();
};

void TestLink::openFailuresNameDeviceAndCause()
{
    // Each cause told apart on the device itself (its words: tst_wording). Some cases need
    // another user, who root can be for a moment; without root they cannot be made.
    if (::geteuid() != 0)
        QSKIP("the permission and stale-lock cases need root, to open as the user nobody");
    PtyPair held, denied, locked;
    const auto open = [](const QString& device, uid_t user = 0) {
        const bool switched = user && ::setresuid(user, user, 0) == 0; // with the way back kept
        const Panel panel(device, {}, true);
        if (switched && ::setresuid(0, 0, 0) != 0)
            qFatal("setresuid back to root failed");
        return panel.failed.value(0, Report(Cause::Back, 0, "opened"));
    };
    // Another panel holds one line: it is named, with its process.
    QProcess other;
    other.start(QPV_PANEL, {"-platform", "offscreen", "--com1", held.path()});
    QTRY_VERIFY(QFile::exists(held.lockFile()));
    // A lock left by a process that has ended, which the user may not remove.
    QProcess ended;
    ended.start("true"), ended.waitForStarted();
    const qint64 endedPid = ended.processId();
    ended.waitForFinished();
    QFile lock(locked.lockFile());
    QVERIFY(lock.open(QIODevice::WriteOnly) &&
            lock.write(QByteArray::number(endedPid) + "\nqpv-panel\n" +
                       QSysInfo::machineHostName().toUtf8() + "\n"));
    lock.close();
    for (const PtyPair* pty : {&denied, &locked})
        ::chmod(pty->path().toLocal8Bit(), pty == &denied ? 0600 : 0666);
    // The device, the user who opens it (65534: nobody), the cause, its fact and the process.
    // clang-format off
    const std::tuple<QString, uid_t, Cause, QString, qint64> rows[] = {
        {kMissing, 0, Cause::NotFound, "", 0}, {"/dev/null", 0, Cause::NotSerial, "", 0},
        {held.path(), 0, Cause::Busy, "qpv-panel", other.processId()},
        {denied.path(), 65534, Cause::Permission, QFileInfo(denied.path()).group(), 0},
        {locked.path(), 65534, Cause::StaleLock, locked.lockFile(), endedPid},
    };
    // clang-format on
    for (const auto& [device, user, cause, fact, pid] : rows) {
        const Report failed = open(device, user);
        QVERIFY2(failed.cause == cause && failed.port == 1 && failed.device == device &&
                     failed.pid == pid &&
                     fact == (cause == Cause::Busy         ? failed.holder
                              : cause == Cause::Permission ? failed.group
                                                           : failed.lockFile),
                 qPrintable(device));
    }
    QFile::remove(locked.lockFile());
    // The other panel ended by a signal, as a session's end ends it: its lock goes with it.
    other.terminate();
    QVERIFY(other.waitForFinished(5000) && other.exitStatus() == QProcess::NormalExit);
    QVERIFY(!QFile::exists(held.lockFile()));
    QCOMPARE(open(held.path()).port, 0);
}

void TestLink::portAndSpeedSelection()
{
    // The window opens with COM1 closed and says why once, in a warning titled with the
    // program's name; the operator chooses COM2.
    Panel panel(kMissing);
    QTimer* countdown = panel.timer("Timer3");
    QWidget* settings = panel.find("Frame8");
    QCOMPARE(panel.warnings.size(), 1);
    QVERIFY(panel.failed.size() == 1 && panel.failed.first().cause == Cause::NotFound);
    QVERIFY(panel.form->isVisible() && !panel.isOpen() && panel.marked("Option1"));
    panel.choose("Option2");
    QVERIFY(panel.isOpen() && !settings->isVisible() && panel.marked("Option2"));

    // A speed choice applies to the open port at once and hides the panel.
    panel.choose("Option9");
    QVERIFY(panel.isOpen() && !settings->isVisible() && countdown->isActive());
    QCOMPARE(speedOf(panel.two.path()), speed_t{B115200});

    // COM1 still cannot be opened: the link stays on COM2, open, with its option marked; the
    // settings panel stays up until its countdown ends.
    panel.choose("Option1");
    QTRY_COMPARE(panel.warnings, QStringList(2, panel.warnings.first()));
    QCOMPARE(panel.session->commPort(), 2);
    QVERIFY(panel.isOpen() && panel.marked("Option2") && !panel.marked("Option1"));
    panel.click("Command17");
    QCOMPARE(panel.two.read(9) + panel.one.read(1, 20ms), QByteArray("POWR   1\r"));
    panel.click("Option10");
    QCOMPARE(speedOf(panel.two.path()), speed_t{B9600});

    // Five seconds from the last press of COM, or of the toggle.
    QTest::qWait(300);
    panel.click("Command33");
    QVERIFY(settings->isVisible() && countdown->remainingTime() > 4900);
    panel.key("Command17", Qt::Key_J, Qt::ControlModifier);
    QTest::qWait(300);
    panel.click("Command34");
    QVERIFY(countdown->remainingTime() > 4900);
    QTRY_VERIFY_WITH_TIMEOUT(!settings->isVisible(), 6500);
    QVERIFY(!countdown->isActive());
}

void TestLink::aLostDeviceIsReopenedWithItsSpeed()
{
    sim::Simulator simulator(sim::ProjectorTiming{0ms, 0ms});
    QVERIFY(simulator.start(nullptr));
    const QTemporaryDir dir;
    const QString com2 = dir.filePath("ttyUSB1"); // plugged in later
    Panel panel(simulator.devicePath(), com2);
    panel.choose("Option9");  // 115200 baud
    panel.click("Command44"); // its lines are blanked 1000 ms later
    QTest::qWait(900);
    simulator.vanish(); // the USB adapter is pulled
    QTRY_VERIFY(!panel.isOpen());
    QVERIFY(panel.reported(Cause::Lost) && panel.reports.last().device == simulator.devicePath());
    const QByteArray lost = panel.status();
    QTest::qWait(300); // the blanking has passed; the report stays as long as a reply would
    QCOMPARE(panel.status(), lost);
    QVERIFY(panel.find("Label22")->accessibleDescription().contains(simulator.devicePath()));
    QTRY_COMPARE_WITH_TIMEOUT(panel.status(), QByteArray(), 2000);
    // A spinning wait takes the whole 2.5 s; an idle one a few per cent, under valgrind too.
    const std::clock_t cpu = std::clock();
    QTest::qWait(2500);
    QVERIFY2(std::clock() - cpu < CLOCKS_PER_SEC / 4, "waiting for the device must not spin");

    // COM1 again, or COM2 that is missing too: one warning and one report each, and the panel
    // stays on COM1.
    for (const char* option : {"Option1", "Option2"}) {
        panel.choose(option);
        QTRY_COMPARE(panel.warnings.size(), option[6] - '0');
    }
    QVERIFY(panel.failed.size() == 2 && panel.failed[1].device == com2);
    QCOMPARE(panel.session->commPort(), 1);
    QVERIFY(panel.marked("Option1") && !panel.marked("Option2"));
    panel.click("Command44"); // not sent, and the button says so where the operator looks
    QVERIFY(panel.reported(Cause::NotOpen));
    QCOMPARE(panel.find("Command44")->accessibleDescription(),
             panel.find("Label22")->accessibleDescription());
    QCOMPARE(panel.txd(), QByteArray(" T A B N       1 CR "));  // the echo follows all the same
    QTRY_COMPARE_WITH_TIMEOUT(panel.txd(), QByteArray(), 2500); // blanked before what follows

    // Plugged in again: reopened by itself, at the speed chosen.
    QVERIFY(simulator.comeBack());
    QTRY_VERIFY_WITH_TIMEOUT(panel.isOpen(), 5000);
    QTRY_VERIFY(panel.reported(Cause::Back));
    QCOMPARE(speedOf(simulator.devicePath()), speed_t{B115200});
    panel.click("Command44");
    QTRY_COMPARE(panel.status(), QByteArray(" Stand by"));

    // A successful choice of the other port ends the wait, and so does END.
    simulator.vanish();
    QTRY_VERIFY(!panel.isOpen());
    QVERIFY(QFile::link(panel.two.path(), com2));
    panel.choose("Option2"); // the link moves, at the speed chosen
    QVERIFY(panel.isOpen() && simulator.comeBack());
    QCOMPARE(speedOf(com2), speed_t{B115200});
    QTest::qWait(1500);
    panel.click("Command17"); // not pulled back to COM1
    QCOMPARE(panel.two.read(9), QByteArray("POWR   1\r"));
    panel.choose("Option1");
    simulator.vanish();
    QTRY_VERIFY(!panel.isOpen());
    panel.end();
    QVERIFY(simulator.comeBack());
    QTest::qWait(1500);
    QVERIFY(!panel.isOpen());

    // Another device under the same name, a pseudo-terminal's number taken again, is not the
    // one that went: it is not opened as if it were back.
    auto gone = std::make_unique<PtyPair>();
    Panel direct(gone->path());
    const QString name = gone->path();
    gone.reset();
    QTRY_VERIFY(direct.reported(Cause::Lost));
    // Terminals opened until the number comes again, whoever frees one below it meanwhile.
    std::vector<std::unique_ptr<PtyPair>> others;
    while (others.size() < 64 && (others.empty() || others.back()->path() != name))
        others.push_back(std::make_unique<PtyPair>());
    QCOMPARE(others.back()->path(), name);
    QTest::qWait(1500);
    QVERIFY(!direct.isOpen() && direct.reported(Cause::Lost));
}

void TestLink::portsFoundNamedAndFollowed()
{
    // Port records in, COM numbers out: adapters by their stable names, adapter nodes without
    // one, built-in UARTs, each in the natural order of its names; the console set apart, last.
    const PortSurvey order =
        comOrder({{"/dev/ttyUSB1", "/dev/ttyUSB1", PortKind::AdapterNode, {}, {}, {}},
                  {"/dev/serial/by-id/usb-B", "/dev/ttyUSB0", PortKind::StableName, {}, {}, {}},
                  {"/dev/ttyS10", "/dev/ttyS10", PortKind::BuiltIn, {}, {}, {}},
                  {"/dev/ttyS2", "/dev/ttyS2", PortKind::BuiltIn, {}, {}, {}},
                  {"/dev/serial/by-id/usb-A", "/dev/ttyUSB3", PortKind::StableName, {}, {}, {}},
                  {"/dev/ttyS0", "/dev/ttyS0", PortKind::BuiltIn, {}, {}, {}}},
                 {"tty0", "ttyS0"});
    QString numbered;
    for (const FoundPort& port : order.ports + order.consoles)
        numbered += port.device + ' ';
    QCOMPARE(numbered, "/dev/serial/by-id/usb-A /dev/serial/by-id/usb-B /dev/ttyUSB1 /dev/ttyS2 "
                       "/dev/ttyS10 /dev/ttyS0 ");

    // Folders of this test's own, where a pseudo-terminal stands in for the adapter: nothing at
    // start; plugged in, and found when COM1 is chosen again (pulled and back under its stable
    // name: aLostDeviceIsReopenedWithItsSpeed, whose simulator's device is such a name).
    const QTemporaryDir dir;
    QDir(dir.path()).mkpath("by-id"), QDir(dir.path()).mkpath("dev"),
        QDir(dir.path()).mkpath("console");
    const PortPlaces places{dir.filePath("by-id"), dir.filePath("dev"), dir.path()};
    Panel panel({}, {}, false, &places);
    QVERIFY(panel.failed.size() == 1 && panel.failed.first().cause == Cause::NoPortFound);
    QCOMPARE(panel.find("Option1")->accessibleDescription(),
             "COM1: no serial port was found for it on this computer");
    sim::Simulator adapter(sim::ProjectorTiming{0ms, 0ms});
    QVERIFY(adapter.start(nullptr));
    const QString stable = dir.filePath("by-id/usb-OMTA_QPV-7100_Simulator-if00-port0");
    QVERIFY(QFile::link(adapter.devicePath(), stable));
    panel.choose("Option1");
    QVERIFY(panel.isOpen());
    QCOMPARE(panel.find("Option1")->accessibleDescription(), "COM1: " + stable);
    panel.click("Command44");
    QTRY_COMPARE(panel.status(), QByteArray(" Stand by"));

    // A bare adapter node is COM2. A third adapter whose stable name sorts first takes no
    // number from them: each port still names and reaches its own device.
    QVERIFY(QFile::link(panel.one.path(), dir.filePath("dev/ttyUSB0")));
    panel.choose("Option2");
    const QString com2 = "COM2: " + dir.filePath("dev/ttyUSB0");
    QVERIFY(QFile::link(panel.two.path(), dir.filePath("by-id/usb-0_Another_Adapter-if00-port0")));
    for (int round = 0; round < 2; ++round, panel.choose("Option2")) {
        QCOMPARE(panel.find("Option2")->accessibleDescription(), com2);
        QCOMPARE(panel.find("Option1")->accessibleDescription(), "COM1: " + stable);
        panel.click("Command18");
        QCOMPARE(panel.one.read(9) + panel.two.read(1, 20ms), QByteArray("POWR   0\r"));
    }
    panel.choose("Option1");
    panel.click("Command44");
    QTRY_COMPARE(panel.status(), QByteArray(" Stand by"));
    QVERIFY(QFile::remove(dir.filePath("by-id/usb-0_Another_Adapter-if00-port0")));

    // What --list-ports says of such a layout, with a node of its own and the console.
    QVERIFY(QFile::link(panel.two.path(), dir.filePath("dev/ttyACM0")));
    QFile active(dir.filePath("console/active"));
    QVERIFY(active.open(QIODevice::WriteOnly) &&
            active.write(QFile::encodeName(QFileInfo(panel.two.path()).fileName())));
    active.close();
    QCOMPARE(Wording(Audience::Terminal).listPorts(surveyPorts(places)),
             QStringLiteral("COM1  %1\n      the device %2\n      this user may open it\n"
                            "COM2  %3/ttyUSB0\n      the device %4\n      this user may open it\n"
                            "%3/ttyACM0 is the system console: the panel never uses it.\n")
                 .arg(stable, QFileInfo(adapter.devicePath()).canonicalFilePath(),
                      dir.filePath("dev"), panel.one.path()));
}

void TestLink::commandLines()
{
    // Both programs as an operator types them, with no display: a line they print, and how they
    // end (-1: still running). Qt's own single-dash options are Qt's; what Qt leaves over is a
    // mistake too.
    const QString panel = QPV_PANEL, sim = QPV_SIM, ctl = QPV_CTL;
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        noDisplay.remove(name);
    const QTemporaryDir dir;
    // clang-format off
    const std::tuple<QString, QStringList, int, QByteArray> rows[] = {
        {panel, {"--version"}, 0, "qpv-panel " + QByteArray(kVersion) + " (" + kTitleVersion + ")"},
        {panel, {"--bogus"}, 2, "Try 'qpv-panel --help' for the options."},
        {panel, {"--com2", ""}, 2, "qpv-panel: --com2 needs a device, e.g. --com2 /dev/ttyUSB0."},
        {panel, {"-platform", "offscreen", "stray"}, 2, "qpv-panel: unexpected argument 'stray'."},
        {panel, {"-platform", "offscreen", "-reverse", "-bogus"}, 2, "Try 'qpv-panel --help' for the options."},
        {panel, {"--simulate", "--com1", "/dev/ttyUSB0"}, 2, "qpv-panel: --simulate puts the simulated projector on COM1; leave out --com1, or leave out --simulate."},
        {panel, {"-com1", "/dev/ttyUSB0"}, 2, "qpv-panel: -com1 takes two dashes: --com1."},
        {sim, {"--version"}, 0, "qpv-sim " + QByteArray(kVersion)},
        {ctl, {"--version"}, 0, "qpv-ctl " + QByteArray(kVersion)},
        {sim, {"--lamp"}, 2, "Try 'qpv-sim --help' for the options."},
        {sim, {"--lamp-mode", "3"}, 2, "qpv-sim: --lamp-mode must be 0, 1 or 2, not '3'."},
        {sim, {"--fault", "silen"}, 2, "qpv-sim: --fault must be none, silent, pieces, late, garbage or vanish, not 'silen'."},
        {sim, {"--lamp-mode", "2", "--fault-every", "3", "--link", dir.filePath("sim")}, -1,
         "QPV-7100 simulator on " + QFile::encodeName(dir.filePath("sim")) + " (fault: none)"},
    };
    // clang-format on
    for (const auto& [program, arguments, status, line] : rows) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setProcessEnvironment(noDisplay);
        process.start(program, arguments);
        if (status < 0)
            QVERIFY(process.waitForReadyRead(5000) && process.state() == QProcess::Running);
        else
            QVERIFY(process.waitForFinished(5000) && process.exitCode() == status);
        QVERIFY2(process.readAll().split('\n').contains(line), line.constData());
        process.terminate(), process.waitForFinished(5000);
    }
}

void TestLink::simulatedProjector()
{
    // qpv-sim as an operator starts it, each fault by its name, hitting every second command:
    // the first reply is sound; on the second, what the fault shows on RXD (R) or STATUS (S), in
    // this order.
    // clang-format off
    const std::pair<const char*, std::vector<std::pair<char, QByteArray>>> faults[] = {
        {"none", {{'S', " Stand by"}}}, {"silent", {{'R', " X X X X"}}}, {"garbage", {{'R', "? "}}},
        {"pieces", {{'S', " Lamp Life 5% or less"}, {'S', " Stand by"}}},
        {"late", {{'R', " X X X X"}, {'S', " Stand by"}}},
        {"vanish", {{'S', " was disconnected: "}, {'S', " is back and open again."}}}};
    // clang-format on
    const QTemporaryDir dir;
    for (const auto& [fault, shown] : faults) {
        QProcess sim;
        const QString link = dir.filePath(QString::fromLatin1(fault));
        sim.start(QPV_SIM, {"--fault", fault, "--fault-every", "2", "--link", link});
        QVERIFY(sim.waitForReadyRead(5000)); // the device is there
        Panel panel(link);
        panel.click("Command44");
        QTRY_COMPARE(panel.status(), QByteArray(" Stand by"));
        QTRY_COMPARE(panel.rxd() + panel.status(), QByteArray()); // blanked
        panel.click("Command44");
        for (const auto& [line, text] : shown)
            QTRY_VERIFY_WITH_TIMEOUT((line == 'R' ? panel.rxd() : panel.status()).contains(text),
                                     8000);
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

QTEST_MAIN(TestLink)
#include "tst_link.moc"
