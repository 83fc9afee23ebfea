// 1 and 2: a click through the real window to its first byte on the line, and bytes on the
// line to the RXD line, each locally and through ser2net.

#include "panelbench.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

using namespace std::chrono_literals;

namespace bench {

namespace {

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

} // namespace

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

} // namespace bench
