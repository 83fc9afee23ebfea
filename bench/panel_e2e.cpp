// bench_panel: the panel is never the slow part of the link. Measures, in one run, each
// figure against the floor the line or the toolkit sets, and the network path through ser2net
// beside the same figure on a local pseudo-terminal; prints one table.
//   bench_panel [--quick] [--painting]   (--quick: shorter streams, fewer samples;
//                                         --painting: the streams' CPU and paints alone)

#include "exchange/echo.h"
#include "exchange/session/exchangesession.h"
#include "lineload.h"
#include "measure.h"
#include "panel/displayline.h"
#include "panel/form1.h"
#include "serial/mscomm.h"
#include "support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr double kCharacterAt115200Us = 1e6 * 10 / 115200; // 86.8 µs: start, 8 data, stop bit
constexpr double kCharactersPerSecond = 115200 / 10.0;     // 11,520

struct Row {
    QString figure;
    QString measured;
    QString floor;
    QString ratio;
    QString goal;
    bool met;
};

std::vector<Row> g_rows;

void addRow(QString figure, QString measured, QString floor, QString ratio, QString goal, bool met)
{
    g_rows.push_back({std::move(figure), std::move(measured), std::move(floor), std::move(ratio),
                      std::move(goal), met});
    std::fprintf(stderr, "  measured: %s %s\n", qPrintable(g_rows.back().figure),
                 qPrintable(g_rows.back().measured));
}

QString us(double value)
{
    return QStringLiteral("%1 µs").arg(value, 0, 'f', value < 10 ? 1 : 0);
}

double percentile(std::vector<double> samples, double p)
{
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[index];
}

double microsecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The projector's end of the line: a pseudo-terminal, on its own or behind ser2net (rfc2217://).
struct Line {
    explicit Line(bool network)
    {
        if (network)
            server = std::make_unique<DeviceServer>(true, &pty);
    }
    QString device() const { return server ? server->url() : pty.path(); }
    int masterFd() const { return pty.masterFd(); }
    QByteArray read(qsizetype count, std::chrono::milliseconds timeout)
    {
        return pty.read(count, timeout);
    }
    void write(const QByteArray& bytes) { pty.write(bytes); }
    PtyPair pty;
    std::unique_ptr<DeviceServer> server;
};

QString through(bool network)
{
    return network ? QStringLiteral(" through ser2net (rfc2217://)") : QString();
}

struct Panel {
    explicit Panel(Line& line, bool compact = false)
    {
        qpv::PortMap ports;
        ports.setDevice(1, line.device());
        session = std::make_unique<qpv::ExchangeSession>(ports);
        form = std::make_unique<qpv::Form1>(*session);
        form->Form_Load();
        form->show();
        if (!compact) // the traffic display and status queries on screen
            QTest::keyClick(form->windowHandle(), Qt::Key_J, Qt::ControlModifier);
        // Connected (a device server answers later); once a byte has gone through, ser2net has
        // the terminal open for good.
        if (!QTest::qWaitFor([&] { return session->serialControl().PortOpen(); }, 5000))
            std::fprintf(stderr, "bench: %s did not open\n", qPrintable(line.device()));
        if (line.server) {
            line.write("\r");
            if (!QTest::qWaitFor([&] { return this->line("Label12")->text() == " CR "; }, 5000))
                std::fprintf(stderr, "bench: nothing came through ser2net\n");
        }
        QApplication::processEvents();
    }
    QPushButton* button(const char* name) const
    {
        return form->findChild<QPushButton*>(QLatin1String(name));
    }
    const qpv::DisplayLine* line(const char* name) const
    {
        return form->findChild<qpv::DisplayLine*>(QLatin1String(name));
    }
    std::unique_ptr<qpv::ExchangeSession> session;
    std::unique_ptr<qpv::Form1> form;
};

struct Percentiles {
    double p50 = 0;
    double p99 = 0;
};

// A figure through ser2net beside the same figure on a local pseudo-terminal, in the same run.
void addNetworkRows(const QString& figure, const Percentiles& local, const Percentiles& network,
                    double goalUs)
{
    const auto row = [&](const char* which, double measured, double base, const QString& goal,
                         bool met) {
        addRow(figure + through(true) + QStringLiteral(", ") + QLatin1String(which), us(measured),
               QStringLiteral("%1 (local pseudo-terminal)").arg(us(base)),
               QString::number(measured / base, 'f', 2), goal, met);
    };
    row("p50", network.p50, local.p50, {}, true);
    row("p99", network.p99, local.p99, QStringLiteral("< %1").arg(us(goalUs)),
        network.p99 < goalUs);
}

// 1. A click through the real window to the first byte readable at the projector's end.
Percentiles clickSamples(int clicks, bool network)
{
    Line line(network);
    Panel panel(line);
    QPushButton* on = panel.button("Command17");
    std::vector<double> samples;
    for (int i = 0; i < clicks; ++i) {
        // A button clicks when the mouse button is released: time from the release.
        QTest::mousePress(on, Qt::LeftButton);
        const auto start = Clock::now();
        QTest::mouseRelease(on, Qt::LeftButton);
        QByteArray frame = line.read(1, 1s);
        samples.push_back(microsecondsSince(start));
        frame += line.read(9 - frame.size(), 1s);
        if (frame != "POWR   1\r")
            std::fprintf(stderr, "bench: click %d sent \"%s\"\n", i, frame.constData());
        QApplication::processEvents(); // painting the echo happens after the bytes are out
    }
    return {percentile(samples, 0.5), percentile(samples, 0.99)};
}

void clickToFirstByte(int clicks)
{
    const Percentiles local = clickSamples(clicks, false), network = clickSamples(clicks, true);
    const double floor = 9 * kCharacterAt115200Us;
    const double p50 = local.p50;
    const double p99 = local.p99;
    const QString floorText = QStringLiteral("%1 (9-byte frame at 115200)").arg(us(floor));
    addRow(QStringLiteral("click to first byte on the line, p50"), us(p50), floorText,
           QString::number(p50 / floor, 'f', 3), {}, true);
    addRow(QStringLiteral("click to first byte on the line, p99 (%1 clicks)").arg(clicks), us(p99),
           floorText, QString::number(p99 / floor, 'f', 3), QStringLiteral("< 0.25 of the floor"),
           p99 < 0.25 * floor);
    addNetworkRows(QStringLiteral("click to first byte on the line"), local, network, 2000);
}

// 2. Bytes written at the projector's end until the RXD line holds them.
Percentiles rxdSamples(int writes, bool network)
{
    Line line(network);
    Panel panel(line);
    const qpv::DisplayLine* rxd = panel.line("Label12");
    std::vector<double> samples;
    for (int i = 0; i < writes; ++i) {
        const std::size_t before = rxd->text().size();
        const auto start = Clock::now();
        line.write(QByteArray(1, static_cast<char>('0' + i % 10)));
        while (rxd->text().size() == before && microsecondsSince(start) < 1e6)
            QApplication::processEvents();
        samples.push_back(microsecondsSince(start));
    }
    return {percentile(samples, 0.5), percentile(samples, 0.99)};
}

void bytesToRxdLine(int writes)
{
    const Percentiles local = rxdSamples(writes, false), network = rxdSamples(writes, true);
    const QString floorText =
        QStringLiteral("%1 (one character at 115200)").arg(us(kCharacterAt115200Us));
    const double p50 = local.p50;
    const double p99 = local.p99;
    addRow(QStringLiteral("bytes on the line to the RXD line, p50"), us(p50), floorText,
           QString::number(p50 / kCharacterAt115200Us, 'f', 2), {}, true);
    addRow(QStringLiteral("bytes on the line to the RXD line, p99 (%1 writes)").arg(writes),
           us(p99), floorText, QString::number(p99 / kCharacterAt115200Us, 'f', 2),
           QStringLiteral("< 1 ms"), p99 < 1000);
    // ser2net holds what the line brings for up to 20 ms, waiting for more (its chardelay).
    addNetworkRows(QStringLiteral("bytes on the line to the RXD line"), local, network, 25000);
}

// 4 and 5. A projector streaming at 115200 baud in small pieces, the panel sending nothing
// (the buffer sits at its cap and every arrival re-renders and re-decodes it); then clicks
// during such a stream.
struct StreamResult {
    double lagMs = 0;
    double cpuShare = 0;
    long rssAfterCapKb = 0;
    long rssEndKb = 0;
    std::vector<double> clickLatenciesMs;
};

StreamResult stream(std::chrono::seconds duration, int clickEveryMs, bool network = false)
{
    Line line(network);
    Panel panel(line);
    QPushButton* query = panel.button("Command47");

    // A steady pattern, and a marker last, so the end of the stream can be recognised.
    const auto total =
        static_cast<std::int64_t>(kCharactersPerSecond * static_cast<double>(duration.count()));
    const QByteArray marker("<END-OF-STREAM>");
    const std::int64_t markerAt = total - marker.size();
    StreamResult result;
    const auto lastDue = Clock::now() + duration;
    LineLoad load(line.masterFd(), "POWR????\r", [&](std::int64_t offset, std::size_t size) {
        static constexpr char kPattern[] = "0123456789 ABCDEF";
        QByteArray piece;
        for (std::int64_t at = offset;
             at < std::min<std::int64_t>(total, offset + static_cast<std::int64_t>(size)); ++at)
            piece += at >= markerAt
                         ? marker[static_cast<qsizetype>(at - markerAt)]
                         : kPattern[static_cast<std::size_t>(at) % (sizeof kPattern - 1)];
        return piece;
    });

    QTimer clicker;
    if (clickEveryMs > 0) {
        QObject::connect(&clicker, &QTimer::timeout, [&] {
            load.clickDue();
            QTest::mouseClick(query, Qt::LeftButton);
        });
        clicker.start(clickEveryMs);
    }

    const double cpuStart = threadCpuSeconds();
    const auto wallStart = Clock::now();
    const std::string markerEcho = qpv::renderEcho(marker.toStdString()).substr(1);
    // Idle as the panel would be: the event loop waits for the line, the clicks and the
    // samples. The end is checked right after each receive the panel handles.
    QEventLoop loop;
    QObject::connect(panel.session.get(), &qpv::ExchangeSession::lineChanged, &loop,
                     [&](qpv::TrafficLine which, std::string_view text) {
                         // the marker comes last, and only once
                         if (which == qpv::TrafficLine::Rxd && text.ends_with(markerEcho))
                             loop.quit();
                     });
    QTimer::singleShot(duration / 4, &loop,
                       [&] { result.rssAfterCapKb = statusKilobytes("VmRSS:"); });
    QTimer::singleShot(duration + 10s, &loop, &QEventLoop::quit); // never hang
    loop.exec();
    const auto seen = Clock::now();
    const double wall = std::chrono::duration<double>(seen - wallStart).count();
    result.cpuShare = (threadCpuSeconds() - cpuStart) / wall;
    result.lagMs = std::chrono::duration<double, std::milli>(seen - lastDue).count();
    result.rssEndKb = statusKilobytes("VmRSS:");
    clicker.stop();
    load.stop();
    result.clickLatenciesMs = load.answerMilliseconds();
    return result;
}

void sustainedStream(std::chrono::seconds duration)
{
    const StreamResult local = stream(duration, 0);
    for (const bool network : {false, true}) {
        const StreamResult r = network ? stream(duration, 0, true) : local;
        const QString floor =
            network ? QStringLiteral("the same stream on a local pseudo-terminal")
                    : QStringLiteral("11,520 characters/s for %1 s, no send").arg(duration.count());
        addRow(QStringLiteral("stream%1: lag at the end").arg(through(network)),
               QStringLiteral("%1 ms").arg(r.lagMs, 0, 'f', 1),
               network ? QStringLiteral("%1 ms (local pseudo-terminal)").arg(local.lagMs, 0, 'f', 1)
                       : floor,
               {}, QStringLiteral("< 50 ms"), r.lagMs < 50);
        addRow(
            QStringLiteral("stream%1: panel CPU (its thread)").arg(through(network)),
            QStringLiteral("%1% of a core").arg(100 * r.cpuShare, 0, 'f', 1),
            network
                ? QStringLiteral("%1% (local pseudo-terminal)").arg(100 * local.cpuShare, 0, 'f', 1)
                : floor,
            network ? QString::number(r.cpuShare / local.cpuShare, 'f', 2) : QString(),
            QStringLiteral("< 25%"), r.cpuShare < 0.25);
        const double growth =
            static_cast<double>(r.rssEndKb) / static_cast<double>(r.rssAfterCapKb);
        addRow(QStringLiteral("stream%1: memory once at the cap, at the end").arg(through(network)),
               QStringLiteral("%1 MB, %2 MB")
                   .arg(static_cast<double>(r.rssAfterCapKb) / 1024, 0, 'f', 1)
                   .arg(static_cast<double>(r.rssEndKb) / 1024, 0, 'f', 1),
               floor, QString::number(growth, 'f', 3), QStringLiteral("flat (< 1.05)"),
               growth < 1.05);
    }
}

// What a person pays for a line that keeps sending: the whole process's CPU (every thread but
// the one playing the projector) and the paints, for three kinds of stream, painted as the
// panel paints them (25 a second at most) or, as it once did, on every arrival.
enum class StreamKind { Lines, NoLineEnd, Random };

struct PaintResult {
    double cpuShare = 0;
    double linePaintsPerSecond = 0;  // the RXD line
    double otherPaintsPerSecond = 0; // every other widget
};

class PaintCounter : public QObject {
public:
    explicit PaintCounter(const QWidget* rxd)
        : m_rxd(rxd)
    {
        qApp->installEventFilter(this);
    }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int line = 0;
    int others = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++(watched == m_rxd ? line : others);
        return false;
    }

private:
    const QWidget* m_rxd;
};

PaintResult paintRun(StreamKind kind, bool network, bool paced, bool compact,
                     std::chrono::seconds duration)
{
    qpv::DisplayLine::setPaintEveryChange(!paced);
    Line line(network);
    Panel panel(line, compact);
    QTest::qWait(200); // the start-up settles
    std::uint32_t random = 7100;
    LineLoad load(
        line.masterFd(), "\x01never",
        [&](std::int64_t offset, std::size_t size) {
            QByteArray piece;
            for (std::int64_t at = offset; at < offset + static_cast<std::int64_t>(size); ++at) {
                if (kind == StreamKind::Random)
                    piece += static_cast<char>((random = random * 1664525 + 1013904223) >> 24);
                else if (kind == StreamKind::Lines && at % 40 >= 38)
                    piece += at % 40 == 38 ? '\r' : '\n';
                else
                    piece += static_cast<char>('!' + at % 90);
            }
            return piece;
        },
        10ms); // in 10 ms pieces, as a terminal at that speed delivers them
    PaintCounter paints(panel.line("Label12"));
    const double cpuStart = processCpuSeconds();
    QEventLoop loop; // idle as the panel would be: the event loop waits for the line
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
    load.stop();
    const double seconds = static_cast<double>(duration.count());
    PaintResult result;
    result.cpuShare = (processCpuSeconds() - cpuStart - load.cpuSeconds()) / seconds;
    result.linePaintsPerSecond = paints.line / seconds;
    result.otherPaintsPerSecond = paints.others / seconds;
    qpv::DisplayLine::setPaintEveryChange(false);
    return result;
}

void paintingOnStreams(std::chrono::seconds duration)
{
    // 25 paints a second, or the screen's rate where that is lower
    const qreal most = std::min<qreal>(25, QGuiApplication::primaryScreen()->refreshRate());
    const std::pair<StreamKind, const char*> kinds[] = {
        {StreamKind::Lines, "printable lines, CR LF"},
        {StreamKind::NoLineEnd, "printable, no line end"},
        {StreamKind::Random, "random bytes 0x00-0xFF"}};
    for (const bool network : {false, true}) {
        for (const auto& [kind, name] : kinds) {
            const PaintResult before = paintRun(kind, network, false, false, duration);
            const PaintResult after = paintRun(kind, network, true, false, duration);
            const QString figure =
                QStringLiteral("stream of %1%2").arg(QLatin1String(name), through(network));
            const double ratio = after.cpuShare / before.cpuShare;
            addRow(figure + QStringLiteral(": panel CPU (all threads)"),
                   QStringLiteral("%1% of a core").arg(100 * after.cpuShare, 0, 'f', 2),
                   QStringLiteral("%1% (painted on every arrival)")
                       .arg(100 * before.cpuShare, 0, 'f', 2),
                   QString::number(ratio, 'f', 2),
                   network ? QStringLiteral("report") : QStringLiteral("<= 1/3 of before, < 2%"),
                   network || (ratio <= 1.0 / 3 && after.cpuShare < 0.02));
            addRow(figure + QStringLiteral(": paints a second, RXD line (other widgets)"),
                   QStringLiteral("%1 (%2)")
                       .arg(after.linePaintsPerSecond, 0, 'f', 1)
                       .arg(after.otherPaintsPerSecond, 0, 'f', 1),
                   QStringLiteral("%1 (%2) painted on every arrival")
                       .arg(before.linePaintsPerSecond, 0, 'f', 1)
                       .arg(before.otherPaintsPerSecond, 0, 'f', 1),
                   {}, QStringLiteral("<= %1 a second").arg(most),
                   after.linePaintsPerSecond <= most);
        }
    }
    const PaintResult before = paintRun(StreamKind::NoLineEnd, false, false, true, duration);
    const PaintResult hidden = paintRun(StreamKind::NoLineEnd, false, true, true, duration);
    addRow(QStringLiteral("stream, compact mode (RXD off screen): panel CPU, RXD paints a second"),
           QStringLiteral("%1% of a core, %2")
               .arg(100 * hidden.cpuShare, 0, 'f', 2)
               .arg(hidden.linePaintsPerSecond, 0, 'f', 1),
           QStringLiteral("%1%, %2 painted on every arrival")
               .arg(100 * before.cpuShare, 0, 'f', 2)
               .arg(before.linePaintsPerSecond, 0, 'f', 1),
           QString::number(hidden.cpuShare / before.cpuShare, 'f', 2), QStringLiteral("no paints"),
           hidden.linePaintsPerSecond == 0);
}

void clicksDuringStream(std::chrono::seconds duration)
{
    const StreamResult r = stream(duration, 500);
    const double worst = r.clickLatenciesMs.empty() ? 1e9
                                                    : *std::max_element(r.clickLatenciesMs.begin(),
                                                                        r.clickLatenciesMs.end());
    addRow(QStringLiteral("click during the stream to its bytes, worst of %1")
               .arg(r.clickLatenciesMs.size()),
           QStringLiteral("%1 ms").arg(worst, 0, 'f', 2), QStringLiteral("the same stream"), {},
           QStringLiteral("< 20 ms"), worst < 20);
}

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

void printTable()
{
    const QStringList head = {QStringLiteral("Figure"), QStringLiteral("Measured"),
                              QStringLiteral("Floor"),  QStringLiteral("Ratio"),
                              QStringLiteral("Goal"),   QStringLiteral("Met")};
    std::vector<QStringList> lines{head};
    for (const Row& r : g_rows)
        lines.push_back({r.figure, r.measured, r.floor, r.ratio, r.goal,
                         r.met ? QStringLiteral("yes") : QStringLiteral("NO")});
    std::printf("\n");
    for (const QStringList& cells : lines) {
        QString out = QStringLiteral("|");
        for (const QString& c : cells)
            out += QLatin1Char(' ') + c + QStringLiteral(" |");
        std::printf("%s\n", out.toUtf8().constData());
        if (&cells == &lines.front())
            std::printf("|---|---|---|---|---|---|\n");
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const QString dir = QCoreApplication::applicationDirPath();

    if (app.arguments().contains(QStringLiteral("--painting"))) { // that part alone
        paintingOnStreams(quick ? 3s : 20s);
        printTable();
        return 0;
    }
    std::fprintf(stderr, "bench: click latency...\n");
    clickToFirstByte(quick ? 200 : 1000);
    std::fprintf(stderr, "bench: receive latency...\n");
    bytesToRxdLine(quick ? 200 : 1000);
    std::fprintf(stderr, "bench: in-process figures (Google Benchmark)...\n");
    microFigures(dir + QStringLiteral("/bench_micro"), quick);
    std::fprintf(stderr, "bench: sustained stream...\n");
    sustainedStream(quick ? 5s : 20s);
    std::fprintf(stderr, "bench: clicks during a stream...\n");
    clicksDuringStream(quick ? 3s : 5s);
    std::fprintf(stderr, "bench: painting on streams...\n");
    paintingOnStreams(quick ? 3s : 20s);
    std::fprintf(stderr, "bench: start-up...\n");
    startUp(dir + QStringLiteral("/bench_startup_child"), quick ? 3 : 7);
    printTable();
    const bool allMet =
        std::all_of(g_rows.begin(), g_rows.end(), [](const Row& r) { return r.met; });
    return allMet ? 0 : 1;
}
