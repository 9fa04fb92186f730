// The remarks on programs that translate: blocks whose working registers overlap, a block output
// written into another block's registers, a contact or coil on a word, a jump back; each at its
// cell, in cell order, and none where the spans only touch.
#include "tests/translator/ladder_helpers.h"

#include "document/cp1250.h"
#include "translator/translation_driver.h"

#include <gtest/gtest.h>

#include <functional>

namespace translator::testing {
namespace {

struct WarningCase {
    std::string name;
    std::function<Ladder()> build;
    std::vector<std::string> lines;  ///< the report lines, in order
};

void PrintTo(const WarningCase& c, std::ostream* os) {
    *os << c.name;
}

// Cell texts are code page 1250; the remark shows the label in UTF-8.
const std::string kLoopLabel = document::utf8ToCp1250("#APĘTLA#");

// A TMR at (row, 1) on `reg`, enabled by %I0001, preset 50, driving a coil on %Q000<row+1>.
Ladder& timer(Ladder& l, int row, const std::string& reg) {
    return l.contact(row, 0, "%I0001")
        .block(row, 1, 18)
        .field(row + 1, 1, 'T', "0.10s")
        .field(row + 1, 1, 'G', reg)
        .operand(row + 1, 0, "+00050")
        .wires(row, 2, 8)
        .coil(row, "%Q000" + std::to_string(row + 1));
}

// A MOVE INT at (row, 1) of +00001 to `q`, enabled by %I0002.
Ladder& move(Ladder& l, int row, const std::string& q, int length = 1) {
    return l.contact(row, 0, "%I0002")
        .block(row, 1, 45)
        .field(row + 1, 1, 'D', "0000" + std::to_string(length))
        .operand(row + 1, 0, "+00001")
        .operand(row + 1, 2, q);
}

std::vector<WarningCase> warningCases() {
    return {
        {"TimersWhoseRegistersOverlap",
         [] {
             Ladder l(12);
             timer(l, 0, "%R0001");
             return timer(l, 3, "%R0002");
         },
         {"Uwaga (w4k2): Rejestry %R0002..%R0004 bloku TMR pokrywają się z rejestrami "
          "%R0001..%R0003 bloku TMR w w1k2"}},
        {"TimersSideBySide",
         [] {
             Ladder l(12);
             timer(l, 0, "%R0001");
             return timer(l, 3, "%R0004");
         },
         {}},
        {"CounterBesideATimerInMarkers",
         [] {
             Ladder l(12);
             timer(l, 0, "%M0001");
             return l.contact(3, 0, "%I0002")
                 .block(3, 1, 19)
                 .field(5, 1, 'G', "%M0033")
                 .operand(5, 0, "+00003");
         },
         {"Uwaga (w4k2): Rejestry %M0033..%M0080 bloku UPCTR pokrywają się z rejestrami "
          "%M0001..%M0048 bloku TMR w w1k2"}},
        {"MoveIntoATimersLastRegister",
         [] {
             Ladder l(12);
             timer(l, 0, "%R0001");
             return move(l, 3, "%R0003");
         },
         {"Uwaga (w5k3): Wyjście Q bloku MOVE (%R0003) zapisuje rejestry %R0001..%R0003 bloku "
          "TMR w w1k2"}},
        {"MoveOfTwoWordsReachesTheRegisters",
         [] {
             Ladder l(12);
             timer(l, 0, "%R0003");
             return move(l, 3, "%R0002", 2);
         },
         {"Uwaga (w5k3): Wyjście Q bloku MOVE (%R0002) zapisuje rejestry %R0003..%R0005 bloku "
          "TMR w w1k2"}},
        {"MoveJustAfterTheRegisters",
         [] {
             Ladder l(12);
             timer(l, 0, "%R0001");
             return move(l, 3, "%R0004");
         },
         {}},
        {"BlockMoveWritesSevenWords",
         [] {
             Ladder l(14);
             timer(l, 0, "%R0016");
             l.contact(3, 0, "%I0002").block(3, 1, 46).operand(4, 2, "%R0010");
             for (int row = 4; row <= 10; ++row) {
                 l.operand(row, 0, "+00000");
             }
             return l;
         },
         {"Uwaga (w5k3): Wyjście Q bloku BLKMV (%R0010) zapisuje rejestry %R0016..%R0018 bloku "
          "TMR w w1k2"}},
        {"BlockClearOverATimersRegisters",
         [] {
             Ladder l(12);
             timer(l, 0, "%R0004");
             return l.contact(3, 0, "%I0002")
                 .block(3, 1, 47)
                 .field(4, 1, 'D', "00004")
                 .operand(4, 0, "%R0001");
         },
         {"Uwaga (w5k1): Operand IN bloku BLKCLR (%R0001) zapisuje rejestry %R0004..%R0006 "
          "bloku TMR w w1k2"}},
        {"ContactAndCoilOnWords",
         [] {
             return Ladder()
                 .contact(0, 0, "%R0001")
                 .contact(0, 1, "%I0001")
                 .wires(0, 2, 8)
                 .coil(0, "%AQ0002")
                 .contact(1, 0, "%AI0003")
                 .wires(1, 1, 8)
                 .coil(1, "%Q0001");
         },
         {"Uwaga (w1k1): Styk na operandzie słowa %R0001 sprawdza tylko jego bit 0",
          "Uwaga (w1k10): Cewka na operandzie słowa %AQ0002 ustawia tylko jego bit 0",
          "Uwaga (w2k1): Styk na operandzie słowa %AI0003 sprawdza tylko jego bit 0"}},
        {"JumpBackToALabelAbove",
         [] {
             return Ladder()
                 .put(0, 0, 74, kLoopLabel)
                 .contact(1, 0, "%I0001")
                 .wires(1, 1, 8)
                 .put(1, 9, 73, kLoopLabel);
         },
         {"Uwaga (w2k10): JUMP PĘTLA skacze wstecz do etykiety w w1k1: ta część programu "
          "powtarza się w jednym cyklu, dopóki warunek skoku jest spełniony"}},
        {"JumpForwardToALabelBelow",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 8)
                 .put(0, 9, 73, "#AL1#")
                 .put(1, 0, 74, "#AL1#");
         },
         {}},
    };
}

class WarningTest : public ::testing::TestWithParam<WarningCase> {};

TEST_P(WarningTest, ListsEveryRemarkAtItsCell) {
    const WarningCase& c = GetParam();
    const TranslationResult result = translateDocument(c.build().document());
    ASSERT_TRUE(result.ok()) << result.report;
    std::vector<std::string> lines;
    for (const TranslationWarning& warning : result.warnings) {
        lines.push_back(warningReportText(warning));
    }
    EXPECT_EQ(lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(Programs, WarningTest, ::testing::ValuesIn(warningCases()),
                         [](const auto& p) { return p.param.name; });

}  // namespace
}  // namespace translator::testing
