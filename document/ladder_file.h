// A ladder in either of its forms, told apart by content: the program file with its text file
// (".jar" and ".jar.str") or the ladder as text (".lad.txt"). One call opens either; one saves
// the text form, through links and keeping permission bits as the program file's save does.
#pragma once

#include "document/ladder_document.h"
#include "document/program_file.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace document {

/// The two forms a ladder is kept in.
enum class LadderForm : int {
    ProgramFile = 0,  ///< ".jar" with its ".jar.str"
    Text = 1,         ///< ".lad.txt"
};

/// What opening or saving a ladder came to.
struct LadderFileOutcome {
    FileResult result = FileResult::Success;
    LadderForm form = LadderForm::ProgramFile;  ///< the form the file is in
    std::string message;  ///< Polish, UTF-8, naming the file; empty for Success

    /// Returns true when the document holds the ladder read (status Loaded).
    [[nodiscard]] bool loaded() const { return programLoaded(result); }
};

/// Returns the form of a file from its first bytes: Text when they begin as a ladder in text,
/// ProgramFile otherwise (whose loader refuses what is no program).
[[nodiscard]] LadderForm ladderFormOf(std::string_view firstBytes);

/// Opens the ladder in `fileName` in whichever form its content is. A file that cannot be read
/// or taken leaves the document unchanged; a text with a line the reader does not take gives
/// BadText and a message with the line's number and what was expected.
[[nodiscard]] LadderFileOutcome openLadder(LadderDocument& document,
                                           const std::filesystem::path& fileName);

/// Writes `document` as text to `fileName` under a temporary name and puts it in place when
/// complete; sets status Saved. Returns Success or CannotWrite with the reason in the message.
[[nodiscard]] LadderFileOutcome saveLadderText(LadderDocument& document,
                                               const std::filesystem::path& fileName);

/// Saves `document` in `form`: the program file pair or the text.
[[nodiscard]] LadderFileOutcome saveLadder(LadderDocument& document,
                                           const std::filesystem::path& fileName, LadderForm form);

}  // namespace document
