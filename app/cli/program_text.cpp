// Interpreter programs read from text.
#include "app/cli/program_text.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace cli {

std::optional<plc::Program> parseProgramText(std::string_view text, std::string& problem) {
    std::vector<plc::ProgramWord> words;
    std::size_t pos = 0;
    auto isSeparator = [](char c) {
        return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r';
    };
    while (pos < text.size()) {
        if (isSeparator(text[pos])) {
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && !isSeparator(text[end])) {
            ++end;
        }
        std::string_view token = text.substr(pos, end - pos);
        if (token.size() > 1 && token.front() == '+' && token[1] >= '0' && token[1] <= '9') {
            token.remove_prefix(1);  // from_chars takes no plus sign
        }
        plc::ProgramWord word = 0;
        const auto [next, error] = std::from_chars(token.data(), token.data() + token.size(), word);
        if (error != std::errc() || next != token.data() + token.size()) {
            problem = "słowo nr " + std::to_string(words.size()) + " (\"" +
                      std::string(text.substr(pos, end - pos)) +
                      "\") nie jest liczbą całkowitą 32-bitową";
            return std::nullopt;
        }
        words.push_back(word);
        pos = end;
    }
    if (words.empty() || words.back() != plc::kEnd) {
        problem = "program nie kończy się słowem końca -255";
        return std::nullopt;
    }
    return plc::Program(std::move(words), kTextProgramTables, kTextProgramTables);
}

}  // namespace cli
