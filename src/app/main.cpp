// qpv-panel: the QPV-7100 control panel.

#include "panel/form1.h"
#include "serial/portmap.h"
#include "sim/simulator.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

namespace {

// The toolkit's own options (-platform offscreen, -style Fusion, ...): accepted here and left
// for QApplication, which removes them before the panel reads the rest.
void acceptToolkitOptions(QCommandLineParser& parser)
{
    const char* const withValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                     "qwindowgeometry", "geometry", "qwindowtitle", "title",
                                     "qwindowicon", "icon", "display", "name", "style",
                                     "stylesheet", "session", "qmljsdebugger"};
    const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char* name : withValue) {
        QCommandLineOption option(QLatin1String(name), {}, QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : flags) {
        QCommandLineOption option{QLatin1String(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("qpv-panel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.04.0002 (Ver.1.42)"));

    // The command line is checked before the window system is touched, so --help, --version
    // and mistakes answer on any terminal, with or without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Control panel for the QPV-7100 projector on an RS-232C serial line.\n"
        "COM1 is /dev/ttyS0 and COM2 /dev/ttyS1 unless given otherwise."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption com1(QStringLiteral("com1"),
                                  QStringLiteral("Use DEVICE as COM1, e.g. /dev/ttyUSB0."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption com2(QStringLiteral("com2"), QStringLiteral("Use DEVICE as COM2."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Put a simulated projector on COM1."));
    parser.addOptions({help, version, com1, com2, simulate});
    acceptToolkitOptions(parser);

    const auto fail = [](const QString& message) {
        std::fprintf(stderr, "qpv-panel: %s\nTry 'qpv-panel --help' for the options.\n",
                     qPrintable(message));
        return 2;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    for (const QCommandLineOption* device : {&com1, &com2}) {
        if (parser.isSet(*device) && parser.value(*device).isEmpty())
            return fail(QStringLiteral("--%1 needs a device, e.g. --%1 /dev/ttyUSB0.").arg(device->names().first()));
    }
    if (parser.isSet(help)) {
        // Without an application object yet, the parser does not know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("qpv-panel"));
        std::printf("%s", qPrintable(text));
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("qpv-panel %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }

    // No application display name: the window system would append it to the window's title,
    // which must read exactly as designed. The warning box carries the name itself.
    QApplication app(argc, argv);

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
