#include "ptypair.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    if (::openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(::ptsname(m_master));
}

PtyPair::~PtyPair()
{
    hangUp();
}

void PtyPair::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size() && m_master >= 0) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (errno == EAGAIN) {
            // The terminal is full: let the program under test (same thread) read some.
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
    while (result.size() < count && !deadline.hasExpired() && m_master >= 0) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))) <= 0)
            continue;
        result += readAvailable();
    }
    return result;
}

QByteArray PtyPair::readAvailable()
{
    QByteArray result;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        result.append(buffer, n);
    }
    return result;
}

termios PtyPair::attributes() const
{
    termios t{};
    ::tcgetattr(m_slave, &t);
    return t;
}

void PtyPair::hangUp()
{
    if (m_master < 0)
        return;
    ::close(m_master);
    ::close(m_slave);
    m_master = m_slave = -1;
}
