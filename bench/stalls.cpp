// The window's thread never waits: the longest pause of the panel's event loop while a network
// port does not answer, while a device is pulled and comes back, and while a device server
// restarts, each over its whole episode, with the real window shown.

#include "panelbench.h"
#include "serial/serverlink.h"
#include "sim/simulator.h"
#include "stallprobe.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace bench {

namespace {

constexpr double kFrameMs = 16; // one frame at 60 Hz
constexpr int kReadingMs = 300; // how long the operator reads a warning box before OK

// What an episode measured, and what in it did not go as it should (empty when all did).
struct Episode {
    Stall stall;
    QString notes;
};

// The projector's end (the simulator, ser2net and its terminal, the silent server) lives on a
// thread of its own, so that the window's thread runs the panel and the probe alone: the
// fixtures' own waits (ser2net starting, or being killed) are no pause of the panel's.
class ProjectorThread {
public:
    ProjectorThread()
    {
        m_context.moveToThread(&m_thread);
        m_thread.start();
    }
    ~ProjectorThread()
    {
        m_thread.quit();
        m_thread.wait();
    }
    ProjectorThread(const ProjectorThread&) = delete;
    ProjectorThread& operator=(const ProjectorThread&) = delete;

    // Runs `work` there, the window's event loop running meanwhile; back once it is done.
    void run(const std::function<void()>& work)
    {
        QEventLoop loop;
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                work();
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
        loop.exec();
    }

private:
    QThread m_thread;
    QObject m_context; // lives on m_thread
};

// Runs the window's event loop until `done` holds (looked at every 5 ms) or `ms` have passed,
// and says whether it holds. Not QTest::qWait: that sleeps 10 ms between passes of the loop.
bool runUntil(const std::function<bool()>& done, int ms)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer look;
    look.callOnTimeout([&] {
        if (done())
            loop.quit();
    });
    look.start(5);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void runFor(int ms)
{
    runUntil([] { return false; }, ms);
}

QString shown(const Panel& panel, const char* line)
{
    const std::string& text = panel.line(line)->text();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString status(const Panel& panel)
{
    return shown(panel, "Label22");
}

// An operator who reads each warning box for a moment, then presses OK; the texts are kept.
class Operator {
public:
    Operator()
    {
        m_look.callOnTimeout([this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box == m_reading)
                return;
            m_reading = box;
            warnings << box->text();
            QTimer::singleShot(kReadingMs, box, [this, box] {
                box->button(QMessageBox::Ok)->click();
                ++answered;
            });
        });
        m_look.start(10);
    }
    QStringList warnings;
    int answered = 0;

private:
    QTimer m_look;
    QPointer<QMessageBox> m_reading;
};

// (a) COM1 chosen again on a device server that never answers: the open runs to its deadline
// and fails with a warning, which the operator reads and closes.
Episode silentServer(ProjectorThread& projector)
{
    std::unique_ptr<DeafServer> deaf;
    projector.run([&] { deaf = std::make_unique<DeafServer>(); });
    const QString url = QStringLiteral("rfc2217://127.0.0.1:%1").arg(deaf->server.serverPort());
    Episode episode;
    {
        Operator person;
        Panel panel(url); // its start-up open of COM1 fails the same way: that warning first
        runUntil([&] { return person.answered == 1; }, 5000);
        runFor(300);
        StallProbe probe("the panel idle");
        runFor(200);
        probe.phase("COM1 chosen: opening, then the warning");
        const Clock::time_point chosen = Clock::now();
        QTest::mouseClick(panel.button("Command33"), Qt::LeftButton);
        QTest::mouseClick(panel.form->findChild<QRadioButton*>(QStringLiteral("Option1")),
                          Qt::LeftButton);
        runUntil([&] { return person.warnings.size() == 2; }, 3000);
        const double warnedMs = microsecondsSince(chosen) / 1e3;
        runUntil([&] { return person.answered == 2; }, 2000);
        probe.phase("the warning closed");
        runFor(300);
        episode.stall = probe.stop();

        const QString expected = QStringLiteral("COM1 (%1) cannot be opened: 127.0.0.1 port %2 did "
                                                "not answer within %3 ms.")
                                     .arg(url)
                                     .arg(deaf->server.serverPort())
                                     .arg(qpv::ServerLink::kOpenTimeoutMs);
        if (person.warnings.size() != 2)
            episode.notes = QStringLiteral("%1 warning(s), not 2").arg(person.warnings.size());
        else if (!person.warnings[1].startsWith(expected))
            episode.notes = QStringLiteral("warned: ") + person.warnings[1];
        else
            std::fprintf(stderr, "  the warning came %.0f ms after the choice\n", warnedMs);
    }
    projector.run([&] { deaf.reset(); });
    return episode;
}

// A line pulled and back: `pull` takes it away, `restore` brings it back, and the panel, idle
// before, reports the loss, waits, and opens the line again by itself.
Episode lostAndBack(const Panel& panel, ProjectorThread& projector, const QString& what,
                    const std::function<void()>& pull, const std::function<void()>& restore)
{
    runFor(300);
    StallProbe probe("the panel idle");
    runFor(200);
    probe.phase(what + QStringLiteral(" pulled"));
    projector.run(pull);
    const bool reported = runUntil(
        [&] { return status(panel).contains(QLatin1String(" was disconnected: ")); }, 3000);
    probe.phase(QStringLiteral("waiting for ") + what);
    runFor(1500);
    probe.phase(what + QStringLiteral(" back"));
    projector.run(restore);
    const bool back = runUntil(
        [&] { return status(panel).endsWith(QLatin1String(" is back and open again.")); }, 3000);
    probe.phase(QStringLiteral("open again"));
    runFor(300);
    Episode episode;
    episode.stall = probe.stop();
    if (!reported || !back)
        episode.notes = QStringLiteral("STATUS: %1").arg(status(panel).trimmed());
    return episode;
}

// (b) The device pulled while open: the panel reports it and waits; plugged in again, it is
// reopened by itself.
Episode pulledDevice(ProjectorThread& projector)
{
    std::unique_ptr<qpv::sim::Simulator> simulator;
    QString path;
    projector.run([&] {
        simulator = std::make_unique<qpv::sim::Simulator>();
        if (!simulator->start(nullptr))
            std::fprintf(stderr, "bench: the simulator did not start\n");
        path = simulator->devicePath();
    });
    Episode episode;
    {
        Panel panel(path);
        runUntil([&] { return panel.session->portOpen(); }, 2000);
        episode = lostAndBack(
            panel, projector, "the device", [&] { simulator->vanish(); },
            [&] { simulator->comeBack(); });
    }
    projector.run([&] { simulator.reset(); });
    return episode;
}

// (c) The device server killed and started again: the panel reports the loss and reconnects
// by itself.
Episode restartedServer(ProjectorThread& projector)
{
    std::unique_ptr<DeviceServer> server;
    projector.run([&] { server = std::make_unique<DeviceServer>(true); });
    Episode episode;
    {
        Panel panel(server->url());
        runUntil([&] { return panel.session->portOpen(); }, 5000);
        // Once a byte has gone through, ser2net has the terminal open for good.
        projector.run([&] { server->pty.write("\r"); });
        if (!runUntil([&] { return shown(panel, "Label12") == QLatin1String(" CR "); }, 5000))
            std::fprintf(stderr, "bench: nothing came through ser2net\n");
        episode = lostAndBack(
            panel, projector, "the device server", [&] { server->stop(); },
            [&] { server->start(); });
    }
    projector.run([&] { server.reset(); });
    return episode;
}

// (d) A device server that floods the connection, 32 MB of negotiations from another process as
// fast as loopback takes them, then data: the window keeps its frame, and the data shows.
Episode negotiationFlood()
{
    QProcess flood;
    flood.start("python3",
                {"-c", "import socket, time; s = socket.create_server(('127.0.0.1', 0));"
                       "print(s.getsockname()[1], flush=True); c = s.accept()[0]; "
                       "c.sendall(b'\\xff\\xfd\\x2c' + b'\\xff\\xfb\\x01' * (11 << 20) + "
                       "b'OK'); time.sleep(60)"});
    Episode episode;
    if (!flood.waitForReadyRead(5000)) {
        episode.notes = QStringLiteral("the flooding server did not start");
        return episode;
    }
    Panel panel("rfc2217://127.0.0.1:" + QString::fromLatin1(flood.readLine().trimmed()));
    StallProbe probe("the flood");
    if (!runUntil([&] { return shown(panel, "Label12") == QLatin1String(" O K "); }, 20000))
        episode.notes = QStringLiteral("RXD: ") + shown(panel, "Label12").left(40);
    episode.stall = probe.stop();
    flood.kill(), flood.waitForFinished();
    return episode;
}

void addStallRow(const char* what, const Episode& episode)
{
    const Stall& stall = episode.stall;
    const bool asItShould = episode.notes.isEmpty();
    addRow(QStringLiteral("window stall while %1: longest pause of the event loop")
               .arg(QLatin1String(what)),
           QStringLiteral("%1 ms").arg(stall.longestMs, 0, 'f', 1) +
               (asItShould ? QString() : QStringLiteral(" (%1)").arg(episode.notes)),
           QStringLiteral("16 ms (one frame at 60 Hz)"),
           QString::number(stall.longestMs / kFrameMs, 'f', 2), QStringLiteral("<= 16 ms"),
           asItShould && stall.longestMs <= kFrameMs);
    std::fprintf(stderr,
                 "    of it %.1f ms running, %.1f ms waiting for a core; it ended %.0f ms into "
                 "the %.0f ms episode (%s); %d ticks\n",
                 stall.longestCpuMs, stall.longestQueuedMs, stall.endedAtMs, stall.episodeMs,
                 qPrintable(stall.during), stall.ticks);
}

} // namespace

void windowStalls()
{
    ProjectorThread projector;
    addStallRow("opening a network port that never answers", silentServer(projector));
    addStallRow("a device is pulled and comes back", pulledDevice(projector));
    addStallRow("a device server restarts", restartedServer(projector));
    addStallRow("a device server floods the connection", negotiationFlood());
}

} // namespace bench
