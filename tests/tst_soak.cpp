// A long session: status queries against the simulated projector, one after another, with
// faults injected on the line. Every reply that arrives is decoded; memory and timers stay
// flat. QPV_SOAK_SECONDS=600 for the ten-minute run; the suite runs thirty seconds.

#include "exchange/echo.h"
#include "panelfixture.h"
#include "processstats.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QTest>

using namespace qpv;
using namespace std::chrono_literals;

namespace {

// The simulated projector in standby, and what the STATUS line shows for each reply.
struct Query {
    const char* command;
    const char* status;
};

constexpr Query kQueries[] = {
    {"TABN   1", " Stand by"},
    {"TLPS   1", " OFF"},
    {"POWR????", " Standby"},
    {"TLTT   1", " 0 4 1 2   0 3 9 8   0 4 0 5   0 3 7 7 Hour Use"},
    {"CR4", " Normally"},
    {"CR6", "  S1= + 2 4 . 0 C  ,   S2=  2 4 . 5 C"},
    {"CRA", " Stand by"},
    {"CR9", " Q P V 7 1 0 0   V 1 . 0 4 CR "},
    {"CR PRESSURE", "650 hPa"},
    {"CR7", " All OFF : 4 Lamp mode"},
};

constexpr sim::Fault kFaults[] = {sim::Fault::None, sim::Fault::Pieces,  sim::Fault::None,
                                  sim::Fault::Late, sim::Fault::None,    sim::Fault::NoReply,
                                  sim::Fault::None, sim::Fault::Garbage};

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void statusQueriesWithFaults();
};

void TestSoak::statusQueriesWithFaults()
{
    bool ok = false;
    const int seconds = std::max(1, qEnvironmentVariableIntValue("QPV_SOAK_SECONDS", &ok));
    const int duration = ok ? seconds : 30;

    sim::Simulator projector(sim::ProjectorTiming{0ms, 0ms});
    QVERIFY(projector.start(nullptr));
    PanelFixture panel(projector.devicePath());
    const qsizetype timersAtStart = panel.form->findChildren<QTimer*>().size();
    const auto idle = [&] {
        return !panel.timer("Timer2")->isActive() && !panel.timer("Timer4")->isActive() &&
               panel.form->state().RxBuffer.empty();
    };

    int exchanges = 0, decoded = 0, markedMissing = 0;
    long rssWarm = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < duration * 1000) {
        const Query& query = kQueries[static_cast<std::size_t>(exchanges) % std::size(kQueries)];
        const sim::Fault fault = kFaults[static_cast<std::size_t>(exchanges) % std::size(kFaults)];
        sim::FaultPlan plan;
        plan.kind = fault;
        projector.setFaults(plan);
        panel.form->sendCommand(query.command);

        switch (fault) {
        case sim::Fault::None:
        case sim::Fault::Pieces:
        case sim::Fault::Late: // after " X X X X", and before the blanking
            QTRY_COMPARE_WITH_TIMEOUT(panel.line("Label22"), QByteArray(query.status), 1000);
            ++decoded;
            break;
        case sim::Fault::NoReply:
            QTRY_COMPARE_WITH_TIMEOUT(panel.line("Label12"), QByteArray(" X X X X"), 1000);
            ++markedMissing;
            break;
        default:
            break;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!panel.timer("Timer4")->isActive(), 2000);
        if (fault == sim::Fault::Late) {
            // The late reply stays in the buffer until a send's watchdog empties it.
            projector.setFaults({});
            panel.form->sendCommand("VOLA  20");
        }
        QTRY_VERIFY_WITH_TIMEOUT(idle(), 2000);
        ++exchanges;
        if (rssWarm == 0 && clock.elapsed() > duration * 250)
            rssWarm = statusKilobytes("VmRSS:");
    }

    const long rssEnd = statusKilobytes("VmRSS:");
    qInfo("soak: %d exchanges in %d s, %d decoded, %d marked missing, RSS %.1f -> %.1f MB", exchanges,
          duration, decoded, markedMissing, static_cast<double>(rssWarm) / 1024,
          static_cast<double>(rssEnd) / 1024);
    QVERIFY(exchanges >= duration / 2);
    QCOMPARE(panel.form->findChildren<QTimer*>().size(), timersAtStart);
    QVERIFY(rssEnd - rssWarm < 2048);
}

int main(int argc, char* argv[])
{
    // Qt Test stops a test function after five minutes; the long run takes ten.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT")) {
        const int seconds = qEnvironmentVariableIntValue("QPV_SOAK_SECONDS");
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number((std::max(seconds, 30) + 300) * 1000));
    }
    QApplication app(argc, argv);
    TestSoak test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_soak.moc"
