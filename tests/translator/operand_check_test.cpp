// Operands that name no reference of a known area are refused wherever an element or block
// reads them; every reference that exists keeps translating to its own words.
#include "tests/translator/ladder_helpers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace translator::testing {
namespace {

// Where an operand stands, and what refusing it there reports.
struct Place {
    std::string name;
    int error = 0;
    int row = 0;
    int col = 0;
};

const std::vector<Place> kPlaces = {
    {"Contact", 4, 0, 0},      {"Coil", 4, 0, 9},    {"BlockInput", 20, 1, 0},
    {"BlockOutput", 26, 0, 1}, {"Preset", 20, 2, 0}, {"Register", 24, 2, 1},
};

// A rung holding `operand` (a cell text value, without its frame) at `place`.
Ladder ladderWith(const std::string& place, const std::string& operand) {
    const std::string text = "#A" + operand + "#";
    Ladder ladder;
    if (place == "Contact" || place == "Coil") {
        ladder.put(0, 0, 1, place == "Contact" ? text : "#A%I0001#").wires(0, 1, 8);
        return ladder.put(0, 9, 3, place == "Coil" ? text : "#A%Q0001#");
    }
    ladder.contact(0, 0, "%I0001");
    if (place == "BlockInput" || place == "BlockOutput") {
        // ADD INT: I1 left of row 1, I2 left of row 2, Q right of row 1.
        ladder.block(0, 1, 21).operand(2, 0, "+00005");
        ladder.put(1, 0, 0, place == "BlockInput" ? text : "#A%R0001#");
        return ladder.put(1, 2, 0, place == "BlockOutput" ? text : "#A%R0003#");
    }
    // UPCTR: reset left of row 1, register and preset on row 2.
    ladder.block(0, 1, 19).contact(1, 0, "%I0002");
    ladder.field(2, 1, 'G', place == "Register" ? operand : "%R0001");
    return ladder.put(2, 0, 0, place == "Preset" ? text : "#S+00010#");
}

struct InvalidCase {
    Place place;
    std::string operand;
};

std::string caseName(const InvalidCase& c) {
    std::string name = c.place.name + "_";
    for (const char ch : c.operand) {
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    }
    return name;
}

void PrintTo(const InvalidCase& c, std::ostream* os) {
    *os << caseName(c);
}

std::vector<InvalidCase> invalidCases() {
    std::vector<InvalidCase> cases;
    for (const Place& place : kPlaces) {
        for (const std::string operand :
             {"%X0001", "%I0000", "%I9999", "%I 1", "I0001", "%I00001", "%R0513", "Koniec"}) {
            // A register is read as the entry line reads what is typed: blanks and leading
            // zeros are allowed there.
            if (place.name != "Register" || (operand != "%I 1" && operand != "%I00001")) {
                cases.push_back({place, operand});
            }
        }
    }
    // The register's three words must all exist.
    cases.push_back({kPlaces[5], "%R0511"});
    cases.push_back({kPlaces[5], "%M1024"});
    return cases;
}

class InvalidOperandTest : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidOperandTest, IsRefusedAtItsCell) {
    const InvalidCase& c = GetParam();
    const Outcome outcome = translate(ladderWith(c.place.name, c.operand));
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.errorCode, c.place.error);
    EXPECT_EQ(outcome.errorRow, c.place.row);
    EXPECT_EQ(outcome.errorCol, c.place.col);
}

INSTANTIATE_TEST_SUITE_P(Operands, InvalidOperandTest, ::testing::ValuesIn(invalidCases()),
                         [](const auto& p) { return caseName(p.param); });

struct EdgeCase {
    std::string place;
    std::string operand;
    std::vector<std::int32_t> words;  // the operand's words where they stand
    std::size_t at = 0;               // index of the first of them
};

void PrintTo(const EdgeCase& c, std::ostream* os) {
    *os << c.place << ' ' << c.operand;
}

class EdgeReferenceTest : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeReferenceTest, TranslatesToItsOwnWords) {
    const EdgeCase& c = GetParam();
    const Outcome outcome = translate(ladderWith(c.place, c.operand));
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    ASSERT_GE(outcome.words.size(), c.at + c.words.size());
    const std::vector<std::int32_t> words(
        outcome.words.begin() + static_cast<std::ptrdiff_t>(c.at),
        outcome.words.begin() + static_cast<std::ptrdiff_t>(c.at + c.words.size()));
    EXPECT_EQ(words, c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Operands, EdgeReferenceTest,
    ::testing::Values(EdgeCase{"Contact", "%I0512", {-10, 63, 7}, 1},
                      EdgeCase{"Contact", "%i0003", {-10, 0, 2}, 1},
                      EdgeCase{"Contact", "%G1280", {-13, 159, 7}, 1},
                      EdgeCase{"Contact", "%SC0128", {-12, 15, 7}, 1},
                      EdgeCase{"Contact", "%R0512", {-18, 1022, 0}, 1},
                      EdgeCase{"Contact", "%R7", {-18, 12, 0}, 1},
                      EdgeCase{"Coil", "%M1024", {-15, 127, 7}, 6},
                      EdgeCase{"Coil", "%T0256", {-14, 31, 7}, 6},
                      EdgeCase{"BlockInput", "%AI0064", {-16, 126, 0}, 8},
                      EdgeCase{"BlockOutput", "%AQ0032", {-17, 62, 0}, 13},
                      // UPCTR: header and enable (7), reset input (5), then the register.
                      EdgeCase{
                          "Register", "%R0510", {-18, 1018, 0, -18, 1020, 0, -18, 1022, 0}, 12}));

}  // namespace
}  // namespace translator::testing
