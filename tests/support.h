#pragma once

// What the tests share: a pseudo-terminal playing the projector's end of the line, an operator
// who answers warning boxes, and the real window on two such terminals.

#include "panel/displayline.h"
#include "panel/form1.h"
#include "session/exchangesession.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <string_view>
#include <termios.h>
#include <unistd.h>

inline QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

inline speed_t speedOf(const QString& device) // as the program, or a device server, set it
{
    termios t{};
    const int fd = ::open(QFile::encodeName(device), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::tcgetattr(fd, &t), ::close(fd);
    return ::cfgetospeed(&t);
}

// The program under test opens path(); the test writes and reads the other end (non-blocking). The
// device side stays open too, so the terminal does not hang up while the program has it closed.
class PtyPair {
public:
    PtyPair()
    {
        if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0)
            qFatal("openpty: %s", std::strerror(errno));
        termios raw = attributes();
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        QFile::remove(lockFile()); // a new terminal is nobody's: a lock on it was left behind
    }
    ~PtyPair() { ::close(m_master), ::close(m_slave); }
    Q_DISABLE_COPY(PtyPair)

    QString path() const { return QString::fromLocal8Bit(::ptsname(m_master)); }
    // Where a program that has the device open locks it.
    QString lockFile() const { return "/run/lock/LCK.." + path().mid(5).replace('/', '_'); }
    int masterFd() const { return m_master; }
    termios attributes() const // as the program set them
    {
        termios t{};
        ::tcgetattr(m_slave, &t);
        return t;
    }
    // Writes everything; while the terminal is full, runs the event loop so the program reads.
    void write(const QByteArray& bytes)
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n =
                ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (errno == EAGAIN) { // full: let the program read, then wait for room
                pollfd p{m_master, POLLOUT, 0};
                QCoreApplication::processEvents(), ::poll(&p, 1, 10);
            } else if (errno != EINTR) {
                return;
            }
        }
    }
    // What the program sent, until `count` bytes have come or the time is up.
    QByteArray read(qsizetype count, std::chrono::milliseconds timeout = std::chrono::seconds(2))
    {
        QByteArray result;
        char buffer[4096];
        for (const QDeadlineTimer deadline(timeout);
             result.size() < count && !deadline.hasExpired();) {
            pollfd p{m_master, POLLIN, 0};
            ::poll(&p, 1, int(std::max<qint64>(1, deadline.remainingTime())));
            for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
                result.append(buffer, n);
        }
        return result;
    }

private:
    int m_master = -1;
    int m_slave = -1;
};

inline quint16 freePort() // on loopback, for a moment
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// A loopback port that listens but accepts nothing: once its queue of one is full, a
// connection gets no answer.
struct DeafServer {
    DeafServer()
    {
        server.setListenBacklogSize(0), server.listen(QHostAddress::LocalHost);
        server.pauseAccepting();
        for (QTcpSocket& waiting : queue)
            waiting.connectToHost(QHostAddress::LocalHost, server.serverPort());
        QTest::qWait(100);
    }
    QTcpServer server;
    QTcpSocket queue[4];
};

// ser2net, a real device server, on a free loopback port in front of a pseudo-terminal (pty:
// its own, or the test's), with a configuration of its own: an RFC 2217 accepter, or raw TCP.
// Stopped with the object.
struct DeviceServer {
    explicit DeviceServer(bool telnet = true, PtyPair* line = nullptr)
        : rfc2217(telnet)
        , pty(line ? *line : own)
    {
        start();
    }
    ~DeviceServer() { stop(); }
    // Back once it listens, as the system's table of sockets tells, so that no connection
    // of the test's own takes the one the program makes.
    void start()
    {
        process.start("ser2net", {"-n", "-d", "-Y",
                                  QStringLiteral("connection: &projector#  "
                                                 "accepter: %1tcp,127.0.0.1,%2#"
                                                 "  connector: serialdev,%3,9600n81,local")
                                      .arg(rfc2217 ? "telnet(rfc2217)," : "")
                                      .arg(port)
                                      .arg(pty.path())});
        const QByteArray listening = QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
        for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QTest::qWait(10)) {
            QFile table(QStringLiteral("/proc/net/tcp"));
            if (table.open(QIODevice::ReadOnly) &&
                table.readAll().contains(":" + listening + " 00000000:0000 0A"))
                return;
        }
        qFatal("ser2net did not listen on port %d: %s", port, process.readAll().constData());
    }
    void stop() { process.kill(), process.waitForFinished(); }
    QString url() const
    {
        return QStringLiteral("%1://127.0.0.1:%2").arg(rfc2217 ? "rfc2217" : "socket").arg(port);
    }

    bool rfc2217;
    PtyPair own;
    PtyPair& pty;
    QProcess process;
    quint16 port = freePort();
};

// COM1's device for a test: the pseudo-terminal given, or, with QPV_LINE=rfc2217 in the
// environment, that terminal behind ser2net, started here.
inline QString lineUnderTest(PtyPair& pty, std::unique_ptr<DeviceServer>& server)
{
    return qgetenv("QPV_LINE") != "rfc2217"
               ? pty.path()
               : (server = std::make_unique<DeviceServer>(true, &pty))->url();
}

// The real window and its exchange session on two pseudo-terminals (COM1, COM2, unless other
// devices are given; COM1 as lineUnderTest() gives it), loaded and shown offscreen, with COM1
// open when it can be, and the whole panel in view unless it stays compact. An operator presses
// OK on each warning box; its title and text are kept, and so are the reports behind it and
// those the STATUS line shows.
struct Panel {
    explicit Panel(const QString& com1 = {}, const QString& com2 = {}, bool compact = false,
                   const qpv::PortPlaces* found = nullptr) // or the ports found there
    {
        boxes.callOnTimeout([this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            // Titled with the program's name; markup in a device name stays plain text.
            const bool warning = box->icon() == QMessageBox::Warning &&
                                 box->windowTitle() == "OMTA QPV-7100 CONTROL",
                       plain = box->textFormat() == Qt::PlainText;
            warnings << (warning ? QString() : QStringLiteral("(not a titled warning) ")) +
                            (plain ? QString() : QStringLiteral("(rich text) ")) + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        boxes.start(10);
        qpv::PortMap ports(found ? *found : qpv::PortPlaces{});
        if (!found) {
            ports.setDevice(1, com1.isEmpty() ? lineUnderTest(one, server) : com1);
            ports.setDevice(2, com2.isEmpty() ? two.path() : com2);
        }
        session = std::make_unique<qpv::ExchangeSession>(ports);
        QObject::connect(session.get(), &qpv::ExchangeSession::lineReported,
                         [this](const qpv::Report& report) { reports << report; });
        QObject::connect(session.get(), &qpv::ExchangeSession::portChoiceFailed,
                         [this](const QList<qpv::Report>& failures) { failed << failures; });
        form = std::make_unique<qpv::Form1>(*session);
        form->Form_Load();
        form->show();
        QTRY_VERIFY(isOpen() || !warnings.isEmpty()); // a device server answers later
        if (server) { // once a byte has gone through, ser2net has the terminal open for good
            one.write("\r");
            QTRY_COMPARE(rxd(), QByteArray(" CR "));
        }
        if (!compact) // Ctrl+J, then a double-click on the logo
            key("Command17", Qt::Key_J, Qt::ControlModifier),
                QTest::mouseDClick(find("Image1"), Qt::LeftButton);
    }
    bool isOpen() const { return session->portOpen(); }
    // The STATUS line's last report is of this cause.
    bool reported(qpv::Cause c) const { return !reports.isEmpty() && reports.last().cause == c; }
    template <typename T = QWidget> T* find(const char* name) const
    {
        T* found = form->findChild<T*>(QLatin1String(name));
        if (!found)
            found = session->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char* name) const { QTest::mouseClick(find(name), Qt::LeftButton); }
    // A key on the keyboard: the window system gives it to the window, which hands it to the
    // control with the focus, here `at`.
    void key(const char* at, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const
    {
        find(at)->setFocus(), QTest::keyClick(form->windowHandle(), key, modifiers);
    }
    // COM, then the option: a choice on the settings panel, and a device's answer to it.
    void choose(const char* option) const
    {
        click("Command33"), click(option), QCoreApplication::processEvents();
    }
    // END, which ends the application's event loop too; it is run once more, so that later
    // dialogs in this process can run theirs.
    void end() const
    {
        click("Command16"), QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
    QByteArray line(const char* name) const { return bytes(find<qpv::DisplayLine>(name)->text()); }
    QByteArray txd() const { return line("Label11"); }
    QByteArray rxd() const { return line("Label12"); }
    QByteArray status() const { return line("Label22"); }
    bool marked(const char* option) const { return find<QRadioButton>(option)->isChecked(); }
    QTimer* timer(const char* name) const { return find<QTimer>(name); }

    QTimer boxes;
    QStringList warnings;
    QList<qpv::Report> failed;  // behind the warnings
    QList<qpv::Report> reports; // on the STATUS line
    PtyPair one;
    PtyPair two;
    std::unique_ptr<DeviceServer> server;
    std::unique_ptr<qpv::ExchangeSession> session;
    std::unique_ptr<qpv::Form1> form;
};
