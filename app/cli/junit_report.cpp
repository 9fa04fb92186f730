// The JUnit XML report.
#include "app/cli/junit_report.h"

#include <cstdio>
#include <filesystem>
#include <ostream>

namespace cli {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

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

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string_view kindName(FailureKind kind) {
    switch (kind) {
        case FailureKind::Expectation: return "expectation";
        case FailureKind::Watchdog: return "watchdog";
        case FailureKind::Translation: return "translation";
    }
    return "";
}

// The machine's faults, after a failure's own text: a scenario fails on what the program did,
// and the faults are often why.
std::string faultText(const PlantFaults& faults) {
    if (faults.count == 0) {
        return "";
    }
    std::string text = "\nAwarie obiektu: " + std::to_string(faults.count);
    for (const std::string& line : faults.lines) {
        text += '\n' + line;
    }
    if (faults.count > faults.lines.size()) {
        text += "\n... i " + std::to_string(faults.count - faults.lines.size()) + " dalszych";
    }
    return text;
}

}  // namespace

std::string xmlEscaped(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = sequenceLength(text);
        if (length == 0) {
            result += kReplacement;
            text.remove_prefix(1);
            continue;
        }
        const char c = text.front();
        switch (c) {
            case '&': result += "&amp;"; break;
            case '<': result += "&lt;"; break;
            case '>': result += "&gt;"; break;
            case '"': result += "&quot;"; break;
            case '\'': result += "&apos;"; break;
            default:
                if (length == 1 && static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' &&
                    c != '\r') {
                    result += kReplacement;
                } else {
                    result.append(text.substr(0, length));
                }
                break;
        }
        text.remove_prefix(length);
    }
    return result;
}

void writeJunitReport(std::ostream& out, std::span<const ScenarioOutcome> outcomes) {
    int failed = 0;
    int errors = 0;
    double total = 0;
    for (const ScenarioOutcome& outcome : outcomes) {
        failed += outcome.error || outcome.failures.empty() ? 0 : 1;
        errors += outcome.error ? 1 : 0;
        total += outcome.seconds;
    }
    const std::string counts = " tests=\"" + std::to_string(outcomes.size()) + "\" failures=\"" +
                               std::to_string(failed) + "\" errors=\"" + std::to_string(errors) +
                               "\" time=\"" + seconds(total) + "\"";
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<testsuites name=\"wirtualon-cli test\"" << counts << ">\n"
        << "  <testsuite name=\"scenarios\"" << counts << " skipped=\"0\">\n";
    for (const ScenarioOutcome& outcome : outcomes) {
        const std::string stem = std::filesystem::path(outcome.file).stem().string();
        out << "    <testcase name=\"" << xmlEscaped(outcome.file) << "\" classname=\""
            << xmlEscaped(stem) << "\" time=\"" << seconds(outcome.seconds) << "\"";
        const std::string faults = faultText(outcome.plantFaults);
        if (!outcome.error && outcome.failures.empty() && faults.empty()) {
            out << "/>\n";
            continue;
        }
        out << ">\n";
        if (outcome.error) {
            out << "      <error message=\"" << xmlEscaped(*outcome.error) << "\">"
                << xmlEscaped(*outcome.error) << "</error>\n";
        }
        for (const ScenarioFailure& failure : outcome.failures) {
            out << "      <failure message=\"" << xmlEscaped(failure.text) << "\" type=\""
                << kindName(failure.kind) << "\">"
                << xmlEscaped(outcome.file + ':' + std::to_string(failure.line) + ": " +
                              failure.text + faults)
                << "</failure>\n";
        }
        if (!faults.empty()) {
            out << "      <system-out>" << xmlEscaped(faults.substr(1)) << "</system-out>\n";
        }
        out << "    </testcase>\n";
    }
    out << "  </testsuite>\n</testsuites>\n";
}

}  // namespace cli
