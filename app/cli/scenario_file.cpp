// Scenario files.
#include "app/cli/scenario_file.h"

#include "plant/plant_catalogue.h"

#include "app/cli/program_text.h"
#include "operands/operand_syntax.h"
#include "operands/text_blanks.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

namespace cli {

namespace {

// Longer statements are no scenario anyone writes; the bound keeps every message short.
constexpr std::size_t kMaxStatement = 500;
constexpr std::size_t kExcerptCharacters = 16;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && isBlank(text[pos])) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < text.size() && !isBlank(text[pos])) {
            ++pos;
        }
        if (pos > start) {
            result.push_back(text.substr(start, pos - start));
        }
    }
    return result;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

std::string joined(const std::vector<std::string_view>& parts, std::size_t from) {
    std::string result;
    for (std::size_t i = from; i < parts.size(); ++i) {
        result += parts[i];
    }
    return result;
}

// Digits only, no sign: tick numbers and lengths.
std::optional<std::uint64_t> unsignedNumber(std::string_view text) {
    std::uint64_t value = 0;
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || next != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Digits with an optional sign. Any larger magnitude, even one past 64 bits, reads as one far
// beyond every type's range, so that the range check speaks for it.
std::optional<std::int64_t> signedNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    constexpr std::uint64_t kBeyondEveryType = std::uint64_t{1} << 40;
    const std::optional<std::uint64_t> magnitude = unsignedNumber(text);
    const auto value = static_cast<std::int64_t>(magnitude ? std::min(*magnitude, kBeyondEveryType)
                                                           : kBeyondEveryType);
    return negative ? -value : value;
}

// The length of the well-formed UTF-8 sequence at the start of `text`, 0 when there is none
// (overlong forms, surrogates and values past U+10FFFF are not well-formed).
std::size_t sequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// At most the first 16 characters of `text` for a message in quotes, "..." after a longer
// text. Letters, Polish ones too, stand as they are; a byte that is no UTF-8, a control
// character (C1 included, which some terminals obey), a quote and a backslash become \xNN.
std::string textExcerpt(std::string_view text) {
    std::string out;
    for (std::size_t shown = 0; !text.empty() && shown < kExcerptCharacters; ++shown) {
        const auto lead = static_cast<unsigned char>(text.front());
        const std::size_t length = sequenceLength(text);
        const bool control =
            lead < 0x20 || lead == 0x7F ||
            (lead == 0xC2 && length == 2 && static_cast<unsigned char>(text[1]) < 0xA0);
        if (length == 0 || control || lead == '"' || lead == '\\') {
            const std::size_t escaped = length == 0 ? 1 : length;
            for (std::size_t i = 0; i < escaped; ++i) {
                char code[5];
                std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(text[i]));
                out += code;
            }
            text.remove_prefix(escaped);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    if (!text.empty()) {
        out += "...";
    }
    return out;
}

struct ValueRange {
    std::int64_t low;
    std::int64_t high;
};

ValueRange rangeOf(plc::DataType type) {
    switch (type) {
        case plc::DataType::Bit: return {0, 1};
        case plc::DataType::Byte: return {0, 255};
        case plc::DataType::Word: return {0, 65535};
        case plc::DataType::Int: return {-32768, 32767};
        case plc::DataType::Dint:
            return {std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max()};
        case plc::DataType::Bcd4: return {0, 9999};
    }
    return {0, 0};
}

struct Operator {
    std::string_view text;
    Comparison comparison;
};

// Two-character operators first, so that "<=" is never read as "<".
constexpr Operator kOperators[] = {
    {"!=", Comparison::NotEqual},       {"<=", Comparison::LessOrEqual},
    {">=", Comparison::GreaterOrEqual}, {"==", Comparison::Equal},
    {"=", Comparison::Equal},           {"<", Comparison::Less},
    {">", Comparison::Greater},
};

class ScenarioReader {
public:
    explicit ScenarioReader(ScenarioProblem& problem) : m_problem(problem) {}

    std::optional<Scenario> read(std::string_view text) {
        // A byte-order mark is no part of the first statement.
        if (text.substr(0, 3) == "\xEF\xBB\xBF") {
            text.remove_prefix(3);
        }
        int line = 0;
        while (!text.empty()) {
            ++line;
            const std::size_t end = text.find('\n');
            std::string_view statement = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (!statement.empty() && statement.back() == '\r') {
                statement.remove_suffix(1);
            }
            statement = operands::trimmed(statement.substr(0, statement.find('#')));
            if (!statement.empty() && !readStatement(line, statement)) {
                return std::nullopt;
            }
        }
        if (!m_haveProgram) {
            return fail(0, "brak instrukcji program NAZWA.jar");
        }
        if (!checkPlant()) {
            return std::nullopt;
        }
        return m_scenario;
    }

private:
    std::nullopt_t fail(int line, std::string text) {
        m_problem.line = line;
        m_problem.text = std::move(text);
        return std::nullopt;
    }

    bool refuse(int line, std::string text) {
        fail(line, std::move(text));
        return false;
    }

    bool readStatement(int line, std::string_view statement) {
        if (statement.size() > kMaxStatement) {
            return refuse(line,
                          "instrukcja dłuższa niż " + std::to_string(kMaxStatement) + " znaków");
        }
        const std::vector<std::string_view> parts = words(statement);
        const std::string keyword = lowered(parts[0]);
        if (keyword == "program") {
            return readProgram(line, operands::trimmed(statement.substr(parts[0].size())));
        }
        if (!m_haveProgram) {
            return refuse(line, "pierwszą instrukcją musi być program NAZWA.jar");
        }
        // Operands, numbers and keywords are plain ASCII; anything else is a slip of the pen.
        const auto odd = std::find_if(statement.begin(), statement.end(),
                                      [](char c) { return !isBlank(c) && (c < 0x21 || c > 0x7E); });
        if (odd != statement.end()) {
            const auto word = std::find_if(parts.begin(), parts.end(), [&](std::string_view part) {
                return &*odd >= part.data() && &*odd < part.data() + part.size();
            });
            return refuse(line, "niedozwolony znak w \"" + textExcerpt(*word) + '"');
        }
        if (keyword == "tick") {
            return readTick(line, parts);
        }
        if (keyword == "plant") {
            return readPlant(line, parts);
        }
        if (keyword == "at") {
            return readAt(line, parts);
        }
        return refuse(line,
                      "nieznana instrukcja \"" + textExcerpt(parts[0]) + "\" (program, tick, at)");
    }

    bool readProgram(int line, std::string_view name) {
        if (m_haveProgram) {
            return refuse(line, "drugi program w jednym scenariuszu");
        }
        if (name.empty()) {
            return refuse(line, "brak nazwy pliku po program");
        }
        if (std::any_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
            return refuse(line, "znak sterujący w nazwie programu: \"" + textExcerpt(name) + '"');
        }
        m_haveProgram = true;
        m_scenario.program = std::string(name);
        m_scenario.programLine = line;
        return true;
    }

    bool readTick(int line, const std::vector<std::string_view>& parts) {
        if (m_haveTick) {
            return refuse(line, "drugi tick w jednym scenariuszu");
        }
        const std::optional<std::uint64_t> ms =
            parts.size() == 2 ? unsignedNumber(parts[1]) : std::nullopt;
        if (!ms || *ms < 1 || *ms > kMaxTickMs) {
            return refuse(line,
                          "tick wymaga długości cyklu 1.." + std::to_string(kMaxTickMs) + " ms");
        }
        m_haveTick = true;
        m_scenario.tickMs = static_cast<std::uint32_t>(*ms);
        return true;
    }

    bool readPlant(int line, const std::vector<std::string_view>& parts) {
        if (!m_scenario.plant.empty()) {
            return refuse(line, "drugi plant w jednym scenariuszu");
        }
        if (parts.size() != 2) {
            return refuse(line, "plant wymaga nazwy obiektu (" + plant::plantNames() + ")");
        }
        std::string problem;
        if (!checkPlantName(parts[1], problem, "plant")) {
            return refuse(line, problem);
        }
        m_scenario.plant = std::string(parts[1]);
        m_scenario.plantLine = line;
        return true;
    }

    // The machine may be named after the statements that use it: they are checked at the end.
    bool checkPlant() {
        std::string problem;
        for (Expectation& expectation : m_scenario.expectations) {
            if (!checkPlantWatch(expectation.operand, m_scenario.plant, problem, "plant")) {
                return refuse(expectation.line, problem);
            }
        }
        for (std::size_t i = 0; i < m_scenario.settings.size(); ++i) {
            if (!checkPlantSetting(m_scenario.settings[i], m_scenario.plant, problem, "set")) {
                return refuse(m_settingLines[i], problem);
            }
        }
        return true;
    }

    bool readAt(int line, const std::vector<std::string_view>& parts) {
        const std::optional<std::uint64_t> tick =
            parts.size() >= 2 ? unsignedNumber(parts[1]) : std::nullopt;
        if (!tick || *tick > kMaxScenarioTick) {
            return refuse(line,
                          "at wymaga numeru cyklu 0.." + std::to_string(kMaxScenarioTick) +
                              (parts.size() >= 2 ? ": \"" + textExcerpt(parts[1]) + '"' : ""));
        }
        const std::string verb = parts.size() >= 3 ? lowered(parts[2]) : "";
        bool read = false;
        if (verb == "set") {
            read = readSet(line, *tick, joined(parts, 3));
        } else if (verb == "expect") {
            read = readExpect(line, *tick, joined(parts, 3));
        } else if (verb == "stop") {
            read = readStop(line, *tick, parts.size() == 3);
        } else {
            return refuse(line, "po at " + std::to_string(*tick) +
                                    " oczekiwano set, expect lub stop" +
                                    (verb.empty() ? "" : ": \"" + textExcerpt(parts[2]) + '"'));
        }
        if (read) {
            m_scenario.lastTick = std::max(m_scenario.lastTick, *tick);
        }
        return read;
    }

    bool readSet(int line, std::uint64_t tick, const std::string& assignment) {
        if (assignment.find('=') == std::string::npos) {
            return refuse(line, "set wymaga postaci OPERAND=WARTOŚĆ");
        }
        std::string problem;
        const std::optional<InputSetting> setting =
            parseInputSetting(std::to_string(tick) + ':' + assignment, problem, "set");
        if (!setting) {
            return refuse(line, problem);
        }
        m_scenario.settings.push_back(*setting);
        m_settingLines.push_back(line);
        return true;
    }

    bool readExpect(int line, std::uint64_t tick, const std::string& condition) {
        const std::size_t at = condition.find_first_of("=!<>");
        const Operator* found = nullptr;
        if (at != std::string::npos) {
            for (const Operator& candidate : kOperators) {
                if (condition.compare(at, candidate.text.size(), candidate.text) == 0) {
                    found = &candidate;
                    break;
                }
            }
        }
        if (found == nullptr || at == 0) {
            return refuse(line,
                          "expect wymaga postaci OPERAND[:TYP] OP WARTOŚĆ, OP to =, !=, <, <=, "
                          ">, >=");
        }
        Expectation expectation;
        expectation.line = line;
        expectation.tick = tick;
        expectation.comparison = found->comparison;
        const std::string_view operand = std::string_view(condition).substr(0, at);
        std::string problem;
        const std::optional<Watch> watch = parseWatch(operand, problem, "expect");
        if (!watch) {
            return refuse(line, problem);
        }
        expectation.operand = *watch;
        expectation.operandText = watch->name;
        if (watch->quantity.empty() && operand.find(':') != std::string_view::npos) {
            expectation.operandText += ':';
            expectation.operandText += operands::dataTypeWord(watch->type);
        }
        const std::string_view valueText =
            std::string_view(condition).substr(at + found->text.size());
        const std::optional<std::int64_t> value = signedNumber(valueText);
        // A machine's quantities are counts and amounts without a memory type.
        const ValueRange range = watch->quantity.empty()
                                     ? rangeOf(watch->type)
                                     : ValueRange{-(std::int64_t{1} << 40), std::int64_t{1} << 40};
        if (!value) {
            return refuse(line, "wartość dla " + watch->name + " nie jest liczbą: \"" +
                                    textExcerpt(valueText) + '"');
        }
        if (*value < range.low || *value > range.high) {
            return refuse(line, "wartość poza zakresem " + std::to_string(range.low) + ".." +
                                    std::to_string(range.high) + " dla " + expectation.operandText +
                                    ": " + std::string(valueText));
        }
        expectation.value = *value;
        m_scenario.expectations.push_back(std::move(expectation));
        return true;
    }

    bool readStop(int line, std::uint64_t tick, bool alone) {
        if (!alone) {
            return refuse(line, "po stop nic więcej nie może stać");
        }
        if (m_scenario.stopTick) {
            return refuse(line, "drugi stop w jednym scenariuszu");
        }
        m_scenario.stopTick = tick;
        return true;
    }

    ScenarioProblem& m_problem;
    Scenario m_scenario;
    std::vector<int> m_settingLines;  // the line of each of m_scenario.settings
    bool m_haveProgram = false;
    bool m_haveTick = false;
};

}  // namespace

std::string_view comparisonText(Comparison comparison) {
    switch (comparison) {
        case Comparison::Equal: return "=";
        case Comparison::NotEqual: return "!=";
        case Comparison::Less: return "<";
        case Comparison::LessOrEqual: return "<=";
        case Comparison::Greater: return ">";
        case Comparison::GreaterOrEqual: return ">=";
    }
    return "?";
}

bool comparisonHolds(Comparison comparison, std::int64_t actual, std::int64_t expected) {
    switch (comparison) {
        case Comparison::Equal: return actual == expected;
        case Comparison::NotEqual: return actual != expected;
        case Comparison::Less: return actual < expected;
        case Comparison::LessOrEqual: return actual <= expected;
        case Comparison::Greater: return actual > expected;
        case Comparison::GreaterOrEqual: return actual >= expected;
    }
    return false;
}

std::optional<Scenario> parseScenario(std::string_view text, ScenarioProblem& problem) {
    return ScenarioReader(problem).read(text);
}

}  // namespace cli
