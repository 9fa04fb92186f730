// The one table of element kinds: codes, names, buttons, toolbars, hints, placement, pictures
// and the window refresh after each button; block roles and layouts, and the templates of
// function blocks from their descriptions ("document/block_description.h").
#pragma once

#include "document/block_description.h"
#include "document/ladder_document.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace document {

/// Which operation a button calls.
enum class Placement : int {
    Contact = 0,  ///< PlaceContact: any column, keeps the cell's link flags
    Coil = 1,     ///< PlaceCoil: into column 9, wires up to it
    Link = 2,     ///< PlaceLink with the entry's code (100, 200, 300)
    Block = 3,    ///< PlaceBlock with the entry's code (the block kind)
};

/// The main window's refresh after a command.
enum class Refresh : int {
    None = 0,            ///< nothing (Copy)
    AfterContact = 1,    ///< cursor one column right unless in column 9
    AfterCoil = 2,       ///< cursor to column 0 of the next row unless on the last row
    AfterLinkDown = 3,   ///< cursor one row down unless on the last row
    AfterLinkUp = 4,     ///< cursor one row up unless on row 0
    AfterClipboard = 5,  ///< cursor stays
    AfterLoading = 6,    ///< row count follows the document, cursor to row 0, column 0
};

/// One element kind, vertical link or block kind, the button that places it and the main
/// window's refresh after that button.
struct ElementEntry {
    int code;                   ///< base code, link flag (100/200/300) or block kind
    std::string_view kindName;  ///< ContactNO, LinkDown, ONDTR, ...
    std::string_view button;    ///< SpeedButton53, ...; empty when no button places it
    std::string_view toolbar;   ///< Panel3 .. Panel6; empty when no button
    std::string_view hint;      ///< "tooltip|status-bar text", or one text serving as both
    Placement placement;
    std::string_view picture;  ///< O1, O6D, ...; empty for blocks (drawn by role) and none
    Refresh refresh;
};

/// An element toolbar of the main window and its close button and menu item.
struct ToolbarEntry {
    std::string_view panel;        ///< Panel6, Panel5, Panel3, Panel4
    std::string_view closeButton;  ///< SpeedButton108, ...
    std::string_view menuItem;     ///< caption of its item in the "Widok" menu ("Panel1" ...)
};

/// One block role: picture and the stubs drawn on its sides.
struct RoleEntry {
    int role;                  ///< 400 .. 1400
    std::string_view name;     ///< BlockTop, ...
    std::string_view picture;  ///< BLOKG, ...
    bool inputStub;
    bool outputStub;
};

/// How a block lays its roles into the grid: row by row (and left to right for the two-column
/// layout); cell i stands at row offset i / width, column offset i % width.
struct RoleLayout {
    char name;  ///< 'A' .. 'M'
    int height;
    int width;
    int cellCount;
    std::array<int, kMaxBlockCells> roles;
};

/// Returns every element kind, link and block kind. The main window groups the buttons of each
/// toolbar (contacts, wires, coils, blocks); within a group they stand in this order.
[[nodiscard]] std::span<const ElementEntry> elementCatalogue();
/// Returns the entry of a base code, link flag or block kind, or nullptr.
[[nodiscard]] const ElementEntry* findElement(int code);
/// Returns the entry placed by a button, or nullptr.
[[nodiscard]] const ElementEntry* findElementByButton(std::string_view button);
/// Returns the tooltip part of a hint (before "|", or the whole hint).
[[nodiscard]] std::string_view hintTooltip(std::string_view hint);
/// Returns the status-bar part of a hint (after "|", or the whole hint).
[[nodiscard]] std::string_view hintStatusText(std::string_view hint);

/// Returns the four element toolbars.
[[nodiscard]] std::span<const ToolbarEntry> elementToolbars();

/// Returns the eleven block roles.
[[nodiscard]] std::span<const RoleEntry> blockRoles();
/// Returns the entry of a role (400, 500, ... 1400), or nullptr.
[[nodiscard]] const RoleEntry* findRole(int role);

/// Returns the thirteen role layouts.
[[nodiscard]] std::span<const RoleLayout> roleLayouts();
/// Returns the layout named `name`, or nullptr.
[[nodiscard]] const RoleLayout* findLayout(char name);
/// Returns the template of a block kind (from its description in
/// "document/block_description.h"), or nullptr.
[[nodiscard]] const BlockTemplate* findBlockTemplate(int kind);

/// Returns the number of rows of a block kind, 0 for anything that is not one.
[[nodiscard]] int BlockHeight(int kind);
/// Returns the number of rows of a block kind.
[[nodiscard]] inline int BlockHeight(BlockKind kind) {
    return BlockHeight(kindNumber(kind));
}
/// Returns the number of columns of a block kind (2 for CALL), 0 for anything else.
[[nodiscard]] int blockWidth(int kind);

/// Returns the picture of a cell code: by element kind or block role (pictureKind), empty when
/// the code has none. Link pictures come separately from linkPicture.
[[nodiscard]] std::string_view elementPicture(std::int32_t code);
/// Returns the picture of a code's vertical-link flag (O6D, O6G, O6), empty when it has none.
[[nodiscard]] std::string_view linkPicture(std::int32_t code);

}  // namespace document
