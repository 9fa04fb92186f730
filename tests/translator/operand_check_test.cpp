// Operands that name no reference of a known area are refused wherever an element or block
// reads them; every reference that exists keeps translating to its own words. A constant beside
// a block is taken from its type's or its item's lowest value to its highest, and refused
// beyond them.
#include "tests/translator/ladder_helpers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
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

// A block at (0, 1) enabled by %I0001, its other operands and parameters set, and one constant
// (or LEN) put in by `place`.
struct RangeCase {
    std::string name;
    int kind = 0;
    std::function<void(Ladder&)> setup;
    int row = 0;  ///< the cell the constant stands in
    int col = 0;
    std::vector<std::string> accepted;
    std::vector<std::string> refused;
    bool length = false;  ///< the value is the block's LEN, in its own cell
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<RangeCase> rangeCases() {
    return {
        {"AddInt",
         21,
         [](Ladder& l) { l.operand(2, 0, "+00001").operand(1, 2, "%R0001"); },
         1,
         0,
         {"-32768", "+32767"},
         {"-32769", "+32768", "+-5"}},
        {"AddDint",
         21,
         [](Ladder& l) {
             l.field(1, 1, 'T', "DINT").operand(1, 0, "%R0001").operand(1, 2, "%R0003");
         },
         2,
         0,
         {"-2147483648", "+2147483647"},
         {"-2147483649", "+2147483648", "+99999999999"}},
        {"AndWord",
         33,
         [](Ladder& l) { l.operand(2, 0, "+00001").operand(1, 2, "%R0001"); },
         1,
         0,
         {"+00000", "+65535"},
         {"-00001", "+65536"}},
        {"MoveBit",
         45,
         [](Ladder& l) { l.field(1, 1, 'T', "BIT").operand(1, 2, "%M0001"); },
         1,
         0,
         {"+00000", "+00001"},
         {"-00001", "+00002"}},
        {"BlockMoveWord",
         46,
         [](Ladder& l) {
             l.field(1, 1, 'T', "WORD").operand(1, 2, "%R0001");
             for (int row = 1; row <= 7; ++row) {
                 l.operand(row, 0, "+00000");
             }
         },
         3,
         0,
         {"+00000", "+65535"},
         {"-00001", "+65536"}},
        {"SearchByte",
         51,
         [](Ladder& l) {
             l.field(1, 1, 'T', "BYTE")
                 .operand(1, 0, "%R0001")
                 .operand(2, 0, "+00000")
                 .operand(2, 2, "%R0010");
         },
         3,
         0,
         {"+00000", "+00255"},
         {"-00001", "+00256"}},
        {"SearchStartsWithinLen",
         51,
         [](Ladder& l) {
             l.field(2, 1, 'D', "00004")
                 .operand(1, 0, "%R0001")
                 .operand(3, 0, "+00001")
                 .operand(2, 2, "%R0010");
         },
         2,
         0,
         {"+00000", "+00004"},
         {"-00001", "+00005"}},
        {"ToBcd",
         58,
         [](Ladder& l) { l.operand(1, 2, "%R0002"); },
         1,
         0,
         {"+00000", "+09999"},
         {"-00001", "+10000"}},
        {"TimerPreset",
         18,
         [](Ladder& l) { l.field(1, 1, 'T', "0.10s").field(1, 1, 'G', "%R0001"); },
         1,
         0,
         {"+00000", "+32767"},
         {"-00005", "+32768", "+40000", "+99999", "abc", "+-5"}},
        {"CounterPreset",
         19,
         [](Ladder& l) { l.field(2, 1, 'G', "%R0001"); },
         2,
         0,
         {"+00000", "+32767"},
         {"-00001", "+32768", "+99999999999"}},
        {"BitNumberWithinTwoWords",
         41,
         [](Ladder& l) { l.field(2, 1, 'D', "00002").operand(1, 0, "%R0001"); },
         2,
         0,
         {"+00001", "+00032"},
         {"+00000", "+00033"}},
        {"ShiftCountWithinOneWord",
         37,
         [](Ladder& l) { l.operand(1, 0, "%R0001").operand(2, 2, "%R0002"); },
         2,
         0,
         {"+00000", "+00016"},
         {"-00001", "+00017"}},
        {"ArrayIndexWithinLen",
         57,
         [](Ladder& l) {
             l.field(2, 1, 'D', "00004")
                 .operand(1, 0, "%R0001")
                 .operand(3, 0, "+00001")
                 .operand(4, 0, "+00001")
                 .operand(1, 2, "%R0010");
         },
         2,
         0,
         {"+00001", "+00004"},
         {"+00000", "+00005"}},
        {"ArrayCountWithinLen",
         57,
         [](Ladder& l) {
             l.field(2, 1, 'D', "00004")
                 .operand(1, 0, "%R0001")
                 .operand(2, 0, "+00001")
                 .operand(3, 0, "+00001")
                 .operand(1, 2, "%R0010");
         },
         4,
         0,
         {"+00000", "+00004"},
         {"-00001", "+00005"}},
        {"Length",
         39,
         [](Ladder& l) {
             l.operand(1, 0, "%R0001").operand(2, 0, "+00001").operand(1, 2, "%R0002");
         },
         2,
         1,
         {"00001", "32767"},
         {"00000", "-0001", "32768", "abc", ""},
         true},
    };
}

class ConstantRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ConstantRangeTest, IsTakenUpToItsLimitsAndRefusedBeyondThemAtItsCell) {
    const RangeCase& c = GetParam();
    auto ladderWithValue = [&c](const std::string& value) {
        Ladder ladder;
        ladder.contact(0, 0, "%I0001").block(0, 1, c.kind);
        c.setup(ladder);
        if (c.length) {
            ladder.field(c.row, c.col, 'D', value);
        } else {
            ladder.put(c.row, c.col, 0, "#S" + value + "#");
        }
        return ladder;
    };
    for (const std::string& value : c.accepted) {
        const Outcome outcome = translate(ladderWithValue(value));
        EXPECT_EQ(outcome.result, 0) << value << ": error " << outcome.errorCode << " at "
                                     << outcome.errorRow << "," << outcome.errorCol;
    }
    for (const std::string& value : c.refused) {
        const Outcome outcome = translate(ladderWithValue(value));
        EXPECT_EQ(outcome.errorCode, 20) << value;
        EXPECT_EQ(outcome.errorRow, c.row) << value;
        EXPECT_EQ(outcome.errorCol, c.col) << value;
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, ConstantRangeTest, ::testing::ValuesIn(rangeCases()),
                         [](const auto& p) { return p.param.name; });

}  // namespace
}  // namespace translator::testing
