#include "panelbench.h"

#include <QApplication>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

struct Row {
    QString figure;
    QString measured;
    QString floor;
    QString ratio;
    QString goal;
    bool met;
};

std::vector<Row> g_rows;

} // namespace

void addRow(QString figure, QString measured, QString floor, QString ratio, QString goal, bool met)
{
    g_rows.push_back({std::move(figure), std::move(measured), std::move(floor), std::move(ratio),
                      std::move(goal), met});
    std::fprintf(stderr, "  measured: %s %s\n", qPrintable(g_rows.back().figure),
                 qPrintable(g_rows.back().measured));
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

bool allMet()
{
    return std::all_of(g_rows.begin(), g_rows.end(), [](const Row& r) { return r.met; });
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

QString through(bool network)
{
    return network ? QStringLiteral(" through ser2net (rfc2217://)") : QString();
}

Panel::Panel(const QString& device, bool compact)
{
    qpv::PortMap ports;
    ports.setDevice(1, device);
    session = std::make_unique<qpv::ExchangeSession>(ports);
    form = std::make_unique<qpv::Form1>(*session);
    form->Form_Load();
    form->show();
    if (!compact) // the traffic display and status queries on screen
        QTest::keyClick(form->windowHandle(), Qt::Key_J, Qt::ControlModifier);
}

Panel::Panel(Line& line, bool compact)
    : Panel(line.device(), compact)
{
    // Connected (a device server answers later); once a byte has gone through, ser2net has
    // the terminal open for good.
    if (!QTest::qWaitFor([&] { return session->portOpen(); }, 5000))
        std::fprintf(stderr, "bench: %s did not open\n", qPrintable(line.device()));
    if (line.server) {
        line.write("\r");
        if (!QTest::qWaitFor([&] { return this->line("Label12")->text() == " CR "; }, 5000))
            std::fprintf(stderr, "bench: nothing came through ser2net\n");
    }
    QApplication::processEvents();
}

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

} // namespace bench
