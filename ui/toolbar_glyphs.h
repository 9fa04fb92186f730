// ui/toolbar_glyphs.h — the small pictures on the toolbar buttons, drawn once in code.
#pragma once

#include <QIcon>

#include <string_view>

namespace document {
struct ElementEntry;
}

/// The pictures of the main toolbar's buttons.
enum class CommandGlyph : int {
    New,
    Open,
    Save,
    Cut,
    Copy,
    Paste,
    InsertRow,
    DeleteRow,
    Check,
    List,
    Run,
    Dde,
    Grid,
    FullScreen,
    Panel1,
    Panel2,
    Panel3,
    Panel4,
    Parameters,
    About,
    Help,
    Analysis,
    Close,
};

/// Side of a glyph in pixels (the buttons are 23 by 23).
inline constexpr int kGlyphSize = 17;

/// Returns the glyph of a main toolbar command.
QIcon commandGlyph(CommandGlyph glyph);

/// Returns the glyph of an element button: a small version of the element's ladder symbol, or a
/// framed block name.
QIcon elementGlyph(const document::ElementEntry& entry);
