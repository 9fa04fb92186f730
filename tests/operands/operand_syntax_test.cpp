// Operand syntax: the normal forms of addresses and constants at every digit boundary.
#include "operands/operand_syntax.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace operands {
namespace {

struct FormatCase {
    std::int64_t number;
    std::string address;
    std::string constant;
};

class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, PadsAtEveryDigitBoundary) {
    EXPECT_EQ(FormatAddress("R", GetParam().number), GetParam().address);
    EXPECT_EQ(FormatConstant(GetParam().number), GetParam().constant);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, FormatTest,
    ::testing::Values(FormatCase{0, "%R0000", "+00000"}, FormatCase{9, "%R0009", "+00009"},
                      FormatCase{10, "%R0010", "+00010"}, FormatCase{999, "%R0999", "+00999"},
                      FormatCase{1000, "%R1000", "+01000"}, FormatCase{9999, "%R9999", "+09999"},
                      FormatCase{10000, "%R10000", "+10000"}, FormatCase{-345, "%R0345", "-00345"},
                      FormatCase{std::numeric_limits<std::int64_t>::min(), "%R9223372036854775808",
                                 "-9223372036854775808"}));

}  // namespace
}  // namespace operands
