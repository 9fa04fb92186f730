// Shared helpers of the document tests: comparing whole documents, building grids from codes,
// and private temporary folders for file tests that run in parallel.
#pragma once

#include "document/ladder_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace document::testing {

/// Succeeds when both documents have the same rows, codes, texts and status.
::testing::AssertionResult sameDocument(const LadderDocument& expected,
                                        const LadderDocument& actual);

/// Returns the codes of one column from `top` for `count` rows.
std::vector<std::int32_t> columnCodes(const LadderDocument& document, int col, int top, int count);

/// Returns the codes of one row.
std::vector<std::int32_t> rowCodes(const LadderDocument& document, int row);

/// A folder of its own under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
    [[nodiscard]] std::filesystem::path file(const std::string& name) const {
        return m_path / name;
    }

private:
    std::filesystem::path m_path;
};

/// Returns the bytes of a file (empty when it cannot be read).
std::string readBytes(const std::filesystem::path& path);
/// Writes bytes to a file.
void writeBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace document::testing
