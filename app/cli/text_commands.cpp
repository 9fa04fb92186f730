// totext and fromtext: a ladder between its program file pair and its text.
#include "app/cli/text_commands.h"

#include "app/cli/cli_runner.h"
#include "document/file_replacement.h"
#include "document/ladder_document.h"
#include "document/ladder_file.h"
#include "document/ladder_text.h"
#include "document/program_file.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

namespace cli {

namespace {

// The largest ladder in text the tools read, as the editor's loader.
constexpr std::size_t kMaxTextBytes = std::size_t{1} << 30;

struct ConversionArgs {
    std::string input;
    std::optional<std::string> output;
    bool textconv = false;
};

std::optional<ConversionArgs> parseConversionArgs(const std::vector<std::string>& args,
                                                  bool takesTextconv, std::string& problem) {
    ConversionArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o") {
            if (i + 1 >= args.size()) {
                problem = "po -o brak nazwy pliku";
                return std::nullopt;
            }
            if (parsed.output) {
                problem = "plik wynikowy podano dwa razy";
                return std::nullopt;
            }
            parsed.output = args[++i];
        } else if (takesTextconv && arg == "--textconv") {
            parsed.textconv = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            problem = "nieznana opcja " + arg;
            return std::nullopt;
        } else if (!parsed.input.empty()) {
            problem = "podano więcej niż jeden plik: " + arg;
            return std::nullopt;
        } else {
            parsed.input = arg;
        }
    }
    if (parsed.input.empty()) {
        problem = "brak nazwy pliku";
        return std::nullopt;
    }
    return parsed;
}

// True when both names lead to one existing file: writing the one would destroy the other.
bool sameFile(const std::string& a, const std::filesystem::path& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool readLadderBytes(const std::string& fileName, std::string& bytes, std::ostream& err) {
    if (!readBytes(fileName, kMaxTextBytes, bytes)) {
        err << "Nie można odczytać pliku " << fileName << '\n';
        return false;
    }
    if (bytes.size() > kMaxTextBytes) {
        err << "Plik " << fileName << " jest za duży (ponad 1 GiB)\n";
        return false;
    }
    return true;
}

// Each file of a pair on its own, as a diff driver hands over one file at a time, often a
// temporary copy without its companion beside it: a program file gives its elements only, so
// that both sides of a diff show the same, and a text file its texts by cell.
int textconvText(const std::string& fileName, std::string& text, std::ostream& err) {
    std::string bytes;
    if (!readLadderBytes(fileName, bytes, err)) {
        return kExitBadInput;
    }
    document::LadderDocument document;
    if (document::hasProgramFileHeader(bytes)) {
        const document::FileResult result = document::readProgram(document, bytes, std::nullopt);
        if (!document::programLoaded(result)) {
            err << document::fileResultMessage(result, fileName) << '\n';
            return kExitBadInput;
        }
        text = document::ladderText(document);
    } else if (document::hasLadderTextHeader(bytes)) {
        if (const auto problem = document::readLadderText(document, bytes)) {
            err << "Plik " << fileName << ", " << problem->message() << '\n';
            return kExitBadInput;
        }
        text = document::ladderText(document);
    } else {
        text = document::textFileView(bytes);
    }
    return kExitOk;
}

}  // namespace

int totextCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  std::string_view usage) {
    std::string problem;
    const std::optional<ConversionArgs> parsed = parseConversionArgs(args, true, problem);
    if (!parsed) {
        err << "wirtualon-cli totext: " << problem << '\n' << usage;
        return kExitBadInput;
    }
    std::string text;
    if (parsed->textconv) {
        if (const int status = textconvText(parsed->input, text, err); status != kExitOk) {
            return status;
        }
    } else {
        document::LadderDocument document;
        const document::LadderFileOutcome opened = document::openLadder(document, parsed->input);
        if (!opened.message.empty()) {
            err << opened.message << '\n';
        }
        if (!opened.loaded()) {
            return kExitBadInput;
        }
        text = document::ladderText(document);
    }
    if (!parsed->output) {
        out << text;
        return kExitOk;
    }
    if (sameFile(parsed->input, *parsed->output)) {
        err << "wirtualon-cli totext: plik wynikowy " << *parsed->output
            << " jest plikiem programu; zapis by go zniszczył\n";
        return kExitBadInput;
    }
    document::FileReplacement file(*parsed->output);
    std::error_code reason = file.write(text);
    if (!reason) {
        reason = file.commit();
    }
    if (reason) {
        err << document::fileResultMessage(document::FileResult::CannotWrite, *parsed->output,
                                           reason)
            << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

int fromtextCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err,
                    std::string_view usage) {
    std::string problem;
    std::optional<ConversionArgs> parsed = parseConversionArgs(args, false, problem);
    if (parsed && !parsed->output) {
        problem = "brak -o PROGRAM.jar: nazwy pliku programu do zapisania";
        parsed.reset();
    }
    if (!parsed) {
        err << "wirtualon-cli fromtext: " << problem << '\n' << usage;
        return kExitBadInput;
    }
    const std::filesystem::path output = *parsed->output;
    if (sameFile(parsed->input, output) ||
        sameFile(parsed->input, document::textFilePath(output))) {
        err << "wirtualon-cli fromtext: plik wynikowy " << output.string()
            << " jest tekstem drabiny; zapis by go zniszczył\n";
        return kExitBadInput;
    }
    std::string bytes;
    if (!readLadderBytes(parsed->input, bytes, err)) {
        return kExitBadInput;
    }
    document::LadderDocument document;
    if (const auto textProblem = document::readLadderText(document, bytes)) {
        err << "Plik " << parsed->input << ", " << textProblem->message() << '\n';
        return kExitBadInput;
    }
    std::error_code reason;
    const document::FileResult saved = document::SaveProgram(document, output, reason);
    if (saved != document::FileResult::Success) {
        err << document::fileResultMessage(saved, output.string(), reason) << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

}  // namespace cli
