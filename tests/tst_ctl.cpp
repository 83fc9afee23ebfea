// qpv-ctl as a script runs it: every action's bytes on the line, the decoded replies of the
// simulated projector, through a device server too, the exit statuses and the JSON.

#include "support.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace std::chrono_literals;

namespace {

// Runs qpv-ctl to its end: its exit status, what it printed and what it said on stderr.
struct Run {
    explicit Run(const QStringList& arguments, const std::function<void()>& meanwhile = {})
    {
        ctl.start(QStringLiteral(QPV_CTL), arguments);
        if (meanwhile)
            meanwhile();
        ctl.waitForFinished(60000);
        status = ctl.exitCode(), out = ctl.readAllStandardOutput(), err = ctl.readAllStandardError();
    }
    QProcess ctl;
    int status = -1;
    QByteArray out, err;
};

} // namespace

class TestCtl : public QObject {
    Q_OBJECT

private slots:
    void everyActionsBytes();
    void againstTheSimulatedProjector();
};

void TestCtl::everyActionsBytes()
{
    // All 75 actions in one run, to a line that never answers: each goes out exactly, framed
    // with CR, each exchange waits its watchdog (here 20 ms), and the status says a reply was
    // missing. Then the mistakes, and a port that is not there.
    // clang-format off
    const QStringList actions = QString(
        "power-on power-off input-1-rgb input-2-rgb input-3-video input-4-s-video osd-on osd-off "
        "inside-sp-on inside-sp-off av-mute-on av-mute-off freeze-on freeze-off iris-bright "
        "iris-contrast auto-focus a-image signal-type-1-auto signal-type-1-rgb "
        "signal-type-1-component signal-type-2-auto signal-type-2-rgb signal-type-2-component "
        "lamp-normal lamp-eco pj-status lamp-status lamp-time power-status").split(' ');
    const QByteArray commands = "POWR   1 POWR   0 IRGB   1 IRGB   2 IVED   1 IVED   2 IMDI   1 "
        "IMDI   0 ASPK   1 ASPK   0 IMBK   1 IMBK   0 FREZ   1 FREZ   0 IRIS   1 IRIS   3 AFST   1 "
        "ADJS   1 IASI   0 IASI   1 IASI   2 IBSI   0 IBSI   1 IBSI   2 THMD   0 THMD   1 TABN   1 "
        "TLPS   1 TLTT   1 POWR????";
    // The picture rows: "x" is row 1 and 3's A, row 2 and 4's B; rows 1-2, then rows 3-4.
    const char* const columns[][3] = {{"normal", "RxSR   1", "RxSV   1"}, {"d-by-d", "RxSR   3", ""},
        {"border", "RxSR   6", "RxSV   3"}, {"stretch", "RxSR   2", "RxSV   2"}, {"standard", "RxPS  10", "VxPS  10"},
        {"presentation", "RxPS  11", "VxPS  11"}, {"cinema", "RxPS  12", "VxPS  12"}, {"game", "RxPS  13", "VxPS  13"}};
    // clang-format on
    QByteArray expected;
    for (qsizetype i = 0; i < actions.size(); ++i)
        expected += commands.mid(9 * i, 8) + '\r';
    QStringList all = actions;
    for (int level = 0; level <= 60; level += 5)
        all << QString("volume-%1").arg(level),
            expected += "VOLA  " + QByteArray::number(level).rightJustified(2, '0') + '\r';
    for (int row = 1; row <= 4; ++row)
        for (const auto& [column, screen, video] : columns) {
            all << QString("picture-row-%1-%2").arg(row).arg(column);
            const QByteArray command = row > 2 && !*video ? "CF INPUT" + QByteArray::number(row) + " ANALOG"
                                                          : QByteArray(row > 2 ? video : screen);
            expected += QByteArray(command).replace('x', "ABAB"[row - 1]) + '\r';
        }
    QCOMPARE(all.size(), 75);
    PtyPair line;
    const Run silent(QStringList{"--com1", line.path(), "--timeout", "20"} + all);
    QCOMPARE(line.read(expected.size() + 1, 100ms), expected);
    QCOMPARE(silent.status, 1);

    const std::pair<QStringList, int> mistakes[] = {
        {{"bogus"}, 2}, {{"send"}, 2}, {{"--port", "3", "power-on"}, 2}, {{"--speed", "4800", "power-on"}, 2},
        {{"--timeout", "0", "power-on"}, 2}, {{}, 2}, {{"--com1", "/nonexistent/ttyUSB9", "power-on"}, 3}};
    for (const auto& [arguments, status] : mistakes) {
        const Run wrong(arguments);
        QVERIFY2(wrong.status == status && !wrong.err.isEmpty() && wrong.out.isEmpty(),
                 qPrintable(arguments.join(' ')));
    }
    QVERIFY(Run({"--com1", "/nonexistent/ttyUSB9", "power-on"}).err.contains("/nonexistent/ttyUSB9"));
}

void TestCtl::againstTheSimulatedProjector()
{
    // Each query's decoded reply, one line each, and the same as JSON; then through ser2net,
    // where the test plays the projector.
    const QTemporaryDir dir;
    QProcess sim;
    sim.start(QPV_SIM, {"--link", dir.filePath("projector")});
    QVERIFY(sim.waitForReadyRead(5000));
    const QStringList device{"--com1", dir.filePath("projector")};
    const Run queries(device + QStringList{"pj-status", "lamp-status", "power-status", "lamp-time",
                                           "send", "CR PRESSURE", "volume-35"});
    QCOMPARE(queries.status, 0);
    QCOMPARE(queries.out, "Stand by\nOFF\nStandby\n0 4 1 2   0 3 9 8   0 4 0 5   0 3 7 7 Hour Use\n"
                          "650 hPa\nACK CR\n");
    const Run json(device + QStringList{"--json", "pj-status", "send", "CR7"});
    QList<QJsonObject> exchanges;
    for (const QByteArray& text : json.out.trimmed().split('\n'))
        exchanges << QJsonDocument::fromJson(text).object();
    QCOMPARE(exchanges.size(), 2);
    QCOMPARE(exchanges[0]["sent"].toString(), "TABN   1\r");
    QCOMPARE(exchanges[0]["reply"].toString(), "80\r");
    QCOMPARE(exchanges[0]["echo"].toString(), " 8 0 CR ");
    QCOMPARE(exchanges[0]["decoded"].toString(), " Stand by");
    QVERIFY(!exchanges[1]["watchdog"].toBool() && exchanges[1]["action"] == "send CR7" &&
            exchanges[1]["elapsed_ms"].toInt() >= 2000);
    sim.terminate(), sim.waitForFinished();

    PtyPair line;
    DeviceServer server(true, &line);
    const Run remote({"--com1", server.url(), "pj-status"}, [&] {
        QCOMPARE(line.read(9, 5s), QByteArray("TABN   1\r"));
        line.write("80\r");
    });
    QCOMPARE(remote.out, "Stand by\n");
    QCOMPARE(remote.status, 0);
}

QTEST_GUILESS_MAIN(TestCtl)
#include "tst_ctl.moc"
