// The cross-reference of a hand-made program: every place of every operand, the order, the
// double-coil and never-read marks, and the search that accepts the entry line's forms.
#include "document/cross_reference.h"

#include "document/editing.h"
#include "document/element_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace document {
namespace {

void element(LadderDocument& document, int code, int row, int col, const std::string& text) {
    if (col == kColumns - 1) {
        PlaceCoil(document, code, row, 1);
    } else {
        PlaceContact(document, code, row, col);
    }
    document.SetCellText(row, col, text);
}

// One line per operand: its places as "row,col role access [block label]" and its marks.
std::vector<std::string> lines(const CrossReference& reference) {
    static const char* const kRoles[] = {"styk", "cewka", "we", "wy", "rejestr"};
    static const char* const kAccess[] = {"r", "w", "rw"};
    std::vector<std::string> result;
    for (const OperandReference& operand : reference.operands()) {
        std::string line = operand.operand + ":";
        for (const OperandUse& use : operand.uses) {
            line += " " + std::to_string(use.place.row) + "," + std::to_string(use.place.col) +
                    " " + kRoles[static_cast<int>(use.role)] + " " +
                    kAccess[static_cast<int>(use.access)];
            if (!use.blockName.empty()) {
                line += " " + std::string(use.blockName) + "@" + std::to_string(use.block.row) +
                        "," + std::to_string(use.block.col) + " " + std::string(use.label);
            }
        }
        line += operand.multipleCoils ? " !cewki" : "";
        line += operand.neverRead ? " !nieczytany" : "";
        result.push_back(line);
    }
    return result;
}

TEST(CrossReferenceTest, ListsEveryPlaceOfEveryOperandWithItsMarks) {
    LadderDocument document;
    element(document, ElementKind::ContactNO, 0, 0, "#A%I0001#");
    element(document, ElementKind::Coil, 0, 9, "#A%Q0001#");
    element(document, ElementKind::ContactNC, 1, 0, "#A%Q0001##1opis#");
    element(document, ElementKind::Coil, 1, 9, "#A%M0012#");
    element(document, ElementKind::ContactNO, 2, 0, "#A%I0002#");
    element(document, ElementKind::CoilNot, 2, 9, "#A%M0012#");
    element(document, ElementKind::CoilS, 3, 9, "#A%M0003#");
    element(document, ElementKind::CoilR, 4, 9, "#A%M0003#");
    // A file may hold an operand in any accepted form.
    element(document, ElementKind::ContactNO, 5, 0, "#A3m#");
    element(document, ElementKind::Jump, 5, 9, "#ASKOK#");
    PlaceBlock(document, BlockKind::Add, 6, 2);
    document.SetCellText(7, 1, "#A%R0001#");
    document.SetCellText(8, 1, "#S+00005#");
    document.SetCellText(7, 3, "#A%R0003#");
    PlaceBlock(document, BlockKind::Ondtr, 10, 4);
    document.SetBlockField(12, 4, 'G', "%r10");
    document.SetCellText(12, 3, "#A%R0001#");
    // A text beside a block where no item takes an operand is not used by the program.
    document.SetCellText(6, 1, "#A%R0099#");

    EXPECT_EQ(lines(CrossReference(document)),
              (std::vector<std::string>{
                  "%I0001: 0,0 styk r",
                  "%I0002: 2,0 styk r",
                  "%Q0001: 0,9 cewka w 1,0 styk r",
                  "%M0003: 3,9 cewka w 4,9 cewka w 5,0 styk r",
                  "%M0012: 1,9 cewka w 2,9 cewka w !cewki !nieczytany",
                  "%R0001: 7,1 we r ADD@6,2 I1 12,3 we r ONDTR@10,4 PV",
                  "%R0003: 7,3 wy w ADD@6,2 Q",
                  "%R0010: 12,4 rejestr rw ONDTR@10,4 ",
                  "%R0011: 12,4 rejestr rw ONDTR@10,4 ",
                  "%R0012: 12,4 rejestr rw ONDTR@10,4 ",
              }));
}

TEST(CrossReferenceTest, TimersCountersAndSequencersListTheirThreeRegisterWords) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Tmr, 0, 2);
    document.SetBlockField(1, 2, 'G', "%R0001");
    PlaceBlock(document, BlockKind::Tmr, 3, 2);
    document.SetBlockField(4, 2, 'G', "%r2");
    // In a bit area the words stand two bytes apart: byte 1, 3 and 5.
    PlaceBlock(document, BlockKind::UpCtr, 6, 2);
    document.SetBlockField(8, 2, 'G', "%M0009");
    // Words past the area's end are no references.
    PlaceBlock(document, BlockKind::BitSeq, 10, 2);
    document.SetBlockField(14, 2, 'G', "%R0511");
    EXPECT_EQ(lines(CrossReference(document)),
              (std::vector<std::string>{
                  "%M0009: 8,2 rejestr rw UPCTR@6,2 ",
                  "%M0025: 8,2 rejestr rw UPCTR@6,2 ",
                  "%M0041: 8,2 rejestr rw UPCTR@6,2 ",
                  "%R0001: 1,2 rejestr rw TMR@0,2 ",
                  "%R0002: 1,2 rejestr rw TMR@0,2  4,2 rejestr rw TMR@3,2 ",
                  "%R0003: 1,2 rejestr rw TMR@0,2  4,2 rejestr rw TMR@3,2 ",
                  "%R0004: 4,2 rejestr rw TMR@3,2 ",
                  "%R0511: 14,2 rejestr rw BITSEQ@10,2 ",
                  "%R0512: 14,2 rejestr rw BITSEQ@10,2 ",
              }));
}

TEST(CrossReferenceTest, BlocksThatWriteBesideTheirInputsWriteThere) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::BlkClr, 0, 2);
    document.SetCellText(1, 1, "#A%R0020#");
    PlaceBlock(document, BlockKind::Shfr, 3, 2);
    document.SetCellText(5, 1, "#A%M0001#");
    document.SetCellText(6, 1, "#A%M0017#");
    EXPECT_EQ(
        lines(CrossReference(document)),
        (std::vector<std::string>{"%M0001: 5,1 we r SHFR@3,2 IN", "%M0017: 6,1 wy rw SHFR@3,2 ST",
                                  "%R0020: 1,1 wy w BLKCLR@0,2 IN"}));
}

TEST(CrossReferenceTest, SetAndResetCoilsOfOneOutputAreNoDoubleCoilButAPlainCoilBesideThemIs) {
    LadderDocument document;
    element(document, ElementKind::CoilS, 0, 9, "#A%Q0002#");
    element(document, ElementKind::CoilR, 1, 9, "#A%Q0002#");
    EXPECT_FALSE(CrossReference(document).operands().front().multipleCoils);
    element(document, ElementKind::Coil, 2, 9, "#A%Q0002#");
    EXPECT_TRUE(CrossReference(document).operands().front().multipleCoils);
}

struct SearchCase {
    const char* operand;
    const char* query;
    bool found;
};

class CrossReferenceSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(CrossReferenceSearchTest, FindsTheAddressInAnyFormOrByItsText) {
    EXPECT_EQ(CrossReference::matches(GetParam().operand, GetParam().query), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CrossReferenceSearchTest,
    ::testing::Values(SearchCase{"%M0012", "%m12", true}, SearchCase{"%M0012", " %M 12 ", true},
                      SearchCase{"%M0012", "12m", true}, SearchCase{"%M0012", "m12", true},
                      SearchCase{"%M0012", "%m1", false}, SearchCase{"%M0012", "%I12", false},
                      SearchCase{"%AQ0012", "%q12", false}, SearchCase{"%M0012", "%m", true},
                      SearchCase{"%AQ0012", "%m", false}, SearchCase{"%R0012", "001", true},
                      SearchCase{"%SA0001", "sa", true}, SearchCase{"%R0012", "", true},
                      SearchCase{"%R0012", "  ", true}));

}  // namespace
}  // namespace document
