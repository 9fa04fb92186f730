// Shared helpers of the document tests.
#include "document_test_helpers.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <unistd.h>

namespace document::testing {

::testing::AssertionResult sameDocument(const LadderDocument& expected,
                                        const LadderDocument& actual) {
    if (expected.rowCount() != actual.rowCount()) {
        return ::testing::AssertionFailure()
               << "rows " << expected.rowCount() << " vs " << actual.rowCount();
    }
    if (expected.status() != actual.status()) {
        return ::testing::AssertionFailure() << "status differs";
    }
    for (int row = 0; row < expected.rowCount(); ++row) {
        for (int col = 0; col < kColumns; ++col) {
            if (expected.CellCode(row, col) != actual.CellCode(row, col) ||
                expected.CellText(row, col) != actual.CellText(row, col)) {
                return ::testing::AssertionFailure()
                       << "cell (" << row << ", " << col << "): " << expected.CellCode(row, col)
                       << " \"" << expected.CellText(row, col) << "\" vs "
                       << actual.CellCode(row, col) << " \"" << actual.CellText(row, col) << "\"";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::int32_t> columnCodes(const LadderDocument& document, int col, int top, int count) {
    std::vector<std::int32_t> codes;
    for (int row = top; row < top + count; ++row)
        codes.push_back(document.CellCode(row, col));
    return codes;
}

std::vector<std::int32_t> rowCodes(const LadderDocument& document, int row) {
    std::vector<std::int32_t> codes;
    for (int col = 0; col < kColumns; ++col)
        codes.push_back(document.CellCode(row, col));
    return codes;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::ostringstream name;
    name << "wirtualon-doc-" << ::getpid() << '-' << counter++ << '-' << std::random_device{}();
    m_path = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace document::testing
