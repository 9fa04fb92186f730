// Ladders built in code for the translator tests, and one call that translates them.
#pragma once

#include "document/ladder_document.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace translator::testing {

/// Link flags as written into codes.
inline constexpr int kDown = 100;
inline constexpr int kUp = 200;
inline constexpr int kBoth = 300;

/// A ladder grid under construction.
class Ladder {
public:
    explicit Ladder(int rows = 10);

    Ladder& put(int row, int col, std::int32_t code, const std::string& text = "");
    /// A normally open contact on `operand` (for example "%I0001"), plus link flags.
    Ladder& contact(int row, int col, const std::string& operand, int link = 0);
    /// A normally closed contact.
    Ladder& contactNot(int row, int col, const std::string& operand, int link = 0);
    /// A horizontal wire with link flags.
    Ladder& wire(int row, int col, int link = 0);
    /// Horizontal wires in columns `from` to `to`.
    Ladder& wires(int row, int from, int to);
    /// A coil of `kind` in column 9.
    Ladder& coil(int row, const std::string& operand, int kind = 3);
    /// An operand cell beside a block: "#A...#" for addresses, "#S...#" for constants.
    Ladder& operand(int row, int col, const std::string& value);
    /// A function block of `kind` placed as the editor places it (template texts included).
    Ladder& block(int row, int col, int kind);
    /// Sets one field of a cell's text.
    Ladder& field(int row, int col, char tag, const std::string& value);

    [[nodiscard]] const document::LadderDocument& document() const { return m_document; }

private:
    document::LadderDocument m_document;
};

/// What one translation left behind.
struct Outcome {
    int result = 0;
    int errorCode = 0;
    int errorRow = 0;
    int errorCol = 0;
    std::vector<std::string> lines;
    std::vector<std::int32_t> words;  ///< the end word included
    std::int32_t edgeCount = 0;
    std::int32_t timerCount = 0;
};

/// Translates the ladder's document, writing the trace to `tracePath` (none when empty).
[[nodiscard]] Outcome translate(const Ladder& ladder, const std::filesystem::path& tracePath = {});

/// The listing lines of one contact or coil instruction, as the translator writes them.
[[nodiscard]] std::string load(const std::string& operand);
[[nodiscard]] std::string loadNot(const std::string& operand);
[[nodiscard]] std::string andLine(const std::string& operand);
[[nodiscard]] std::string andNot(const std::string& operand);
[[nodiscard]] std::string coilLine(int kind, const std::string& operand);
inline const std::string kOrS = "   OR (S)";
inline const std::string kAndS = "   AND (S)";
inline const std::string kRule = "-----------------------------------";

/// A fresh path in the temporary directory, unique to this process and call.
[[nodiscard]] std::filesystem::path uniqueTempPath(const std::string& stem);

}  // namespace translator::testing
