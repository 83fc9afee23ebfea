// qpv-ctl: the projector from a script. Each action is one exchange of the panel's: the same
// frame, watchdog and decoders, on the same ports; the decoded reply is printed.

#include "app/quitonsignals.h"
#include "catalogue/actions.h"
#include "catalogue/clickpath.h"
#include "serial/portdiscovery.h"
#include "session/exchangesession.h"
#include "version.h"
#include "wording/wording.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <optional>
#include <variant>

namespace {

// The program's own words, in the operator's language.
struct Ctl {
    Q_DECLARE_TR_FUNCTIONS(Ctl)
};

// What a script can tell from the exit status.
enum Status { kAnswered = 0, kNoReply = 1, kMistake = 2, kPortFailed = 3, kInterrupted = 130 };

// One exchange to run: a button of the catalogue, or a typed command as SEND sends it.
struct Step {
    QString action;
    const qpv::CommandButton* button = nullptr;
    std::string typed;
};

struct Options {
    qpv::PortMap ports;
    int port = 1;
    qpv::LineSettings speed = qpv::k9600;
    bool json = false;
    std::optional<int> timeoutMs;
    QList<Step> steps;
};

int mistake(const QString& message)
{
    std::fprintf(stderr, "qpv-ctl: %s\n%s\n", qPrintable(message),
                 qPrintable(Ctl::tr("Try 'qpv-ctl --help' for the options and actions.")));
    return kMistake;
}

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Every action with its group, caption and the exact command it sends.
void listActions()
{
    for (const qpv::Action& action : qpv::kActions) {
        const qpv::CommandButton& button = *qpv::findAction(action.name);
        std::printf("%-28s %-16s %-14s %s\n", action.name.data(), button.group.data(),
                    button.caption.empty() ? "-" : button.caption.data(), button.command.data());
    }
    std::printf("%-28s %s\n", "send TEXT", qPrintable(Ctl::tr("TEXT as typed, as SEND sends it")));
}

// The options and the exchanges, or the exit status (0 after --help, --version and list).
std::variant<Options, int> parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Ctl::tr("Sends QPV-7100 projector commands over a serial line, one exchange each, and "
                "prints the decoded reply.\nACTION is a command button's name (qpv-ctl list "
                "shows them all), or send TEXT.\nExit status: 0 every exchange answered, 1 a "
                "reply did not come, 2 a mistake on the command line, 3 the port could not be "
                "opened or was lost."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption com1(QStringLiteral("com1"),
                                  Ctl::tr("Use DEVICE as COM1, e.g. /dev/ttyUSB0, or a device "
                                          "server: rfc2217://HOST:PORT or socket://HOST:PORT."),
                                  Ctl::tr("DEVICE"));
    const QCommandLineOption com2(QStringLiteral("com2"), Ctl::tr("Use DEVICE as COM2."),
                                  Ctl::tr("DEVICE"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  Ctl::tr("The port to use, 1 or 2 (default 1)."),
                                  QStringLiteral("1|2"), QStringLiteral("1"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   Ctl::tr("The line's speed, 9600 or 115200 (default 9600)."),
                                   QStringLiteral("9600|115200"), QStringLiteral("9600"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  Ctl::tr("Print one JSON object for each exchange."));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        Ctl::tr("Wait MS for each reply instead of the panel's watchdog (500 ms, 5 s after a "
                "picture-group command, 2 s after send)."),
        QStringLiteral("MS"));
    parser.addOptions({com1, com2, port, speed, json, timeout});
    parser.addPositionalArgument(QStringLiteral("ACTION"), Ctl::tr("What to send, in order."),
                                 QStringLiteral("ACTION..."));
    if (!parser.parse(app.arguments()))
        return mistake(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return kAnswered;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("qpv-ctl %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return kAnswered;
    }
    const QStringList actions = parser.positionalArguments();
    if (actions == QStringList{QStringLiteral("list")}) {
        listActions();
        return kAnswered;
    }
    Options options;
    for (const QCommandLineOption* device : {&com1, &com2}) {
        if (parser.isSet(*device) && parser.value(*device).isEmpty())
            return mistake(Ctl::tr("--%1 needs a device, e.g. --%1 /dev/ttyUSB0.")
                               .arg(device->names().first()));
        if (parser.isSet(*device))
            options.ports.setDevice(device == &com1 ? 1 : 2, parser.value(*device));
    }
    options.port = parser.value(port).toInt();
    if (parser.value(port) != QLatin1String("1") && parser.value(port) != QLatin1String("2"))
        return mistake(Ctl::tr("--port must be 1 or 2, not '%1'.").arg(parser.value(port)));
    if (parser.value(speed) == QLatin1String("115200"))
        options.speed = qpv::k115200;
    else if (parser.value(speed) != QLatin1String("9600"))
        return mistake(
            Ctl::tr("--speed must be 9600 or 115200, not '%1'.").arg(parser.value(speed)));
    bool ok = true;
    if (parser.isSet(timeout))
        options.timeoutMs = parser.value(timeout).toInt(&ok);
    if (!ok || (options.timeoutMs && (*options.timeoutMs < 1 || *options.timeoutMs > 3600000)))
        return mistake(Ctl::tr("--timeout must be a whole number of milliseconds from 1 to "
                               "3600000, not '%1'.")
                           .arg(parser.value(timeout)));
    options.json = parser.isSet(json);
    if (actions.isEmpty())
        return mistake(Ctl::tr("no action given; qpv-ctl list shows them."));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        Step step{actions[i], nullptr, {}};
        if (actions[i] == QLatin1String("send")) {
            if (++i == actions.size())
                return mistake(Ctl::tr("send needs the command's text, e.g. send 'CR PRESSURE'."));
            step.typed = actions[i].toStdString();
            step.action += QLatin1Char(' ') + actions[i];
        } else if (!(step.button = qpv::findAction(actions[i].toStdString()))) {
            return mistake(
                Ctl::tr("unknown action '%1'; qpv-ctl list shows them.").arg(actions[i]));
        }
        options.steps << step;
    }
    return options;
}

// The panel's click path, with the watchdog the script asks for in place of the panel's.
struct Sender {
    qpv::ExchangeSession& session;
    std::optional<int> timeoutMs;
    void setReplyTimers(const qpv::ReplyTimers& timers)
    {
        session.setReplyTimers(timeoutMs ? qpv::ReplyTimers{*timeoutMs, *timeoutMs + 500} : timers);
    }
    void sendCommand(std::string_view command) { session.sendCommand(command); }
};

// Runs the exchanges in order, each until the watchdog ends it; prints each.
int run(Options& options)
{
    const qpv::Wording words(qpv::Audience::Script);
    qpv::ExchangeSession session(options.ports);
    int status = kAnswered;
    QEventLoop loop;
    const auto fail = [&](const QString& report) {
        std::fprintf(stderr, "qpv-ctl: %s\n", qPrintable(report));
        status = kPortFailed;
        loop.exit();
    };
    QObject::connect(&session, &qpv::ExchangeSession::portChoiceFailed,
                     [&](const QList<qpv::Report>& failures) { fail(words.full(failures)); });
    QObject::connect(&session, &qpv::ExchangeSession::portChosen, &loop, [&] { loop.exit(); });
    // What the line reports: the end of the run where it ends the line or drops a command.
    QObject::connect(&session, &qpv::ExchangeSession::lineReported, [&](const qpv::Report& r) {
        const bool ends = r.cause == qpv::Cause::Lost || r.cause == qpv::Cause::ServerClosed ||
                          r.cause == qpv::Cause::ConnectionLost || qpv::dropsCommands(r.cause);
        if (ends)
            fail(words.full(r));
        else if (r.cause != qpv::Cause::Connecting && r.cause != qpv::Cause::Connected)
            std::fprintf(stderr, "qpv-ctl: %s\n", qPrintable(words.full(r)));
    });
    // Ctrl+C, kill: the exchange under way is given up, and the port closed.
    quitOnSignals(*QCoreApplication::instance(), [&] { status = kInterrupted, loop.exit(); });
    Sender sender{session, options.timeoutMs};
    sender.setReplyTimers(qpv::kDesignTimers);
    session.setSettings(options.speed);
    session.choosePort(options.port);
    loop.exec();
    for (const Step& step : std::as_const(options.steps)) {
        if (status != kAnswered && status != kNoReply)
            break;
        std::string echo, decoded;
        QByteArray reply;
        bool missing = false;
        const auto shown =
            QObject::connect(&session, &qpv::ExchangeSession::lineChanged,
                             [&](qpv::TrafficLine line, const std::string& text) {
                                 if (line != qpv::TrafficLine::Txd)
                                     (line == qpv::TrafficLine::Rxd ? echo : decoded) = text;
                             });
        const auto got = QObject::connect(&session, &qpv::ExchangeSession::replyReceived,
                                          [&](const QByteArray& bytes) { reply = bytes; });
        const auto ticked = QObject::connect(&session, &qpv::ExchangeSession::watchdogTicked,
                                             [&](bool nothing) { missing = nothing, loop.exit(); });
        QElapsedTimer elapsed;
        elapsed.start();
        if (step.button)
            qpv::pressCommandButton(sender, *step.button);
        else
            qpv::sendFreeText(sender, step.typed);
        const std::string frame = step.button ? std::string(step.button->command) : step.typed;
        if (status == kAnswered || status == kNoReply)
            loop.exec();
        for (const auto& connection : {shown, got, ticked})
            QObject::disconnect(connection);
        if (status != kAnswered && status != kNoReply)
            break;
        if (missing)
            status = kNoReply, echo.clear();
        // The decoded text, or the echo where the query has no decoder; a code table's text
        // begins with a blank.
        const QString said = text(decoded.empty() ? echo : decoded).trimmed();
        if (options.json) {
            const QJsonObject exchange{
                {"action", step.action},
                {"command", text(frame)},
                {"sent", QString::fromLatin1(QByteArray::fromStdString(frame) + '\r')},
                {"reply", QString::fromLatin1(reply)},
                {"echo", text(echo)},
                {"decoded", decoded.empty() ? QJsonValue() : QJsonValue(text(decoded))},
                {"watchdog", missing},
                {"elapsed_ms", elapsed.elapsed()},
            };
            std::printf("%s\n", QJsonDocument(exchange).toJson(QJsonDocument::Compact).constData());
        } else if (missing) {
            std::fprintf(
                stderr, "qpv-ctl: %s\n",
                qPrintable(Ctl::tr("%1: no reply within the watchdog time.").arg(step.action)));
        } else {
            std::printf("%s\n", qPrintable(said));
        }
        std::fflush(stdout);
    }
    session.close();
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qpv-ctl"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(qpv::kVersion));
    qpv::installTranslations(app);
    auto parsed = parseOptions(app);
    if (const int* status = std::get_if<int>(&parsed))
        return *status;
    return run(std::get<Options>(parsed));
}
