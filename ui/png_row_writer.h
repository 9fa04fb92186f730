// Writes an 8-bit grey PNG file row by row, so that a picture far taller than any image that fits
// in memory (a whole long ladder) can be written in strips.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

/// A PNG file being written: the header at open, then exactly `height` rows of `width` grey
/// bytes, then finish. Any failure (the file cannot be written, too few rows) makes finish
/// return false and leaves no file behind.
class PngRowWriter {
public:
    PngRowWriter();
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    /// Creates the file and writes the header; returns false when it cannot be created or the
    /// size is not a PNG size (1 to 2^31 - 1 in each direction).
    [[nodiscard]] bool open(const std::filesystem::path& path, std::uint32_t width,
                            std::uint32_t height);
    /// Appends one row of `width` grey bytes (0 black, 255 white); rows beyond `height` and
    /// rows of another length are refused. Returns false once anything has failed.
    bool writeRow(std::span<const std::uint8_t> row);
    /// Ends the file; returns true when all rows were written and the file is complete.
    [[nodiscard]] bool finish();

private:
    struct Deflater;
    void writeChunk(const char* type, std::span<const std::uint8_t> data);
    void deflateInto(int flush);
    void fail();

    std::FILE* m_file = nullptr;
    std::filesystem::path m_path;
    std::unique_ptr<Deflater> m_deflater;
    std::vector<std::uint8_t> m_row;       // the filter byte and one filtered row
    std::vector<std::uint8_t> m_previous;  // the row before, as given
    std::vector<std::uint8_t> m_out;       // compressed data waiting for its chunk
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::uint32_t m_rows = 0;
    bool m_failed = false;
};
