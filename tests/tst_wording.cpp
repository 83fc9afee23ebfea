// What the operator reads of the line: each cause of a report in short (the STATUS line) and in
// full with the advice that fits how the program was started, in English and in Japanese.

#include "wording/wording.h"

#include <QTest>
#include <QTranslator>

#include <fcntl.h>
#include <pty.h>
#include <pwd.h>
#include <unistd.h>

using namespace qpv;

namespace {

// One report of each cause, with the same facts: the wording takes the ones it needs.
Report sample(Cause cause, int port = 1)
{
    Report r(cause, port, QStringLiteral("/dev/ttyUSB0"));
    r.detail = "Input/output error", r.host = "hall-7", r.where = "192.0.2.7";
    r.group = "dialout", r.holder = "minicom", r.lockFile = "/run/lock/LCK..ttyUSB0";
    r.number = 7000, r.pid = 4242, r.baud = 115200, r.asked = 9600, r.ms = 5000;
    return r;
}

} // namespace

class TestWording : public QObject {
    Q_OBJECT

private slots:
    void eachCause();
    void inJapanese();
    void startedAndListed();
};

void TestWording::eachCause()
{
    // In full, the device stands beside the port, and the advice follows.
    const QString user = QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name);
    const QString ser2net = "If it is ser2net, its accepter must read telnet(rfc2217),tcp,PORT: "
                            "a tcp or plain telnet accepter carries data only. Or use socket:// "
                            "and set the speed on the device server.";
    const QString reopened = "It is reopened when it comes back, or choose the port again.";
    const QString reconnected = "It is reconnected when the device server answers again, or "
                                "choose the port again.";
    const QString option = "Or start the panel with --com1 DEVICE (a device server as "
                           "rfc2217://HOST:PORT). To try the panel without a projector, start "
                           "it with --simulate.";
    constexpr int M = int(Audience::Menu), T = int(Audience::Terminal), S = int(Audience::Script);
    Report one = sample(Cause::Stalled), unheld = sample(Cause::Busy),
           none = sample(Cause::NoPortFound);
    one.number = 1, unheld.holder.clear(), none.device.clear();
    // clang-format off
    const std::tuple<Report, int, QString, QString> rows[] = {
        {none, T, "COM1 cannot be opened: no serial port was found for it on this computer.", "Plug in the USB adapter, then choose COM1 again. " + option},
        {none, M, "COM1 cannot be opened: no serial port was found for it on this computer.", "Plug in the USB adapter, then choose COM1 again. To try the panel without a projector, start it from the menu: \"Try with a simulated projector\"."},
        {sample(Cause::NoPortFound, 2), M, "COM2 cannot be opened: no serial port was found for it on this computer.", "Plug in the USB adapter, then choose COM2 again."},
        {none, S, "COM1 cannot be opened: no serial port was found for it on this computer.", "Plug in the USB adapter, or give the device with --com1 DEVICE (a device server as rfc2217://HOST:PORT)."},
        {sample(Cause::NotFound), T, "COM1 cannot be opened: the device does not exist.", "Check that the cable or USB adapter is plugged in, then choose COM1 again. " + option},
        {sample(Cause::NotFound), S, "COM1 cannot be opened: the device does not exist.", "Check that the cable or USB adapter is plugged in, and the device's name."},
        {sample(Cause::Permission), M, "COM1 cannot be opened: permission denied.", "The user " + user + " must be in the group 'dialout' that owns the device: sudo adduser " + user + " dialout, then log in again."},
        {sample(Cause::Busy), M, "COM1 cannot be opened: minicom (process 4242) is using it.", "Close minicom, then choose the port again."},
        {unheld, S, "COM1 cannot be opened: the device is busy or locked by another program.", "Close that program, then try again."},
        {sample(Cause::StaleLock), M, "COM1 cannot be opened: a lock left by process 4242, which has ended, still holds it.", "Remove it (sudo rm /run/lock/LCK..ttyUSB0), then choose the port again."},
        {sample(Cause::NotSerial), T, "COM1 cannot be opened: it is not a serial device.", "Start the panel with --com1 DEVICE, the serial device, e.g. /dev/ttyUSB0 or one under /dev/serial/by-id/."},
        {sample(Cause::NoUart, 2), M, "COM2 cannot be opened: no serial port stands behind this device; it is probably a built-in port this computer does not have.", "Plug in the USB adapter, then choose COM2 again."},
        {sample(Cause::OpenFailed), M, "COM1 cannot be opened: Input/output error.", ""},
        {sample(Cause::BadAddress), T, "COM1 cannot be opened: the address must read rfc2217://HOST:PORT or socket://HOST:PORT, an IPv6 address in brackets, the port from 1 to 65535.", ""},
        {sample(Cause::UnknownHost), M, "COM1 cannot be opened: the host name hall-7 is not known.", "Check the name, or give the device server's IP address."},
        {sample(Cause::LookupTimedOut), M, "COM1 cannot be opened: the name hall-7 could not be looked up within 5000 ms.", "Check the network's name server, or give the device server's IP address."},
        {sample(Cause::Refused), M, "COM1 cannot be opened: nothing is listening at 192.0.2.7 port 7000 (connection refused).", "Check that the device server is running and that 7000 is the port of its accepter."},
        {sample(Cause::Unreachable), M, "COM1 cannot be opened: the network of 192.0.2.7 port 7000 cannot be reached (Input/output error).", "Check the network connection and the address."},
        {sample(Cause::NoAnswer), M, "COM1 cannot be opened: 192.0.2.7 port 7000 did not answer within 5000 ms.", "Check that the device server is switched on and on the network, and that no firewall drops the port."},
        {sample(Cause::ConnectFailed), M, "COM1 cannot be opened: 192.0.2.7 port 7000: Input/output error.", ""},
        {sample(Cause::Connecting), M, "COM1 is connecting to the device server.", ""},
        {sample(Cause::Connected), M, "COM1 is connected.", ""},
        {sample(Cause::Lost), M, "COM1 was disconnected: the device went away.", reopened},
        {sample(Cause::Lost), S, "COM1 was disconnected: the device went away.", ""},
        {sample(Cause::ServerClosed), M, "COM1 was disconnected: the device server closed the connection.", reconnected},
        {sample(Cause::ConnectionLost), M, "COM1 was disconnected: the connection failed: Input/output error.", reconnected},
        {sample(Cause::Back), M, "COM1 is back and open again.", ""},
        {sample(Cause::NotOpen), M, "COM1 is not open: the command was not sent.", "Press COM and choose the port."},
        {sample(Cause::StillConnecting), M, "COM1 is still connecting: the command was not sent.", "Send it again once the port is connected."},
        {sample(Cause::WriteFailed), M, "COM1: the command could not be sent: Input/output error.", ""},
        {sample(Cause::Backlog), M, "COM1: the commands waiting for the line fill the 6 KiB held for them: this one was not sent.", "Wait until the line has taken the commands before it, or check the cable and the speed."},
        {sample(Cause::Stalled), M, "COM1 took nothing for 5 s: 7000 commands were not sent.", "Check that the projector is switched on and the cable plugged in, then send again."},
        {one, M, "COM1 took nothing for 5 s: 1 command was not sent.", "Check that the projector is switched on and the cable plugged in, then send again."},
        {sample(Cause::SettingRefused), M, "COM1: the speed 115200 baud cannot be applied: Input/output error.", ""},
        {sample(Cause::RawSpeed), M, "COM1: 115200 baud is recorded, but the speed of a raw TCP port (socket://) is set on the device server.", "For ser2net, set it in its connector, e.g. serialdev,/dev/ttyUSB0,115200n81,local; or use rfc2217:// to set it from here."},
        {sample(Cause::NoRfc2217), M, "COM1: the device server refuses to set the line (it does not offer RFC 2217).", ser2net},
        {sample(Cause::SpeedUnconfirmed), M, "COM1: the device server did not confirm the speed 115200 baud, so the line may run at another speed.", ser2net},
        {sample(Cause::SpeedConfirmed), M, "COM1: the device server has now confirmed the speed 115200 baud.", ""},
        {sample(Cause::OtherSpeed), M, "COM1: the device server set 115200 baud when 9600 was asked.", "The device server may not offer that speed."},
        {sample(Cause::EndlessNegotiation), M, "COM1: the device server broke the Telnet protocol (a subnegotiation without end); what it held is shown as received.", "Check the device server."},
        {sample(Cause::OpenNegotiation), M, "COM1: the device server broke the Telnet protocol (a subnegotiation left open); what it held is shown as received.", "Check the device server."},
    };
    // clang-format on
    for (const auto& [report, audience, brief, advice] : rows) {
        const Wording words{Audience(audience)};
        const QString port = QStringLiteral("COM%1").arg(report.port);
        const QString head = report.device.isEmpty() ? port : port + " (" + report.device + ")";
        QCOMPARE(words.brief(report), brief);
        QCOMPARE(words.full(report), (head + brief.mid(4) + ' ' + advice).trimmed());
    }
}

void TestWording::inJapanese()
{
    // The operator's language, as the locale names it; the port and the device as they are.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator japanese;
    QVERIFY(japanese.load(QLocale(), "qpv", "_", ":/i18n"));
    QCoreApplication::installTranslator(&japanese);
    const Wording words(Audience::Menu);
    // clang-format off
    const std::pair<Report, QString> rows[] = {
        {sample(Cause::Lost), "COM1 が切断されました: デバイスがなくなりました。"},
        {sample(Cause::Busy), "COM1 を開けません: minicom (プロセス 4242) が使用中です。"},
        {sample(Cause::NotOpen), "COM1 は開いていません: コマンドは送信されませんでした。"},
        {sample(Cause::Stalled), "COM1 は 5 秒間何も受け取りませんでした: 7000 個のコマンドが送信されませんでした。"},
    };
    // clang-format on
    for (const auto& [report, brief] : rows)
        QCOMPARE(words.brief(report), brief);
    QVERIFY(words.full(sample(Cause::NotFound)).contains("COM1 (/dev/ttyUSB0) を開けません"));
    QCoreApplication::removeTranslator(&japanese);
}

void TestWording::startedAndListed()
{
    // Started with a terminal for its input or its errors, the advice is a terminal's; with
    // neither, a menu's.
    int pty = -1, tty = -1, in = ::dup(STDIN_FILENO), err = ::dup(STDERR_FILENO),
        null = ::open("/dev/null", O_RDWR);
    QVERIFY(::openpty(&pty, &tty, nullptr, nullptr, nullptr) == 0);
    // clang-format off
    for (const auto& [input, errors, audience] : {std::tuple{tty, null, Audience::Terminal},
             {null, tty, Audience::Terminal}, {null, null, Audience::Menu}}) {
        // clang-format on
        ::dup2(input, STDIN_FILENO), ::dup2(errors, STDERR_FILENO);
        const Audience seen = panelAudience();
        ::dup2(in, STDIN_FILENO), ::dup2(err, STDERR_FILENO);
        QVERIFY(seen == audience);
    }
    // A port as the system describes it, in --list-ports.
    PortSurvey one;
    one.ports = {{"/dev/serial/by-id/usb-FTDI_FT232R-if00", "/dev/null", PortKind::StableName,
                  "FT232R USB UART", "FTDI", "A10K3"}};
    QCOMPARE(Wording(Audience::Terminal).listPorts(one),
             "COM1  /dev/serial/by-id/usb-FTDI_FT232R-if00\n      the device /dev/null: FT232R USB "
             "UART, FTDI, serial number A10K3\n      this user may open it\n");
}

QTEST_GUILESS_MAIN(TestWording)
#include "tst_wording.moc"
