// What a person pays for a line that keeps sending: the whole process's CPU (every thread but
// the one playing the projector) and the paints, for three kinds of stream, painted as the
// panel paints them (25 a second at most) or, as it once did, on every arrival.

#include "lineload.h"
#include "measure.h"
#include "panelbench.h"

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <utility>

using namespace std::chrono_literals;

namespace bench {

namespace {

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
    Line line(network);
    Panel panel(line, compact);
    // Unpaced, as the panel once painted: every change of a line asks for a paint.
    if (!paced)
        QObject::connect(panel.session.get(), &qpv::ExchangeSession::lineChanged, [&] {
            for (const char* name : {"Label11", "Label12", "Label22"})
                const_cast<qpv::DisplayLine*>(panel.line(name))->update();
        });
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
    return result;
}

} // namespace

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

} // namespace bench
