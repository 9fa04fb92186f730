// Every block kind of the catalogue through every layer, in each data type it takes: placed with
// its template, its operands filled as its checks allow, translated; the decoder must read the
// emitted words as exactly one block and find no fault in them, and the controller must run it
// enabled and disabled and stop right after its last word.
#include "document/block_description.h"
#include "document/editing.h"
#include "document/element_catalogue.h"
#include "plc/clock.h"
#include "plc/plc.h"
#include "plc/program.h"
#include "translator/translation_driver.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace translator {
namespace {

using document::BlockDescription;
using document::BlockItem;
using document::ItemKind;

struct BlockCase {
    const BlockDescription* block = nullptr;
    const document::TypeForm* form = nullptr;  // nullptr: the template's own type, if any
};

std::string caseName(const BlockCase& c) {
    std::string name;
    for (const char ch : c.block->placed.name) {
        if (ch != ' ') {
            name += ch;
        }
    }
    if (c.form != nullptr) {
        name += "_" + std::string(operands::dataTypeWord(c.form->type));
    }
    return name;
}

void PrintTo(const BlockCase& c, std::ostream* os) {
    *os << caseName(c);
}

// Every block kind that has a button or can come from a file, once per data type it takes.
std::vector<BlockCase> everyBlock() {
    std::vector<BlockCase> cases;
    for (const document::ElementEntry& entry : document::elementCatalogue()) {
        if (entry.placement != document::Placement::Block) {
            continue;
        }
        const std::optional<document::BlockKind> kind = document::blockKindOf(entry.code);
        if (!kind) {
            cases.push_back({});  // a block button without a description fails below
            continue;
        }
        const BlockDescription& block = document::describe(*kind);
        if (block.typing.forms.empty()) {
            cases.push_back({&block, nullptr});
        }
        for (const document::TypeForm& form : block.typing.forms) {
            cases.push_back({&block, &form});
        }
    }
    return cases;
}

// An operand the check accepts: a register where it takes one, else %SA0001, else a constant.
std::string operandFor(document::OperandCheck check, int register_) {
    const document::CheckRule rule = document::checkRule(check);
    if (operands::contains(rule.areas, operands::memoryArea("R"))) {
        return "#A%R" + std::to_string(1000 + register_).substr(1) + "#";
    }
    if (operands::contains(rule.areas, operands::memoryArea("SA"))) {
        return "#A%SA0001#";
    }
    return "#S+00002#";
}

// The block at (0, 1), enabled by %I0001, every item given what it needs.
document::LadderDocument ladderFor(const BlockCase& c) {
    constexpr int kTop = 0;
    constexpr int kCol = 1;
    document::LadderDocument ladder;
    ladder.SetCellCode(kTop, 0, document::ElementKind::ContactNO);
    ladder.SetCellText(kTop, 0, "#A%I0001#");
    document::PlaceBlock(ladder, c.block->kind, kTop, kCol);
    if (c.form != nullptr) {
        ladder.SetBlockField(kTop + 1, kCol, 'T', operands::dataTypeWord(c.form->type));
    }
    int register_ = 10;
    for (const BlockItem& item : c.block->items) {
        const int row = kTop + item.row;
        const int beside = item.side == document::Side::Left ? kCol - 1 : kCol + 1;
        switch (item.kind) {
            case ItemKind::PowerFlow:
                ladder.SetCellCode(row, 0, document::ElementKind::ContactNO);
                ladder.SetCellText(row, 0, "#A%I0002#");
                break;
            case ItemKind::TimeBase: ladder.SetBlockField(row, kCol, 'T', "0.10s"); break;
            case ItemKind::Register: ladder.SetBlockField(row, kCol, 'G', "%R0200"); break;
            case ItemKind::Preset: ladder.SetCellText(row, beside, "#S+00005#"); break;
            case ItemKind::Operand:
            case ItemKind::OptionalOperand:
                ladder.SetCellText(row, beside,
                                   operandFor(document::checkOf(item, c.form), register_++));
                break;
            case ItemKind::TimerIndex:
            case ItemKind::RegisterAgain:
            case ItemKind::DataType:
            case ItemKind::Length:
            case ItemKind::FollowingWords:
            case ItemKind::CallName:
            case ItemKind::Output: break;
        }
    }
    return ladder;
}

class EveryBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(EveryBlockTest, TranslatesDecodesAndRunsAsExactlyItsOwnWords) {
    const BlockCase& c = GetParam();
    ASSERT_NE(c.block, nullptr) << "a block in the catalogue without a description";
    const TranslationResult result = translateDocument(ladderFor(c), {});
    ASSERT_TRUE(result.ok()) << result.report;

    // One block instruction, then the end word.
    const std::vector<plc::ProgramWord> words(result.program.words().begin(),
                                              result.program.words().end());
    ASSERT_GE(words.size(), 3u);
    EXPECT_EQ(words[0], plc::kBlock);
    EXPECT_EQ(words[1], document::kindNumber(c.block->kind));
    const std::size_t blockWords = words.size() - 1;

    const std::vector<plc::DecodedInstruction> decoded = plc::decodeProgram(words);
    ASSERT_EQ(decoded.size(), 2u) << plc::formatProgram(words);
    EXPECT_EQ(decoded[0].count, blockWords) << plc::formatProgram(words);
    EXPECT_EQ(decoded[0].text.rfind(std::string(c.block->programName), 0), 0u) << decoded[0].text;
    EXPECT_EQ(decoded[1].text, "END");
    // What the translator writes passes the checker that guards programs read from text.
    const plc::ProgramCheck check = plc::checkProgram(result.program);
    EXPECT_EQ(check.fault, plc::ProgramFault::None)
        << "word " << check.index << ": " << plc::programFaultText(check.fault);

    for (const std::uint16_t inputs : {0b00, 0b01, 0b11}) {
        plc::FakeClock clock(1000);
        plc::Plc plc(clock);
        plc.setProgram(result.program);
        ASSERT_TRUE(plc.allocate());
        for (int scan = 0; scan < 3; ++scan) {
            plc.setInputWord(inputs);
            plc.runProgram();
            EXPECT_EQ(plc.programCounter(), blockWords) << "inputs " << inputs;
            EXPECT_FALSE(plc.watchdogFault());
            clock.advance(250);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryBlockTest, ::testing::ValuesIn(everyBlock()),
                         [](const ::testing::TestParamInfo<BlockCase>& param) {
                             return param.param.block == nullptr ? "Undescribed"
                                                                 : caseName(param.param);
                         });

TEST(EveryBlockTest, CatalogueAndDescriptionsNameTheSameKinds) {
    std::set<int> placed;
    for (const document::ElementEntry& entry : document::elementCatalogue()) {
        if (entry.placement == document::Placement::Block) {
            placed.insert(entry.code);
        }
    }
    std::set<int> described;
    for (const BlockDescription& block : document::blockDescriptions()) {
        described.insert(document::kindNumber(block.kind));
    }
    EXPECT_EQ(placed, described);
}

}  // namespace
}  // namespace translator
