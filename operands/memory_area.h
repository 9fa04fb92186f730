// The memory areas an address may name: the one table of their names, interpreter area codes,
// sizes and reference units, read by the operand syntax, the translator, the controller and
// the command-line tool alike.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace operands {

/// One memory area.
struct MemoryArea {
    std::string_view name;  ///< as written after "%": "I", "AQ", "SA"
    std::int32_t code;      ///< area code in the interpreter program, -10 .. -18
    std::uint32_t bytes;    ///< size of the controller's area
    bool wordArea;          ///< references count 16-bit words (%AI, %AQ, %R), else bits
};

/// The nine areas of the controller in the order of their codes, then %SA, %SB and %SC, which
/// are names for %S: they share its code and its bytes.
inline constexpr std::array<MemoryArea, 12> kMemoryAreas = {{
    {"I", -10, 64, false},
    {"Q", -11, 64, false},
    {"S", -12, 16, false},
    {"G", -13, 160, false},
    {"T", -14, 32, false},
    {"M", -15, 128, false},
    {"AI", -16, 128, true},
    {"AQ", -17, 64, true},
    {"R", -18, 1024, true},
    {"SA", -12, 16, false},
    {"SB", -12, 16, false},
    {"SC", -12, 16, false},
}};

/// Returns the row of the area named `name` (upper case), or kMemoryAreas.size() for no area.
[[nodiscard]] constexpr std::size_t areaIndex(std::string_view name) {
    std::size_t row = 0;
    while (row < kMemoryAreas.size() && kMemoryAreas[row].name != name) {
        ++row;
    }
    return row;
}

/// Returns the area named `name`, which must be one of the table's names (for constants).
[[nodiscard]] constexpr const MemoryArea& memoryArea(std::string_view name) {
    return kMemoryAreas[areaIndex(name)];
}

/// Returns the area named `name` (upper case), or nullptr.
[[nodiscard]] constexpr const MemoryArea* findArea(std::string_view name) {
    const std::size_t row = areaIndex(name);
    return row < kMemoryAreas.size() ? &kMemoryAreas[row] : nullptr;
}

/// Returns the area with area code `code` (%S for -12), or nullptr for a code no area has.
[[nodiscard]] constexpr const MemoryArea* areaWithCode(std::int32_t code) {
    for (const MemoryArea& area : kMemoryAreas) {
        if (area.code == code) {
            return &area;
        }
    }
    return nullptr;
}

/// Returns the number of references of an area: its bits, or its 16-bit words (%R: 512).
[[nodiscard]] constexpr std::int32_t referenceCount(const MemoryArea& area) {
    return static_cast<std::int32_t>(area.wordArea ? area.bytes / 2 : area.bytes * 8);
}

/// Returns the area an address starts with: "%" followed by an area name, in either case, and a
/// digit (%AI0003 is in %AI, %sb2 in %SB); nullptr for any other text.
[[nodiscard]] const MemoryArea* areaOfAddress(std::string_view address);

/// An address of a reference that exists: its area and its number, 1 .. referenceCount.
struct AreaReference {
    const MemoryArea* area = nullptr;
    std::int32_t number = 0;
};

/// Returns the area and reference number of an address as a cell text holds it: "%", an area
/// name in either case, one to four digits (the normal form of every reference an area has)
/// and nothing else, naming a reference inside the area (%I0001 .. %I0512, %R0001 .. %R0512).
/// Returns nothing for any other text: %X0001, %I0000, %I9999, %I 1, I0001, %I00001.
[[nodiscard]] std::optional<AreaReference> readAddress(std::string_view address);

/// A set of areas: bit i stands for row i of the table.
using AreaSet = std::uint16_t;

/// Returns the set of the areas named (names not in the table are left out).
[[nodiscard]] constexpr AreaSet areaSet(std::initializer_list<std::string_view> names) {
    unsigned set = 0;
    for (const std::string_view name : names) {
        const std::size_t row = areaIndex(name);
        set |= row < kMemoryAreas.size() ? 1u << row : 0u;
    }
    return static_cast<AreaSet>(set);
}

/// Returns the union of two sets.
[[nodiscard]] constexpr AreaSet unite(AreaSet a, AreaSet b) {
    return static_cast<AreaSet>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

/// Returns true when `area`, a row of the table, belongs to `set`.
[[nodiscard]] constexpr bool contains(AreaSet set, const MemoryArea& area) {
    const auto row = static_cast<unsigned>(areaIndex(area.name));
    return (static_cast<unsigned>(set) >> row & 1u) != 0;
}

}  // namespace operands
