#pragma once

#include <QString>

#include <string_view>

namespace qpv {

// A text of the design or of the line (UTF-8) as Qt holds it.
inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace qpv
