// The one table of machines: a machine is its class and one line here.
#pragma once

#include "plant/plant.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace plant {

/// One machine the simulation can run beside a program.
struct PlantEntry {
    std::string_view name;   ///< as the command line and scenarios name it: "zbiornik"
    std::string_view title;  ///< as a window shows it: "Zbiornik"
    std::unique_ptr<Plant> (*make)(std::uint64_t seed);
};

/// Returns every machine, in the order the panel lists them.
[[nodiscard]] std::span<const PlantEntry> plantCatalogue();
/// Returns the machine named `name` (exactly), or nullptr.
[[nodiscard]] const PlantEntry* findPlant(std::string_view name);
/// Returns a new machine named `name` drawing from `seed`, or nullptr for an unknown name.
[[nodiscard]] std::unique_ptr<Plant> makePlant(std::string_view name, std::uint64_t seed = 0);
/// Returns the known names for a message: "zbiornik, przenosnik, skrzyzowanie, brama".
[[nodiscard]] std::string plantNames();
/// Returns the quantity names of `plant` for a message: "poziom_ml, przelane_ml, awarie".
[[nodiscard]] std::string quantityList(const Plant& plant);

}  // namespace plant
