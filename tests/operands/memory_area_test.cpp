// Reading an address back from a cell: only references that exist in their area.
#include "operands/memory_area.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace operands {
namespace {

struct AddressCase {
    std::string text;
    std::string area;  // empty: no address
    std::int32_t number = 0;
};

AddressCase refused(std::string text) {
    return {std::move(text), "", 0};
}

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ReadAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(ReadAddressTest, AcceptsOnlyReferencesInsideTheirArea) {
    const AddressCase& c = GetParam();
    const std::optional<AreaReference> read = readAddress(c.text);
    if (c.area.empty()) {
        EXPECT_FALSE(read.has_value());
        return;
    }
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->area->name, c.area);
    EXPECT_EQ(read->number, c.number);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, ReadAddressTest,
    ::testing::Values(
        // The first and last reference of every area, and one past it.
        AddressCase{"%I0001", "I", 1}, AddressCase{"%I0512", "I", 512}, refused("%I0513"),
        AddressCase{"%Q0512", "Q", 512}, refused("%Q0513"), AddressCase{"%M1024", "M", 1024},
        refused("%M1025"), AddressCase{"%S0128", "S", 128}, refused("%S0129"),
        AddressCase{"%G1280", "G", 1280}, refused("%G1281"), AddressCase{"%T0256", "T", 256},
        refused("%T0257"), AddressCase{"%AI0064", "AI", 64}, refused("%AI0065"),
        AddressCase{"%AQ0032", "AQ", 32}, refused("%AQ0033"), AddressCase{"%R0512", "R", 512},
        refused("%R0513"), AddressCase{"%SA0128", "SA", 128}, refused("%SB0129"),
        AddressCase{"%SC0001", "SC", 1},
        // Either case, and the short forms of a hand-written file.
        AddressCase{"%i0001", "I", 1}, AddressCase{"%aQ0002", "AQ", 2}, AddressCase{"%R7", "R", 7},
        // What is no address.
        refused("%I0000"), refused("%I9999"), refused("%X0001"), refused("%I 1"), refused("I0001"),
        refused("%I00001"), refused("%I0001 "), refused("%I0001#"), refused("%R"),
        refused("Koniec"), refused(""), refused("%ABC1")));

}  // namespace
}  // namespace operands
