#include "sim/simulator.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace qpv::sim {

namespace {

// Commands longer than this without a CR are not commands; the simulator forgets them.
constexpr qsizetype kLongestFrame = 256;

struct FaultNameRow {
    Fault fault;
    const char* name;
};

constexpr FaultNameRow kFaultNames[] = {
    {Fault::None, "none"},       {Fault::NoReply, "silent"}, {Fault::Pieces, "pieces"},
    {Fault::Late, "late"},       {Fault::Garbage, "garbage"}, {Fault::Vanish, "vanish"},
};

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

const char* faultName(Fault fault)
{
    for (const FaultNameRow& row : kFaultNames) {
        if (row.fault == fault)
            return row.name;
    }
    return "none";
}

bool parseFault(const QString& name, Fault* fault)
{
    for (const FaultNameRow& row : kFaultNames) {
        if (name == QLatin1String(row.name)) {
            *fault = row.fault;
            return true;
        }
    }
    return false;
}

Simulator::Simulator(ProjectorTiming timing, QObject* parent)
    : QObject(parent)
    , m_projector(timing)
{
}

Simulator::~Simulator()
{
    closeTerminal();
}

bool Simulator::start(QString* error, const QString& linkPath)
{
    if (linkPath.isEmpty()) {
        m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/qpv-sim-XXXXXX"));
        if (!m_dir->isValid()) {
            if (error)
                *error = QStringLiteral("cannot create a temporary folder: ") + m_dir->errorString();
            return false;
        }
        m_linkPath = m_dir->filePath(QStringLiteral("ttyQPV0"));
    } else {
        m_linkPath = linkPath;
    }
    return openTerminal(error);
}

bool Simulator::openTerminal(QString* error)
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        if (error)
            *error = systemError("openpty");
        return false;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);

    const QByteArray link = QFile::encodeName(m_linkPath);
    ::unlink(link.constData());
    if (::symlink(::ptsname(master), link.constData()) != 0) {
        if (error)
            *error = systemError("symlink");
        ::close(master);
        ::close(slave);
        return false;
    }

    m_master = master;
    m_slaveKeepAlive = slave;
    ++m_generation;
    m_input.clear();
    m_output.clear();
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &Simulator::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &Simulator::flushOutput);
    return true;
}

void Simulator::closeTerminal()
{
    if (m_master < 0)
        return;
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    ::close(m_master);
    ::close(m_slaveKeepAlive);
    m_master = -1;
    m_slaveKeepAlive = -1;
    ::unlink(QFile::encodeName(m_linkPath).constData());
    ++m_generation;
}

void Simulator::vanish(std::chrono::milliseconds duration)
{
    closeTerminal();
    if (duration.count() > 0)
        QTimer::singleShot(duration, this, [this] { comeBack(); });
}

bool Simulator::comeBack(QString* error)
{
    if (present())
        return true;
    return openTerminal(error);
}

void Simulator::sendRaw(const QByteArray& bytes)
{
    if (m_master < 0)
        return;
    m_output += bytes;
    flushOutput();
}

void Simulator::flushOutput()
{
    while (!m_output.isEmpty()) {
        const ssize_t written =
            ::write(m_master, m_output.constData(), static_cast<size_t>(m_output.size()));
        if (written >= 0) {
            m_output.remove(0, written);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            m_output.clear(); // the terminal is gone; what it could not take is lost with it
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_output.isEmpty());
}

void Simulator::onReadable()
{
    char buffer[512];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count <= 0) {
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // The terminal hung up; nothing more will come until it is made again.
        m_readNotifier->setEnabled(false);
        return;
    }
    for (ssize_t i = 0; i < count; ++i) {
        if (buffer[i] == '\r') {
            handleFrame(m_input);
            m_input.clear();
            if (m_master < 0)
                return; // the frame made the device vanish
        } else if (m_input.size() < kLongestFrame) {
            m_input += buffer[i];
        }
    }
}

void Simulator::handleFrame(const QByteArray& frame)
{
    ++m_framesReceived;
    emit frameReceived(frame);

    const std::string command = frame.toStdString();
    const QByteArray reply = QByteArray::fromStdString(m_projector.reply(command, Projector::Clock::now()));
    const bool faulty = m_plan.kind != Fault::None && m_plan.every > 0 &&
                        m_framesReceived % m_plan.every == 0;
    if (!faulty) {
        sendRaw(reply);
        return;
    }

    switch (m_plan.kind) {
    case Fault::None:
        sendRaw(reply);
        break;
    case Fault::NoReply:
        break;
    case Fault::Pieces:
        sendRaw(reply.left(reply.size() / 2));
        sendLater(reply.mid(reply.size() / 2), m_plan.pieceGap);
        break;
    case Fault::Late:
        sendLater(reply, m_plan.lateBy);
        break;
    case Fault::Garbage: {
        QByteArray garbage(8 + m_random.bounded(56), '\0');
        for (char& c : garbage)
            c = static_cast<char>(m_random.bounded(256));
        sendRaw(garbage);
        break;
    }
    case Fault::Vanish:
        vanish(m_plan.vanishFor);
        break;
    }
}

void Simulator::sendLater(const QByteArray& bytes, std::chrono::milliseconds delay)
{
    const int generation = m_generation;
    QTimer::singleShot(delay, this, [this, bytes, generation] {
        if (generation == m_generation)
            sendRaw(bytes);
    });
}

} // namespace qpv::sim
