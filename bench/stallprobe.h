#pragma once

// How long the window's thread goes without running its event loop: a timer ticking every
// millisecond on that thread, and the system's account of the thread's time.

#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace bench {

// What the probe saw, from its start to its stop.
struct Stall {
    double longestMs = 0;
    double longestCpuMs = 0;    // the window's thread running, in that pause
    double longestQueuedMs = 0; // the thread ready to run, waiting for a core
    double endedAtMs = 0;       // since the episode began
    QString during;
    int ticks = 0;
    double episodeMs = 0;
};

// The calling thread's time on a core and time waiting for one, from the system's scheduler
// statistics; zero where they cannot be read.
class SchedulerTimes {
public:
    SchedulerTimes()
        : m_fd(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC))
    {
    }
    ~SchedulerTimes()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SchedulerTimes(const SchedulerTimes&) = delete;
    SchedulerTimes& operator=(const SchedulerTimes&) = delete;

    struct Reading {
        double runningMs = 0;
        double queuedMs = 0;
    };
    Reading read() const
    {
        char text[96] = {};
        if (m_fd < 0 || ::pread(m_fd, text, sizeof text - 1, 0) <= 0)
            return {};
        char* end = nullptr;
        const unsigned long long running = std::strtoull(text, &end, 10);
        const unsigned long long queued = std::strtoull(end, nullptr, 10);
        return {static_cast<double>(running) / 1e6, static_cast<double>(queued) / 1e6};
    }

private:
    int m_fd;
};

// Ticks every millisecond on the window's thread: the longest time between two ticks is the
// longest the event loop did not run. Of that pause, the time the thread ran is the work done
// on it, and the time it was ready but waited for a core is the system running something
// else; the rest it slept (in the event loop's wait for the tick, or blocked). The phase says
// what the episode was doing.
class StallProbe {
public:
    explicit StallProbe(QString phase)
        : m_phase(std::move(phase))
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.callOnTimeout([this] { tick(); });
        m_start = m_last = std::chrono::steady_clock::now();
        m_timesLast = m_times.read();
        m_timer.start(1);
    }
    void phase(QString phase) { m_phase = std::move(phase); }
    Stall stop()
    {
        tick();
        m_timer.stop();
        m_stall.episodeMs = milliseconds(m_last - m_start);
        return m_stall;
    }

private:
    static double milliseconds(std::chrono::steady_clock::duration d)
    {
        return std::chrono::duration<double, std::milli>(d).count();
    }
    void tick()
    {
        const std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
        const SchedulerTimes::Reading times = m_times.read();
        if (const double pause = milliseconds(now - m_last); pause > m_stall.longestMs) {
            m_stall.longestMs = pause;
            m_stall.longestCpuMs = times.runningMs - m_timesLast.runningMs;
            m_stall.longestQueuedMs = times.queuedMs - m_timesLast.queuedMs;
            m_stall.endedAtMs = milliseconds(now - m_start);
            m_stall.during = m_phase;
        }
        ++m_stall.ticks;
        m_last = now;
        m_timesLast = times;
    }

    QTimer m_timer;
    QString m_phase;
    SchedulerTimes m_times;
    SchedulerTimes::Reading m_timesLast;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_last;
    Stall m_stall;
};

} // namespace bench
