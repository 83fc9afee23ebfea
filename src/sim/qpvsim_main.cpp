// qpv-sim: a simulated QPV-7100 on a pseudo-terminal, for trying the panel without hardware.

#include "sim/simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace qpv::sim;

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
}

// Ctrl+C and kill end the event loop normally, so the device link is removed.
void quitOnSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
}

int seconds(const QCommandLineParser& parser, const QCommandLineOption& option, bool* ok)
{
    const int value = parser.value(option).toInt(ok);
    *ok = *ok && value >= 0;
    return value;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qpv-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.04.0002"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated QPV-7100 projector on a pseudo-terminal. Prints the device "
                       "path for the panel's --com1 or --com2 and runs until stopped."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Make the device appear at PATH (a symbolic link)."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption countDown(QStringLiteral("count-down"),
                                       QStringLiteral("Seconds from POWER ON to on (default 3)."),
                                       QStringLiteral("SECONDS"), QStringLiteral("3"));
    const QCommandLineOption coolingDown(QStringLiteral("cooling-down"),
                                         QStringLiteral("Seconds from POWER OFF to standby (default 3)."),
                                         QStringLiteral("SECONDS"), QStringLiteral("3"));
    const QCommandLineOption lampMode(QStringLiteral("lamp-mode"),
                                      QStringLiteral("0: four lamps, 1: lamps No1 and No4, 2: lamps "
                                                     "No2 and No3 (default 0)."),
                                      QStringLiteral("MODE"), QStringLiteral("0"));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("Inject a fault: none, silent, pieces, late, "
                                                  "garbage or vanish (default none)."),
                                   QStringLiteral("KIND"), QStringLiteral("none"));
    const QCommandLineOption every(QStringLiteral("fault-every"),
                                   QStringLiteral("The fault hits every N-th command (default 1)."),
                                   QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({link, countDown, coolingDown, lampMode, fault, every});
    parser.process(app);

    bool ok = true;
    bool allOk = true;
    ProjectorTiming timing;
    timing.countDown = std::chrono::seconds(seconds(parser, countDown, &ok));
    allOk = allOk && ok;
    timing.coolingDown = std::chrono::seconds(seconds(parser, coolingDown, &ok));
    allOk = allOk && ok;
    const int mode = parser.value(lampMode).toInt(&ok);
    allOk = allOk && ok && mode >= 0 && mode <= 2;
    FaultPlan plan;
    plan.every = parser.value(every).toInt(&ok);
    allOk = allOk && ok && plan.every >= 1;
    if (!allOk || !parseFault(parser.value(fault), &plan.kind)) {
        std::fprintf(stderr, "qpv-sim: invalid option value; see qpv-sim --help\n");
        return 2;
    }

    Simulator simulator(timing);
    simulator.projector().setLampMode(mode);
    simulator.setFaults(plan);
    QString error;
    if (!simulator.start(&error, parser.value(link))) {
        std::fprintf(stderr, "qpv-sim: cannot create the device: %s\n", qPrintable(error));
        return 1;
    }
    quitOnSignals(app);

    std::printf("QPV-7100 simulator on %s (fault: %s)\n", qPrintable(simulator.devicePath()),
                faultName(plan.kind));
    std::printf("Start the panel with: qpv-panel --com1 %s\n", qPrintable(simulator.devicePath()));
    std::fflush(stdout);

    QObject::connect(&simulator, &Simulator::frameReceived, [](const QByteArray& frame) {
        std::printf("<- %s\n", frame.toPercentEncoding(" ?").constData());
        std::fflush(stdout);
    });
    return app.exec();
}
