// Where each area lies in the controller's one byte array, looked up by area code in O(1) so
// that every access can be checked without slowing the scan down. Sizes, codes and units come
// from the one area table, "operands/memory_area.h".
#pragma once

#include "operands/memory_area.h"
#include "plc/plc.h"
#include "plc/program.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace plc {

/// The row of the area table a kind stands for.
[[nodiscard]] constexpr const operands::MemoryArea& areaOf(AreaKind kind) {
    switch (kind) {
        case AreaKind::I: return operands::memoryArea("I");
        case AreaKind::Q: return operands::memoryArea("Q");
        case AreaKind::M: return operands::memoryArea("M");
        case AreaKind::S: return operands::memoryArea("S");
        case AreaKind::G: return operands::memoryArea("G");
        case AreaKind::T: return operands::memoryArea("T");
        case AreaKind::AI: return operands::memoryArea("AI");
        case AreaKind::AQ: return operands::memoryArea("AQ");
        case AreaKind::R: return operands::memoryArea("R");
    }
    return operands::kMemoryAreas.front();
}

// Areas in kind-index order: %I %Q %M %S %G %T %AI %AQ %R, one after the other.
inline constexpr std::array<std::uint32_t, kAreaKindCount> kKindSize = [] {
    std::array<std::uint32_t, kAreaKindCount> sizes{};
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        sizes[static_cast<std::size_t>(kind)] = areaOf(static_cast<AreaKind>(kind)).bytes;
    }
    return sizes;
}();
inline constexpr std::array<std::uint32_t, kAreaKindCount> kKindBase = [] {
    std::array<std::uint32_t, kAreaKindCount> bases{};
    for (std::size_t kind = 1; kind < bases.size(); ++kind) {
        bases[kind] = bases[kind - 1] + kKindSize[kind - 1];
    }
    return bases;
}();
inline constexpr std::uint32_t kMemorySize =
    kKindBase[kAreaKindCount - 1] + kKindSize[kAreaKindCount - 1];
static_assert(kMemorySize == Plc::kMemoryBytes);

// Slot s = -10 - area code, so slots 0..8 are the codes -10..-18 and slot 9 stands for every
// other code: an area of size 0 at which no access fits.
inline constexpr std::uint32_t kInvalidSlot = kAreaKindCount;
inline constexpr std::array<int, kAreaKindCount + 1> kSlotKind = [] {
    std::array<int, kAreaKindCount + 1> kinds{};
    kinds[kInvalidSlot] = -1;
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        const auto slot =
            static_cast<std::size_t>(kAreaI - areaOf(static_cast<AreaKind>(kind)).code);
        kinds[slot] = kind;
    }
    return kinds;
}();
inline constexpr std::array<std::uint32_t, kAreaKindCount + 1> kSlotSize = [] {
    std::array<std::uint32_t, kAreaKindCount + 1> sizes{};
    for (std::size_t slot = 0; slot < kInvalidSlot; ++slot) {
        sizes[slot] = kKindSize[static_cast<std::size_t>(kSlotKind[slot])];
    }
    return sizes;
}();
inline constexpr std::array<std::uint32_t, kAreaKindCount + 1> kSlotBase = [] {
    std::array<std::uint32_t, kAreaKindCount + 1> bases{};
    for (std::size_t slot = 0; slot < kInvalidSlot; ++slot) {
        bases[slot] = kKindBase[static_cast<std::size_t>(kSlotKind[slot])];
    }
    return bases;
}();

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
