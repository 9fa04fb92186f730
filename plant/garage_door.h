// The garage door ("brama"): a door driven up and down by two motors between two limit
// switches, with a remote and a photo-eye across the opening left to the operator.
#pragma once

#include "plant/plant.h"

namespace plant {

/// Position 0 (closed) .. 10,000 (open), 1 per ms; closed at the start. %Q0001 motor up,
/// %Q0002 motor down; %I0001 top limit (on at 10,000), %I0002 bottom limit (on at 0); the
/// remote %I0003 and the obstacle photo-eye %I0004 (on: beam broken) stay the panel's.
/// Faults, once an episode: both motors on, "Zwarcie silnika" (the door stands); one motor
/// driving against its limit for more than 500 ms, "Przeciążenie"; the door moving down below
/// 2,000 while %I0004 is on, "Przygniecenie".
class GarageDoor : public Plant {
public:
    static constexpr std::int64_t kOpen = 10'000;
    static constexpr std::uint64_t kOverloadMs = 500;
    static constexpr std::int64_t kCrushBelow = 2'000;

    explicit GarageDoor(std::uint64_t seed = 0) : Plant(seed) {}

    [[nodiscard]] Sensors sensors() const override;
    [[nodiscard]] std::span<const Terminal> terminals() const override;
    [[nodiscard]] std::span<const std::string_view> quantityNames() const override;

    /// 0 closed .. 10,000 open.
    [[nodiscard]] std::int64_t position() const { return m_position; }

protected:
    void advance(std::uint32_t dtMs, const Terminals& terminals) override;
    void restart() override;
    [[nodiscard]] std::int64_t ownQuantity(std::size_t) const override { return m_position; }

private:
    std::int64_t m_position = 0;
    std::uint64_t m_againstLimitMs = 0;  // how long one motor has pushed against its limit
    bool m_shorted = false;
    bool m_crushing = false;
};

}  // namespace plant
