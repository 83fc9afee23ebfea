// qpv-sim: a simulated QPV-7100 on a pseudo-terminal, for trying the panel without hardware.

#include "app/quitonsignals.h"
#include "sim/simulator.h"
#include "version.h"
#include "wording/wording.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <limits>
#include <optional>
#include <variant>

using namespace qpv::sim;

namespace {

struct Options {
    ProjectorTiming timing;
    int lampMode = 0;
    FaultPlan faults;
    QString link;
};

// The program's own words, in the operator's language.
struct Sim {
    Q_DECLARE_TR_FUNCTIONS(Simulator)
};

QString tryHelp()
{
    return Sim::tr("Try 'qpv-sim --help' for the options.");
}

// The options, or the exit status when they are wrong (--help and --version exit on their own).
std::variant<Options, int> parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Sim::tr("Simulated QPV-7100 projector on a pseudo-terminal. Prints the device "
                "path for the panel's --com1 or --com2 and runs until stopped."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption link(QStringLiteral("link"),
                                  Sim::tr("Make the device appear at PATH (a symbolic link)."),
                                  Sim::tr("PATH"));
    const QCommandLineOption countDown(QStringLiteral("count-down"),
                                       Sim::tr("Seconds from POWER ON to on (default 3)."),
                                       Sim::tr("SECONDS"), QStringLiteral("3"));
    const QCommandLineOption coolingDown(QStringLiteral("cooling-down"),
                                         Sim::tr("Seconds from POWER OFF to standby (default 3)."),
                                         Sim::tr("SECONDS"), QStringLiteral("3"));
    const QCommandLineOption lampMode(QStringLiteral("lamp-mode"),
                                      Sim::tr("0: four lamps, 1: lamps No1 and No4, 2: lamps "
                                              "No2 and No3 (default 0)."),
                                      Sim::tr("MODE"), QStringLiteral("0"));
    const QString faultKinds = Sim::tr("none, silent, pieces, late, garbage or vanish");
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   Sim::tr("Inject a fault: %1 (default none).").arg(faultKinds),
                                   Sim::tr("KIND"), QStringLiteral("none"));
    const QCommandLineOption every(QStringLiteral("fault-every"),
                                   Sim::tr("The fault hits every N-th command (default 1)."),
                                   Sim::tr("N"), QStringLiteral("1"));
    parser.addOptions({link, countDown, coolingDown, lampMode, fault, every});
    // An unknown or incomplete option is a mistake like a wrong value: said so, status 2.
    if (!parser.parse(app.arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString what =
            parser.errorText().isEmpty()
                ? Sim::tr("unexpected argument '%1'.").arg(parser.positionalArguments().first())
                : parser.errorText();
        std::fprintf(stderr, "qpv-sim: %s\n%s\n", qPrintable(what), qPrintable(tryHelp()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    // A whole number from `lowest` to `highest`, or nothing.
    const auto number = [&parser](const QCommandLineOption& option, int lowest, int highest) {
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        return ok && value >= lowest && value <= highest ? std::optional<int>(value) : std::nullopt;
    };
    // A value that is not allowed, named with its option and what that takes.
    const auto mistake = [&parser](const QCommandLineOption& option, const QString& allowed) {
        std::fprintf(stderr, "qpv-sim: %s\n%s\n",
                     qPrintable(Sim::tr("--%1 must be %2, not '%3'.")
                                    .arg(option.names().first(), allowed, parser.value(option))),
                     qPrintable(tryHelp()));
        return 2;
    };
    constexpr int kMost = std::numeric_limits<int>::max();
    const QString seconds = Sim::tr("a whole number of seconds, 0 or more");
    const auto up = number(countDown, 0, kMost), down = number(coolingDown, 0, kMost);
    const auto mode = number(lampMode, 0, 2), nth = number(every, 1, kMost);
    if (!up)
        return mistake(countDown, seconds);
    if (!down)
        return mistake(coolingDown, seconds);
    if (!mode)
        return mistake(lampMode, Sim::tr("0, 1 or 2"));
    if (!nth)
        return mistake(every, Sim::tr("a whole number, 1 or more"));
    Options options;
    if (!parseFault(parser.value(fault), &options.faults.kind))
        return mistake(fault, faultKinds);
    options.timing.countDown = std::chrono::seconds(*up);
    options.timing.coolingDown = std::chrono::seconds(*down);
    options.lampMode = *mode;
    options.faults.every = *nth;
    options.link = parser.value(link);
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qpv-sim"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(qpv::kVersion));

    qpv::installTranslations(app);
    const auto parsed = parseOptions(app);
    if (const int* status = std::get_if<int>(&parsed))
        return *status;
    const Options& options = std::get<Options>(parsed);

    Simulator simulator(options.timing);
    simulator.projector().setLampMode(options.lampMode);
    simulator.setFaults(options.faults);
    QString error;
    if (!simulator.start(&error, options.link)) {
        std::fprintf(stderr, "qpv-sim: %s\n",
                     qPrintable(Sim::tr("cannot create the device: %1").arg(error)));
        return 1;
    }
    quitOnSignals(app);

    std::printf(
        "%s\n%s\n",
        qPrintable(Sim::tr("QPV-7100 simulator on %1 (fault: %2)")
                       .arg(simulator.devicePath(), faultName(options.faults.kind))),
        qPrintable(
            Sim::tr("Start the panel with: qpv-panel --com1 %1").arg(simulator.devicePath())));
    std::fflush(stdout);

    QObject::connect(&simulator, &Simulator::frameReceived, [](const QByteArray& frame) {
        std::printf("<- %s\n", frame.toPercentEncoding(" ?").constData());
        std::fflush(stdout);
    });
    return app.exec();
}
