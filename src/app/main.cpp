// qpv-panel: the QPV-7100 control panel.

#include "app/quitonsignals.h"
#include "panel/form1.h"
#include "serial/portdiscovery.h"
#include "serial/portmap.h"
#include "session/exchangesession.h"
#include "sim/simulator.h"
#include "version.h"
#include "wording/wording.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <memory>
#include <optional>
#include <variant>

namespace {

struct Options {
    QString com1, com2; // empty: the port map's default
    bool simulate = false;
};

// The panel's own options: long ones (--com1), and -h and -v. Made once the operator's language
// is loaded.
struct OwnOptions {
    Q_DECLARE_TR_FUNCTIONS(OwnOptions)

public:
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Show this help and exit.")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     tr("Show the version and exit.")};
    const QCommandLineOption com1{QStringLiteral("com1"),
                                  tr("Use DEVICE as COM1, e.g. /dev/ttyUSB0, or a device server: "
                                     "rfc2217://HOST:PORT or socket://HOST:PORT."),
                                  tr("DEVICE")};
    const QCommandLineOption com2{QStringLiteral("com2"), tr("Use DEVICE as COM2."), tr("DEVICE")};
    const QCommandLineOption simulate{QStringLiteral("simulate"),
                                      tr("Put a simulated projector on COM1.")};
    const QCommandLineOption listPorts{
        QStringLiteral("list-ports"),
        tr("List this computer's serial ports, the COM number each gets, and exit.")};

    QList<QCommandLineOption> all() const
    {
        return {help, version, com1, com2, simulate, listPorts};
    }

    // "com1" for -com1 or -com1=DEVICE: a long name of ours written as the toolkit writes its
    // options, which QApplication would be handed. Empty for anything else.
    QString singleDashed(const QString& argument) const
    {
        if (!argument.startsWith(QLatin1Char('-')) || argument.startsWith(QLatin1String("--")))
            return {};
        const QString name = argument.mid(1).section(QLatin1Char('='), 0, 0);
        for (const QCommandLineOption& option : all()) {
            if (name.size() > 1 && option.names().contains(name))
                return name;
        }
        return {};
    }
};

QStringList argumentList(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int mistake(const QString& message)
{
    std::fprintf(stderr, "qpv-panel: %s\n%s\n", qPrintable(message),
                 qPrintable(OwnOptions::tr("Try 'qpv-panel --help' for the options.")));
    return 2;
}

// The options, or the exit status: 0 after --help or --version, 2 after a mistake.
std::variant<Options, int> parseOptions(const QStringList& arguments, const OwnOptions& own)
{
    // Answered first, whatever else the line holds: single-dash words are the toolkit's, and
    // QApplication, which aborts without a display, must not be reached with one of ours.
    for (const QString& argument : arguments.mid(1)) {
        if (const QString name = own.singleDashed(argument); !name.isEmpty())
            return mistake(OwnOptions::tr("-%1 takes two dashes: --%1.").arg(name));
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(OwnOptions::tr(
        "Control panel for the QPV-7100 projector on an RS-232C serial line.\n"
        "COM1 and COM2 are this computer's first two serial ports (USB adapters\n"
        "first, then built-in ones), as --list-ports shows, unless given otherwise."));
    parser.addOptions(own.all());

    if (!parser.parse(arguments))
        return mistake(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return mistake(
            OwnOptions::tr("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    for (const QCommandLineOption* device : {&own.com1, &own.com2}) {
        if (parser.isSet(*device) && parser.value(*device).isEmpty())
            return mistake(OwnOptions::tr("--%1 needs a device, e.g. --%1 /dev/ttyUSB0.")
                               .arg(device->names().first()));
    }
    if (parser.isSet(own.simulate) && parser.isSet(own.com1))
        return mistake(OwnOptions::tr("--simulate puts the simulated projector on COM1; leave out "
                                      "--com1, or leave out --simulate."));
    if (parser.isSet(own.help)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (parser.isSet(own.listPorts)) {
        std::printf(
            "%s", qPrintable(qpv::Wording(qpv::Audience::Terminal).listPorts(qpv::surveyPorts())));
        return 0;
    }
    if (parser.isSet(own.version)) {
        std::printf("qpv-panel %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    return Options{parser.value(own.com1), parser.value(own.com2), parser.isSet(own.simulate)};
}

// The toolkit's own options are single-dash words (-platform offscreen, -reverse), each with
// the word after it when that is not an option itself; the panel's own are long ones
// (--com1). These are set aside until QApplication has taken those it knows; a long name of
// ours after a single dash stays, for parseOptions to answer.
QStringList withoutToolkitOptions(const QStringList& arguments, const OwnOptions& own)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool toolkit =
            i > 0 && argument.size() > 2 && argument.startsWith(QLatin1Char('-')) &&
            !argument.startsWith(QLatin1String("--")) && own.singleDashed(argument).isEmpty();
        if (!toolkit)
            kept << argument;
        else if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1Char('-')))
            ++i; // its value
    }
    return kept;
}

int run(const Options& options)
{
    qpv::PortMap ports;
    if (!options.com1.isEmpty())
        ports.setDevice(1, options.com1);
    if (!options.com2.isEmpty())
        ports.setDevice(2, options.com2);

    std::unique_ptr<qpv::sim::Simulator> simulator;
    if (options.simulate) {
        simulator = std::make_unique<qpv::sim::Simulator>();
        QString error;
        if (!simulator->start(&error)) {
            std::fprintf(
                stderr, "qpv-panel: %s\n",
                qPrintable(OwnOptions::tr("cannot start the simulated projector: %1").arg(error)));
            return 1;
        }
        ports.setDevice(1, simulator->devicePath());
    }

    // The window is the desktop entry's, with the icon the package installs in the theme, or
    // else (run from a build tree) the same icon built into the program.
    const QString appId = QString::fromLatin1(qpv::kAppId);
    QGuiApplication::setDesktopFileName(appId);
    QIcon builtIn;
    for (const int size : {32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icons/%1-%2.png").arg(appId).arg(size));
    QApplication::setWindowIcon(QIcon::fromTheme(appId, builtIn));

    qpv::ExchangeSession session(ports);
    qpv::Form1 window(session, qpv::panelAudience());
    window.Form_Load();
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("qpv-panel"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1 (%2)").arg(qpv::kVersion, qpv::kTitleVersion));

    // Checked before the window system is touched, so --help, --version and mistakes in the
    // panel's own options answer on any terminal, with or without a display, in the operator's
    // language.
    std::optional<int> answered;
    {
        QCoreApplication early(argc, argv);
        qpv::installTranslations(early);
        const OwnOptions own;
        const auto parsed = parseOptions(withoutToolkitOptions(argumentList(argc, argv), own), own);
        if (const int* status = std::get_if<int>(&parsed))
            answered = *status;
    }
    if (answered)
        return *answered;

    // No application display name: the window system would append it to the window's title,
    // which must read exactly as designed. The warning box carries the name itself.
    QApplication app(argc, argv);
    qpv::installTranslations(app);
    quitOnSignals(app);
    // QApplication has taken the toolkit options it knows from argv: what is left over of
    // them is a mistake too.
    const OwnOptions own;
    const auto options = parseOptions(argumentList(argc, argv), own);
    if (const int* status = std::get_if<int>(&options))
        return *status;
    return run(std::get<Options>(options));
}
