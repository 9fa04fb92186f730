// The reader of program words: where every instruction kind and every block layout ends, what
// its parts are, and that the engine's scan reads the same instructions at the same words.
#include "plc/instruction_reader.h"

#include "tests/plc/program_builder.h"

#include "document/block_description.h"
#include "plc/power_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace plc::test {
namespace {

std::string kindName(InstructionKind kind) {
    switch (kind) {
        case InstructionKind::Contact: return "Contact";
        case InstructionKind::Stack: return "Stack";
        case InstructionKind::Coil: return "Coil";
        case InstructionKind::Block: return "Block";
        case InstructionKind::Control: return "Control";
        case InstructionKind::End: return "End";
        case InstructionKind::Unknown: return "Unknown";
    }
    return "?";
}

std::string itemName(LayoutItem item) {
    switch (item) {
        case LayoutItem::Input: return "Input";
        case LayoutItem::Operand: return "Operand";
        case LayoutItem::Address: return "Address";
        case LayoutItem::Index: return "Index";
        case LayoutItem::TimeBase: return "TimeBase";
        case LayoutItem::Type: return "Type";
        case LayoutItem::TypeOrEnd: return "TypeOrEnd";
        case LayoutItem::Length: return "Length";
        case LayoutItem::Optional: return "Optional";
    }
    return "?";
}

std::string range(std::size_t first, std::size_t end) {
    return std::to_string(first) + "-" + std::to_string(end);
}

// The instructions of `words` as "Kind first-end", contacts and coils with "@operand", block
// parts in brackets as "Item first-end" (a repeated part with "+repeat"), inputs in braces as
// "{first-end: steps}" ("cut" when an end marker cuts one short).
std::string outline(const std::vector<ProgramWord>& words) {
    const InstructionReader reader(words);
    std::string text;
    auto steps = [&](const Input& input) {
        std::string out = "{" + range(input.first, input.end) + (input.cutShort ? " cut:" : ":");
        for (const Instruction& step : reader.steps(input)) {
            out += " " + kindName(step.kind) + " " + range(step.first, step.end);
        }
        return out + "}";
    };
    for (const Instruction& in : reader.instructions()) {
        text += (text.empty() ? "" : "; ") + kindName(in.kind) + " " + range(in.first, in.end);
        if (in.kind == InstructionKind::Contact || in.kind == InstructionKind::Coil) {
            text += " @" + std::to_string(in.operand);
        }
        if (in.kind == InstructionKind::Block) {
            text += " " + steps(reader.enableInput(in)) + " [";
            std::string parts;
            for (const BlockPart& part : reader.parts(in)) {
                parts += (parts.empty() ? "" : " ") + itemName(part.item) + " " +
                         range(part.first, part.end) +
                         (part.repeat > 0 ? "+" + std::to_string(part.repeat) : "");
                if (part.item == LayoutItem::Input) {
                    parts += " " + steps(reader.inputAt(part.first));
                }
            }
            text += parts + "]";
        }
    }
    return text;
}

struct OutlineCase {
    std::string name;
    std::vector<ProgramWord> words;
    std::string expected;
};

void PrintTo(const OutlineCase& c, std::ostream* os) {
    *os << c.name;
}

class InstructionReaderTest : public ::testing::TestWithParam<OutlineCase> {};

TEST_P(InstructionReaderTest, ReadsEachInstructionToItsEnd) {
    EXPECT_EQ(outline(GetParam().words), GetParam().expected);
}

constexpr ProgramWord kAdd = document::kindNumber(BlockKind::Add);
constexpr ProgramWord kMove = document::kindNumber(BlockKind::Move);
constexpr ProgramWord kOndtr = document::kindNumber(BlockKind::Ondtr);
constexpr ProgramWord kShl = document::kindNumber(BlockKind::Shl);

INSTANTIATE_TEST_SUITE_P(
    Programs, InstructionReaderTest,
    ::testing::Values(
        OutlineCase{"LogicCoilsControlsAndEnd",
                    {-1, -10, 0,  0,  -2, -10, 0, 1, -5, -4, -15, 0,  0,  -6, -7, 3,   -11,
                     0,  0,   -7, 16, 1,  -11, 0, 1, -9, 73, 2,   17, -9, 74, 2,  -255},
                    "Contact 0-4 @1; Contact 4-8 @5; Stack 8-9; Contact 9-13 @10; Stack 13-14; "
                    "Coil 14-19 @16; Coil 19-25 @22; Control 25-28; Unknown 28-29; "
                    "Control 29-32; End 32-33"},
        // A JUMP may lead past an END in the middle: what follows is read too.
        OutlineCase{"PastAnEndInTheMiddle",
                    {-255, -7, 99, -11, 0, 0, -255},
                    "End 0-1; Coil 1-6 @3; End 6-7"},
        OutlineCase{"CutOffByTheEndOfTheWords", {-1, -10}, "Contact 0-4 @1"},
        OutlineCase{"BlockWithConstantAndAddresses",
                    {-8, kAdd, -1, -10, 0, 0, -100, -43, -18, 0, 0, -25, 5, -18, 4, 0, -255},
                    "Block 0-16 {2-7: Contact 2-6} [Type 7-8 Operand 8-11 Operand 11-13 "
                    "Address 13-16]; End 16-17"},
        // Inside an input a coil code is one stray word, and an address word that reads -100
        // does not close it.
        OutlineCase{"InputWithStrayWordAndMarkerAsAddress",
                    {-8, 99, -7, -1, -100, 0, 0, -5, -100, -255},
                    "Block 0-9 {2-9: Unknown 2-3 Contact 3-7 Stack 7-8} []; End 9-10"},
        // The end marker that cuts the input short is read as the block's type, and what
        // follows from past the words: the block runs past the program's end.
        OutlineCase{"InputCutShortByAnEnd",
                    {-8, kAdd, -1, -10, 0, 0, -255},
                    "Block 0-16 {2-6 cut: Contact 2-6} [Type 6-7 Operand 7-10 Operand 10-13 "
                    "Address 13-16]"},
        OutlineCase{"UnknownBlockHasOnlyItsEnable",
                    {-8, 99, -100, -43, -255},
                    "Block 0-3 {2-3:} []; Unknown 3-4; End 4-5"},
        OutlineCase{"RegisterWordsAndInnerInput",
                    {-8,  kOndtr, -100, -1,  -10, 0,   1, -100, 0,   -46, -18, 0,   0, -18, 2,   0,
                     -18, 4,      0,    -25, 5,   -18, 0, 0,    -18, 2,   0,   -18, 4, 0,   -255},
                    "Block 0-30 {2-3:} [Input 3-8 {3-8: Contact 3-7} Index 8-9 TimeBase 9-10 "
                    "Address 10-13 Address 13-16+1 Address 16-19+2 Operand 19-21 Address 21-24 "
                    "Address 24-27+1 Address 27-30+2]; End 30-31"},
        OutlineCase{"LengthAndAlwaysPresentType",
                    {-8, kShl, -100, -42, -26, 2, -18, 0, 0, -25, 1, -100, -18, 8, 0, -255},
                    "Block 0-15 {2-3:} [Type 3-4 Length 4-6 Address 6-9 Operand 9-11 Input 11-12 "
                    "{11-12:} Address 12-15]; End 15-16"},
        OutlineCase{"TypeTheBlockDoesNotTakeEndsIt",
                    {-8, kMove, -100, -45, -26, 1, -255},
                    "Block 0-3 {2-3:} []; Unknown 3-4; Unknown 4-5; Unknown 5-6; End 6-7"},
        OutlineCase{"Empty", {}, ""}),
    [](const auto& p) { return p.param.name; });

// One instance of every block kind for each way its layout may be written: every data type it
// takes and one it does not, operands as constants and as addresses, an optional operand present
// and absent. Each block is followed by a coil, so that a block read too short or too long
// shows at the next instruction.
struct EveryLayout {
    Builder program;
    struct Expected {
        std::size_t first = 0;
        std::size_t end = 0;
        std::vector<std::pair<LayoutItem, std::size_t>> parts;  // item, first word
    };
    std::vector<Expected> blocks;

    EveryLayout() {
        for (const document::BlockDescription& block : document::blockDescriptions()) {
            const ProgramWord code = document::kindNumber(block.kind);
            const BlockLayout& layout = blockLayout(code);
            std::vector<ProgramWord> typeWords;
            for (const document::TypeForm& form : block.typing.forms) {
                typeWords.push_back(typeWordOf(form.type));
            }
            typeWords.push_back(-45);  // no data type at all
            std::sort(typeWords.begin(), typeWords.end());
            typeWords.erase(std::unique(typeWords.begin(), typeWords.end()), typeWords.end());
            for (const ProgramWord type : typeWords) {
                for (const bool constants : {true, false}) {
                    add(code, layout, type, constants);
                }
            }
        }
        add(99, blockLayout(99), kTypeInt, false);
        program.end();
    }

    void add(ProgramWord code, const BlockLayout& layout, ProgramWord type, bool constants) {
        Expected expected;
        expected.first = program.size();
        program.block(code, I(1));
        int next = 0;  // registers %R0001.. in turn
        for (const LayoutItem item : layout.items) {
            const std::size_t at = program.size();
            expected.parts.emplace_back(item, at);
            switch (item) {
                case LayoutItem::Input:
                    program.load(I(2)).loadNot(I(3)).orStack().emptyInput();
                    break;
                case LayoutItem::Operand:
                    program.operand(constants ? Operand(kLoad) : Operand(R(++next)));
                    break;
                case LayoutItem::Address: program.operand(R(++next)); break;
                case LayoutItem::Index: program.word(0); break;
                case LayoutItem::TimeBase: program.word(kTimeBase10ms); break;
                case LayoutItem::Type: program.word(type); break;
                case LayoutItem::TypeOrEnd:
                    if (!acceptsType(layout, type)) {
                        expected.parts.pop_back();
                        expected.end = at;
                        blocks.push_back(expected);
                        program.coil(kCoilNormal, Q(1));
                        return;
                    }
                    program.word(type);
                    break;
                case LayoutItem::Length: program.length(2); break;
                case LayoutItem::Optional:
                    if (constants) {
                        expected.parts.pop_back();  // absent: the coil follows
                    } else {
                        program.operand(R(++next));
                    }
                    break;
            }
        }
        expected.end = program.size();
        blocks.push_back(expected);
        program.coil(kCoilNormal, Q(1));
    }
};

TEST(InstructionReaderTest, EveryBlockLayoutReadsPartByPart) {
    const EveryLayout every;
    const InstructionReader reader(every.program.build());
    for (const EveryLayout::Expected& expected : every.blocks) {
        const Instruction block = reader.instructionAt(expected.first);
        const std::string name(blockLayout(reader.word(expected.first + 1)).name);
        ASSERT_EQ(block.kind, InstructionKind::Block) << name;
        EXPECT_EQ(block.end, expected.end) << name << " at " << expected.first;
        std::vector<std::pair<LayoutItem, std::size_t>> parts;
        for (const BlockPart& part : reader.parts(block)) {
            parts.emplace_back(part.item, part.first);
        }
        EXPECT_EQ(parts, expected.parts) << name << " at " << expected.first;
    }
}

// The words the engine marks in its trace must be those where the reader begins an
// instruction or a contact of an input, every instruction the reader finds must be marked (and
// none but the one stray word read alone), and each contact must have read the bit at the
// address the reader names.
TEST(InstructionReaderTest, EngineRunsTheInstructionsTheReaderFinds) {
    Builder b;
    b.load(I(1)).loadNot(I(2)).orStack().andBit(I(3)).andNot(I(4)).andStack();
    const std::size_t stray = b.size();
    b.word(17);
    for (const ProgramWord coil :
         {kCoilNormal, kCoilNegated, kCoilRetentive, kCoilNegatedRetentive, kCoilSet, kCoilReset,
          kCoilSetRetentive, kCoilResetRetentive, 6}) {
        b.coil(coil, M(1));
    }
    b.edgeCoil(kCoilPositive, 0, M(2)).edgeCoil(kCoilNegative, 1, M(3));
    // With %I0005 off, the MCR opens no zone and the JUMP is not taken.
    b.load(I(5)).control(kControlMcr, 0).control(kControlEndMcr, 0).control(kControlJump, 4);
    b.control(kControlLabel, 4).control(75, 0);
    const EveryLayout every;
    std::vector<ProgramWord> words = b.build();
    words.insert(words.end(), every.program.build().begin(), every.program.build().end());

    for (const std::uint16_t inputs : {0x0000, 0x0005, 0x000F}) {
        Rig rig;
        rig.plc.setMonitoring(true);
        Builder program;
        for (const ProgramWord w : words) {
            program.word(w);
        }
        rig.run(program, 2, 1);
        rig.scanWith(inputs);
        ASSERT_TRUE(rig.plc.hasTrace());
        ASSERT_FALSE(rig.plc.watchdogFault());

        const InstructionReader reader(words);
        std::set<std::size_t> starts;
        std::vector<Instruction> contacts;
        auto contactsOf = [&](const Input& input) {
            for (const Instruction& step : reader.steps(input)) {
                if (step.kind == InstructionKind::Contact) {
                    starts.insert(step.first);
                    contacts.push_back(step);
                }
            }
        };
        for (const Instruction& in : reader.instructions()) {
            const bool traced =
                in.kind != InstructionKind::Stack && in.kind != InstructionKind::Unknown;
            // A word read as an instruction of its own is where the reader fell out of step.
            if (in.kind == InstructionKind::Unknown) {
                EXPECT_EQ(in.first, stray) << "out of step before " << in.first;
            }
            if (traced) {
                starts.insert(in.first);
                EXPECT_NE(rig.plc.traceAt(in.first) & TraceBit::Ran, 0)
                    << kindName(in.kind) << " at " << in.first << " not run, inputs " << inputs;
            }
            if (in.kind == InstructionKind::Contact) {
                contacts.push_back(in);
            }
            if (in.kind == InstructionKind::Block) {
                contactsOf(reader.enableInput(in));
                for (const BlockPart& part : reader.parts(in)) {
                    if (part.item == LayoutItem::Input) {
                        contactsOf(reader.inputAt(part.first));
                    }
                }
            }
        }
        for (std::size_t at = 0; at < words.size(); ++at) {
            if ((rig.plc.traceAt(at) & TraceBit::Ran) != 0) {
                EXPECT_TRUE(starts.count(at) == 1)
                    << "the engine ran an instruction at " << at << ", inputs " << inputs;
            }
        }
        for (const Instruction& contact : contacts) {
            const std::uint8_t bits = rig.plc.traceAt(contact.first);
            if ((bits & TraceBit::Ran) == 0) {
                continue;  // an inner input of a block the engine passes over
            }
            const ProgramWord* address = words.data() + contact.operand;
            EXPECT_EQ(bits & TraceBit::Operand, rig.plc.readBit(address[0], address[1], address[2]))
                << "contact at " << contact.first << ", inputs " << inputs;
        }
    }
}

}  // namespace
}  // namespace plc::test
