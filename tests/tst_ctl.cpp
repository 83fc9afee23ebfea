// qpv-ctl as a script runs it: every action's bytes on the line, the decoded replies of the
// simulated projector, through a device server too, the exit statuses and the JSON.

#include "design.h"
#include "support.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace std::chrono_literals;

namespace {

// Runs qpv-ctl to its end: its exit status, what it printed and what it said on stderr.
struct Run {
    explicit Run(const QStringList& arguments,
                 const std::function<void(const QProcess&)>& meanwhile = {})
    {
        ctl.start(QStringLiteral(QPV_CTL), arguments);
        if (meanwhile)
            meanwhile(ctl);
        ctl.waitForFinished(60000);
        status = ctl.exitCode(), out = ctl.readAllStandardOutput(),
        err = ctl.readAllStandardError();
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
    // All 75 actions in one run on COM2, to a line that never answers: each goes out exactly,
    // framed with CR, each exchange waits its watchdog (here 20 ms), and the status says a reply
    // was missing. Meanwhile the line is locked, and busy for another run, which names this
    // one. Then the mistakes, and a port that is not there. Each action is named by its button's
    // group, shortened, and caption (the captionless ones by their column), as the manual says;
    // its command is the design's.
    const QRegularExpression kEnds("^-|-$");
    QStringList all;
    QByteArray expected;
    for (const design::Row& row : design::panelRows()) {
        if (row.command.isEmpty())
            continue;
        const QByteArray group = row.group == "INPUT MODE SET" ? "input"
                                 : row.group == "LAMP SELECT"  ? "lamp"
                                                               : row.group;
        const QString name = group + ' ' + (row.caption.isEmpty() ? "D by D" : row.caption);
        all << name.toLower().replace(QRegularExpression("[^a-z0-9]+"), "-").remove(kEnds);
        expected += row.command + '\r';
    }
    PtyPair line;
    const Run silent(QStringList{"--port", "2", "--com2", line.path(), "--timeout", "20"} + all,
                     [&](const QProcess& holder) {
                         QTRY_VERIFY(QFile::exists(line.lockFile()));
                         const Run busy({"--com1", line.path(), "power-on"});
                         QVERIFY(busy.status == 3 && busy.err.contains(QByteArray(
                                                         "qpv-ctl (process " +
                                                         QByteArray::number(holder.processId()))));
                     });
    QCOMPARE(line.read(expected.size() + 1, 100ms), expected);
    QCOMPARE(silent.status, 1);

    // clang-format off
    const std::pair<QStringList, int> mistakes[] = {{{"bogus"}, 2}, {{"send"}, 2}, {{}, 2},
        {{"--port", "3", "power-on"}, 2}, {{"--speed", "4800", "power-on"}, 2},
        {{"--timeout", "0", "power-on"}, 2}, {{"--com1", "/nonexistent/ttyUSB9", "power-on"}, 3}};
    // clang-format on
    for (const auto& [arguments, status] : mistakes) {
        const Run wrong(arguments);
        // Said on stderr: a mistake with the way to help, a port with its device.
        QVERIFY2(wrong.status == status && wrong.out.isEmpty() &&
                     wrong.err.contains(status == 3 ? "/nonexistent/ttyUSB9" : "--help") &&
                     wrong.err.endsWith('\n'),
                 qPrintable(arguments.join(' ')));
    }
}

void TestCtl::againstTheSimulatedProjector()
{
    // Each query's decoded reply, one line each, and the same as JSON; then through ser2net,
    // where the test plays the projector: a raw TCP accepter, asked for RFC 2217, which passes
    // the offer on and never confirms the speed, a warning said on stderr on a line of its own.
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
    QCOMPARE(exchanges[0]["sent"].toString() + '|' + exchanges[0]["reply"].toString() + '|' +
                 exchanges[0]["echo"].toString() + '|' + exchanges[0]["decoded"].toString(),
             "TABN   1\r|80\r| 8 0 CR | Stand by");
    QVERIFY(!exchanges[1]["watchdog"].toBool() && exchanges[1]["action"] == "send CR7" &&
            exchanges[1]["elapsed_ms"].toInt() >= 2000);
    sim.terminate(), sim.waitForFinished();

    PtyPair line;
    DeviceServer server(false, &line);
    const Run remote(
        {"--com1", server.url().replace("socket", "rfc2217"), "--timeout", "2500", "pj-status"},
        [&](const QProcess&) {
            QCOMPARE(line.read(12, 5s), QByteArray("\xff\xfb\x2cTABN   1\r"));
            line.write("80\r");
        });
    QVERIFY2(remote.status == 0 && remote.out == "Stand by\n" && remote.err.endsWith(".\n"),
             remote.err);
}

QTEST_GUILESS_MAIN(TestCtl)
#include "tst_ctl.moc"
