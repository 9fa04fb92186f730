// The tank ("zbiornik"): 100 l filled by a pump and emptied by a drain valve, with a low and a
// high level switch and an analogue level transmitter.
#pragma once

#include "plant/plant.h"

namespace plant {

/// A 100 l tank, empty at the start. The pump (%Q0001) brings 2 ml/ms, the open drain valve
/// (%Q0002) lets out 1 ml/ms while there is water; the low switch (%I0001) is on from
/// 10,000 ml, the high switch (%I0002) from 90,000 ml, %AI0001 = level × 32000 / 100000.
/// What the pump brings into a full tank is lost: "Przelanie zbiornika", once an episode.
class Tank : public Plant {
public:
    static constexpr std::int64_t kCapacityMl = 100'000;
    static constexpr std::int64_t kLowSwitchMl = 10'000;
    static constexpr std::int64_t kHighSwitchMl = 90'000;
    static constexpr std::int64_t kPumpMlPerMs = 2;
    static constexpr std::int64_t kDrainMlPerMs = 1;
    static constexpr std::int16_t kFullScale = 32000;

    explicit Tank(std::uint64_t seed = 0) : Plant(seed) {}

    [[nodiscard]] Sensors sensors() const override;
    [[nodiscard]] std::span<const Terminal> terminals() const override;
    [[nodiscard]] std::span<const std::string_view> quantityNames() const override;

    /// The water in the tank.
    [[nodiscard]] std::int64_t levelMl() const { return m_levelMl; }
    /// The water lost over the rim since the start.
    [[nodiscard]] std::int64_t spilledMl() const { return m_spilledMl; }

protected:
    void advance(std::uint32_t dtMs, const Terminals& terminals) override;
    void restart() override;
    [[nodiscard]] std::int64_t ownQuantity(std::size_t index) const override;

private:
    std::int64_t m_levelMl = 0;
    std::int64_t m_spilledMl = 0;
    bool m_overflowing = false;  // water was lost in the last millisecond of the last step
};

}  // namespace plant
