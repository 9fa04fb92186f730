// The cells of the listing views' lines.
#include "translator/source_map.h"

#include "translator/listing_text.h"

namespace translator {

std::vector<int> instructionViewCells(const SourceMap& map) {
    std::vector<int> cells(kViewHeaderLines, kNoCell);
    cells.insert(cells.end(), map.lineCells.begin(), map.lineCells.end());
    return cells;
}

std::vector<int> programViewCells(const SourceMap& map) {
    std::vector<int> cells(kViewHeaderLines, kNoCell);
    cells.insert(cells.end(), map.wordCells.begin(), map.wordCells.end());
    cells.insert(cells.end(), kProgramViewClosingLines, kNoCell);
    return cells;
}

}  // namespace translator
