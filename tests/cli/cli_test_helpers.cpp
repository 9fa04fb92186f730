#include "tests/cli/cli_test_helpers.h"

#include "app/cli/cli_runner.h"
#include "document/ladder_document.h"
#include "document/program_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace cli::testing {

namespace fs = std::filesystem;

ToolRun runTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    ToolRun run;
    run.status = runCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

std::vector<LadderCell> rungCells(int row, const std::string& input, const std::string& output,
                                  int kind) {
    std::vector<LadderCell> cells = {{row, 0, 1, "#A" + input + "#"}};
    for (int col = 1; col <= 8; ++col) {
        cells.emplace_back(row, col, 7, "");
    }
    cells.emplace_back(row, 9, kind, "#A" + output + "#");
    return cells;
}

std::string saveLadder(const fs::path& path, const std::vector<LadderCell>& cells, int rows) {
    document::LadderDocument doc;
    if (rows > doc.rowCount()) {
        doc.AddRows(rows - doc.rowCount());
    }
    for (const auto& [row, col, code, text] : cells) {
        doc.SetCellCode(row, col, code);
        doc.SetCellText(row, col, text);
    }
    EXPECT_EQ(document::SaveProgram(doc, path), document::FileResult::Success) << path;
    return path.string();
}

TempFolder::TempFolder(const std::string& prefix) {
    static std::atomic<int> counter{0};
    m_path = fs::temp_directory_path() /
             (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string TempFolder::write(const std::string& name, const std::string& text) const {
    const fs::path path = m_path / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

}  // namespace cli::testing
