// Opening a ladder in either form and saving its text form.
#include "document/ladder_file.h"

#include "document/file_replacement.h"
#include "document/ladder_text.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <system_error>

namespace document {

namespace {

// A ladder in text of the largest row count, every cell described, stays far below this.
constexpr std::size_t kMaxTextBytes = std::size_t{1} << 30;
// Enough of the beginning to tell the forms apart.
constexpr std::size_t kFormBytes = 64;

// Reads at most `limit` + 1 bytes of a regular file: a device or pipe given as a ladder must
// not make the reading wait or go on without end.
std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t limit) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes;
    std::array<char, 65536> chunk{};
    while (bytes.size() <= limit && in) {
        const std::size_t wanted = std::min(chunk.size(), limit + 1 - bytes.size());
        in.read(chunk.data(), static_cast<std::streamsize>(wanted));
        bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

LadderForm ladderFormOf(std::string_view firstBytes) {
    return hasLadderTextHeader(firstBytes) ? LadderForm::Text : LadderForm::ProgramFile;
}

LadderFileOutcome openLadder(LadderDocument& document, const std::filesystem::path& fileName) {
    LadderFileOutcome outcome;
    const std::string name = fileName.string();
    const std::optional<std::string> start = readFile(fileName, kFormBytes);
    if (start) {
        outcome.form = ladderFormOf(*start);
    }
    if (outcome.form == LadderForm::ProgramFile) {
        outcome.result = LoadProgram(document, fileName);
        outcome.message = fileResultMessage(outcome.result, name);
        return outcome;
    }
    const std::optional<std::string> text = readFile(fileName, kMaxTextBytes);
    if (!text) {
        outcome.result = FileResult::CannotOpen;
        outcome.message = fileResultMessage(outcome.result, name);
        return outcome;
    }
    if (text->size() > kMaxTextBytes) {
        outcome.result = FileResult::BadText;
        outcome.message = "Plik " + name + " jest za duży na drabinę w tekście (ponad 1 GiB).";
        return outcome;
    }
    if (const std::optional<LadderTextProblem> problem = readLadderText(document, *text)) {
        outcome.result = FileResult::BadText;
        outcome.message = "Plik " + name + ", " + problem->message();
    }
    return outcome;
}

LadderFileOutcome saveLadderText(LadderDocument& document, const std::filesystem::path& fileName) {
    LadderFileOutcome outcome;
    outcome.form = LadderForm::Text;
    FileReplacement file(fileName);
    std::error_code reason = file.write(ladderText(document));
    if (!reason) {
        reason = file.commit();
    }
    if (reason) {
        outcome.result = FileResult::CannotWrite;
        outcome.message = fileResultMessage(outcome.result, fileName.string(), reason);
        return outcome;
    }
    document.setStatus(DocumentStatus::Saved);
    return outcome;
}

LadderFileOutcome saveLadder(LadderDocument& document, const std::filesystem::path& fileName,
                             LadderForm form) {
    switch (form) {
        case LadderForm::Text: return saveLadderText(document, fileName);
        case LadderForm::ProgramFile: {
            LadderFileOutcome outcome;
            std::error_code reason;
            outcome.result = SaveProgram(document, fileName, reason);
            outcome.message = fileResultMessage(outcome.result, fileName.string(), reason);
            return outcome;
        }
    }
    return {};
}

}  // namespace document
