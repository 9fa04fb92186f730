// The millisecond clock that drives system bits, timers and the cycle time, and a settable
// clock for tests and the command-line tool.
#pragma once

#include <cstdint>

namespace plc {

/// A free-running millisecond counter that wraps around at 2^32.
class Clock {
public:
    virtual ~Clock() = default;
    /// The current time in milliseconds.
    [[nodiscard]] virtual std::uint32_t now() = 0;
};

/// A clock that moves only when told to.
class FakeClock : public Clock {
public:
    FakeClock() = default;
    /// A clock that starts at `start` milliseconds.
    explicit FakeClock(std::uint32_t start) : m_now(start) {}

    /// The time last set.
    [[nodiscard]] std::uint32_t now() override { return m_now; }
    /// Sets the time to `ms`.
    void set(std::uint32_t ms) { m_now = ms; }
    /// Moves the time on by `ms` (wrapping like the real counter).
    void advance(std::uint32_t ms) { m_now += ms; }

private:
    std::uint32_t m_now = 0;
};

}  // namespace plc
