// The power-map cases.
#include "tests/translator/power_cases.h"

namespace translator::testing {

namespace {

constexpr std::uint16_t kI1 = 0x0001;
constexpr std::uint16_t kI2 = 0x0002;
constexpr std::uint16_t kI3 = 0x0004;
constexpr std::uint16_t kI4 = 0x0008;
const std::string kOff = "----------";
const std::string kOn = "##########";

}  // namespace

const std::vector<PowerCase>& powerCases() {
    static const std::vector<PowerCase> cases = {
        {"ContactsInSeriesAndParallel",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wire(0, 1, kDown)
                 .contact(0, 2, "%I0002")
                 .wires(0, 3, 8)
                 .coil(0, "%Q0001")
                 .contact(1, 0, "%I0003")
                 .wire(1, 1, kUp);
         },
         20,
         {{0, {kOff, "--"}},
          {kI1, {"##--------", "-#"}},
          {kI1 | kI2, {kOn, "-#"}},
          {kI3 | kI2, {"-#########", "##"}},
          {kI2, {kOff, "--"}}}},
        {"NormallyClosedContacts",
         [] {
             return Ladder()
                 .contactNot(0, 0, "%I0001")
                 .contact(0, 1, "%I0002")
                 .wires(0, 2, 8)
                 .coil(0, "%Q0001");
         },
         20,
         {{0, {"#---------"}}, {kI2, {kOn}}, {kI1 | kI2, {kOff}}}},
        {"BranchReturnsThroughAVerticalLink",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wire(0, 1, kDown)
                 .contact(0, 2, "%I0004")
                 .wire(0, 3)
                 .wire(0, 4, kDown)
                 .wires(0, 5, 8)
                 .coil(0, "%Q0001")
                 .wire(1, 1, kUp)
                 .contact(1, 2, "%I0002")
                 .contact(1, 3, "%I0003")
                 .wire(1, 4, kUp);
         },
         20,
         {{0, {kOff, ".----"}},
          {kI1 | kI2, {"##--------", ".##--"}},
          {kI1 | kI2 | kI3, {"##--######", ".####"}},
          {kI1 | kI4, {kOn, ".#--#"}}}},
        {"NestedBranches",
         [] {
             // ((%I0001 or %I0003) and %I0002) or %I0004
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wire(0, 1, kDown)
                 .contact(0, 2, "%I0002")
                 .wire(0, 3, kDown)
                 .wires(0, 4, 8)
                 .coil(0, "%Q0001")
                 .contact(1, 0, "%I0003")
                 .wire(1, 1, kUp)
                 .put(1, 3, kBoth)
                 .contact(2, 0, "%I0004")
                 .wires(2, 1, 2)
                 .wire(2, 3, kUp);
         },
         20,
         {{0, {kOff, "--.-", "----"}},
          {kI1 | kI2, {kOn, "-#.#", "---#"}},
          {kI3 | kI2, {"-#########", "##.#", "---#"}},
          {kI4, {"---#######", "--.#", "####"}},
          {kI1, {"##--------", "-#.-", "----"}}}},
        {"RungContinuedOnALaterRow",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 8)
                 .put(0, 9, 8)
                 .put(2, 0, 9)
                 .contact(2, 1, "%I0002")
                 .wires(2, 2, 8)
                 .coil(2, "%Q0001");
         },
         20,
         {{kI2, {kOff, "", kOff}}, {kI1, {kOn, "", "#---------"}}, {kI1 | kI2, {kOn, "", kOn}}}},
        {"RungWithoutContactsIsPoweredFromTheRail",
         [] {
             // The second rung is wired straight to the rail: on whatever the first one did.
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 8)
                 .coil(0, "%Q0001")
                 .wires(1, 0, 8)
                 .coil(1, "%Q0002");
         },
         20,
         {{0, {kOff, kOn}}, {kI1, {kOn, kOn}}, {0, {kOff, kOn}}}},
        {"SealInLatchSetAndReleased",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wire(0, 1, kDown)
                 .contactNot(0, 2, "%I0002")
                 .wires(0, 3, 8)
                 .coil(0, "%Q0001")
                 .contact(1, 0, "%Q0001")
                 .wire(1, 1, kUp);
         },
         20,
         {{0, {kOff, "--"}},
          {kI1, {kOn, "-#"}},
          {0, {"-#########", "##"}},
          {kI2, {"-#--------", "##"}},
          {0, {kOff, "--"}}}},
        {"ContactShowsTheValueAsReadBeforeALaterRungWritesIt",
         [] {
             return Ladder()
                 .contact(0, 0, "%M0001")
                 .wires(0, 1, 8)
                 .coil(0, "%Q0001")
                 .contact(1, 0, "%I0001")
                 .wires(1, 1, 8)
                 .coil(1, "%M0001");
         },
         20,
         {{0, {kOff, kOff}},
          {kI1, {kOff, kOn}},
          {kI1, {kOn, kOn}},
          {0, {kOn, kOff}},
          {0, {kOff, kOff}}}},
        {"SetAndResetCoils",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 8)
                 .coil(0, "%Q0001", 13)
                 .contact(1, 0, "%I0002")
                 .wires(1, 1, 8)
                 .coil(1, "%Q0001", 14)
                 .contact(2, 0, "%Q0001")
                 .wires(2, 1, 8)
                 .coil(2, "%Q0002");
         },
         20,
         {{0, {kOff, kOff, kOff}},
          {kI1, {kOn, kOff, kOn}},
          {0, {kOff, kOff, kOn}},
          {kI2, {kOff, kOn, kOff}}}},
        {"TimerBeforeAndAfterItsPreset",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .block(0, 1, 18)
                 .field(1, 1, 'T', "0.10s")
                 .field(1, 1, 'G', "%R0001")
                 .operand(1, 0, "+00003")
                 .wires(0, 2, 8)
                 .coil(0, "%Q0001");
         },
         100,
         {{0, {kOff, ".-"}},
          {kI1, {"#---------", ".-"}},
          {kI1, {"#---------", ".-"}},
          {kI1, {"#---------", ".-"}},
          {kI1, {kOn, ".#"}},
          {0, {kOff, ".-"}}}},
        {"AddWithItsOperands",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wire(0, 1)
                 .block(0, 2, 21)
                 .operand(1, 1, "%R0003")
                 .operand(2, 1, "+00005")
                 .operand(1, 3, "%R0003")
                 .wires(0, 3, 8)
                 .coil(0, "%Q0001");
         },
         20,
         {{0, {kOff, "..-", "..-"}},
          {kI1, {kOn, "..#", "..#"}},
          {kI1, {kOn, "..#", "..#"}},
          {0, {kOff, "..-", "..-"}}}},
        {"McrZoneSwitchedOff",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 8)
                 .coil(0, "Z1", 71)
                 .contact(1, 0, "%I0002")
                 .wires(1, 1, 8)
                 .coil(1, "%Q0001")
                 .put(2, 0, 72, "#AZ1#")
                 .contact(3, 0, "%I0002")
                 .wires(3, 1, 8)
                 .coil(3, "%Q0002");
         },
         20,
         {{kI2, {kOff, kOn, "#", kOn}},
          {kI1 | kI2, {kOn, kOff, "#", kOn}},
          {kI2, {kOff, kOn, "#", kOn}}}},
        {"JumpOverRungs",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 8)
                 .coil(0, "L1", 73)
                 .contact(1, 0, "%I0002")
                 .wires(1, 1, 8)
                 .coil(1, "%Q0001")
                 .put(2, 0, 74, "#AL1#")
                 .contact(3, 0, "%I0002")
                 .wires(3, 1, 8)
                 .coil(3, "%Q0002");
         },
         20,
         {{kI2, {kOff, kOn, "#", kOn}}, {kI1 | kI2, {kOn, kOff, "#", kOn}}}},
    };
    return cases;
}

std::vector<std::string> expectedLines(const PowerTick& tick, int rows) {
    std::vector<std::string> lines;
    for (int row = 0; row < rows; ++row) {
        std::string cells = row < static_cast<int>(tick.rows.size())
                                ? tick.rows[static_cast<std::size_t>(row)]
                                : std::string();
        cells.resize(10, '.');
        lines.push_back("  w" + std::to_string(row + 1) + ": " + cells);
    }
    return lines;
}

}  // namespace translator::testing
