// Where each area lies in the controller's one byte array, looked up by area code in O(1) so
// that every access can be checked without slowing the scan down.
#pragma once

#include "plc/program.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace plc {

// Areas in kind-index order: %I %Q %M %S %G %T %AI %AQ %R.
inline constexpr std::array<std::uint32_t, 9> kKindSize{64, 64, 128, 16, 160, 32, 128, 64, 1024};
inline constexpr std::array<std::uint32_t, 9> kKindBase{0, 64, 128, 256, 272, 432, 464, 592, 656};
inline constexpr std::uint32_t kMemorySize = 1680;

// Slot s = -10 - area code, so slots 0..8 are the codes -10..-18 and slot 9 stands for every
// other code: an area of size 0 at which no access fits.
inline constexpr std::uint32_t kInvalidSlot = 9;
inline constexpr std::array<std::uint32_t, 10> kSlotSize{64,  64,  16, 160,  32,
                                                         128, 128, 64, 1024, 0};
inline constexpr std::array<std::uint32_t, 10> kSlotBase{0,   64,  256, 272, 432,
                                                         128, 464, 592, 656, 0};
inline constexpr std::array<int, 10> kSlotKind{0, 1, 3, 4, 5, 2, 6, 7, 8, -1};

/// The slot of an area code; kInvalidSlot for a code the controller has no area for.
[[nodiscard]] inline std::uint32_t slotOf(ProgramWord areaCode) {
    // Unsigned arithmetic: any code, however large, maps without overflow.
    const std::uint32_t slot =
        static_cast<std::uint32_t>(kAreaI) - static_cast<std::uint32_t>(areaCode);
    return slot < kInvalidSlot ? slot : kInvalidSlot;
}

/// True if `bytes` bytes from `byteOffset` lie inside the area of `slot`.
[[nodiscard]] inline bool fits(std::uint32_t slot, ProgramWord byteOffset, std::uint64_t bytes) {
    return byteOffset >= 0 && static_cast<std::uint64_t>(byteOffset) + bytes <= kSlotSize[slot];
}

}  // namespace plc
