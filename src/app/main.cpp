// qpv-panel: the QPV-7100 control panel.

#include "panel/form1.h"
#include "serial/portmap.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Options {
    QCommandLineOption com1{QStringLiteral("com1"),
                            QStringLiteral("Use DEVICE for COM1 (default /dev/ttyS0)."),
                            QStringLiteral("DEVICE")};
    QCommandLineOption com2{QStringLiteral("com2"),
                            QStringLiteral("Use DEVICE for COM2 (default /dev/ttyS1)."),
                            QStringLiteral("DEVICE")};
    QCommandLineOption simulate{QStringLiteral("simulate"),
                                QStringLiteral("Put a simulated projector on COM1.")};
};

void describe(QCoreApplication& app, QCommandLineParser& parser, const Options& options)
{
    QCoreApplication::setApplicationName(QStringLiteral("qpv-panel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.04.0002 (Ver.1.42)"));
    parser.setApplicationDescription(QStringLiteral("Control panel for the QPV-7100 projector "
                                                    "on an RS-232C serial line."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({options.com1, options.com2, options.simulate});
    parser.process(app);
}

// --help and --version print and end without needing a display.
bool onlyPrints(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    Options options;
    if (onlyPrints(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCommandLineParser parser;
        describe(app, parser, options);
        return 0;
    }

    QApplication app(argc, argv);
    QCommandLineParser parser;
    describe(app, parser, options);

    qpv::PortMap ports;
    if (parser.isSet(options.com1))
        ports.setDevice(1, parser.value(options.com1));
    if (parser.isSet(options.com2))
        ports.setDevice(2, parser.value(options.com2));

    std::unique_ptr<qpv::sim::Simulator> simulator;
    if (parser.isSet(options.simulate)) {
        simulator = std::make_unique<qpv::sim::Simulator>();
        QString error;
        if (!simulator->start(&error)) {
            std::fprintf(stderr, "qpv-panel: cannot start the simulated projector: %s\n",
                         qPrintable(error));
            return 1;
        }
        ports.setDevice(1, simulator->devicePath());
    }

    qpv::Form1 window(ports);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
