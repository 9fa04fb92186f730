// Shared helpers of the command-line tool's tests: one in-process run of the tool with what it
// printed, private temporary folders, and ladder files saved from cells.
#pragma once

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace cli::testing {

/// What one run of the tool printed and returned.
struct ToolRun {
    int status = 0;
    std::string out;
    std::string err;
};

/// Runs the tool in process with `args` (the subcommand first); returns its status and output.
ToolRun runTool(const std::vector<std::string>& args);

/// Returns the lines of `text`, without their line ends.
std::vector<std::string> lines(const std::string& text);

/// A cell of a ladder: row, column, element code, cell text.
using LadderCell = std::tuple<int, int, int, std::string>;

/// Returns the cells of one rung on `row`: a contact on `input` in column 0, wires, and a coil of
/// `kind` on `output` in the last column (operands as "%I0001").
std::vector<LadderCell> rungCells(int row, const std::string& input, const std::string& output,
                                  int kind = 3);

/// Saves a ladder of at least `rows` rows holding `cells` to `path` (a failed save fails the
/// test); returns the path as text.
std::string saveLadder(const std::filesystem::path& path, const std::vector<LadderCell>& cells,
                       int rows = 10);

/// A folder of its own under the system's temporary folder, named `prefix`-process-number and
/// removed with its contents.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
    /// Writes `text` byte for byte to `name` in the folder, making the folders it names;
    /// returns the file's path as text.
    std::string write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path m_path;
};

}  // namespace cli::testing
