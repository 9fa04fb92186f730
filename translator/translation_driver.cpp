// The translation driver and the two listing views.
#include "translator/translation_driver.h"

#include "document/cell_code.h"
#include "document/cp1250.h"
#include "document/file_replacement.h"
#include "document/ladder_document.h"
#include "translator/listing_text.h"
#include "translator/translation_error.h"
#include "translator/translator.h"

namespace translator {

void loadDocument(Translator& translator, const document::LadderDocument& document) {
    const int rows = document.rowCount();
    // The label tables are sized by these counts; linked JUMP and MCR cells are translated
    // too, so they are counted with them.
    int jumps = 0;
    int mcrs = 0;
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < 10; ++col) {
            const std::int32_t kind = document::kindOf(document.CellCode(row, col));
            jumps += kind == document::ElementKind::Jump ? 1 : 0;
            mcrs += kind == document::ElementKind::Mcr ? 1 : 0;
        }
    }

    translator.setJumpCount(jumps);
    translator.setMcrCount(mcrs);
    translator.init(rows);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < 10; ++col) {
            translator.setCell(row, col, document.CellCode(row, col),
                               document.cellTextRef(row, col));
        }
    }
}

TranslationResult translateDocument(const document::LadderDocument& document,
                                    const TranslationOptions& options) {
    Translator translator;
    translator.setTracePath(options.tracePath);
    loadDocument(translator, document);

    TranslationResult result;
    if (translator.Translate() != 0) {
        result.errorCode = translator.errorCode();
        result.errorRow = translator.errorPos() / 10;
        result.errorCol = translator.errorPos() % 10;
        result.report = errorReportText(result.errorCode, result.errorRow, result.errorCol);
        translator.release();
        result.traceProblem = traceProblemText(options.tracePath, translator.traceError());
        return result;
    }
    const std::vector<std::int32_t> words = translator.programWords();
    result.instructionList = instructionListView(translator.lines());
    result.programListing = programView(words);
    result.program = plc::Program(words, translator.edgeCount(), translator.timerCount());
    result.sourceMap = translator.sourceMap();
    result.warnings = translator.warnings();
    // The view lists the lines up to the first empty one; so does the map.
    result.sourceMap.lineCells.resize(result.instructionList.size() - kViewHeaderLines);
    translator.release();
    result.traceProblem = traceProblemText(options.tracePath, translator.traceError());
    return result;
}

std::string traceProblemText(const std::filesystem::path& path, std::error_code error) {
    if (!error) {
        return {};
    }
    return "Nie można zapisać pliku śladu " + path.string() + ": " + document::fileErrorText(error);
}

std::vector<std::string> instructionListView(const std::vector<std::string>& lines) {
    std::vector<std::string> view = {"  POSTAĆ PROGRAMU", "  W FORMACIE LISTY", "     INSTRUKCJI",
                                     "", kRule};
    for (const std::string& line : lines) {
        if (line.empty()) {
            break;
        }
        view.push_back(document::cp1250ToUtf8(line));
    }
    return view;
}

std::vector<std::string> programView(const std::vector<std::int32_t>& words) {
    std::vector<std::string> view = {" POSTAĆ PROGRAMU", "  W FORMACIE DLA", "   INTERPRETERA", "",
                                     kRule};
    view.reserve(words.size() + 7);
    for (std::size_t i = 0; i < words.size(); ++i) {
        view.push_back("   " + std::to_string(i) + ":  " + std::to_string(words[i]));
    }
    view.push_back(kRule);
    view.push_back("");
    return view;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace translator
