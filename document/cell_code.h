// The element-code scheme of a grid cell, in one place: the named codes of every element and
// control function, the vertical-link flags, the block roles, and the functions that take a
// code apart. Every folder reads cell codes through these.
#pragma once

#include "document/block_kind.h"

#include <cstdint>

namespace document {

/// Base codes of the single-cell element kinds.
struct ElementKind {
    enum : int {
        ContactNO = 1,
        ContactNC = 2,
        Coil = 3,
        CoilSM = 4,
        CoilRM = 5,
        HLink = 7,
        ContinuationCoil = 8,
        ContinuationContact = 9,
        CoilNotM = 10,
        CoilNot = 11,
        CoilM = 12,
        CoilS = 13,
        CoilR = 14,
        CoilPos = 15,
        CoilNeg = 16,
        End = 64,
        McrN = 67,
        EndMcrN = 68,
        JumpN = 69,
        Mcr = 71,
        EndMcr = 72,
        Jump = 73,
        Label = 74,
    };
};

/// Vertical-link flags: the hundreds of a code below 400.
struct LinkFlag {
    enum : int { LinkDown = 100, LinkUp = 200, LinkBoth = 300 };
};

/// Block roles: the hundreds of a code of 400 or more.
struct BlockRole {
    enum : int {
        BlockTop = 400,
        BlockTopNoOut = 500,
        BlockMid = 600,
        BlockMidNoOut = 700,
        BlockBottom = 800,
        BlockBottomNoOut = 900,
        BlockBottomNoIn = 1000,
        CallTopLeft = 1100,
        CallTopRight = 1200,
        CallBottomLeft = 1300,
        CallBottomRight = 1400,
    };
};

/// Smallest code of a function-block cell.
inline constexpr int kFirstBlockCode = BlockRole::BlockTop;

/// Returns the kind a code stands for once the hundreds of its link flag or block role are
/// taken away: 100 is subtracted while the code exceeds 100. 107, 207 and 307 give 7, 417 gives
/// the block kind 17, 1160 gives 60; the pure links 100, 200 and 300 give 100; codes up to 100
/// stay as they are.
[[nodiscard]] constexpr std::int32_t kindOf(std::int32_t code) {
    // Equal to the repeated subtraction, without looping over huge codes.
    return code <= 100 ? code : (code - 1) % 100 + 1;
}

/// Returns the vertical-link flag of a code: 100, 200 or 300 for the codes 100 to 399, else 0.
[[nodiscard]] constexpr int linkPart(std::int32_t code) {
    return code >= LinkFlag::LinkDown && code < kFirstBlockCode ? code / 100 * 100 : 0;
}

/// Returns true for a code with a vertical-link flag (100 to 399).
[[nodiscard]] constexpr bool hasLink(std::int32_t code) {
    return linkPart(code) != 0;
}

/// Returns true for a code whose link joins the cell above (200 to 399).
[[nodiscard]] constexpr bool hasUpFlag(std::int32_t code) {
    return linkPart(code) == LinkFlag::LinkUp || linkPart(code) == LinkFlag::LinkBoth;
}

/// Returns true for a code whose link joins the cell below (100 to 199, 300 to 399).
[[nodiscard]] constexpr bool hasDownFlag(std::int32_t code) {
    return linkPart(code) == LinkFlag::LinkDown || linkPart(code) == LinkFlag::LinkBoth;
}

/// Returns true for an empty cell or one that holds only a vertical link (0, 100, 200, 300).
[[nodiscard]] constexpr bool isEmptyOrLinkOnly(std::int32_t code) {
    return code == linkPart(code);
}

/// Returns true for a cell of a function block: codes of 400 and more.
[[nodiscard]] constexpr bool isBlockCell(std::int32_t code) {
    return code >= kFirstBlockCode;
}

/// Returns the hundreds of a block cell's code, its role (421 gives 400, 1160 gives 1100; codes
/// no editor writes give 1500 and more); 0 for a code below 400.
[[nodiscard]] constexpr int blockRole(std::int32_t code) {
    return isBlockCell(code) ? code / 100 * 100 : 0;
}

/// Returns true for the cell where a block's translation starts: a top role (400 to 599) or the
/// top-left quarter of a CALL square (1160).
[[nodiscard]] constexpr bool isBlockTop(std::int32_t code) {
    return blockRole(code) == BlockRole::BlockTop || blockRole(code) == BlockRole::BlockTopNoOut ||
           code == BlockRole::CallTopLeft + kindNumber(BlockKind::Call);
}

/// Returns the element kind or block role by which a cell is drawn: the codes 1 to 16, 64, 65
/// and 67 to 74 give themselves, 101 to 399 their kind without the link flag (unless that is 0),
/// 401 to 1499 their role (unless the code is a bare role); everything else gives 0.
[[nodiscard]] constexpr int pictureKind(std::int32_t code) {
    if ((code >= ElementKind::ContactNO && code <= ElementKind::CoilNeg) ||
        code == ElementKind::End || code == ElementKind::End + 1 ||
        (code >= ElementKind::McrN && code <= ElementKind::Label)) {
        return code;
    }
    if (code % 100 == 0) {
        return 0;
    }
    if (code > BlockRole::BlockTop && code < BlockRole::CallBottomRight + 100) {
        return blockRole(code);
    }
    if (code > LinkFlag::LinkDown && code < kFirstBlockCode) {
        return code % 100;
    }
    return 0;
}

/// Number of slots in a table indexed by picture kind (pictureKindSlot): the element kinds 0 to
/// 99, then the eleven block roles 400 to 1400.
inline constexpr int kPictureKindSlots =
    100 + (BlockRole::CallBottomRight - kFirstBlockCode) / 100 + 1;

/// Returns the slot of a picture kind in a table of kPictureKindSlots: an element kind 0..99
/// gives itself, a block role 400, 500, ... 1400 gives 100 to 110; anything else gives -1.
[[nodiscard]] constexpr int pictureKindSlot(int kind) {
    if (kind >= 0 && kind < 100) {
        return kind;
    }
    if (kind >= kFirstBlockCode && kind <= BlockRole::CallBottomRight && kind % 100 == 0) {
        return 100 + (kind - kFirstBlockCode) / 100;
    }
    return -1;
}

/// Number of slots in a table indexed by vertical-link flag (linkSlot).
inline constexpr int kLinkSlots = 3;

/// Returns the slot of a vertical-link flag in a table of kLinkSlots: 100, 200 and 300 give 0, 1
/// and 2; anything else gives -1.
[[nodiscard]] constexpr int linkSlot(int link) {
    return link == LinkFlag::LinkDown || link == LinkFlag::LinkUp || link == LinkFlag::LinkBoth
               ? link / 100 - 1
               : -1;
}

/// Returns true for a normally open or normally closed contact, with or without links.
[[nodiscard]] constexpr bool isContact(std::int32_t code) {
    const std::int32_t kind = kindOf(code);
    return kind == ElementKind::ContactNO || kind == ElementKind::ContactNC;
}

/// Returns true for a coil kind (3, 4, 5, 10 to 16), with or without links.
[[nodiscard]] constexpr bool isCoil(std::int32_t code) {
    const std::int32_t kind = kindOf(code);
    return (kind >= ElementKind::Coil && kind <= ElementKind::CoilRM) ||
           (kind >= ElementKind::CoilNotM && kind <= ElementKind::CoilNeg);
}

/// Returns true for END, MCR, ENDMCR, JUMP and LABEL, with or without links.
[[nodiscard]] constexpr bool isControl(std::int32_t code) {
    const std::int32_t kind = kindOf(code);
    return kind == ElementKind::End || (kind >= ElementKind::Mcr && kind <= ElementKind::Label);
}

/// Returns true for the elements whose operand is an address typed into the entry line:
/// contacts and coils.
[[nodiscard]] constexpr bool takesOperand(std::int32_t code) {
    return isContact(code) || isCoil(code);
}

/// Returns true for the elements whose operand may be a label name: MCR, ENDMCR, JUMP, LABEL.
[[nodiscard]] constexpr bool takesLabel(std::int32_t code) {
    const std::int32_t kind = kindOf(code);
    return kind >= ElementKind::Mcr && kind <= ElementKind::Label;
}

}  // namespace document
