// Reads arbitrary bytes as a ladder in text, and writes random ladders as text. Whatever the
// reader takes must write back to a text that reads to the same ladder and writes to itself; a
// refused text leaves the document as it was; every ladder comes back from its text exactly.
#include "tests/support/random_ladder.h"

#include "document/ladder_document.h"
#include "document/ladder_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <string_view>

namespace {

bool sameGrid(const document::LadderDocument& a, const document::LadderDocument& b) {
    if (a.rowCount() != b.rowCount()) {
        return false;
    }
    for (int row = 0; row < a.rowCount(); ++row) {
        for (int col = 0; col < document::kColumns; ++col) {
            if (a.CellCode(row, col) != b.CellCode(row, col) ||
                a.cellTextRef(row, col) != b.cellTextRef(row, col)) {
                return false;
            }
        }
    }
    return true;
}

// A row count in the hundreds of thousands is a valid text of two lines that asks for a grid
// of millions of cells: correct, but slow enough to stall the search; such inputs are left out.
bool asksForAHugeGrid(std::string_view text) {
    const std::size_t at = text.find("wiersze");
    if (at == std::string_view::npos) {
        return false;
    }
    std::size_t digits = 0;
    for (std::size_t i = at + 7; i < text.size() && digits < 6; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            ++digits;
        } else if (digits > 0) {
            break;
        }
    }
    return digits >= 5;
}

void checkText(std::string_view text) {
    if (asksForAHugeGrid(text)) {
        return;
    }
    document::LadderDocument read;
    read.SetCellText(0, 0, "#1poprzedni#");
    const document::LadderDocument before = read;
    if (document::readLadderText(read, text)) {
        if (!sameGrid(before, read)) {
            std::abort();
        }
        return;
    }
    const std::string written = document::ladderText(read);
    document::LadderDocument again;
    if (document::readLadderText(again, written) || !sameGrid(read, again) ||
        document::ladderText(again) != written) {
        std::abort();
    }
}

}  // namespace

// The first byte chooses: odd reads the rest as text, even builds a random ladder from it and
// checks that its text brings it back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    if ((data[0] & 1) != 0) {
        checkText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
        return 0;
    }
    FuzzedDataProvider input(data + 1, size - 1);
    const auto pick = [&](int lo, int hi) { return input.ConsumeIntegralInRange(lo, hi); };
    const document::LadderDocument ladder = wirtualon::testing::randomLadder(pick);
    const std::string text = document::ladderText(ladder);
    document::LadderDocument read;
    if (document::readLadderText(read, text) || !sameGrid(ladder, read)) {
        std::abort();
    }
    checkText(text);
    return 0;
}
