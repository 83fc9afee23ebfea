#include "lineload.h"

#include "measure.h"

#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr double kCharactersPerSecond = 11520;

std::int64_t nowNs()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

} // namespace

LineLoad::LineLoad(int masterFd, QByteArray watched, Source source, std::chrono::milliseconds every)
    : m_master(masterFd)
    , m_everyMs(static_cast<int>(every.count()))
    , m_watched(std::move(watched))
    , m_source(std::move(source))
    , m_thread([this] { run(); })
{
}

LineLoad::~LineLoad()
{
    stop();
}

void LineLoad::clickDue()
{
    m_clickDueNs = nowNs();
}

void LineLoad::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::vector<double> LineLoad::answerMilliseconds() const
{
    std::lock_guard lock(m_mutex);
    return m_answersMs;
}

void LineLoad::run()
{
    const auto start = std::chrono::steady_clock::now();
    QByteArray fromPanel;
    bool ended = false;
    while (!m_stop && !ended) {
        // Write what is due by now. A full terminal means the panel is behind: the rest
        // waits for the next round, from where the writing stopped.
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const auto due = static_cast<std::int64_t>(elapsed * kCharactersPerSecond);
        while (m_written < due) {
            const QByteArray piece =
                m_source(m_written, static_cast<std::size_t>(std::min<std::int64_t>(
                                        m_everyMs > 1 ? 1 << 16 : 16, due - m_written)));
            if (piece.isEmpty()) {
                ended = true;
                break;
            }
            const ssize_t n =
                ::write(m_master, piece.constData(), static_cast<size_t>(piece.size()));
            if (n <= 0)
                break;
            m_written += n;
        }
        // Watch for the panel's commands while the next piece falls due.
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, m_everyMs) <= 0)
            continue;
        char buffer[256];
        const ssize_t r = ::read(m_master, buffer, sizeof buffer);
        if (r > 0)
            fromPanel.append(buffer, r);
        if (fromPanel.contains(m_watched) && m_clickDueNs.load() != 0) {
            const auto answered = static_cast<double>(nowNs() - m_clickDueNs.exchange(0)) / 1e6;
            std::lock_guard lock(m_mutex);
            m_answersMs.push_back(answered);
            fromPanel.clear();
        }
    }
    m_cpuSeconds = threadCpuSeconds();
}
