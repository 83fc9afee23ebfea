// The projector from a script: one pj-status exchange end to end with qpv-ctl (process start to
// exit, against qpv-sim), beside the same send-and-wait done by hand with socat.

#include "panelbench.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace bench {

namespace {

// The median wall time of `runs` runs of the program, in ms, and what its last run printed.
std::pair<double, QByteArray> medianRun(const QString& program, const QStringList& arguments,
                                        const QByteArray& input, int runs)
{
    std::vector<double> ms;
    QByteArray printed;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        QElapsedTimer wall;
        wall.start();
        process.start(program, arguments);
        process.write(input), process.closeWriteChannel();
        process.waitForFinished(10000);
        ms.push_back(double(wall.nsecsElapsed()) / 1e6);
        printed = process.readAllStandardOutput();
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], printed};
}

} // namespace

void scriptExchange(int runs)
{
    const QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("projector"));
    QProcess simulator;
    simulator.start(QStringLiteral(QPV_SIM), {QStringLiteral("--link"), link});
    simulator.waitForReadyRead(5000);
    const auto [ctl, said] =
        medianRun(QStringLiteral(QPV_CTL), {"--com1", link, "pj-status"}, {}, runs);
    const QString socat = QStandardPaths::findExecutable(QStringLiteral("socat"));
    // By hand: the frame written, the reply read for as long as the panel's watchdog waits.
    const auto [byHand, got] =
        socat.isEmpty() ? std::pair<double, QByteArray>{0, {}}
                        : medianRun(socat, {"-t", "0.5", "STDIO", "FILE:" + link + ",raw,echo=0"},
                                    "TABN   1\r", runs);
    simulator.terminate(), simulator.waitForFinished();
    const bool sound = said == "Stand by\n" && got == "80\r";
    addRow(QStringLiteral("qpv-ctl pj-status, process start to exit (median of %1)").arg(runs),
           QStringLiteral("%1 ms").arg(ctl, 0, 'f', 0) +
               (sound ? QString() : QStringLiteral(" (printed %1)").arg(QString::fromLatin1(said))),
           socat.isEmpty() ? QStringLiteral("socat not installed")
                           : QStringLiteral("%1 ms (socat, the same send and 500 ms wait by hand)")
                                 .arg(byHand, 0, 'f', 0),
           byHand > 0 ? QString::number(ctl / byHand, 'f', 2) : QString(), QStringLiteral("<= 1.2"),
           sound && byHand > 0 && ctl <= 1.2 * byHand);
}

} // namespace bench
