// The element catalogue as data and its look-ups.
#include "document/element_catalogue.h"

#include <algorithm>
#include <optional>

namespace document {

namespace {

using P = Placement;
using R = Refresh;

// Within each group of a toolbar (contacts, wires, coils, blocks) in the order the buttons
// stand; rows without a button (kinds that only come from files) carry what drawing needs.
constexpr ElementEntry kCatalogue[] = {
    // Single-cell elements.
    {1, "ContactNO", "SpeedButton53", "Panel6",
     "Styk otwarty |Wstawia w miejscu kursora styk otwarty", P::Contact, "O1", R::AfterContact},
    {2, "ContactNC", "SpeedButton54", "Panel6", "Styk zamknięty ", P::Contact, "O2",
     R::AfterContact},
    {3, "Coil", "SpeedButton84", "Panel6", "-( )- Przekaźnik o stykach otwartych", P::Coil, "O3",
     R::AfterCoil},
    {4, "CoilSM", "SpeedButton114", "Panel6",
     "-(SM)- Ustawia przekaźnik z podtrzymaniem i pamięcią", P::Coil, "O4", R::AfterCoil},
    {5, "CoilRM", "SpeedButton115", "Panel6", "-(RM)- Zeruje przekaźnik z podtrzymaniem i pamięcią",
     P::Coil, "O5", R::AfterCoil},
    {7, "HLink", "SpeedButton55", "Panel6", "Połączenie poziome ", P::Contact, "O7",
     R::AfterContact},
    {8, "ContinuationCoil", "SpeedButton118", "Panel6", "Przekaźnik kontynuacji", P::Coil, "O8",
     R::AfterCoil},
    {9, "ContinuationContact", "SpeedButton119", "Panel6", "Styk kontynuacji", P::Contact, "O9",
     R::AfterContact},
    {10, "CoilNotM", "SpeedButton117", "Panel6",
     "-(/M)- Przekaźnik o stykach zamkniętych (z pamięcią)", P::Coil, "O10", R::AfterCoil},
    {11, "CoilNot", "SpeedButton85", "Panel6", "-(/)- Przekaźnik o stykach zamkniętych", P::Coil,
     "O11", R::AfterCoil},
    {12, "CoilM", "SpeedButton116", "Panel6", "-(M)- Przekaźnik o stykach otwartych (z pamięcią)",
     P::Coil, "O12", R::AfterCoil},
    {13, "CoilS", "SpeedButton100", "Panel6", "-(S)- Ustawia przekaźnik z podtrzymaniem", P::Coil,
     "O13", R::AfterCoil},
    {14, "CoilR", "SpeedButton101", "Panel6", "-(R)- Zeruje przekaźnik z podtrzymaniem", P::Coil,
     "O14", R::AfterCoil},
    {15, "CoilPos", "SpeedButton102", "Panel6", "-(^)- Przekaźnik uruchamiany zboczem narastającym",
     P::Coil, "O15", R::AfterCoil},
    {16, "CoilNeg", "SpeedButton103", "Panel6", "-(v)- Przekaźnik uruchamiany zboczem opadającym",
     P::Coil, "O16", R::AfterCoil},
    // END, ENDMCR and LABEL are placed like contacts but the cursor moves on like after a coil.
    {64, "End", "SpeedButton67", "Panel4", "END", P::Contact, "O64", R::AfterCoil},
    {71, "Mcr", "SpeedButton74", "Panel4", "MCR", P::Coil, "O71", R::AfterCoil},
    {72, "EndMcr", "SpeedButton75", "Panel4", "ENDMCR", P::Contact, "O72", R::AfterCoil},
    {73, "Jump", "SpeedButton76", "Panel4", "JUMP", P::Coil, "O73", R::AfterCoil},
    {74, "Label", "SpeedButton77", "Panel4", "LABEL", P::Contact, "O74", R::AfterCoil},
    {67, "McrN", "", "", "", P::Coil, "O67", R::AfterCoil},
    {68, "EndMcrN", "", "", "", P::Coil, "O68", R::AfterCoil},
    {69, "JumpN", "", "", "", P::Coil, "O69", R::AfterCoil},
    // Vertical links.
    {100, "LinkDown", "SpeedButton56", "Panel6", "Połączenie 'w dół'", P::Link, "O6D",
     R::AfterLinkDown},
    {200, "LinkUp", "SpeedButton57", "Panel6", "Połączenie 'do góry'", P::Link, "O6G",
     R::AfterLinkUp},
    {300, "LinkBoth", "SpeedButton58", "Panel6", "Połączenie pionowe ", P::Link, "O6",
     R::AfterContact},
    // Function blocks.
    {17, "ONDTR", "SpeedButton104", "Panel6", "ONDTR Przekaźnik czasowy z pamięcią", P::Block, "",
     R::AfterContact},
    {18, "TMR", "SpeedButton105", "Panel6", "TMR Przekaźnik czasowy bez pamięci", P::Block, "",
     R::AfterContact},
    {19, "UPCTR", "SpeedButton106", "Panel6", "UPCTR Licznik zliczący w górę", P::Block, "",
     R::AfterContact},
    {20, "DNCTR", "SpeedButton107", "Panel6", "DNCTR Licznik zliczający w dół", P::Block, "",
     R::AfterContact},
    {21, "ADD", "SpeedButton26", "Panel5", "ADD Funkcja dodawania", P::Block, "", R::AfterContact},
    {22, "SUB", "SpeedButton27", "Panel5", "SUB Funkcja odejmowania", P::Block, "",
     R::AfterContact},
    {23, "MUL", "SpeedButton28", "Panel5", "MUL Funkcja mnożenia", P::Block, "", R::AfterContact},
    {24, "DIV", "SpeedButton29", "Panel5", "DIV Funkcja dzielenia", P::Block, "", R::AfterContact},
    {25, "MOD", "SpeedButton30", "Panel5", "MOD Reszta z dzielenia", P::Block, "", R::AfterContact},
    {26, "SQRT", "SpeedButton31", "Panel5", "SQRT Pierwiastek kwadratowy", P::Block, "",
     R::AfterContact},
    {27, "EQ", "SpeedButton32", "Panel5", "EQ Relacja równości", P::Block, "", R::AfterContact},
    {28, "NE", "SpeedButton33", "Panel5", "NE Relacja nierówności", P::Block, "", R::AfterContact},
    {29, "GT", "SpeedButton91", "Panel5", "GT Relacja: większy", P::Block, "", R::AfterContact},
    {30, "GE", "SpeedButton92", "Panel5", "GE Relacja: większy lub równy", P::Block, "",
     R::AfterContact},
    {31, "LT", "SpeedButton93", "Panel5", "LT Relacja: mniejszy ", P::Block, "", R::AfterContact},
    {32, "LE", "SpeedButton94", "Panel5", "LE Relacja: mniejszy lub równy", P::Block, "",
     R::AfterContact},
    {58, "TO BCD", "SpeedButton98", "Panel5", "TOBCD4 Funkcja konwersji z INT na BCD4", P::Block,
     "", R::AfterContact},
    {59, "TO INT", "SpeedButton99", "Panel5", "TOINT Funkcja konwersji z BCD4 na INT", P::Block, "",
     R::AfterContact},
    {33, "AND", "SpeedButton34", "Panel3", "AND ", P::Block, "", R::AfterContact},
    {34, "OR", "SpeedButton35", "Panel3", "OR", P::Block, "", R::AfterContact},
    {35, "XOR", "SpeedButton36", "Panel3", "XOR", P::Block, "", R::AfterContact},
    {36, "NOT", "SpeedButton37", "Panel3", "NOT", P::Block, "", R::AfterContact},
    {37, "SHL", "SpeedButton38", "Panel3", "SHL", P::Block, "", R::AfterContact},
    {38, "SHR", "SpeedButton39", "Panel3", "SHR", P::Block, "", R::AfterContact},
    {39, "ROL", "SpeedButton40", "Panel3", "ROL", P::Block, "", R::AfterContact},
    {40, "ROR", "SpeedButton41", "Panel3", "ROR", P::Block, "", R::AfterContact},
    {41, "BITTST", "SpeedButton42", "Panel3", "BITTST", P::Block, "", R::AfterContact},
    {42, "BITSET", "SpeedButton43", "Panel3", "BITSET", P::Block, "", R::AfterContact},
    {43, "BITCLR", "SpeedButton44", "Panel3", "BITCLR", P::Block, "", R::AfterContact},
    {44, "BITPOS", "SpeedButton45", "Panel3", "BITPOS", P::Block, "", R::AfterContact},
    {51, "SRH EQ", "SpeedButton46", "Panel3", "SRH_EQ", P::Block, "", R::AfterContact},
    {52, "SRH NE", "SpeedButton47", "Panel3", "SRH_NE", P::Block, "", R::AfterContact},
    {53, "SRH GT", "SpeedButton48", "Panel3", "SRH_GT", P::Block, "", R::AfterContact},
    {54, "SRH GE", "SpeedButton49", "Panel3", "SRH_GE", P::Block, "", R::AfterContact},
    {55, "SRH LT", "SpeedButton50", "Panel3", "SRH_LT", P::Block, "", R::AfterContact},
    {56, "SRH LE", "SpeedButton51", "Panel3", "SRH_LE", P::Block, "", R::AfterContact},
    {57, "ARRMV", "SpeedButton52", "Panel3", "ARRAY_MOVE", P::Block, "", R::AfterContact},
    {45, "MOVE", "SpeedButton78", "Panel4", "MOVE", P::Block, "", R::AfterContact},
    {46, "BLKMV", "SpeedButton79", "Panel4", "BLK_MOV", P::Block, "", R::AfterContact},
    {47, "BLKCLR", "SpeedButton80", "Panel4", "BLK_CLR", P::Block, "", R::AfterContact},
    {48, "SHFR", "SpeedButton81", "Panel4", "SHFREG", P::Block, "", R::AfterContact},
    {49, "BITSEQ", "SpeedButton82", "Panel4", "BITSEQ", P::Block, "", R::AfterContact},
    // Blocks that only come from files.
    {50, "COMRQ", "", "", "", P::Block, "", R::AfterContact},
    {60, "CALL", "", "", "", P::Block, "", R::AfterContact},
    {61, "DO IO", "", "", "", P::Block, "", R::AfterContact},
    {66, "SVCRQ", "", "", "", P::Block, "", R::AfterContact},
};

constexpr ToolbarEntry kToolbars[] = {
    {"Panel6", "SpeedButton108", "Panel1"},
    {"Panel5", "SpeedButton59", "Panel2"},
    {"Panel3", "SpeedButton87", "Panel3"},
    {"Panel4", "SpeedButton88", "Panel4"},
};

constexpr RoleEntry kRoles[] = {
    {400, "BlockTop", "BLOKG", true, true},
    {500, "BlockTopNoOut", "BLOKGBP", true, false},
    {600, "BlockMid", "BLOKS", true, true},
    {700, "BlockMidNoOut", "BLOKSBP", true, false},
    {800, "BlockBottom", "BLOKD", true, true},
    {900, "BlockBottomNoOut", "BLOKDBP", true, false},
    {1000, "BlockBottomNoIn", "BLOKDBL", false, true},
    {1100, "CallTopLeft", "BLOK2GL", true, false},
    {1200, "CallTopRight", "BLOK2GP", false, false},
    {1300, "CallBottomLeft", "BLOK2DL", false, false},
    {1400, "CallBottomRight", "BLOK2DP", false, false},
};

constexpr RoleLayout kLayouts[] = {
    {'A', 3, 1, 3, {400, 700, 900}},
    {'B', 3, 1, 3, {400, 600, 900}},
    {'C', 2, 1, 2, {400, 800}},
    {'D', 2, 1, 2, {400, 900}},
    {'E', 3, 1, 3, {500, 600, 900}},
    {'F', 3, 1, 3, {400, 700, 1000}},
    {'G', 5, 1, 5, {400, 700, 700, 700, 900}},
    {'H', 4, 1, 4, {500, 600, 600, 900}},
    {'I', 4, 1, 4, {400, 600, 700, 900}},
    {'J', 8, 1, 8, {400, 600, 700, 700, 700, 700, 700, 900}},
    {'K', 5, 1, 5, {400, 600, 700, 700, 900}},
    {'L', 4, 1, 4, {400, 700, 700, 900}},
    {'M', 2, 2, 4, {1100, 1200, 1300, 1400}},
};

const RoleLayout* layoutOfKind(int kind) {
    const BlockTemplate* block = findBlockTemplate(kind);
    return block == nullptr ? nullptr : findLayout(block->layout);
}

}  // namespace

std::span<const ElementEntry> elementCatalogue() {
    return kCatalogue;
}

const ElementEntry* findElement(int code) {
    const auto* it = std::find_if(std::begin(kCatalogue), std::end(kCatalogue),
                                  [code](const ElementEntry& e) { return e.code == code; });
    return it == std::end(kCatalogue) ? nullptr : it;
}

const ElementEntry* findElementByButton(std::string_view button) {
    if (button.empty())
        return nullptr;
    const auto* it = std::find_if(std::begin(kCatalogue), std::end(kCatalogue),
                                  [button](const ElementEntry& e) { return e.button == button; });
    return it == std::end(kCatalogue) ? nullptr : it;
}

std::string_view hintTooltip(std::string_view hint) {
    return hint.substr(0, hint.find('|'));
}

std::string_view hintStatusText(std::string_view hint) {
    const std::size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
}

std::span<const ToolbarEntry> elementToolbars() {
    return kToolbars;
}

std::span<const RoleEntry> blockRoles() {
    return kRoles;
}

const RoleEntry* findRole(int role) {
    const auto* it = std::find_if(std::begin(kRoles), std::end(kRoles),
                                  [role](const RoleEntry& e) { return e.role == role; });
    return it == std::end(kRoles) ? nullptr : it;
}

std::span<const RoleLayout> roleLayouts() {
    return kLayouts;
}

const RoleLayout* findLayout(char name) {
    const auto* it = std::find_if(std::begin(kLayouts), std::end(kLayouts),
                                  [name](const RoleLayout& e) { return e.name == name; });
    return it == std::end(kLayouts) ? nullptr : it;
}

const BlockTemplate* findBlockTemplate(int kind) {
    const std::optional<BlockKind> known = blockKindOf(kind);
    return known ? &describe(*known).placed : nullptr;
}

int BlockHeight(int kind) {
    const RoleLayout* layout = layoutOfKind(kind);
    return layout == nullptr ? 0 : layout->height;
}

int blockWidth(int kind) {
    const RoleLayout* layout = layoutOfKind(kind);
    return layout == nullptr ? 0 : layout->width;
}

std::string_view elementPicture(std::int32_t code) {
    const int kind = pictureKind(code);
    if (isBlockCell(kind)) {
        const RoleEntry* role = findRole(kind);
        return role == nullptr ? std::string_view() : role->picture;
    }
    const ElementEntry* entry = kind == 0 ? nullptr : findElement(kind);
    return entry == nullptr ? std::string_view() : entry->picture;
}

std::string_view linkPicture(std::int32_t code) {
    const int link = linkPart(code);
    const ElementEntry* entry = link == 0 ? nullptr : findElement(link);
    return entry == nullptr ? std::string_view() : entry->picture;
}

}  // namespace document
