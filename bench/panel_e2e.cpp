// bench_panel: the panel is never the slow part of the link. Measures, in one run, each
// figure against the floor the line or the toolkit sets, and the network path through ser2net
// beside the same figure on a local pseudo-terminal; prints one table.
//   bench_panel [--quick] [--painting] [--stalls] [--script]
//     --quick: shorter streams, fewer samples; --painting: the streams' CPU and paints alone;
//     --stalls: the window's longest pauses alone (a few seconds); --script: qpv-ctl alone

#include "panelbench.h"

#include <QApplication>

#include <cstdio>

using namespace std::chrono_literals;

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const QString dir = QCoreApplication::applicationDirPath();

    if (app.arguments().contains(QStringLiteral("--painting"))) { // that part alone
        bench::paintingOnStreams(quick ? 3s : 20s);
        bench::printTable();
        return 0;
    }
    if (app.arguments().contains(QStringLiteral("--stalls"))) { // that part alone
        bench::windowStalls();
        bench::printTable();
        return 0;
    }
    if (app.arguments().contains(QStringLiteral("--script"))) { // that part alone
        bench::scriptExchange(quick ? 3 : 7);
        bench::printTable();
        return 0;
    }
    std::fprintf(stderr, "bench: click latency...\n");
    bench::clickToFirstByte(quick ? 200 : 1000);
    std::fprintf(stderr, "bench: receive latency...\n");
    bench::bytesToRxdLine(quick ? 200 : 1000);
    std::fprintf(stderr, "bench: in-process figures (Google Benchmark)...\n");
    bench::microFigures(dir + QStringLiteral("/bench_micro"), quick);
    std::fprintf(stderr, "bench: sustained stream...\n");
    bench::sustainedStream(quick ? 5s : 20s);
    std::fprintf(stderr, "bench: clicks during a stream...\n");
    bench::clicksDuringStream(quick ? 3s : 5s);
    std::fprintf(stderr, "bench: painting on streams...\n");
    bench::paintingOnStreams(quick ? 3s : 20s);
    std::fprintf(stderr, "bench: window stalls...\n");
    bench::windowStalls();
    std::fprintf(stderr, "bench: the projector from a script...\n");
    bench::scriptExchange(quick ? 3 : 7);
    std::fprintf(stderr, "bench: start-up...\n");
    bench::startUp(dir + QStringLiteral("/bench_startup_child"), quick ? 3 : 7);
    bench::printTable();
    return bench::allMet() ? 0 : 1;
}
