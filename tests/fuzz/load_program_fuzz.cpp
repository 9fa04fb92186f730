// Loads arbitrary bytes as a program and its text file. Whatever loads must save and load back
// to the same document; nothing may crash, hang or read outside its buffers.
#include "document/editing.h"
#include "document/ladder_document.h"
#include "document/program_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

bool sameGrid(const document::LadderDocument& a, const document::LadderDocument& b) {
    if (a.rowCount() != b.rowCount())
        return false;
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

}  // namespace

// Input layout: one control byte, two bytes giving the program file's length, the program
// file, then the text file. Bit 0 of the control byte drops the text file; bit 1 puts a valid
// magic in front so that most inputs reach the rows and texts.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto control = static_cast<unsigned char>(input[0]);
    std::size_t programLength =
        static_cast<unsigned char>(input[1]) |
        (static_cast<std::size_t>(static_cast<unsigned char>(input[2])) << 8);
    const std::string_view rest = input.substr(3);
    programLength = programLength < rest.size() ? programLength : rest.size();
    std::string program;
    if ((control & 2) != 0)
        program.assign("E\0\0\0M\0\0\0U\0\0\0!\0\0\0\0\0\0\0", 20);
    program.append(rest.substr(0, programLength));
    const std::string_view text = rest.substr(programLength);

    document::LadderDocument loaded;
    loaded.SetCellText(0, 0, "#1poprzedni#");
    document::CopyRange(loaded, 0, 0, 0, 0);
    const document::FileResult result = document::readProgram(
        loaded, program, (control & 1) != 0 ? std::nullopt : std::optional<std::string_view>(text));
    if (!document::programLoaded(result))
        return 0;
    if (loaded.rowCount() < 1 || loaded.clipboard().texts.size() != 1)
        std::abort();

    std::ostringstream savedProgram;
    std::ostringstream savedText;
    if (!document::writeProgram(loaded, savedProgram, savedText))
        std::abort();
    document::LadderDocument reloaded;
    if (document::readProgram(reloaded, savedProgram.str(), savedText.str()) !=
        document::FileResult::Success) {
        std::abort();
    }
    if (!sameGrid(loaded, reloaded))
        std::abort();

    // Editing whatever was loaded must stay inside the grid, too.
    document::DeleteElement(reloaded, 0, 0);
    document::PlaceCoil(reloaded, 3, reloaded.rowCount() - 1, 0);
    document::CutRange(reloaded, 0, 0, reloaded.rowCount() - 1, 9);
    document::Paste(reloaded, 1, 0);
    return 0;
}
