// The part every machine shares: time, faults, quantities by name, the seeded sequence.
#include "plant/plant.h"

#include <algorithm>
#include <cstdio>

namespace plant {

std::string terminalOperand(const Terminal& terminal) {
    const bool input = terminal.role != TerminalRole::Actuator;
    const char* area = terminal.analog ? (input ? "AI" : "AQ") : (input ? "I" : "Q");
    char text[16];
    std::snprintf(text, sizeof text, "%%%s%04d", area, terminal.index + 1);
    return text;
}

void Plant::step(std::uint32_t dtMs, const Terminals& terminals) {
    // No time, no change: a machine attached at this very tick starts from where it stands.
    if (dtMs == 0) {
        return;
    }
    advance(dtMs, terminals);
    m_timeMs += dtMs;
}

std::int64_t Plant::quantity(std::size_t index) const {
    const std::size_t count = quantityNames().size();
    if (index + 1 == count) {
        return static_cast<std::int64_t>(m_faultCount);
    }
    return index < count ? ownQuantity(index) : 0;
}

std::optional<std::size_t> Plant::quantityIndex(std::string_view name) const {
    const std::span<const std::string_view> names = quantityNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return i;
        }
    }
    return std::nullopt;
}

std::vector<Fault> Plant::faultsSince(std::uint64_t seen) const {
    const std::uint64_t fresh = m_faultCount > seen ? m_faultCount - seen : 0;
    const auto kept = static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(fresh, m_faults.size()));
    return {m_faults.end() - kept, m_faults.end()};
}

void Plant::reset() {
    m_timeMs = 0;
    m_faultCount = 0;
    m_faults.clear();
    m_random = m_seed;
    restart();
}

std::uint16_t Plant::sensorMask() const {
    unsigned mask = 0;
    for (const Terminal& terminal : terminals()) {
        if (terminal.role == TerminalRole::Sensor && !terminal.analog) {
            mask |= 1u << terminal.index;
        }
    }
    return static_cast<std::uint16_t>(mask);
}

unsigned Plant::analogSensorMask() const {
    unsigned mask = 0;
    for (const Terminal& terminal : terminals()) {
        if (terminal.role == TerminalRole::Sensor && terminal.analog) {
            mask |= 1u << terminal.index;
        }
    }
    return mask;
}

void Plant::recordFault(std::uint64_t offsetMs, std::string_view text) {
    ++m_faultCount;
    m_faults.push_back({m_timeMs + offsetMs, text});
    // A program that faults at every tick for days must not fill the memory.
    if (m_faults.size() > kKeptFaults) {
        m_faults.pop_front();
    }
}

std::uint64_t Plant::nextRandom() {
    // splitmix64: a full-period sequence that depends on the seed alone.
    std::uint64_t z = (m_random += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace plant
