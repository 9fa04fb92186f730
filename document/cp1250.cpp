// Code page 1250 <-> UTF-8. The upper half of the code page maps through one table; the five
// bytes the code page leaves unassigned map to the C1 controls of the same value, so that every
// byte survives a trip through a window and back.
#include "document/cp1250.h"

#include <array>
#include <cstdint>

namespace document {

namespace {

// Unicode code point of each byte from 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Indexed by code point up to the largest one the upper half holds: its byte, or -1.
constexpr std::size_t kLastMappedCodePoint = 0x2122;
constexpr std::array<std::int16_t, kLastMappedCodePoint + 1> kByteOfCodePoint = [] {
    std::array<std::int16_t, kLastMappedCodePoint + 1> table{};
    for (std::size_t cp = 0; cp < table.size(); ++cp) {
        table[cp] = static_cast<std::int16_t>(cp < 0x80 ? static_cast<int>(cp) : -1);
    }
    for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
        table[kUpperHalf[i]] = static_cast<std::int16_t>(0x80 + i);
    }
    return table;
}();

char toCp1250(std::uint32_t cp) {
    const int byte = cp1250ByteOf(cp);
    return byte < 0 ? '?' : static_cast<char>(byte);
}

// Decodes one UTF-8 sequence at text[pos]; advances pos past it. Returns 0xFFFFFFFF for a
// malformed sequence (pos then advances by one byte).
std::uint32_t decodeUtf8(std::string_view text, std::size_t& pos) {
    constexpr std::uint32_t kBad = 0xFFFFFFFF;
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1Fu;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0Fu;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07u;
        minimum = 0x10000;
    } else {
        ++pos;
        return kBad;
    }
    if (text.size() - pos < length) {
        ++pos;
        return kBad;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kBad;
        }
        cp = (cp << 6) | (next & 0x3Fu);
    }
    pos += length;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return kBad;
    return cp;
}

}  // namespace

int cp1250ByteOf(std::uint32_t codePoint) {
    return codePoint < kByteOfCodePoint.size() ? kByteOfCodePoint[codePoint] : -1;
}

std::string cp1250ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte < 0x80 ? byte : kUpperHalf[byte - 0x80u]);
    }
    return out;
}

std::string utf8ToCp1250(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size())
        out += toCp1250(decodeUtf8(text, pos));
    return out;
}

}  // namespace document
