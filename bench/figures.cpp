// The figures measured in other processes: 3 and 7 from bench_micro (Google Benchmark), and
// 6, start-up and peak memory, from bench_startup_child.

#include "panelbench.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>

namespace bench {

// 6. Start-up to the window shown, and peak memory, against a bare window of the same size.
void startUp(const QString& childPath, int runs)
{
    PtyPair line;
    struct Sample {
        std::vector<double> ms;
        std::vector<double> kb;
    } panel, bare;
    for (int i = 0; i < runs; ++i) {
        for (bool isPanel : {true, false}) {
            QProcess child;
            const QStringList args = isPanel ? QStringList{QStringLiteral("panel"), line.path()}
                                             : QStringList{QStringLiteral("bare")};
            QElapsedTimer clock;
            clock.start();
            child.start(childPath, args);
            child.waitForReadyRead(20000);
            const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            const QByteArray out = child.readAllStandardOutput();
            child.waitForFinished(20000);
            Sample& s = isPanel ? panel : bare;
            s.ms.push_back(ms);
            s.kb.push_back(out.split(' ').value(1).trimmed().toDouble());
        }
    }
    const double panelMs = percentile(panel.ms, 0.5), bareMs = percentile(bare.ms, 0.5);
    const double panelKb = percentile(panel.kb, 0.5), bareKb = percentile(bare.kb, 0.5);
    addRow(QStringLiteral("start-up to the window shown (median of %1)").arg(runs),
           QStringLiteral("%1 ms").arg(panelMs, 0, 'f', 1),
           QStringLiteral("%1 ms (bare Qt Widgets window)").arg(bareMs, 0, 'f', 1),
           QString::number(panelMs / bareMs, 'f', 2), QStringLiteral("<= 1.5"),
           panelMs <= 1.5 * bareMs);
    addRow(QStringLiteral("peak memory (VmHWM)"),
           QStringLiteral("%1 MB").arg(panelKb / 1024, 0, 'f', 1),
           QStringLiteral("%1 MB (bare Qt Widgets window)").arg(bareKb / 1024, 0, 'f', 1),
           QString::number(panelKb / bareKb, 'f', 2), QStringLiteral("<= 1.3"),
           panelKb <= 1.3 * bareKb);
}

// 3 and 7, from the Google Benchmark figures of bench_micro, run now.
void microFigures(const QString& microPath, bool quick)
{
    QProcess micro;
    micro.start(microPath, {QStringLiteral("--benchmark_format=json"),
                            QStringLiteral("--benchmark_min_time=%1").arg(quick ? "0.05" : "0.3")});
    micro.waitForFinished(300000);
    const QJsonArray results = QJsonDocument::fromJson(micro.readAllStandardOutput())
                                   .object()
                                   .value(QStringLiteral("benchmarks"))
                                   .toArray();
    QHash<QString, QJsonObject> byName;
    for (const QJsonValue& v : results)
        byName.insert(v.toObject().value(QStringLiteral("name")).toString(), v.toObject());
    const auto microseconds = [&](const QString& name) {
        const QJsonObject o = byName.value(name);
        const double t = o.value(QStringLiteral("real_time")).toDouble();
        const QString unit = o.value(QStringLiteral("time_unit")).toString();
        return unit == QLatin1String("ns") ? t / 1000 : unit == QLatin1String("ms") ? t * 1000 : t;
    };
    const double receive = microseconds(QStringLiteral("BM_ReceiveAtCap"));
    const double naive = microseconds(QStringLiteral("BM_NaiveLabelAtCap"));
    addRow(QStringLiteral("one receive at the 32767 cap (render, decode, paint), mean"),
           us(receive), QStringLiteral("%1 (stock QLabel, same text)").arg(us(naive)),
           QStringLiteral("%1x faster").arg(naive / receive, 0, 'f', 0),
           QStringLiteral(">= 20x faster, < 500 µs"), naive / receive >= 20 && receive < 500);

    const auto nsPerChar = [&](const QString& name) {
        return byName.value(name).value(QStringLiteral("per_char")).toDouble() * 1e9;
    };
    addRow(QStringLiteral("echo rendering per character (32767)"),
           QStringLiteral("%1 ns").arg(nsPerChar(QStringLiteral("BM_RenderEcho/32767")), 0, 'f', 2),
           QStringLiteral("%1 (one character at 115200)").arg(us(kCharacterAt115200Us)), {},
           QStringLiteral("report"), true);
    double worstDecode = 0;
    for (int i = 0; i <= 9; ++i)
        worstDecode = std::max(worstDecode, nsPerChar(QStringLiteral("BM_Decode/%1").arg(i)));
    addRow(QStringLiteral("decoding per character, slowest query (32767)"),
           QStringLiteral("%1 ns").arg(worstDecode, 0, 'f', 3),
           QStringLiteral("%1 (one character at 115200)").arg(us(kCharacterAt115200Us)), {},
           QStringLiteral("report"), true);
}

} // namespace bench
