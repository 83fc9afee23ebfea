#include "support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0)
        qFatal("openpty: %s", std::strerror(errno));
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(::ptsname(m_master));
}

void PtyPair::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (errno == EAGAIN) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 10);
        } else if (errno != EINTR) {
            return;
        }
    }
}

QByteArray PtyPair::read(qsizetype count, std::chrono::milliseconds timeout)
{
    QByteArray result;
    const QDeadlineTimer deadline(timeout);
    while (result.size() < count && !deadline.hasExpired()) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))) > 0)
            result += readAvailable();
    }
    return result;
}

QByteArray PtyPair::readAvailable()
{
    QByteArray result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
        result.append(buffer, n);
    return result;
}

termios PtyPair::attributes() const
{
    termios t{};
    ::tcgetattr(m_slave, &t);
    return t;
}

PtyPair::~PtyPair()
{
    ::close(m_master);
    ::close(m_slave);
}

MessageBoxWatcher::MessageBoxWatcher()
{
    m_timer.callOnTimeout([this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << (box->icon() == QMessageBox::Warning ? QString()
                                                      : QStringLiteral("(not a warning) ")) +
                     box->text();
        titles << box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    });
    m_timer.start(10);
}

Panel::Panel(const QString& com1, const QString& com2)
{
    qpv::PortMap ports;
    ports.setDevice(1, com1.isEmpty() ? one.path() : com1);
    ports.setDevice(2, com2.isEmpty() ? two.path() : com2);
    form = std::make_unique<qpv::Form1>(ports);
    form->Form_Load();
    form->show();
}
