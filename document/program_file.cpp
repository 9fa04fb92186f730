// Saving and loading a program: the binary file of element codes and its ".str" text file.
#include "document/program_file.h"

#include "document/file_replacement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <ostream>
#include <sstream>
#include <system_error>

namespace document {

namespace {

constexpr std::array<std::int32_t, 4> kMagic = {69, 77, 85, 33};  // "EMU!"
constexpr std::size_t kWordSize = 4;
constexpr std::size_t kHeaderWords = 10;
constexpr std::size_t kHeaderSize = kHeaderWords * kWordSize;
constexpr std::size_t kRowSize = kColumns * kWordSize;
constexpr std::size_t kRowCountOffset = 20;
constexpr std::int64_t kMaxRows = kMaxProgramRows;

void appendWord(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((bits >> shift) & 0xFFu);
    }
}

std::int32_t wordAt(std::string_view bytes, std::size_t offset) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < kWordSize; ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

// Reads one line of the text file from `pos`: up to a line feed or the end, without the bytes
// below 32 (the carriage return among them).
std::string readLine(std::string_view text, std::size_t& pos) {
    std::string line;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == '\n')
            break;
        if (static_cast<unsigned char>(c) >= 32)
            line += c;
    }
    return line;
}

// Reads at most `limit` bytes of a regular file: a device or pipe given as a program must
// not make the loader wait or read without end.
std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t limit) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes;
    std::array<char, 65536> chunk{};
    while (bytes.size() < limit && in) {
        const std::size_t wanted = std::min(chunk.size(), limit - bytes.size());
        in.read(chunk.data(), static_cast<std::streamsize>(wanted));
        bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        return std::nullopt;
    return bytes;
}

}  // namespace

bool programLoaded(FileResult result) {
    switch (result) {
        case FileResult::Success:
        case FileResult::TextFileMissing:
        case FileResult::TextFileShort: return true;
        case FileResult::CannotOpen:
        case FileResult::NotProgramFile:
        case FileResult::BadRowCount:
        case FileResult::CannotWrite:
        case FileResult::BadText: return false;
    }
    return false;
}

std::string fileResultMessage(FileResult result, std::string_view fileName,
                              std::error_code reason) {
    const std::string name(fileName);
    switch (result) {
        case FileResult::Success: return {};
        case FileResult::CannotOpen: return "Nie można otworzyć pliku " + name;
        case FileResult::NotProgramFile: return "Plik " + name + " nie jest plikiem programu.";
        case FileResult::BadRowCount:
            return "Plik " + name + " jest uszkodzony: nieprawidłowa liczba wierszy.";
        case FileResult::TextFileMissing:
            return "Brak pliku tekstowego " + name +
                   ".str: program wczytano bez operandów i opisów.";
        case FileResult::TextFileShort:
            return "Plik tekstowy " + name +
                   ".str jest niepełny: brakujące operandy i opisy są puste.";
        case FileResult::CannotWrite:
            return "Nie można zapisać pliku " + name +
                   (reason ? ": " + fileErrorText(reason) : std::string()) +
                   "; poprzednia wersja pozostała bez zmian.";
        case FileResult::BadText: return "Plik " + name + " nie jest poprawną drabiną w tekście.";
    }
    return {};
}

std::filesystem::path textFilePath(const std::filesystem::path& programFile) {
    std::filesystem::path text = programFile;
    text += ".str";
    return text;
}

bool writeProgram(const LadderDocument& document, std::ostream& program, std::ostream& text) {
    const int rows = document.rowCount();
    std::string codes;
    codes.reserve(kHeaderSize + kRowSize * static_cast<std::size_t>(rows));
    for (const std::int32_t word : kMagic)
        appendWord(codes, word);
    appendWord(codes, 0);
    appendWord(codes, rows);
    for (int i = 0; i < 4; ++i)
        appendWord(codes, 0);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < kColumns; ++col)
            appendWord(codes, document.CellCode(row, col));
    }
    program.write(codes.data(), static_cast<std::streamsize>(codes.size()));

    std::string lines;
    for (int col = 0; col < kColumns; ++col) {
        for (int row = 0; row < rows; ++row) {
            // Bytes below 32 never come back from the reader, and a line feed would shift every
            // later text into the wrong cell: they are left out.
            for (const char c : document.cellTextRef(row, col)) {
                if (static_cast<unsigned char>(c) >= 32)
                    lines += c;
            }
            lines += "\r\n";
        }
    }
    text.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    return program.good() && text.good();
}

bool hasProgramFileHeader(std::string_view bytes) {
    static_assert(kProgramFileHeaderBytes == kMagic.size() * kWordSize);
    if (bytes.size() < kProgramFileHeaderBytes)
        return false;
    for (std::size_t i = 0; i < kMagic.size(); ++i) {
        if (wordAt(bytes, i * kWordSize) != kMagic[i])
            return false;
    }
    return true;
}

FileResult readProgram(LadderDocument& document, std::string_view program,
                       std::optional<std::string_view> text) {
    // Magic words and the reserved zero, then the row count.
    if (program.size() < kRowCountOffset + kWordSize || !hasProgramFileHeader(program))
        return FileResult::NotProgramFile;
    if (wordAt(program, kMagic.size() * kWordSize) != 0)
        return FileResult::NotProgramFile;
    const std::int64_t rows = wordAt(program, kRowCountOffset);
    const std::int64_t rowsInFile =
        program.size() < kHeaderSize
            ? 0
            : static_cast<std::int64_t>((program.size() - kHeaderSize) / kRowSize);
    if (rows < 1 || rows > rowsInFile || rows > kMaxRows)
        return FileResult::BadRowCount;

    // Nothing of the previous program may survive into this one; the clipboard does.
    const int rowCount = static_cast<int>(rows);
    document.resetGrid(rowCount);
    std::size_t offset = kHeaderSize;
    for (int row = 0; row < rowCount; ++row) {
        for (int col = 0; col < kColumns; ++col, offset += kWordSize) {
            document.SetCellCode(row, col, wordAt(program, offset));
        }
    }
    document.setStatus(DocumentStatus::Loaded);
    if (!text)
        return FileResult::TextFileMissing;

    std::size_t pos = 0;
    for (int col = 0; col < kColumns; ++col) {
        for (int row = 0; row < rowCount; ++row) {
            if (pos >= text->size())
                return FileResult::TextFileShort;
            document.SetCellText(row, col, readLine(*text, pos));
        }
    }
    return FileResult::Success;
}

FileResult SaveProgram(LadderDocument& document, const std::filesystem::path& fileName) {
    std::error_code reason;
    return SaveProgram(document, fileName, reason);
}

FileResult SaveProgram(LadderDocument& document, const std::filesystem::path& fileName,
                       std::error_code& reason) {
    reason.clear();
    std::ostringstream program;
    std::ostringstream text;
    if (!writeProgram(document, program, text)) {
        reason = std::make_error_code(std::errc::not_enough_memory);
        return FileResult::CannotWrite;
    }

    // Both files are complete under temporary names before either old file is replaced; each
    // name may be a symbolic link, and then the file it points to is the one replaced.
    FileReplacement programFile(fileName);
    FileReplacement textFile(textFilePath(fileName));
    const auto fail = [&](std::error_code error) {
        reason = error;
        return FileResult::CannotWrite;
    };
    if (const std::error_code error = programFile.write(program.view())) {
        return fail(error);
    }
    if (const std::error_code error = textFile.write(text.view())) {
        return fail(error);
    }
    // The old text file steps aside instead of being overwritten, so that it can come back
    // when the program file cannot be put in place: the old pair then stays as it was.
    const std::filesystem::path& textName = textFile.target();
    const std::filesystem::path textBackup = temporaryBeside(textName);
    std::error_code error;
    const bool hadText = textFile.replacesAFile();
    if (hadText) {
        std::filesystem::rename(textName, textBackup, error);
        if (error) {
            return fail(error);
        }
    }
    if (const std::error_code failed = textFile.commit()) {
        if (hadText) {
            std::filesystem::rename(textBackup, textName, error);
        }
        return fail(failed);
    }
    if (const std::error_code failed = programFile.commit()) {
        // The new text file goes again: the old one comes back, or none stays when none was.
        if (hadText) {
            std::filesystem::rename(textBackup, textName, error);
        } else {
            std::filesystem::remove(textName, error);
        }
        return fail(failed);
    }
    if (hadText) {
        std::filesystem::remove(textBackup, error);
    }
    document.setStatus(DocumentStatus::Saved);
    return FileResult::Success;
}

FileResult LoadProgram(LadderDocument& document, const std::filesystem::path& fileName) {
    // Bytes after the largest acceptable program are never looked at.
    constexpr std::size_t kMaxProgramBytes = kHeaderSize + kRowSize * std::size_t{kMaxRows};
    const std::optional<std::string> program = readFile(fileName, kMaxProgramBytes);
    if (!program)
        return FileResult::CannotOpen;
    // A text file can hold at most one line a cell; a gigabyte is far beyond any real program,
    // and a text file larger than that reads as a short one instead of exhausting memory.
    constexpr std::size_t kMaxTextBytes = std::size_t{1} << 30;
    const std::optional<std::string> text = readFile(textFilePath(fileName), kMaxTextBytes);
    return readProgram(document, *program,
                       text ? std::optional<std::string_view>(*text) : std::nullopt);
}

}  // namespace document
