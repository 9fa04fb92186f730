// The translation driver: feeds the translator from the ladder document, and builds the texts
// of the two listing views (instruction list and interpreter program) from its outputs.
#pragma once

#include "plc/program.h"
#include "translator/source_map.h"
#include "translator/translation_warning.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace document {
class LadderDocument;
}

namespace translator {

class Translator;

/// How a translation is run.
struct TranslationOptions {
    /// The trace file, rewritten at every translation; empty (the default) writes no trace.
    std::filesystem::path tracePath;
};

/// Everything a command needs from one translation. All texts are UTF-8.
struct TranslationResult {
    int errorCode = 0;   ///< 0 on success, else the error number 1 to 35
    int errorRow = 0;    ///< 0-based row of the offending cell
    int errorCol = 0;    ///< 0-based column of the offending cell
    std::string report;  ///< "Błąd 4 (w7k2): Brak opisu elementu"; empty on success
    std::vector<std::string> instructionList;  ///< first view: header lines, then the list
    std::vector<std::string> programListing;   ///< second view: header, "   i:  word", rule, ""
    plc::Program program;  ///< the words (end word included) and the edge and timer counts
    SourceMap sourceMap;   ///< the cells the listed lines and the words came from
    /// Why the trace file could not be written ("Nie można zapisać pliku śladu EMU.txt: brak
    /// miejsca na dysku"); empty when it was or none was asked for. Never fails a translation.
    std::string traceProblem;
    std::vector<TranslationWarning> warnings;  ///< remarks on the program, by their cells

    /// Returns true when the program translated.
    [[nodiscard]] bool ok() const { return errorCode == 0; }
};

/// Returns the note on a trace file that could not be written: the file `path` and `error`'s
/// reason in Polish; empty for no error.
[[nodiscard]] std::string traceProblemText(const std::filesystem::path& path,
                                           std::error_code error);

/// Hands `document` to `translator` as every translating command does: the JUMP and MCR counts,
/// `init` with the document's row count, then the code and text of every cell.
void loadDocument(Translator& translator, const document::LadderDocument& document);

/// Runs one translation of `document` as the editor's commands do: counts the JUMP and MCR
/// cells, copies every cell into the translator, translates, and on success fills the program
/// and both listing views; on failure only the error and its report.
[[nodiscard]] TranslationResult translateDocument(const document::LadderDocument& document,
                                                  const TranslationOptions& options = {});

/// Returns the instruction-list view: its five header lines, then `lines` up to the first
/// empty one. `lines` are code page 1250 bytes as the translator writes them.
[[nodiscard]] std::vector<std::string> instructionListView(const std::vector<std::string>& lines);

/// Returns the interpreter-program view: its five header lines, "   i:  word" for every word,
/// the closing rule of 35 hyphens and an empty line.
[[nodiscard]] std::vector<std::string> programView(const std::vector<std::int32_t>& words);

/// Returns `lines` joined, each followed by a line feed.
[[nodiscard]] std::string joinLines(const std::vector<std::string>& lines);

}  // namespace translator
