// The table of machines.
#include "plant/plant_catalogue.h"

#include "plant/conveyor.h"
#include "plant/crossing.h"
#include "plant/garage_door.h"
#include "plant/tank.h"

#include <array>

namespace plant {

namespace {

template <typename Machine>
std::unique_ptr<Plant> make(std::uint64_t seed) {
    return std::make_unique<Machine>(seed);
}

constexpr std::array kPlants = {
    PlantEntry{"zbiornik", "Zbiornik", &make<Tank>},
    PlantEntry{"przenosnik", "Przenośnik taśmowy", &make<Conveyor>},
    PlantEntry{"skrzyzowanie", "Skrzyżowanie z przejściem", &make<Crossing>},
    PlantEntry{"brama", "Brama garażowa", &make<GarageDoor>},
};

std::string joined(std::span<const std::string_view> names) {
    std::string text;
    for (const std::string_view name : names) {
        text += text.empty() ? "" : ", ";
        text += name;
    }
    return text;
}

}  // namespace

std::span<const PlantEntry> plantCatalogue() {
    return kPlants;
}

const PlantEntry* findPlant(std::string_view name) {
    for (const PlantEntry& entry : kPlants) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

std::unique_ptr<Plant> makePlant(std::string_view name, std::uint64_t seed) {
    const PlantEntry* entry = findPlant(name);
    return entry == nullptr ? nullptr : entry->make(seed);
}

std::string plantNames() {
    std::array<std::string_view, kPlants.size()> names{};
    for (std::size_t i = 0; i < kPlants.size(); ++i) {
        names[i] = kPlants[i].name;
    }
    return joined(names);
}

std::string quantityList(const Plant& plant) {
    return joined(plant.quantityNames());
}

}  // namespace plant
