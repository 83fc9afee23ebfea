#pragma once

#include <QString>

namespace qpv {

// The line always runs with no parity, 8 data bits and 1 stop bit; only its speed is chosen.
struct LineSettings {
    qint32 baud;

    // As the serial control's Settings read: "9600,N,8,1".
    QString text() const { return QStringLiteral("%1,N,8,1").arg(baud); }
    bool operator==(const LineSettings&) const = default;
};

inline constexpr LineSettings k9600{9600};     // at start-up, and the speed option "9600"
inline constexpr LineSettings k115200{115200}; // the speed option "115200"

} // namespace qpv
