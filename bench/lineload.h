#pragma once

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The projector's end of a line under load. A thread writes what the source gives at 11,520
// characters a second (115200 baud, 10 bits a character), what has fallen due every `every`
// (in pieces of at most 16 when that is 1 ms), and times each command the panel sends that
// ends with `watched`, from when clickDue() was called.
class LineLoad {
public:
    // Up to `size` bytes for the stream from `offset` on; an empty result ends the stream.
    using Source = std::function<QByteArray(std::int64_t offset, std::size_t size)>;

    LineLoad(int masterFd, QByteArray watched, Source source,
             std::chrono::milliseconds every = std::chrono::milliseconds(1));
    ~LineLoad();
    LineLoad(const LineLoad&) = delete;
    LineLoad& operator=(const LineLoad&) = delete;

    void clickDue(); // a click is due now: the next watched command answers it
    void stop();

    std::int64_t written() const { return m_written; }
    // CPU time the writing thread used, in seconds, once stopped.
    double cpuSeconds() const { return m_cpuSeconds; }
    std::vector<double> answerMilliseconds() const;

private:
    void run();

    int m_master;
    int m_everyMs;
    QByteArray m_watched;
    Source m_source;
    std::atomic<bool> m_stop{false};
    std::atomic<std::int64_t> m_written{0};
    std::atomic<std::int64_t> m_clickDueNs{0};
    std::atomic<double> m_cpuSeconds{0};
    mutable std::mutex m_mutex;
    std::vector<double> m_answersMs;
    std::thread m_thread;
};
