// 4 and 5: a projector streaming at 115200 baud in small pieces, the panel sending nothing
// (the buffer sits at its cap and every arrival re-renders and re-decodes it), locally and
// through ser2net; then clicks during such a stream.

#include "exchange/echo.h"
#include "lineload.h"
#include "measure.h"
#include "panelbench.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace std::chrono_literals;

namespace bench {

namespace {

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

} // namespace

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

} // namespace bench
