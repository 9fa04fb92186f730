// Finding the area of an address.
#include "operands/memory_area.h"

namespace operands {

namespace {

constexpr std::size_t kMaxReferenceDigits = 4;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when `text` begins with `name` (upper case), letters compared in either case.
bool startsWithName(std::string_view text, std::string_view name) {
    if (text.size() < name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (upper(text[i]) != name[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

const MemoryArea* areaOfAddress(std::string_view address) {
    if (address.empty() || address.front() != '%') {
        return nullptr;
    }
    const std::string_view rest = address.substr(1);
    // The digit after the name decides: %SA1 is no %S address, so at most one name fits.
    for (const MemoryArea& area : kMemoryAreas) {
        const std::size_t length = area.name.size();
        if (rest.size() > length && startsWithName(rest, area.name) && isDigit(rest[length])) {
            return &area;
        }
    }
    return nullptr;
}

std::optional<AreaReference> readAddress(std::string_view address) {
    const MemoryArea* area = areaOfAddress(address);
    if (area == nullptr) {
        return std::nullopt;
    }
    const std::string_view digits = address.substr(1 + area->name.size());
    if (digits.size() > kMaxReferenceDigits) {
        return std::nullopt;
    }
    std::int32_t number = 0;
    for (const char c : digits) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > referenceCount(*area)) {
        return std::nullopt;
    }
    return AreaReference{area, number};
}

}  // namespace operands
