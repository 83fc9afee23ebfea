// qpv-panel: the QPV-7100 control panel.

#include "panel/form1.h"
#include "serial/portmap.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qpv-panel"));
    QApplication::setApplicationDisplayName(QStringLiteral("OMTA QPV-7100 CONTROL"));
    QApplication::setApplicationVersion(QStringLiteral("1.04.0002 (Ver.1.42)"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Control panel for the QPV-7100 projector "
                                                    "on an RS-232C serial line."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption com1(QStringLiteral("com1"),
                                  QStringLiteral("Use DEVICE for COM1 (default /dev/ttyS0)."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption com2(QStringLiteral("com2"),
                                  QStringLiteral("Use DEVICE for COM2 (default /dev/ttyS1)."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Put a simulated projector on COM1."));
    parser.addOptions({com1, com2, simulate});
    parser.process(app);

    qpv::PortMap ports;
    if (parser.isSet(com1))
        ports.setDevice(1, parser.value(com1));
    if (parser.isSet(com2))
        ports.setDevice(2, parser.value(com2));

    std::unique_ptr<qpv::sim::Simulator> simulator;
    if (parser.isSet(simulate)) {
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
