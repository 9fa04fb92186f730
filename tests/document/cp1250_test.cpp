// Code page 1250 conversion at the edge between cell texts and windows.
#include "document/cp1250.h"

#include <gtest/gtest.h>

namespace document {
namespace {

TEST(Cp1250Test, EveryByteComesBackUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1250(cp1250ToUtf8(all)), all);
}

TEST(Cp1250Test, PolishLettersMapBothWays) {
    const std::string utf8 = "zażółć gęślą jaźń ŻÓŁĆ ĘŚĄŹŃ";
    const std::string cp1250 =
        "za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 \xAF\xD3\xA3\xC6 \xCA\x8C\xA5\x8F\xD1";
    EXPECT_EQ(utf8ToCp1250(utf8), cp1250);
    EXPECT_EQ(cp1250ToUtf8(cp1250), utf8);
    EXPECT_EQ(cp1250ToUtf8("\x80\x84\x96"), "€„–");
}

TEST(Cp1250Test, UnmappableAndMalformedInputBecomesQuestionMarks) {
    EXPECT_EQ(utf8ToCp1250("a日b😀c"), "a?b?c");
    EXPECT_EQ(utf8ToCp1250("\xC5"), "?");          // cut-off sequence at the end
    EXPECT_EQ(utf8ToCp1250("\xC5x"), "?x");        // continuation byte missing
    EXPECT_EQ(utf8ToCp1250("\xC0\xAF"), "?");      // overlong slash
    EXPECT_EQ(utf8ToCp1250("\xED\xA0\x80"), "?");  // surrogate
    EXPECT_EQ(utf8ToCp1250("\xFF\x80z"), "??z");
}

}  // namespace
}  // namespace document
