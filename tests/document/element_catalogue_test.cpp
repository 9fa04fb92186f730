// The element catalogue: every row consistent with itself and with the code scheme, block
// templates consistent with their role layouts, and block placement.
#include "document/element_catalogue.h"

#include "document_test_helpers.h"

#include "document/editing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace document {
namespace {

using testing::columnCodes;
using testing::sameDocument;
using Codes = std::vector<std::int32_t>;

std::string entryName(const ElementEntry& e) {
    return std::string(e.kindName);
}

TEST(ElementCatalogueTest, EveryRowIsUsableByTheToolbarsAndTheGrid) {
    std::set<std::string_view> buttons;
    std::set<int> codes;
    const std::set<std::string_view> toolbars = {"Panel3", "Panel4", "Panel5", "Panel6"};
    for (const ElementEntry& e : elementCatalogue()) {
        SCOPED_TRACE(entryName(e));
        EXPECT_TRUE(codes.insert(e.code).second) << "code listed twice";
        EXPECT_EQ(findElement(e.code), &e);
        if (e.button.empty()) {
            EXPECT_TRUE(e.toolbar.empty() && e.hint.empty());
        } else {
            EXPECT_TRUE(buttons.insert(e.button).second) << "button listed twice";
            EXPECT_EQ(findElementByButton(e.button), &e);
            EXPECT_TRUE(toolbars.count(e.toolbar) == 1) << e.toolbar;
            EXPECT_FALSE(hintTooltip(e.hint).empty());
            EXPECT_FALSE(hintStatusText(e.hint).empty());
        }
        switch (e.placement) {
            case Placement::Block:
                EXPECT_GT(BlockHeight(e.code), 0);
                EXPECT_EQ(findBlockTemplate(e.code)->name, e.kindName);
                EXPECT_EQ(e.refresh, Refresh::AfterContact);
                break;
            case Placement::Link:
                EXPECT_EQ(linkPart(e.code), e.code);
                EXPECT_EQ(linkPicture(e.code), e.picture);
                break;
            case Placement::Contact:
            case Placement::Coil:
                // A single-cell kind is drawn by the picture its own base code selects.
                EXPECT_EQ(pictureKind(e.code), e.code);
                EXPECT_EQ(elementPicture(e.code + 100), e.picture);
                EXPECT_EQ(BlockHeight(e.code), 0);
                break;
        }
    }
    EXPECT_EQ(codes.size(), 23u + 3u + 46u);
}

// A new block kind needs its row here and its description: a failure names the kind it misses.
TEST(ElementCatalogueTest, EveryBlockKindHasItsRowAndItsDescription) {
    const std::span<const BlockDescription> descriptions = blockDescriptions();
    for (const BlockKind kind : kBlockKinds) {
        const ElementEntry* entry = findElement(kindNumber(kind));
        const auto described =
            std::find_if(descriptions.begin(), descriptions.end(),
                         [kind](const BlockDescription& d) { return d.kind == kind; });
        const std::string_view name = entry != nullptr                  ? entry->kindName
                                      : described != descriptions.end() ? described->placed.name
                                                                        : std::string_view();
        SCOPED_TRACE("block kind " + std::to_string(kindNumber(kind)) + " " + std::string(name));
        ASSERT_NE(entry, nullptr) << "no row in the element catalogue";
        EXPECT_EQ(entry->placement, Placement::Block);
        ASSERT_NE(described, descriptions.end()) << "no description";
        EXPECT_EQ(described->placed.name, entry->kindName);
    }
    for (const ElementEntry& e : elementCatalogue()) {
        if (e.placement == Placement::Block) {
            EXPECT_TRUE(blockKindOf(e.code).has_value()) << e.kindName << " is no block kind";
        }
    }
}

TEST(ElementCatalogueTest, CursorMovesOnAfterContactsAndToTheNextRowAfterCoils) {
    const std::set<int> afterContact = {1, 2, 7, 9, 300};
    for (const ElementEntry& e : elementCatalogue()) {
        SCOPED_TRACE(entryName(e));
        if (e.placement == Placement::Block || afterContact.count(e.code) == 1) {
            EXPECT_EQ(e.refresh, Refresh::AfterContact);
        } else if (e.placement == Placement::Coil || e.code == 64 || e.code == 72 || e.code == 74) {
            EXPECT_EQ(e.refresh, Refresh::AfterCoil);
        }
    }
    EXPECT_EQ(findElement(100)->refresh, Refresh::AfterLinkDown);
    EXPECT_EQ(findElement(200)->refresh, Refresh::AfterLinkUp);
}

TEST(ElementCatalogueTest, HintSplitsIntoTooltipAndStatusText) {
    const ElementEntry* contact = findElementByButton("SpeedButton53");
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(hintTooltip(contact->hint), "Styk otwarty ");
    EXPECT_EQ(hintStatusText(contact->hint), "Wstawia w miejscu kursora styk otwarty");
    EXPECT_EQ(hintStatusText(findElement(ElementKind::Coil)->hint),
              "-( )- Przekaźnik o stykach otwartych");
}

struct ButtonCase {
    std::string_view button;
    int code;
    std::string_view toolbar;
    std::string_view hint;
    Placement placement;
};

void PrintTo(const ButtonCase& c, std::ostream* os) {
    *os << c.button;
}

class ButtonTextTest : public ::testing::TestWithParam<ButtonCase> {};

// The hints are the program's own texts, blanks and spelling included: a tidy-up must not
// change them, nor move a button to another toolbar.
TEST_P(ButtonTextTest, ButtonPlacesItsCodeFromItsToolbarWithItsExactHint) {
    const ButtonCase& c = GetParam();
    const ElementEntry* entry = findElementByButton(c.button);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->code, c.code);
    EXPECT_EQ(entry->toolbar, c.toolbar);
    EXPECT_EQ(entry->hint, c.hint);
    EXPECT_EQ(entry->placement, c.placement);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ButtonTextTest,
    ::testing::Values(
        ButtonCase{"SpeedButton54", 2, "Panel6", "Styk zamknięty ", Placement::Contact},
        ButtonCase{"SpeedButton114", 4, "Panel6",
                   "-(SM)- Ustawia przekaźnik z podtrzymaniem i pamięcią", Placement::Coil},
        ButtonCase{"SpeedButton55", 7, "Panel6", "Połączenie poziome ", Placement::Contact},
        ButtonCase{"SpeedButton56", 100, "Panel6", "Połączenie 'w dół'", Placement::Link},
        ButtonCase{"SpeedButton58", 300, "Panel6", "Połączenie pionowe ", Placement::Link},
        ButtonCase{"SpeedButton67", 64, "Panel4", "END", Placement::Contact},
        ButtonCase{"SpeedButton76", 73, "Panel4", "JUMP", Placement::Coil},
        ButtonCase{"SpeedButton104", 17, "Panel6", "ONDTR Przekaźnik czasowy z pamięcią",
                   Placement::Block},
        ButtonCase{"SpeedButton93", 31, "Panel5", "LT Relacja: mniejszy ", Placement::Block},
        ButtonCase{"SpeedButton98", 58, "Panel5", "TOBCD4 Funkcja konwersji z INT na BCD4",
                   Placement::Block},
        ButtonCase{"SpeedButton34", 33, "Panel3", "AND ", Placement::Block},
        ButtonCase{"SpeedButton52", 57, "Panel3", "ARRAY_MOVE", Placement::Block},
        ButtonCase{"SpeedButton79", 46, "Panel4", "BLK_MOV", Placement::Block}));

TEST(ElementCatalogueTest, ClipboardCommandsRefreshAsTheirButtonsDo) {
    EXPECT_EQ(refreshAfter(EditCommand::Copy), Refresh::None);
    EXPECT_EQ(refreshAfter(EditCommand::Cut), Refresh::AfterClipboard);
    EXPECT_EQ(refreshAfter(EditCommand::Paste), Refresh::AfterClipboard);
    EXPECT_EQ(refreshAfter(EditCommand::NewDocument), Refresh::AfterLoading);
    EXPECT_EQ(refreshAfter(EditCommand::Load), Refresh::AfterLoading);
}

TEST(BlockTemplateTest, EveryRowMatchesTheStubsOfItsRole) {
    for (const BlockDescription& description : blockDescriptions()) {
        const BlockTemplate& block = description.placed;
        SCOPED_TRACE(std::string(block.name));
        const RoleLayout* layout = findLayout(block.layout);
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(layout->cellCount, layout->height * layout->width);
        EXPECT_EQ(block.texts[0], "#N" + std::string(block.name) + "#");
        for (int i = 0; i < kMaxBlockCells; ++i) {
            const auto cell = static_cast<std::size_t>(i);
            if (i >= layout->cellCount) {
                EXPECT_TRUE(block.texts[cell].empty());
                continue;
            }
            ASSERT_FALSE(block.texts[cell].empty()) << "cell " << i;
            const RoleEntry* role = findRole(layout->roles[cell]);
            ASSERT_NE(role, nullptr);
            if (layout->width == 1 && i > 0) {
                const std::string text(block.texts[cell]);
                EXPECT_EQ(fieldOf(text, 'P').empty(), !role->outputStub) << text;
                EXPECT_EQ(fieldOf(text, 'L').empty(), !role->inputStub) << text;
            }
        }
    }
}

TEST(BlockTemplateTest, HeightsAreThoseOfEveryKindAndZeroElsewhere) {
    const std::set<int> two = {18, 26, 36, 45, 47, 58, 59, 60};
    const std::set<int> four = {37, 38, 48, 50, 51, 52, 53, 54, 55, 56, 61};
    for (int kind = -1; kind <= 1500; ++kind) {
        int expected = 0;
        if (two.count(kind)) {
            expected = 2;
        } else if (four.count(kind)) {
            expected = 4;
        } else if (kind == 49 || kind == 57) {
            expected = 5;
        } else if (kind == 46) {
            expected = 8;
        } else if (kind == 17 || (kind >= 19 && kind <= 44) || kind == 66) {
            expected = 3;
        }
        EXPECT_EQ(BlockHeight(kind), expected) << "kind " << kind;
    }
}

TEST(PlaceBlockTest, AddInANewDocumentWritesCodesAndTemplates) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Add, 0, 1);
    EXPECT_EQ(columnCodes(document, 1, 0, 3), (Codes{421, 621, 921}));
    EXPECT_EQ(document.CellText(0, 1), "#NADD#");
    EXPECT_EQ(document.CellText(1, 1), "#LI1#PQ#TINT#");
    EXPECT_EQ(document.CellText(2, 1), "#LI2#");
    EXPECT_EQ(document.rowCount(), 10);
    EXPECT_EQ(document.status(), DocumentStatus::New);
}

TEST(PlaceBlockTest, BlkMvNearTheEndGrowsTheDocument) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::BlkMv, 5, 2);
    EXPECT_EQ(document.rowCount(), 16);
    EXPECT_EQ(document.CellCode(12, 2), 946);
}

TEST(PlaceBlockTest, OutsideColumnsOneToEightChangesNothing) {
    LadderDocument document;
    document.SetCellCode(0, 0, 1);
    const LadderDocument before = document;
    PlaceBlock(document, BlockKind::Add, 0, 0);
    PlaceBlock(document, BlockKind::Add, 0, 9);
    PlaceBlock(document, BlockKind::Add, -1, 3);
    PlaceBlock(document, BlockKind::BlkMv, 9, 0);
    PlaceBlock(document, BlockKind::Call, 9, 9);
    EXPECT_TRUE(sameDocument(before, document));
}

TEST(PlaceBlockTest, UnknownKindOnlyKeepsTheSpareRows) {
    for (const int kind : {62, 3, 0, 421}) {
        SCOPED_TRACE(kind);
        LadderDocument document;
        document.SetCellCode(8, 3, 1);
        document.SetCellText(8, 3, "#A%I0001#");
        LadderDocument expected = document;
        expected.AddRows(1);
        PlaceBlock(document, kind, 8, 3);
        EXPECT_TRUE(sameDocument(expected, document));
    }
}

TEST(PlaceBlockTest, OverTheMiddleOfAnotherBlockRemovesAllOfIt) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Ondtr, 0, 3);
    PlaceBlock(document, BlockKind::Tmr, 1, 3);
    EXPECT_EQ(columnCodes(document, 3, 0, 4), (Codes{0, 418, 918, 0}));
    EXPECT_EQ(document.CellText(0, 3), "");
    EXPECT_EQ(document.CellText(2, 3), "#LPV#Gaddress#Ttime#");
}

TEST(PlaceBlockTest, OverContactsReplacesThemButNotTheirNeighbours) {
    LadderDocument document;
    for (int row = 0; row < 3; ++row) {
        document.SetCellCode(row, 2, 101);
        document.SetCellText(row, 2, "#A%I0001#");
        document.SetCellCode(row, 3, 1);
    }
    PlaceBlock(document, BlockKind::Sqrt, 0, 2);
    EXPECT_EQ(columnCodes(document, 2, 0, 3), (Codes{426, 826, 101}));
    EXPECT_EQ(columnCodes(document, 3, 0, 3), (Codes{1, 1, 1}));
    EXPECT_EQ(document.CellText(1, 2), "#LIN#PQ#TINT#");
}

TEST(PlaceBlockTest, CallSquareFillsTwoColumnsAndRemovesBlocksInBoth) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Add, 1, 8);
    PlaceBlock(document, BlockKind::Add, 0, 6);
    PlaceBlock(document, BlockKind::Call, 2, 7);
    // The ADD under the square's second column goes whole: no orphaned top row stays behind.
    EXPECT_EQ(columnCodes(document, 8, 1, 3), (Codes{0, 1260, 1460}));
    EXPECT_EQ(columnCodes(document, 7, 1, 3), (Codes{0, 1160, 1360}));
    EXPECT_EQ(columnCodes(document, 6, 0, 3), (Codes{421, 621, 921}));
    EXPECT_EQ(document.CellText(3, 8), "#QUTINE#");
    EXPECT_EQ(document.CellText(1, 8), "");
}

TEST(PlaceBlockTest, SquareLoadedFromAFileIsDrawnByItsRoles) {
    EXPECT_EQ(elementPicture(1160), "BLOK2GL");
    EXPECT_EQ(elementPicture(1460), "BLOK2DP");
    EXPECT_EQ(elementPicture(944), "BLOKDBP");
    EXPECT_EQ(elementPicture(1044), "BLOKDBL");
    EXPECT_EQ(elementPicture(165), "");
    EXPECT_EQ(elementPicture(6), "");
    EXPECT_EQ(elementPicture(70), "");
    EXPECT_EQ(linkPicture(374), "O6");
    EXPECT_EQ(linkPicture(421), "");
}

}  // namespace
}  // namespace document
