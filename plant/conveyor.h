// The conveyor ("przenosnik"): a belt that carries boxes past a photo-eye into a bin that has to
// be changed when it is full.
#pragma once

#include "plant/plant.h"

#include <array>

namespace plant {

/// A 4,000 mm belt moving 0.5 mm/ms while %Q0001 is on. A 300 mm box is put at the start every
/// 4,000 ms when the start is free, otherwise as soon as it is (the first at the start); its
/// front starts at 0 mm. The photo-eye %I0001 at 3,500 mm is on while a box covers that point.
/// A box whose front reaches 4,000 mm drops into the bin; %I0002 is on from 10 boxes; %Q0002
/// held for 2,000 ms changes the bin for an empty one (once per hold). A box dropping into a
/// full bin is lost: "Przepełniony pojemnik", each box.
class Conveyor : public Plant {
public:
    static constexpr std::int32_t kUmPerMm = 1000;
    static constexpr std::int32_t kBeltUm = 4000 * kUmPerMm;
    static constexpr std::int32_t kBoxUm = 300 * kUmPerMm;
    static constexpr std::int32_t kEyeUm = 3500 * kUmPerMm;
    static constexpr std::int32_t kUmPerMs = 500;
    static constexpr std::uint64_t kBoxPeriodMs = 4000;
    static constexpr int kBinBoxes = 10;
    static constexpr std::uint64_t kBinChangeMs = 2000;
    /// Boxes stand at least a box apart: no more fit on the belt.
    static constexpr std::size_t kMaxBoxes = (kBeltUm + kBoxUm) / kBoxUm + 1;

    explicit Conveyor(std::uint64_t seed = 0);

    [[nodiscard]] Sensors sensors() const override;
    [[nodiscard]] std::span<const Terminal> terminals() const override;
    [[nodiscard]] std::span<const std::string_view> quantityNames() const override;

    /// The fronts of the boxes on the belt in micrometres from the start, farthest first.
    [[nodiscard]] std::span<const std::int32_t> boxFronts() const {
        return {m_boxes.data(), m_boxCount};
    }
    /// The boxes in the bin.
    [[nodiscard]] int binBoxes() const { return m_bin; }
    /// How long %Q0002 has been held towards the next change of the bin, 0 when not held.
    [[nodiscard]] std::uint64_t binChangeMs() const { return m_changeHeldMs; }

protected:
    void advance(std::uint32_t dtMs, const Terminals& terminals) override;
    void restart() override;
    [[nodiscard]] std::int64_t ownQuantity(std::size_t index) const override;

private:
    [[nodiscard]] bool startFree() const;
    void placeBox(std::uint64_t nowMs);
    void settle(std::uint64_t offsetMs, bool changing);

    std::array<std::int32_t, kMaxBoxes> m_boxes{};
    std::size_t m_boxCount = 0;
    std::uint64_t m_nextBoxMs = 0;  // when the next box is due, from the start
    int m_bin = 0;
    std::int64_t m_delivered = 0;
    std::uint64_t m_changeHeldMs = 0;
    bool m_changed = false;  // the bin was changed during the current hold of %Q0002
};

}  // namespace plant
