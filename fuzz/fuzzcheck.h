#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qpv::fuzz {

// A broken invariant stops the run at once, so libFuzzer keeps the input that broke it.
inline void check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace qpv::fuzz
