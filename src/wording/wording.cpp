#include "wording/wording.h"

#include "serial/opendiagnosis.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <pwd.h>
#include <unistd.h>

namespace qpv {

namespace {

// "COM1 (/dev/ttyUSB0)", or "COM1" where no device stands behind it.
QString portLabel(const Report& report)
{
    const QString port = QStringLiteral("COM%1").arg(report.port);
    return report.device.isEmpty() ? port : QStringLiteral("%1 (%2)").arg(port, report.device);
}

// This user's login name, for the command that adds it to a group.
QString userName()
{
    const passwd* user = ::getpwuid(::getuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString();
}

} // namespace

Audience panelAudience()
{
    return ::isatty(STDIN_FILENO) || ::isatty(STDERR_FILENO) ? Audience::Terminal : Audience::Menu;
}

QString Wording::brief(const Report& report) const
{
    return sentence(report, QStringLiteral("COM%1").arg(report.port));
}

QString Wording::full(const Report& report) const
{
    const QString said = sentence(report, portLabel(report));
    const QString todo = advice(report);
    return todo.isEmpty() ? said : said + QLatin1Char(' ') + todo;
}

QString Wording::full(const QList<Report>& reports) const
{
    QStringList texts;
    for (const Report& report : reports)
        texts << full(report);
    return texts.join(QLatin1Char('\n'));
}

QString Wording::sentence(const Report& r, const QString& port) const
{
    // A device server's address as the report gives it: "127.0.0.1 port 7000".
    const QString where = tr("%1 port %2").arg(r.where).arg(r.number);
    switch (r.cause) {
    case Cause::NoPortFound:
        return tr("%1 cannot be opened: no serial port was found for it on this computer.")
            .arg(port);
    case Cause::NotFound:
        return tr("%1 cannot be opened: the device does not exist.").arg(port);
    case Cause::Permission:
        return tr("%1 cannot be opened: permission denied.").arg(port);
    case Cause::Busy:
        if (r.holder.isEmpty())
            return tr("%1 cannot be opened: the device is busy or locked by another program.")
                .arg(port);
        return tr("%1 cannot be opened: %2 (process %3) is using it.")
            .arg(port, r.holder)
            .arg(r.pid);
    case Cause::StaleLock:
        return tr("%1 cannot be opened: a lock left by process %2, which has ended, still holds "
                  "it.")
            .arg(port)
            .arg(r.pid);
    case Cause::NotSerial:
        return tr("%1 cannot be opened: it is not a serial device.").arg(port);
    case Cause::NoUart:
        return tr("%1 cannot be opened: no serial port stands behind this device; it is probably "
                  "a built-in port this computer does not have.")
            .arg(port);
    case Cause::OpenFailed:
        return tr("%1 cannot be opened: %2.").arg(port, r.detail);
    case Cause::BadAddress:
        return tr("%1 cannot be opened: the address must read rfc2217://HOST:PORT or "
                  "socket://HOST:PORT, an IPv6 address in brackets, the port from 1 to 65535.")
            .arg(port);
    case Cause::UnknownHost:
        return tr("%1 cannot be opened: the host name %2 is not known.").arg(port, r.host);
    case Cause::LookupTimedOut:
        return tr("%1 cannot be opened: the name %2 could not be looked up within %3 ms.")
            .arg(port, r.host)
            .arg(r.ms);
    case Cause::Refused:
        return tr("%1 cannot be opened: nothing is listening at %2 (connection refused).")
            .arg(port, where);
    case Cause::Unreachable:
        return tr("%1 cannot be opened: the network of %2 cannot be reached (%3).")
            .arg(port, where, r.detail);
    case Cause::NoAnswer:
        return tr("%1 cannot be opened: %2 did not answer within %3 ms.")
            .arg(port, where)
            .arg(r.ms);
    case Cause::ConnectFailed:
        return tr("%1 cannot be opened: %2: %3.").arg(port, where, r.detail);
    case Cause::Connecting:
        return tr("%1 is connecting to the device server.").arg(port);
    case Cause::Connected:
        return tr("%1 is connected.").arg(port);
    case Cause::Lost:
        return tr("%1 was disconnected: the device went away.").arg(port);
    case Cause::ServerClosed:
        return tr("%1 was disconnected: the device server closed the connection.").arg(port);
    case Cause::ConnectionLost:
        return tr("%1 was disconnected: the connection failed: %2.").arg(port, r.detail);
    case Cause::Back:
        return tr("%1 is back and open again.").arg(port);
    case Cause::NotOpen:
        return tr("%1 is not open: the command was not sent.").arg(port);
    case Cause::StillConnecting:
        return tr("%1 is still connecting: the command was not sent.").arg(port);
    case Cause::WriteFailed:
        return tr("%1: the command could not be sent: %2.").arg(port, r.detail);
    case Cause::TooLong:
        return tr("%1: the command is longer than the %2 KiB held for the line: it was not sent.")
            .arg(port)
            .arg(r.number / 1024);
    case Cause::Backlog:
        return tr("%1: the commands waiting for the line fill the %2 KiB held for them: this one "
                  "was not sent.")
            .arg(port)
            .arg(r.number / 1024);
    case Cause::Stalled:
        if (r.number == 1)
            return tr("%1 took nothing for %2 s: 1 command was not sent.")
                .arg(port)
                .arg(r.ms / 1000);
        return tr("%1 took nothing for %2 s: %3 commands were not sent.")
            .arg(port)
            .arg(r.ms / 1000)
            .arg(r.number);
    case Cause::SharedDevice:
        if (r.holder.isEmpty())
            return tr("%1: another program reads this device too, and takes replies from it.")
                .arg(port);
        return tr("%1: %2 (process %3) reads this device too, and takes replies from it.")
            .arg(port, r.holder)
            .arg(r.pid);
    case Cause::SettingRefused:
        return tr("%1: the speed %2 baud cannot be applied: %3.")
            .arg(port)
            .arg(r.baud)
            .arg(r.detail);
    case Cause::RawSpeed:
        return tr("%1: %2 baud is recorded, but the speed of a raw TCP port (socket://) is set on "
                  "the device server.")
            .arg(port)
            .arg(r.baud);
    case Cause::NoRfc2217:
        return tr("%1: the device server refuses to set the line (it does not offer RFC 2217).")
            .arg(port);
    case Cause::SpeedUnconfirmed:
        return tr("%1: the device server did not confirm the speed %2 baud, so the line may run "
                  "at another speed.")
            .arg(port)
            .arg(r.baud);
    case Cause::SpeedConfirmed:
        return tr("%1: the device server has now confirmed the speed %2 baud.")
            .arg(port)
            .arg(r.baud);
    case Cause::OtherSpeed:
        return tr("%1: the device server set %2 baud when %3 was asked.")
            .arg(port)
            .arg(r.baud)
            .arg(r.asked);
    case Cause::EndlessNegotiation:
        return tr("%1: the device server broke the Telnet protocol (a subnegotiation without "
                  "end); what it held is shown as received.")
            .arg(port);
    case Cause::OpenNegotiation:
        return tr("%1: the device server broke the Telnet protocol (a subnegotiation left open); "
                  "what it held is shown as received.")
            .arg(port);
    }
    return port;
}

// What the reader can do about it, with the means they have: the panel's own controls and the
// menu's entries, the options where they started it from a terminal, a script's options.
QString Wording::advice(const Report& r) const
{
    const bool script = m_audience == Audience::Script;
    const bool terminal = m_audience == Audience::Terminal;
    const QStringList deviceOption = {
        // Where the panel's own ports will not do: a device named on the command line.
        terminal ? tr("Or start the panel with --com%1 DEVICE (a device server as "
                      "rfc2217://HOST:PORT).")
                       .arg(r.port)
                 : QString(),
        // The simulated projector takes COM1, and only that.
        r.port != 1 || script ? QString()
        : terminal
            ? tr("To try the panel without a projector, start it with --simulate.")
            : tr("To try the panel without a projector, start it from the menu: \"Try with a "
                 "simulated projector\"."),
    };
    const auto withOptions = [&](const QString& first) {
        QStringList all{first};
        all << deviceOption;
        all.removeAll(QString());
        return all.join(QLatin1Char(' '));
    };
    const QString plugIn = tr("Plug in the USB adapter, then choose COM%1 again.").arg(r.port);
    const QString ser2net =
        tr("If it is ser2net, its accepter must read telnet(rfc2217),tcp,PORT: a tcp or plain "
           "telnet accepter carries data only. Or use socket:// and set the speed on the device "
           "server.");
    switch (r.cause) {
    case Cause::NoPortFound:
        if (script)
            return tr("Plug in the USB adapter, or give the device with --com%1 DEVICE (a device "
                      "server as rfc2217://HOST:PORT).")
                .arg(r.port);
        return withOptions(plugIn);
    case Cause::NotFound:
        if (script)
            return tr("Check that the cable or USB adapter is plugged in, and the device's name.");
        return withOptions(
            tr("Check that the cable or USB adapter is plugged in, then choose COM%1 again.")
                .arg(r.port));
    case Cause::Permission: {
        const QString user = userName();
        if (user.isEmpty())
            return tr("Your user must be in the group '%1' that owns the device: sudo adduser "
                      "YOUR-USER %1, then log in again.")
                .arg(r.group);
        return tr("The user %1 must be in the group '%2' that owns the device: sudo adduser %1 "
                  "%2, then log in again.")
            .arg(user, r.group);
    }
    case Cause::Busy:
        if (script)
            return r.holder.isEmpty() ? tr("Close that program, then try again.")
                                      : tr("Close %1, then try again.").arg(r.holder);
        return r.holder.isEmpty() ? tr("Close that program, then choose the port again.")
                                  : tr("Close %1, then choose the port again.").arg(r.holder);
    case Cause::StaleLock:
        return script ? tr("Remove it (sudo rm %1), then try again.").arg(r.lockFile)
                      : tr("Remove it (sudo rm %1), then choose the port again.").arg(r.lockFile);
    case Cause::NotSerial:
    case Cause::NoUart:
        if (script)
            return tr("Give the serial device with --com%1 DEVICE, e.g. /dev/ttyUSB0 or one under "
                      "/dev/serial/by-id/.")
                .arg(r.port);
        if (terminal)
            return tr("Start the panel with --com%1 DEVICE, the serial device, e.g. /dev/ttyUSB0 "
                      "or one under /dev/serial/by-id/.")
                .arg(r.port);
        return withOptions(plugIn);
    case Cause::UnknownHost:
        return tr("Check the name, or give the device server's IP address.");
    case Cause::LookupTimedOut:
        return tr("Check the network's name server, or give the device server's IP address.");
    case Cause::Refused:
        return tr("Check that the device server is running and that %1 is the port of its "
                  "accepter.")
            .arg(r.number);
    case Cause::Unreachable:
        return tr("Check the network connection and the address.");
    case Cause::NoAnswer:
        return tr("Check that the device server is switched on and on the network, and that no "
                  "firewall drops the port.");
    case Cause::Lost:
        return script ? QString()
                      : tr("It is reopened when it comes back, or choose the port again.");
    case Cause::ServerClosed:
    case Cause::ConnectionLost:
        return script ? QString()
                      : tr("It is reconnected when the device server answers again, or choose "
                           "the port again.");
    case Cause::NotOpen:
        return script ? QString() : tr("Press COM and choose the port.");
    case Cause::StillConnecting:
        return tr("Send it again once the port is connected.");
    case Cause::Backlog:
        return tr("Wait until the line has taken the commands before it, or check the cable and "
                  "the speed.");
    case Cause::Stalled:
        return tr("Check that the projector is switched on and the cable plugged in, then send "
                  "again.");
    case Cause::TooLong:
        return tr("Send it in shorter commands.");
    case Cause::SharedDevice:
        return r.holder.isEmpty()
                   ? tr("Close the other program (a serial terminal, a modem manager); the panel "
                        "goes on reading.")
                   : tr("Close %1; the panel goes on reading.").arg(r.holder);
    case Cause::RawSpeed:
        return tr("For ser2net, set it in its connector, e.g. serialdev,/dev/ttyUSB0,%1n81,local; "
                  "or use rfc2217:// to set it from here.")
            .arg(r.baud);
    case Cause::NoRfc2217:
    case Cause::SpeedUnconfirmed:
        return ser2net;
    case Cause::OtherSpeed:
        return tr("The device server may not offer that speed.");
    case Cause::EndlessNegotiation:
    case Cause::OpenNegotiation:
        return tr("Check the device server.");
    case Cause::OpenFailed:
    case Cause::BadAddress:
    case Cause::ConnectFailed:
    case Cause::Connecting:
    case Cause::Connected:
    case Cause::Back:
    case Cause::WriteFailed:
    case Cause::SettingRefused:
    case Cause::SpeedConfirmed:
        break;
    }
    return {};
}

QString Wording::describePort(int port, const PortAssignment& assignment) const
{
    if (assignment.device.isEmpty())
        return tr("COM%1: no serial port was found for it on this computer").arg(port);
    if (assignment.description.isEmpty())
        return QStringLiteral("COM%1: %2").arg(port).arg(assignment.device);
    return QStringLiteral("COM%1: %2 (%3)")
        .arg(port)
        .arg(assignment.device, assignment.description);
}

QString Wording::listPorts(const PortSurvey& survey) const
{
    const QString plugIn = tr("Plug in the USB adapter, or start the panel with --com1 DEVICE.");
    if (survey.ports.isEmpty() && survey.consoles.isEmpty())
        return tr("No serial port was found on this computer.") + QLatin1Char(' ') + plugIn +
               QLatin1Char('\n');
    QString text;
    for (qsizetype i = 0; i < survey.ports.size(); ++i) {
        const FoundPort& port = survey.ports[i];
        text += QStringLiteral("COM%1  %2\n").arg(i + 1).arg(port.device);
        QStringList said = {port.description, port.manufacturer};
        if (!port.serialNumber.isEmpty())
            said << tr("serial number %1").arg(port.serialNumber);
        said.removeAll(QString());
        text +=
            said.isEmpty()
                ? tr("      the device %1\n").arg(port.node)
                : tr("      the device %1: %2\n").arg(port.node, said.join(QStringLiteral(", ")));
        const QString group = groupToJoin(port.node);
        const QString user = userName().isEmpty() ? QStringLiteral("YOUR-USER") : userName();
        text += group.isEmpty() ? tr("      this user may open it\n")
                                : tr("      this user may not open it: join the group '%1' "
                                     "(sudo adduser %2 %1, then log in again)\n")
                                      .arg(group, user);
    }
    if (survey.ports.isEmpty())
        text += tr("No serial port the panel may use was found.") + QLatin1Char(' ') + plugIn +
                QLatin1Char('\n');
    for (const FoundPort& console : survey.consoles)
        text += tr("%1 is the system console: the panel never uses it.\n").arg(console.device);
    return text;
}

void installTranslations(QCoreApplication& app)
{
    const QLocale locale;
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Qt's own first (its buttons, the command line's mistakes), then ours over them.
    for (const auto& [name, folder] :
         {std::pair{QStringLiteral("qtbase"), qtFolder},
          std::pair{QStringLiteral("qtserialport"), qtFolder},
          std::pair{QStringLiteral("qpv"), QStringLiteral(":/i18n")}}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(locale, name, QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace qpv
