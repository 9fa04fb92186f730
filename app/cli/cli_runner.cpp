// The command-line tool's subcommands.
#include "app/cli/cli_runner.h"

#include "app/cli/power_lines.h"
#include "app/cli/program_text.h"
#include "app/cli/run_command.h"
#include "app/cli/scenario_runner.h"
#include "app/cli/text_commands.h"
#include "document/ladder_document.h"
#include "document/ladder_file.h"
#include "document/ladder_text.h"
#include "document/program_file.h"
#include "translator/node_analysis.h"
#include "translator/translation_driver.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <system_error>

namespace cli {

namespace {

constexpr std::string_view kUsage =
    "Użycie:\n"
    "  wirtualon-cli check   PROGRAM.jar\n"
    "  wirtualon-cli list    PROGRAM.jar\n"
    "  wirtualon-cli program PROGRAM.jar\n"
    "  wirtualon-cli analyse PROGRAM.jar\n"
    "  wirtualon-cli totext  PROGRAM.jar [-o PLIK.lad.txt] [--textconv]\n"
    "  wirtualon-cli fromtext PLIK.lad.txt -o PROGRAM.jar\n"
    "  wirtualon-cli test    SCENARIUSZ... [--junit PLIK.xml]\n"
    "  wirtualon-cli run     PROGRAM [--scans N] [--tick MS] [--set T:OPERAND=WARTOŚĆ]...\n"
    "                        [--watch OPERAND[:TYP]]... [--stop T]\n"
    "                        [--force T:OPERAND[:TYP]=WARTOŚĆ]... [--release T:OPERAND]...\n"
    "                        [--link BROKER [--topic PRZEDROSTEK]] [--realtime]\n"
    "                        [--modbus [ADRES:]PORT [--modbus-idle S]] [--power]\n"
    "                        [--plant OBIEKT]\n";

// Far beyond the view of the largest program the translator writes (5000 words).
constexpr std::size_t kMaxProgramText = 4 * 1024 * 1024;

}  // namespace

bool readBytes(const std::string& fileName, std::size_t limit, std::string& bytes) {
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error)) {
        return false;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        return false;
    }
    std::array<char, 65536> chunk{};
    while (bytes.size() <= limit && in) {
        const std::size_t wanted = std::min(chunk.size(), limit + 1 - bytes.size());
        in.read(chunk.data(), static_cast<std::streamsize>(wanted));
        bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    return !in.bad();
}

namespace {

// Loads a ladder file in either form; a file that cannot be read gives kExitBadInput. A file
// read only in part is still used, after its complaint.
int loadFile(const std::string& fileName, document::LadderDocument& document, std::ostream& err) {
    const document::LadderFileOutcome opened = document::openLadder(document, fileName);
    if (!opened.message.empty()) {
        err << opened.message << '\n';
    }
    return opened.loaded() ? kExitOk : kExitBadInput;
}

// Loads and translates a ladder file; a file that cannot be read gives kExitBadInput, a broken
// ladder rule its report on `out` and kExitTranslationError.
int translateFile(const std::string& fileName, translator::TranslationResult& result,
                  std::ostream& out, std::ostream& err,
                  document::LadderDocument* loaded = nullptr) {
    document::LadderDocument local;
    document::LadderDocument& document = loaded != nullptr ? *loaded : local;
    if (const int status = loadFile(fileName, document, err); status != kExitOk) {
        return status;
    }
    // The tool leaves no trace file behind in the caller's directory.
    result = translator::translateDocument(document);
    if (!result.ok()) {
        out << result.report << '\n';
        return kExitTranslationError;
    }
    return kExitOk;
}

int translateCommand(const std::string& command, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        err << "Polecenie " << command << " wymaga dokładnie jednego pliku programu\n" << kUsage;
        return kExitBadInput;
    }
    translator::TranslationResult result;
    const int status = translateFile(args[0], result, out, err);
    if (status != kExitOk) {
        return status;
    }
    if (command == "check") {
        // The program runs all the same; the remarks follow the verdict.
        out << "Program poprawny\n";
        for (const translator::TranslationWarning& warning : result.warnings) {
            out << translator::warningReportText(warning) << '\n';
        }
    } else if (command == "list") {
        out << translator::joinLines(result.instructionList);
    } else {
        out << translator::joinLines(result.programListing);
    }
    return kExitOk;
}

// The node and segment analysis of the program's first rung: the trace view, a line "=====",
// the table view. The analysis reports nothing as an error, so a readable file always gives 0.
int analyseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        err << "Polecenie analyse wymaga dokładnie jednego pliku programu\n" << kUsage;
        return kExitBadInput;
    }
    document::LadderDocument document;
    if (const int status = loadFile(args[0], document, err); status != kExitOk) {
        return status;
    }
    const translator::NodeAnalysisResult result =
        translator::AnalyseNodesAndSegments(document, translator::TranslationOptions{{}});
    out << translator::joinLines(result.firstView) << "=====\n"
        << translator::joinLines(result.secondView);
    return kExitOk;
}

}  // namespace

bool isLadderFile(const std::string& fileName) {
    std::string bytes;
    return readBytes(fileName, document::kProgramFileHeaderBytes, bytes) &&
           document::hasProgramFileHeader(bytes);
}

int loadRunProgram(const std::string& fileName, plc::Program& program, std::ostream& out,
                   std::ostream& err, std::optional<PowerLines>* power) {
    // The content decides what the file is, not its name: a ladder begins with its magic
    // words or its text's header, anything else is read as an interpreter program in text.
    std::string bytes;
    if (!readBytes(fileName, kMaxProgramText, bytes)) {
        err << "Nie można odczytać pliku " << fileName << '\n';
        return kExitBadInput;
    }
    if (document::hasProgramFileHeader(bytes) || document::hasLadderTextHeader(bytes)) {
        translator::TranslationResult result;
        document::LadderDocument document;
        const int status = translateFile(fileName, result, out, err, &document);
        if (status != kExitOk) {
            return status;
        }
        program = result.program;
        if (power != nullptr) {
            power->emplace(document, result);
        }
        return kExitOk;
    }
    if (power != nullptr) {
        // The map is drawn on the ladder's cells; a program of words has none.
        err << "wirtualon-cli run: --power wymaga programu w postaci drabinkowej (.jar albo "
               ".lad.txt): "
            << fileName << '\n';
        return kExitBadInput;
    }
    std::string problem;
    std::optional<plc::Program> parsed;
    if (bytes.size() > kMaxProgramText) {
        problem = "tekst dłuższy niż 4 MiB";
    } else {
        parsed = parseProgramText(bytes, problem);
    }
    if (!parsed) {
        err << "Plik " << fileName
            << " nie jest plikiem programu ani programem interpretera: " << problem << '\n';
        return kExitBadInput;
    }
    program = std::move(*parsed);
    return kExitOk;
}

namespace {

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string problem;
    const std::optional<RunOptions> options = parseRunOptions(args, problem);
    if (!options) {
        err << "wirtualon-cli run: " << problem << '\n' << kUsage;
        return kExitBadInput;
    }
    plc::Program program;
    std::optional<PowerLines> power;
    if (const int status =
            loadRunProgram(options->program, program, out, err, options->power ? &power : nullptr);
        status != kExitOk) {
        return status;
    }
    if (!options->plant.empty() && !isLadderFile(options->program)) {
        // Machines run beside ladders only, as they do on the simulator's panel.
        err << "wirtualon-cli run: --plant wymaga programu w postaci drabinkowej (.jar): "
            << options->program << '\n';
        return kExitBadInput;
    }
    return runSimulation(program, *options, out, err, power ? &*power : nullptr);
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return kExitBadInput;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "check" || command == "list" || command == "program") {
        return translateCommand(command, rest, out, err);
    }
    if (command == "run") {
        return runCommand(rest, out, err);
    }
    if (command == "test") {
        return testCommand(rest, out, err, kUsage);
    }
    if (command == "analyse") {
        return analyseCommand(rest, out, err);
    }
    if (command == "totext") {
        return totextCommand(rest, out, err, kUsage);
    }
    if (command == "fromtext") {
        return fromtextCommand(rest, out, err, kUsage);
    }
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return kExitOk;
    }
    err << "Nieznane polecenie: " << command << '\n' << kUsage;
    return kExitBadInput;
}

}  // namespace cli
