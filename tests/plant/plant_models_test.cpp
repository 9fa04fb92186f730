// The four machines on their own, driven by terminals set in the test: their numbers to the
// millisecond, each fault and how often it is recorded, and that the same run gives the same
// states whatever the tick length.
#include "plant/conveyor.h"
#include "plant/crossing.h"
#include "plant/garage_door.h"
#include "plant/plant_catalogue.h"
#include "plant/tank.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace plant {
namespace {

Terminals outputs(std::uint16_t q, bool running = true, std::uint16_t inputs = 0) {
    Terminals terminals;
    terminals.outputs = q;
    terminals.inputs = inputs;
    terminals.running = running;
    return terminals;
}

void run(Plant& plant, std::uint64_t ms, const Terminals& terminals, std::uint32_t tick = 20) {
    for (std::uint64_t done = 0; done < ms; done += tick) {
        plant.step(static_cast<std::uint32_t>(std::min<std::uint64_t>(tick, ms - done)), terminals);
    }
}

// Milliseconds, stepped one at a time, until `holds` is true; 0 when it already is.
std::uint64_t msUntil(Plant& plant, const Terminals& terminals, const std::function<bool()>& holds,
                      std::uint64_t limit = 1'000'000) {
    std::uint64_t ms = 0;
    while (!holds() && ms < limit) {
        plant.step(1, terminals);
        ++ms;
    }
    return ms;
}

bool input(const Plant& plant, int index) {
    return ((plant.sensors().inputs >> index) & 1u) != 0;
}

std::int64_t quantity(const Plant& plant, std::string_view name) {
    return plant.quantity(plant.quantityIndex(name).value());
}

std::vector<std::string> faultLines(const Plant& plant) {
    std::vector<std::string> lines;
    for (const Fault& fault : plant.faults()) {
        lines.push_back(std::to_string(fault.timeMs) + ' ' + std::string(fault.text));
    }
    return lines;
}

constexpr std::uint16_t kPump = 1;
constexpr std::uint16_t kDrain = 2;

TEST(TankTest, SwitchesAndTransmitterFollowTheLevelToTheMillisecond) {
    Tank tank;
    EXPECT_EQ(tank.sensors().inputs, 0);
    EXPECT_EQ(msUntil(tank, outputs(kPump), [&] { return input(tank, 0); }), 5'000u);
    EXPECT_EQ(tank.sensors().analogInputs[0], 3200);  // 10 000 ml of 100 000
    EXPECT_EQ(msUntil(tank, outputs(kPump), [&] { return input(tank, 1); }), 40'000u);
    EXPECT_EQ(tank.timeMs(), 45'000u);  // empty to the high switch, drain shut
    EXPECT_EQ(tank.sensors().analogInputs[0], 28800);

    // Pumping with the drain open gains 1 ml/ms; draining alone loses 1 ml/ms down to empty.
    Tank both;
    EXPECT_EQ(msUntil(both, outputs(kPump | kDrain), [&] { return input(both, 1); }), 90'000u);
    EXPECT_EQ(msUntil(both, outputs(kDrain), [&] { return !input(both, 0); }), 80'001u);
    run(both, 20'000, outputs(kDrain));
    EXPECT_EQ(both.levelMl(), 0);
    EXPECT_EQ(both.sensors().analogInputs[0], 0);
    EXPECT_EQ(both.faultCount(), 0u);
}

TEST(TankTest, OverflowLosesTheSurplusAndIsRecordedOnceAnEpisode) {
    Tank tank;
    run(tank, 60'000, outputs(kPump));
    EXPECT_EQ(tank.levelMl(), Tank::kCapacityMl);
    EXPECT_EQ(tank.spilledMl(), 20'000);
    EXPECT_EQ(tank.sensors().analogInputs[0], 32000);
    // Full at 50 000 ms exactly; the first millisecond after it spills.
    EXPECT_EQ(faultLines(tank), std::vector<std::string>{"50001 Przelanie zbiornika"});

    // The drain cannot keep up with the pump: still one episode.
    run(tank, 1'000, outputs(kPump | kDrain));
    EXPECT_EQ(tank.faultCount(), 1u);
    EXPECT_EQ(tank.spilledMl(), 21'000);
    // The pump stops for a moment: the next spill is a new episode.
    run(tank, 20, outputs(0));
    run(tank, 40, outputs(kPump));
    EXPECT_EQ(faultLines(tank),
              (std::vector<std::string>{"50001 Przelanie zbiornika", "61021 Przelanie zbiornika"}));
    EXPECT_EQ(quantity(tank, "przelane_ml"), 21'080);
    EXPECT_EQ(quantity(tank, "awarie"), 2);

    tank.reset();
    EXPECT_EQ(tank.levelMl(), 0);
    EXPECT_EQ(tank.spilledMl(), 0);
    EXPECT_EQ(tank.faultCount(), 0u);
    EXPECT_EQ(tank.timeMs(), 0u);
}

constexpr std::uint16_t kBelt = 1;
constexpr std::uint16_t kChangeBin = 2;

TEST(ConveyorTest, ABoxPassesThePhotoEyeAndDropsIntoTheBin) {
    Conveyor conveyor;
    ASSERT_EQ(conveyor.boxFronts().size(), 1u);  // the first box stands at the start
    EXPECT_EQ(msUntil(conveyor, outputs(kBelt), [&] { return input(conveyor, 0); }), 7'000u);
    // 300 mm at 0.5 mm/ms cover the eye for 600 ms.
    EXPECT_EQ(msUntil(conveyor, outputs(kBelt), [&] { return !input(conveyor, 0); }), 600u);
    EXPECT_EQ(msUntil(conveyor, outputs(kBelt), [&] { return conveyor.binBoxes() == 1; }), 400u);
    EXPECT_EQ(conveyor.timeMs(), 8'000u);
    // A box every 4 s while the belt runs: boxes 2 and 3 are on the belt.
    EXPECT_EQ(conveyor.boxFronts().size(), 2u);
    EXPECT_EQ(quantity(conveyor, "dostarczone"), 1);
}

TEST(ConveyorTest, ABoxWaitsForTheStartToClear) {
    Conveyor conveyor;
    run(conveyor, 10'000, outputs(0));
    EXPECT_EQ(conveyor.boxFronts().size(), 1u);
    // Once the belt moves, the waiting box goes on as soon as the first has left the start.
    EXPECT_EQ(msUntil(conveyor, outputs(kBelt), [&] { return conveyor.boxFronts().size() == 2; }),
              600u);
    run(conveyor, 3'999, outputs(kBelt));
    EXPECT_EQ(conveyor.boxFronts().size(), 2u);
    run(conveyor, 1, outputs(kBelt));
    EXPECT_EQ(conveyor.boxFronts().size(), 3u);
}

TEST(ConveyorTest, AFullBinLosesEveryBoxUntilItIsChanged) {
    Conveyor conveyor;
    // Boxes at 0, 4000, ... ms drop at 8000, 12000, ...: the tenth fills the bin at 44 000.
    run(conveyor, 44'000, outputs(kBelt));
    EXPECT_EQ(conveyor.binBoxes(), 10);
    EXPECT_TRUE(input(conveyor, 1));
    run(conveyor, 8'000, outputs(kBelt));
    EXPECT_EQ(faultLines(conveyor), (std::vector<std::string>{"48000 Przepełniony pojemnik",
                                                              "52000 Przepełniony pojemnik"}));
    EXPECT_EQ(quantity(conveyor, "dostarczone"), 10);

    // The change needs 2000 ms of %Q0002 held; a shorter hold starts again.
    run(conveyor, 1'980, outputs(kChangeBin));
    run(conveyor, 20, outputs(0));
    EXPECT_EQ(conveyor.binBoxes(), 10);
    EXPECT_EQ(msUntil(conveyor, outputs(kChangeBin), [&] { return conveyor.binBoxes() == 0; }),
              2'000u);
    EXPECT_FALSE(input(conveyor, 1));
    // Held on, it changes nothing more: the new bin fills.
    run(conveyor, 8'000, outputs(kBelt | kChangeBin));
    EXPECT_EQ(conveyor.binBoxes(), 2);
    EXPECT_EQ(quantity(conveyor, "w_pojemniku"), 2);
    EXPECT_EQ(conveyor.faultCount(), 2u);
}

constexpr std::uint16_t kCarRed = 1;
constexpr std::uint16_t kCarYellow = 2;
constexpr std::uint16_t kCarGreen = 4;
constexpr std::uint16_t kWalkRed = 8;
constexpr std::uint16_t kWalkGreen = 16;

TEST(CrossingTest, CarsPassOnGreenAndPedestriansCrossOnTheirGreen) {
    Crossing crossing;
    EXPECT_EQ(msUntil(crossing, outputs(kCarRed | kWalkRed),
                      [&] { return quantity(crossing, "kolejka_aut") == 1; }),
              2'000u);
    run(crossing, 8'000, outputs(kCarRed | kWalkRed));
    EXPECT_EQ(quantity(crossing, "kolejka_aut"), 5);
    EXPECT_EQ(quantity(crossing, "czekajacy_piesi"), 2);
    // Green: one car a second while the queue lasts, however the ticks fall.
    run(crossing, 999, outputs(kCarGreen | kWalkRed), 7);
    EXPECT_EQ(quantity(crossing, "przejechalo"), 0);
    run(crossing, 1, outputs(kCarGreen | kWalkRed));
    EXPECT_EQ(quantity(crossing, "przejechalo"), 1);
    // A car that had not passed when green ended starts again on the next green.
    run(crossing, 500, outputs(kCarGreen | kWalkRed));
    run(crossing, 20, outputs(kCarYellow | kWalkRed));
    run(crossing, 999, outputs(kCarGreen | kWalkRed));
    EXPECT_EQ(quantity(crossing, "przejechalo"), 1);
    run(crossing, 1, outputs(kCarRed | kWalkGreen));
    EXPECT_EQ(quantity(crossing, "przeszlo"), 2);
    EXPECT_EQ(quantity(crossing, "czekajacy_piesi"), 0);
    EXPECT_EQ(crossing.faultCount(), 0u);
}

TEST(CrossingTest, CollisionAndDarkLampsAreRecordedOnceAnEpisode) {
    Crossing crossing;
    run(crossing, 100, outputs(kCarRed | kWalkRed));
    run(crossing, 100, outputs(kCarYellow | kWalkGreen));
    run(crossing, 100, outputs(kCarRed | kWalkGreen));
    run(crossing, 100, outputs(kCarGreen | kWalkGreen));
    // Dark lamps count in RUN only, and are a fault at 2000 ms.
    run(crossing, 5'000, outputs(0, false));
    run(crossing, 1'999, outputs(kWalkRed), 1);
    run(crossing, 1, outputs(kWalkRed));
    run(crossing, 3'000, outputs(kWalkRed));
    run(crossing, 20, outputs(kCarYellow));
    run(crossing, 2'500, outputs(0));
    EXPECT_EQ(faultLines(crossing),
              (std::vector<std::string>{"100 Kolizja", "300 Kolizja", "7400 Brak sygnału",
                                        "12420 Brak sygnału"}));
}

constexpr std::uint16_t kUp = 1;
constexpr std::uint16_t kDown = 2;
constexpr std::uint16_t kObstacle = 8;

TEST(GarageDoorTest, TheDoorRunsBetweenItsLimitsInTenSeconds) {
    GarageDoor door;
    EXPECT_EQ(door.sensors().inputs, 2);  // closed
    EXPECT_EQ(msUntil(door, outputs(kUp), [&] { return input(door, 0); }), 10'000u);
    EXPECT_EQ(door.sensors().inputs, 1);
    EXPECT_EQ(msUntil(door, outputs(kDown), [&] { return input(door, 1); }), 10'000u);
    EXPECT_EQ(door.faultCount(), 0u);
}

TEST(GarageDoorTest, ShortOverloadAndCrushAreRecordedOnceAnEpisode) {
    GarageDoor door;
    run(door, 200, outputs(kUp | kDown));
    EXPECT_EQ(door.position(), 0);   // shorted motors do not move the door
    run(door, 500, outputs(kDown));  // against the bottom limit: 500 ms are allowed
    EXPECT_EQ(door.faultCount(), 1u);
    run(door, 1, outputs(kDown));
    run(door, 1'000, outputs(kDown));
    run(door, 2'500, outputs(kUp));
    // Down from 2500 with the beam broken: the door passes below 2000 at its 501st ms.
    run(door, 1'000, outputs(kDown, true, kObstacle));
    EXPECT_EQ(door.position(), 1'500);
    run(door, 2'100, outputs(kDown, true, kObstacle));
    EXPECT_EQ(faultLines(door),
              (std::vector<std::string>{"0 Zwarcie silnika", "701 Przeciążenie",
                                        "4702 Przygniecenie", "7202 Przeciążenie"}));
}

// Terminals that change every 700 ms (a multiple of every tick length tried), drawn from a
// fixed sequence: the pump, belt, lamps, motors, the obstacle and RUN in every combination.
std::vector<Terminals> schedule(std::size_t segments) {
    std::vector<Terminals> result;
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < segments; ++i) {
        state = state * 1103515245u + 12345u;
        const auto bits = static_cast<std::uint16_t>(state >> 16);
        // Mostly one motor or lamp at a time, so that the machines travel far.
        result.push_back(
            outputs(static_cast<std::uint16_t>((bits & (bits >> 5) & 0x1F) | (bits & 1)),
                    (bits & 0x400) == 0, static_cast<std::uint16_t>(bits & 0x8)));
    }
    return result;
}

// Every quantity, the sensors and the faults at each common time.
std::vector<std::string> trace(Plant& plant, const std::vector<Terminals>& terminals,
                               std::uint32_t tick) {
    std::vector<std::string> lines;
    for (const Terminals& segment : terminals) {
        run(plant, 700, segment, tick);
        std::string line = std::to_string(plant.timeMs());
        for (std::size_t i = 0; i < plant.quantityNames().size(); ++i) {
            line += ' ' + std::to_string(plant.quantity(i));
        }
        const Sensors sensors = plant.sensors();
        line += " I=" + std::to_string(sensors.inputs) +
                " AI=" + std::to_string(sensors.analogInputs[0]);
        lines.push_back(line);
    }
    for (const std::string& fault : faultLines(plant)) {
        lines.push_back(fault);
    }
    return lines;
}

TEST(PlantTest, EveryTickLengthGivesTheSameStatesAtCommonTimes) {
    const std::vector<Terminals> terminals = schedule(600);
    for (const PlantEntry& entry : plantCatalogue()) {
        const std::unique_ptr<Plant> reference = entry.make(7);
        const std::vector<std::string> expected = trace(*reference, terminals, 1);
        ASSERT_GT(reference->faultCount(), 0u) << entry.name;  // the schedule reaches the faults
        for (const std::uint32_t tick : {7u, 20u, 100u, 700u}) {
            const std::unique_ptr<Plant> plant = entry.make(7);
            EXPECT_EQ(trace(*plant, terminals, tick), expected) << entry.name << " tick " << tick;
        }
        // A reset machine runs as a new one.
        reference->reset();
        EXPECT_EQ(trace(*reference, terminals, 20), expected) << entry.name;
    }
}

TEST(PlantTest, TheCatalogueWiresEachMachineAsDescribed) {
    struct Case {
        const char* name;
        std::uint16_t sensors;
        unsigned analog;
        const char* quantities;
        const char* terminals;
    };
    const Case cases[] = {
        {"zbiornik", 0x3, 1, "poziom_ml, przelane_ml, awarie",
         "%Q0001 %Q0002 %I0001 %I0002 %AI0001"},
        {"przenosnik", 0x3, 0, "w_pojemniku, dostarczone, awarie", "%Q0001 %Q0002 %I0001 %I0002"},
        {"skrzyzowanie", 0x0, 0, "kolejka_aut, czekajacy_piesi, przejechalo, przeszlo, awarie",
         "%Q0001 %Q0002 %Q0003 %Q0004 %Q0005 %I0001"},
        {"brama", 0x3, 0, "pozycja, awarie", "%Q0001 %Q0002 %I0001 %I0002 %I0003 %I0004"},
    };
    ASSERT_EQ(plantCatalogue().size(), std::size(cases));
    for (const Case& c : cases) {
        const std::unique_ptr<Plant> plant = makePlant(c.name);
        ASSERT_NE(plant, nullptr) << c.name;
        EXPECT_EQ(plant->sensorMask(), c.sensors) << c.name;
        EXPECT_EQ(plant->analogSensorMask(), c.analog) << c.name;
        EXPECT_EQ(quantityList(*plant), c.quantities);
        std::string terminals;
        for (const Terminal& terminal : plant->terminals()) {
            terminals += (terminals.empty() ? "" : " ") + terminalOperand(terminal);
        }
        EXPECT_EQ(terminals, c.terminals);
    }
    EXPECT_EQ(makePlant("Zbiornik"), nullptr);
    EXPECT_EQ(plantNames(), "zbiornik, przenosnik, skrzyzowanie, brama");
}

}  // namespace
}  // namespace plant
