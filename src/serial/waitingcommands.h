#pragma once

#include "serial/report.h"

#include <QByteArray>

#include <deque>
#include <optional>

namespace qpv {

// The commands a link holds back for a line slower than they come: whole, in order, and no
// more than `kMostBytes` of them, so that a stalled line drops whole commands and counts them.
class WaitingCommands {
public:
    // The most a slow line holds back, about 100,000 commands.
    static constexpr qint64 kMostBytes = 1024 * 1024;

    // Nothing when the command waits its turn; what refused it otherwise.
    std::optional<Cause> admit(const QByteArray& command)
    {
        if (command.size() > kMostBytes)
            return Cause::TooLong;
        if (m_bytes + command.size() > kMostBytes)
            return Cause::Backlog;
        m_commands.push_back(command);
        m_bytes += command.size();
        return std::nullopt;
    }
    bool empty() const { return m_commands.empty(); }
    const QByteArray& front() const { return m_commands.front(); }
    QByteArray takeFront()
    {
        QByteArray command = std::move(m_commands.front());
        m_commands.pop_front();
        m_bytes -= command.size();
        return command;
    }
    // Drops all but the first `kept` (a command the line has begun), and says how many it dropped.
    qint64 dropAllBut(std::size_t kept)
    {
        const auto dropped = qint64(m_commands.size() > kept ? m_commands.size() - kept : 0);
        while (m_commands.size() > kept)
            m_bytes -= m_commands.back().size(), m_commands.pop_back();
        return dropped;
    }
    void clear() { dropAllBut(0); }

private:
    std::deque<QByteArray> m_commands;
    qint64 m_bytes = 0;
};

} // namespace qpv
