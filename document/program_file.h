// The program file (element codes, little-endian 32-bit words) and its companion text file
// (file name + ".str", cell texts column by column, CR LF), saved safely and loaded with checks.
#pragma once

#include "document/ladder_document.h"

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace document {

/// Outcome of saving or loading a program.
enum class FileResult : int {
    Success = 0,
    CannotOpen = 1,       ///< load: the program file cannot be opened
    NotProgramFile = 2,   ///< load: wrong magic words or reserved word not 0; nothing changed
    BadRowCount = 3,      ///< load: row count below 1 or more rows than the file holds
    TextFileMissing = 4,  ///< load: codes loaded, no text file, all texts empty
    TextFileShort = 5,    ///< load: codes loaded, missing lines gave empty texts
    CannotWrite = 6,      ///< save: a file could not be written; the old files are intact
    BadText = 7,          ///< load: a ladder in text with a line the reader does not take
};

/// The most rows a program may have, in either form; keeps a damaged row count from asking for
/// gigabytes.
inline constexpr int kMaxProgramRows = 1'000'000;

/// Returns true when the result left a loaded program in the document (status Loaded).
[[nodiscard]] bool programLoaded(FileResult result);

/// Returns the Polish message (UTF-8) for a result, naming `fileName` (UTF-8) and, when given,
/// the system's `reason` for a failure; empty for Success.
[[nodiscard]] std::string fileResultMessage(FileResult result, std::string_view fileName,
                                            std::error_code reason = {});

/// Returns the text file's name: the program file's full name with ".str" appended.
[[nodiscard]] std::filesystem::path textFilePath(const std::filesystem::path& programFile);

/// Bytes at the start of every program file that say what it is (its magic words).
inline constexpr std::size_t kProgramFileHeaderBytes = 16;

/// Returns true when `bytes` begin with a program file's magic words, so that the file is a
/// ladder whatever its name (a damaged one may still be refused by the loader).
[[nodiscard]] bool hasProgramFileHeader(std::string_view bytes);

/// Writes both files under temporary names and puts them in place only when both are
/// complete, so a failed save leaves the previous files as they were. A name that is a symbolic
/// link saves the file it points to, and a file that is replaced keeps its permission bits.
/// Sets status Saved on success. Returns Success or CannotWrite.
[[nodiscard]] FileResult SaveProgram(LadderDocument& document,
                                     const std::filesystem::path& fileName);
/// SaveProgram that also gives the system's reason for CannotWrite in `reason`.
[[nodiscard]] FileResult SaveProgram(LadderDocument& document,
                                     const std::filesystem::path& fileName,
                                     std::error_code& reason);

/// Reads both files into the document, which starts from a clean grid of the file's row count;
/// the clipboard survives. A refused file (CannotOpen, NotProgramFile, BadRowCount) leaves the
/// document unchanged. Sets status Loaded when the codes were loaded.
[[nodiscard]] FileResult LoadProgram(LadderDocument& document,
                                     const std::filesystem::path& fileName);

/// Writes the program file's bytes to `program` and the text file's bytes to `text`.
/// Returns false when a stream failed.
[[nodiscard]] bool writeProgram(const LadderDocument& document, std::ostream& program,
                                std::ostream& text);

/// Loads from the bytes of a program file and of a text file (nothing when the text file is
/// missing); the same checks and results as LoadProgram.
[[nodiscard]] FileResult readProgram(LadderDocument& document, std::string_view program,
                                     std::optional<std::string_view> text);

}  // namespace document
