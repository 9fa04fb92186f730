// Finding the area of an address.
#include "operands/memory_area.h"

namespace operands {

const MemoryArea* areaOfAddress(std::string_view address) {
    if (address.empty() || address.front() != '%') {
        return nullptr;
    }
    const std::string_view rest = address.substr(1);
    // The digit after the name decides: %SA1 is no %S address, so at most one name fits.
    for (const MemoryArea& area : kMemoryAreas) {
        const std::size_t length = area.name.size();
        if (rest.size() > length && rest.substr(0, length) == area.name && rest[length] >= '0' &&
            rest[length] <= '9') {
            return &area;
        }
    }
    return nullptr;
}

}  // namespace operands
