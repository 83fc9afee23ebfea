#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>

namespace qpv::sim {

struct ProjectorTiming {
    std::chrono::milliseconds countDown{3000};   // standby to on
    std::chrono::milliseconds coolingDown{3000}; // on to standby
};

// A QPV-7100 as seen from its serial port: it answers each command (the text before the
// CR) with the reply text, CR included. Set commands are acknowledged with ACK CR, status
// queries answered from the projector's state, anything else refused with "ERR" CR.
class Projector {
public:
    using Clock = std::chrono::steady_clock;

    enum class Power { Standby, CountDown, On, CoolingDown };

    explicit Projector(ProjectorTiming timing = {});

    std::string reply(std::string_view command, Clock::time_point now);

    Power power(Clock::time_point now);
    // 0: four lamps, 1: two lamps (No1, No4), 2: two lamps (No2, No3).
    void setLampMode(int mode) { m_lampMode = mode; }
    void setPressureReading(int reading) { m_pressureReading = reading; }

private:
    std::string answerQuery(std::string_view command, Power power) const;
    bool apply(std::string_view command, Clock::time_point now);

    ProjectorTiming m_timing;
    Power m_power = Power::Standby;
    Clock::time_point m_phaseStart{};
    int m_lampMode = 0;
    int m_pressureReading = 512;
    bool m_avMute = false;
    std::array<int, 4> m_lampHours = {412, 398, 405, 377};
};

} // namespace qpv::sim
