// Element classes, operand primitives and the error report text.
#include "translator/cell_rules.h"

#include "translator/translation_error.h"

#include <gtest/gtest.h>

namespace translator {
namespace {

TEST(CellRulesTest, PureLinksAndContinuationContactsAreNoConductorsOrRungStarts) {
    EXPECT_FALSE(isConductor(300));
    EXPECT_TRUE(isConductor(307));
    EXPECT_FALSE(isRungStart(9));
}

TEST(CellRulesTest, AddressesGiveAreaAndOffsets) {
    EXPECT_EQ(areaCode("%AI0003"), -16);
    EXPECT_EQ(operandNumber("%AI0003"), 3);
    EXPECT_EQ(areaCode("%I0009"), -10);
    EXPECT_EQ(bitByte("%I0009"), 1);
    EXPECT_EQ(bitIndex("%I0009"), 0);
    EXPECT_EQ(areaCode("%SB0002"), -12);
    EXPECT_EQ(bitIndex("%SB0002"), 1);
    EXPECT_EQ(areaCode("%AQ0012"), -17);
    EXPECT_EQ(wordOffset("%R0003"), 4);
    EXPECT_EQ(operandNumber("%R12345"), 1234);
    EXPECT_EQ(areaCode("Koniec"), 0);
    EXPECT_EQ(areaCode("%X0001"), 0);
}

TEST(CellRulesTest, ConstantsKeepTheirSignAndSaturate) {
    EXPECT_EQ(constantValue("+00012"), 12);
    EXPECT_EQ(constantValue("-00345"), -345);
    EXPECT_EQ(constantValue("+99999999999"), 2147483647);
    EXPECT_EQ(constantValue("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(constantValue("abc"), 0);
}

TEST(ErrorReportTest, ReportNamesNumberCellAndMessage) {
    EXPECT_EQ(errorReportText(11, 2, 4),
              "Błąd 11 (w3k5): Przekaźnik musi znajdować się w 10 kolumnie");
    EXPECT_EQ(errorReportText(4, 6, 1), "Błąd 4 (w7k2): Brak opisu elementu");
    EXPECT_EQ(errorReportText(36, 0, 0), "Błąd 36 (w1k1): ");
}

TEST(ErrorReportTest, TableKeepsItsFixedNumbering) {
    EXPECT_EQ(errorMessage(1), "Niezakończone połączenie pionowe");
    EXPECT_EQ(errorMessage(23), "Nie podano podstawy czasowej dla timera");
    EXPECT_EQ(errorMessage(26), "Zły typ zmiennej dla wyjścia Q");
    EXPECT_EQ(errorMessage(33), "Brak instrukcji ENDMCR dla funkcji MCR");
    EXPECT_EQ(errorMessage(34), "Program jest zbyt duży");
    EXPECT_EQ(errorMessage(35), "");
    EXPECT_EQ(errorMessage(0), "");
    for (int code = 1; code <= 33; ++code) {
        EXPECT_FALSE(errorMessage(code).empty()) << code;
    }
}

}  // namespace
}  // namespace translator
