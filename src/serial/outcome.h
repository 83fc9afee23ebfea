#pragma once

#include "serial/report.h"

#include <optional>
#include <utility>

namespace qpv {

// What an operation of the line gives back: success, or the report of what failed. Failures
// that come later carry the same report in a signal.
class [[nodiscard]] Outcome {
public:
    Outcome() = default; // success
    static Outcome failure(Report report) { return Outcome(std::move(report)); }

    bool ok() const { return !m_failure; }
    // What failed; only for a failure.
    const Report& report() const { return *m_failure; }

private:
    explicit Outcome(Report report)
        : m_failure(std::move(report))
    {
    }
    std::optional<Report> m_failure;
};

} // namespace qpv
