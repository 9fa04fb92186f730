// The real millisecond clock of a running simulation: the monotonic clock of the machine.
#pragma once

#include "plc/clock.h"

#include <chrono>

namespace plc {

/// Milliseconds of the machine's monotonic clock, counted from this object's creation and
/// wrapping at 2^32 like the counter the controller expects.
class SteadyClock final : public Clock {
public:
    SteadyClock() : m_origin(std::chrono::steady_clock::now()) {}

    /// The milliseconds since the clock was made, modulo 2^32.
    [[nodiscard]] std::uint32_t now() override;

private:
    std::chrono::steady_clock::time_point m_origin;
};

}  // namespace plc
