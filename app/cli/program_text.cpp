// Interpreter programs read from text: plain words or the interpreter-program view.
#include "app/cli/program_text.h"

#include "operands/text_blanks.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace cli {

namespace {

constexpr std::size_t kExcerptBytes = 16;

// The view's header lines, blanks around them dropped; the title's letter Ć may come in
// UTF-8, as `program` prints it, or in code page 1250.
constexpr std::string_view kTitle = "POSTAĆ PROGRAMU";
constexpr std::string_view kTitleCp1250 = "POSTA\xC6 PROGRAMU";
constexpr std::string_view kSecondLine = "W FORMACIE DLA";
constexpr std::string_view kThirdLine = "INTERPRETERA";

// A carriage return counts as a blank: program texts may come with Windows line ends.
constexpr std::string_view kTextBlanks = " \t\r";

bool isBlank(char c) {
    return kTextBlanks.find(c) != std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
    return operands::trimmed(text, kTextBlanks);
}

bool isRule(std::string_view line) {
    return line.size() >= 3 && line.find_first_not_of('-') == std::string_view::npos;
}

std::optional<plc::ProgramWord> parseWord(std::string_view token) {
    if (token.size() > 1 && token.front() == '+' && token[1] >= '0' && token[1] <= '9') {
        token.remove_prefix(1);  // from_chars takes no plus sign
    }
    plc::ProgramWord word = 0;
    const auto [next, error] = std::from_chars(token.data(), token.data() + token.size(), word);
    if (token.empty() || error != std::errc() || next != token.data() + token.size()) {
        return std::nullopt;
    }
    return word;
}

std::string notAWord(std::size_t index, std::string_view token) {
    return "słowo nr " + std::to_string(index) + " (\"" + excerpt(token) +
           "\") nie jest liczbą całkowitą 32-bitową";
}

// Words separated by blanks, commas and line ends.
bool readPlainWords(std::string_view text, std::vector<plc::ProgramWord>& words,
                    std::string& problem) {
    std::size_t pos = 0;
    auto isSeparator = [](char c) { return isBlank(c) || c == ',' || c == '\n'; };
    while (pos < text.size()) {
        if (isSeparator(text[pos])) {
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && !isSeparator(text[end])) {
            ++end;
        }
        const std::string_view token = text.substr(pos, end - pos);
        const std::optional<plc::ProgramWord> word = parseWord(token);
        if (!word) {
            problem = notAWord(words.size(), token);
            return false;
        }
        words.push_back(*word);
        pos = end;
    }
    return true;
}

// The lines of a text, without their line feeds, carriage returns and surrounding blanks.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back(trimmed(text.substr(pos, end - pos)));
        pos = end + 1;
    }
    return lines;
}

std::string atLine(std::size_t line, const std::string& what) {
    return "wiersz " + std::to_string(line + 1) + ": " + what;
}

// The view `program` prints, from its title line `first` on: the header, "i:  word" lines
// numbered from 0, the closing rule, then nothing but blank lines.
bool readView(const std::vector<std::string_view>& lines, std::size_t first,
              std::vector<plc::ProgramWord>& words, std::string& problem) {
    std::size_t line = first + 1;
    for (const std::string_view expected : {kSecondLine, kThirdLine}) {
        if (line >= lines.size() || lines[line] != expected) {
            problem = atLine(line, "oczekiwano nagłówka \"" + std::string(expected) + "\"");
            return false;
        }
        ++line;
    }
    while (line < lines.size() && lines[line].empty()) {
        ++line;
    }
    if (line >= lines.size() || !isRule(lines[line])) {
        problem = atLine(line, "oczekiwano linii kresek po nagłówku");
        return false;
    }
    for (++line; line < lines.size() && !isRule(lines[line]); ++line) {
        const std::string_view text = lines[line];
        const std::size_t colon = text.find(':');
        const std::string_view numberText = text.substr(0, colon);
        const std::optional<plc::ProgramWord> number =
            colon == std::string_view::npos ? std::nullopt : parseWord(numberText);
        if (!number || numberText.front() == '-' || numberText.front() == '+') {
            problem = atLine(line, "oczekiwano \"numer:  słowo\", jest \"" + excerpt(text) + "\"");
            return false;
        }
        if (static_cast<std::size_t>(*number) != words.size()) {
            problem = atLine(line, "numer słowa " + std::to_string(*number) + " zamiast " +
                                       std::to_string(words.size()));
            return false;
        }
        const std::string_view token = trimmed(text.substr(colon + 1));
        const std::optional<plc::ProgramWord> word = parseWord(token);
        if (!word) {
            problem = atLine(line, notAWord(words.size(), token));
            return false;
        }
        words.push_back(*word);
    }
    if (line >= lines.size()) {
        problem = "widok programu urwany: brak zamykającej linii kresek";
        return false;
    }
    for (++line; line < lines.size(); ++line) {
        if (!lines[line].empty()) {
            problem =
                atLine(line, "tekst po zamykającej linii kresek: \"" + excerpt(lines[line]) + "\"");
            return false;
        }
    }
    return true;
}

}  // namespace

std::string excerpt(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < kExcerptBytes; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // The excerpt stands in quotes: a quote or backslash of its own is escaped too.
        if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
            out += static_cast<char>(byte);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    if (text.size() > kExcerptBytes) {
        out += "...";
    }
    return out;
}

std::optional<plc::Program> parseProgramText(std::string_view text, std::string& problem) {
    std::vector<plc::ProgramWord> words;
    const std::vector<std::string_view> lines = linesOf(text);
    std::size_t first = 0;
    while (first < lines.size() && lines[first].empty()) {
        ++first;
    }
    const bool view =
        first < lines.size() && (lines[first] == kTitle || lines[first] == kTitleCp1250);
    if (!(view ? readView(lines, first, words, problem) : readPlainWords(text, words, problem))) {
        return std::nullopt;
    }
    if (words.empty() || words.back() != plc::kEnd) {
        problem = "program nie kończy się słowem końca -255";
        return std::nullopt;
    }
    plc::Program program(std::move(words), kTextProgramTables, kTextProgramTables);
    const plc::ProgramCheck check = plc::checkProgram(program);
    if (check.fault != plc::ProgramFault::None) {
        problem = "słowo nr " + std::to_string(check.index);
        if (check.index < program.size()) {
            problem += " (" + std::to_string(program.words()[check.index]) + ")";
        }
        problem += ": " + std::string(plc::programFaultText(check.fault));
        return std::nullopt;
    }
    return program;
}

}  // namespace cli
