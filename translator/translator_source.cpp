// The cells a function block's items come from, for the source map.
#include "document/block_description.h"
#include "translator/translator.h"

namespace translator {

int Translator::itemSource(const document::BlockDescription& block,
                           const document::BlockItem& item) const {
    using document::ItemKind;
    const int headRow = m_headPos / 10;
    const int headCol = m_headPos % 10;
    auto cell = [&](int rowOffset, int colOffset) {
        const int row = headRow + rowOffset;
        const int col = headCol + colOffset;
        return inGrid(row, col) ? row * 10 + col : m_headPos;
    };
    switch (item.kind) {
        case ItemKind::PowerFlow:
        case ItemKind::Preset:
        case ItemKind::OptionalOperand: return cell(item.row, -1);
        case ItemKind::Operand:
        case ItemKind::FollowingWords:
            return cell(item.row, item.side == document::Side::Left ? -1 : 1);
        case ItemKind::CallName: return cell(item.row, 1);
        case ItemKind::DataType: return cell(1, 0);  // the type stands in the block's second row
        case ItemKind::TimeBase:
        case ItemKind::Register:
        case ItemKind::Length:
        case ItemKind::Output: return cell(item.row, 0);
        case ItemKind::RegisterAgain:
            // The register's words once more: from the cell that names the register.
            for (const document::BlockItem& other : block.items) {
                if (other.kind == ItemKind::Register) {
                    return cell(other.row, 0);
                }
            }
            return m_headPos;
        case ItemKind::TimerIndex: return m_headPos;
    }
    return m_headPos;
}

}  // namespace translator
