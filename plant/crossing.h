// The pedestrian crossing ("skrzyzowanie"): a road with a queue of cars and a crossing with
// waiting pedestrians, both governed by the controller's lamps.
#pragma once

#include "plant/plant.h"

namespace plant {

/// Car lamps %Q0001 red, %Q0002 yellow, %Q0003 green; pedestrian lamps %Q0004 red, %Q0005
/// green; the pedestrian button %I0001 stays the panel's. A car arrives every 2,000 ms and one
/// passes per 1,000 ms of green (a car that has not passed when green ends starts again); a
/// pedestrian arrives every 5,000 ms and all waiting cross on pedestrian green. Faults, once an
/// episode: "Kolizja" while pedestrian green is on with car green or yellow, "Brak sygnału"
/// when no car lamp has been on for 2,000 ms in RUN.
class Crossing : public Plant {
public:
    static constexpr std::uint64_t kCarPeriodMs = 2000;
    static constexpr std::uint64_t kCarPassMs = 1000;
    static constexpr std::uint64_t kPedestrianPeriodMs = 5000;
    static constexpr std::uint64_t kDarkLimitMs = 2000;

    explicit Crossing(std::uint64_t seed = 0) : Plant(seed) { restart(); }

    [[nodiscard]] Sensors sensors() const override { return {}; }
    [[nodiscard]] std::span<const Terminal> terminals() const override;
    [[nodiscard]] std::span<const std::string_view> quantityNames() const override;

protected:
    void advance(std::uint32_t dtMs, const Terminals& terminals) override;
    void restart() override;
    [[nodiscard]] std::int64_t ownQuantity(std::size_t index) const override;

private:
    std::int64_t m_queue = 0;
    std::int64_t m_waiting = 0;
    std::int64_t m_passed = 0;
    std::int64_t m_crossed = 0;
    std::uint64_t m_nextCarMs = 0;
    std::uint64_t m_nextPedestrianMs = 0;
    std::uint64_t m_passingMs = 0;  // green time the first car in the queue has had
    std::uint64_t m_darkMs = 0;     // RUN time without any car lamp
    bool m_colliding = false;
};

}  // namespace plant
