// The PNG container around one zlib stream: signature, IHDR, IDAT chunks as the compressed data
// comes, IEND. Rows carry filter type 2 (each byte less the one above it): a ladder's rows repeat
// their neighbours almost everywhere, so the filtered data is long runs of zeros, which zlib's
// run-length strategy compresses quickly and well.
#include "ui/png_row_writer.h"

#include <array>
#include <cstring>
#include <zlib.h>

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Compressed data goes out in chunks of this size.
constexpr std::size_t kChunkBytes = 1 << 16;
constexpr std::uint32_t kMaxSize = 0x7FFFFFFF;

void putBigEndian(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

}  // namespace

struct PngRowWriter::Deflater {
    z_stream stream{};
    bool open = false;
    ~Deflater() {
        if (open) {
            deflateEnd(&stream);
        }
    }
};

PngRowWriter::PngRowWriter() = default;

PngRowWriter::~PngRowWriter() {
    if (m_file != nullptr) {
        fail();
    }
}

bool PngRowWriter::open(const std::filesystem::path& path, std::uint32_t width,
                        std::uint32_t height) {
    if (m_file != nullptr || width == 0 || height == 0 || width > kMaxSize || height > kMaxSize) {
        return false;
    }
    m_file = std::fopen(path.c_str(), "wb");
    if (m_file == nullptr) {
        return false;
    }
    m_path = path;
    m_width = width;
    m_height = height;
    m_rows = 0;
    m_failed = false;
    m_deflater = std::make_unique<Deflater>();
    if (deflateInit2(&m_deflater->stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_RLE) !=
        Z_OK) {
        fail();
        return false;
    }
    m_deflater->open = true;
    m_row.assign(static_cast<std::size_t>(width) + 1, 0);
    m_row[0] = 2;  // filter type Up
    m_previous.assign(static_cast<std::size_t>(width), 0);
    m_out.reserve(kChunkBytes);

    if (std::fwrite(kSignature.data(), 1, kSignature.size(), m_file) != kSignature.size()) {
        fail();
        return false;
    }
    std::array<std::uint8_t, 13> header{};
    putBigEndian(header.data(), width);
    putBigEndian(header.data() + 4, height);
    header[8] = 8;  // bits per sample
    header[9] = 0;  // grey
    writeChunk("IHDR", header);
    return !m_failed;
}

bool PngRowWriter::writeRow(std::span<const std::uint8_t> row) {
    if (m_file == nullptr || m_failed || row.size() != m_width || m_rows >= m_height) {
        if (m_file != nullptr) {
            fail();
        }
        return false;
    }
    for (std::size_t i = 0; i < row.size(); ++i) {
        m_row[i + 1] = static_cast<std::uint8_t>(row[i] - m_previous[i]);
    }
    std::memcpy(m_previous.data(), row.data(), row.size());
    m_deflater->stream.next_in = m_row.data();
    m_deflater->stream.avail_in = static_cast<uInt>(m_row.size());
    deflateInto(Z_NO_FLUSH);
    ++m_rows;
    return !m_failed;
}

bool PngRowWriter::finish() {
    if (m_file == nullptr) {
        return false;
    }
    if (m_rows != m_height) {
        fail();
        return false;
    }
    m_deflater->stream.next_in = nullptr;
    m_deflater->stream.avail_in = 0;
    deflateInto(Z_FINISH);
    if (m_failed) {
        return false;
    }
    if (!m_out.empty()) {
        writeChunk("IDAT", m_out);
        m_out.clear();
    }
    writeChunk("IEND", {});
    if (m_failed) {
        return false;
    }
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    m_deflater.reset();
    if (!closed) {
        std::error_code error;
        std::filesystem::remove(m_path, error);
    }
    return closed;
}

void PngRowWriter::deflateInto(int flush) {
    std::array<std::uint8_t, 16384> buffer{};
    z_stream& stream = m_deflater->stream;
    int status = Z_OK;
    do {
        stream.next_out = buffer.data();
        stream.avail_out = static_cast<uInt>(buffer.size());
        status = deflate(&stream, flush);
        if (status == Z_STREAM_ERROR) {
            fail();
            return;
        }
        m_out.insert(m_out.end(), buffer.data(),
                     buffer.data() + (buffer.size() - stream.avail_out));
        if (m_out.size() >= kChunkBytes) {
            writeChunk("IDAT", m_out);
            m_out.clear();
            if (m_failed) {
                return;
            }
        }
    } while (stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
}

void PngRowWriter::writeChunk(const char* type, std::span<const std::uint8_t> data) {
    if (m_failed) {
        return;
    }
    std::array<std::uint8_t, 8> head{};
    putBigEndian(head.data(), static_cast<std::uint32_t>(data.size()));
    std::memcpy(head.data() + 4, type, 4);
    uLong crc = crc32(0L, head.data() + 4, 4);
    if (!data.empty()) {
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    }
    std::array<std::uint8_t, 4> tail{};
    putBigEndian(tail.data(), static_cast<std::uint32_t>(crc));
    const bool written =
        std::fwrite(head.data(), 1, head.size(), m_file) == head.size() &&
        (data.empty() || std::fwrite(data.data(), 1, data.size(), m_file) == data.size()) &&
        std::fwrite(tail.data(), 1, tail.size(), m_file) == tail.size();
    if (!written) {
        fail();
    }
}

void PngRowWriter::fail() {
    m_failed = true;
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
        std::error_code error;
        std::filesystem::remove(m_path, error);
    }
    m_deflater.reset();
}
