// Random ladders for property tests and fuzz targets: the elements and blocks the editor places,
// with operands, parameters and descriptions, mixed with what damaged files bring (any code, any
// bytes in a text, fields without their closing "#"). `pick(lo, hi)` returns a number in
// [lo, hi], so that a seeded generator and a fuzzer's bytes drive the same shapes.
#pragma once

#include "document/block_kind.h"
#include "document/editing.h"
#include "document/element_catalogue.h"
#include "document/ladder_document.h"

#include <array>
#include <cstdint>
#include <string>

namespace wirtualon::testing {

/// Returns a text of `length` bytes, each from 1 to 255 but never a line feed.
template <typename Pick>
std::string randomBytes(Pick&& pick, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) {
        const int byte = pick(1, 254);
        text += static_cast<char>(byte >= '\n' ? byte + 1 : byte);
    }
    return text;
}

/// Returns a cell text: tagged fields as the editor writes them (operands, constants, labels,
/// descriptions with Polish letters, quotes and blanks), or odd texts of damaged files.
template <typename Pick>
std::string randomCellText(Pick&& pick) {
    static constexpr std::array<const char*, 16> kValues = {"%I0001",
                                                            "%Q0002",
                                                            "%R0010",
                                                            "%AI0001",
                                                            "+00005",
                                                            "-00001",
                                                            "L1",
                                                            "",
                                                            "Start",
                                                            "\xA3\xB9\x63znik",
                                                            "za\xBF\xF3\xB3\x74\x79",
                                                            "dwa s\xB3owa",
                                                            "\"cytat\"",
                                                            "a\\b",
                                                            "\xA0\x61\xAD",
                                                            "0.10s"};
    static constexpr std::array<char, 14> kTags = {'A', 'S', '1', '2', '3', 'N', 'L',
                                                   'P', 'T', 'G', 'D', 'Z', 'R', 'x'};
    switch (pick(0, 5)) {
        case 0: return {};
        case 1: return randomBytes(pick, pick(0, 12));
        default: break;
    }
    const bool shared = pick(0, 3) == 0;
    std::string text;
    const int fields = pick(1, 4);
    for (int i = 0; i < fields; ++i) {
        if (!shared || text.empty()) {
            text += '#';
        }
        text += kTags[static_cast<std::size_t>(pick(0, static_cast<int>(kTags.size()) - 1))];
        text += kValues[static_cast<std::size_t>(pick(0, static_cast<int>(kValues.size()) - 1))];
        text += '#';
    }
    if (pick(0, 9) == 0) {
        text.pop_back();  // an unclosed last field
    }
    return text;
}

/// Returns a random ladder of 1 to `maxRows` rows.
template <typename Pick>
document::LadderDocument randomLadder(Pick&& pick, int maxRows = 24) {
    static constexpr std::array<int, 24> kSingleKinds = {
        1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 64, 67, 68, 69, 71, 72, 73, 74, 6};
    document::LadderDocument ladder;
    const int rows = pick(1, maxRows);
    ladder.resetGrid(rows);
    const int cells = pick(0, rows * 6);
    for (int i = 0; i < cells; ++i) {
        const int row = pick(0, rows - 1);
        const int col = pick(0, document::kColumns - 1);
        const int link = 100 * pick(0, 3);
        switch (pick(0, 7)) {
            case 0:
            case 1:
            case 2:
                ladder.SetCellCode(row, col,
                                   kSingleKinds[static_cast<std::size_t>(pick(0, 23))] + link);
                ladder.SetCellText(row, col, randomCellText(pick));
                break;
            case 3: ladder.SetCellCode(row, col, link); break;
            case 4: {
                const auto kind = document::kBlockKinds[static_cast<std::size_t>(
                    pick(0, static_cast<int>(document::kBlockKinds.size()) - 1))];
                if (row + document::BlockHeight(kind) <= rows) {
                    document::PlaceBlock(ladder, kind, row, col);
                    ladder.SetField(row, col, 'G', "%R0001");
                }
                break;
            }
            case 5: ladder.SetCellText(row, col, randomCellText(pick)); break;
            case 6:
                // Any code at all, as a damaged file may hold.
                ladder.SetCellCode(
                    row, col,
                    static_cast<std::int32_t>(static_cast<std::uint32_t>(pick(0, 0xFFFF)) << 16 |
                                              static_cast<std::uint32_t>(pick(0, 0xFFFF))));
                break;
            default:
                ladder.SetCellCode(row, col, pick(0, 1600) - 100);
                ladder.SetCellText(row, col, randomBytes(pick, pick(0, 8)));
                break;
        }
    }
    return ladder;
}

}  // namespace wirtualon::testing
