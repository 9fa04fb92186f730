// The node and segment analysis: exact trace and table lines of small rungs, node merging and
// the OR/AND reduction they go through, the formatting of a description, and the orderly stops.
#include "translator/node_analysis.h"

#include "tests/translator/ladder_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace translator::testing {
namespace {

const std::string A = "%I0001";
const std::string B = "%I0002";
const std::string C = "%I0003";
const std::string D = "%I0004";
const std::string X = "%I0009";
const std::string Q1 = "%Q0001";
const std::string kFormatted = " - Postać sformatowana -";
const std::string kMergedHeading = " - Postać ostateczna węzłów  i odcinki -";
const std::string kReducedHeading = " - Postać ostateczna -";

NodeAnalysisResult analyse(const Ladder& ladder) {
    return AnalyseNodesAndSegments(ladder.document(), TranslationOptions{{}});
}

// The trace lines of steps to the left along `row`, from column `from` down to `to`.
std::vector<std::string> leftSteps(int row, int from, int to) {
    std::vector<std::string> lines;
    for (int col = from; col >= to; --col) {
        lines.push_back("w:" + std::to_string(row) + " k:" + std::to_string(col) + " lewo ");
    }
    return lines;
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The lines of `view` from the first one equal to `heading` to the end.
std::vector<std::string> from(const std::vector<std::string>& view, const std::string& heading) {
    return {std::find(view.begin(), view.end(), heading), view.end()};
}

TEST(NodeAnalysisTest, SeriesContactsGiveOneSegmentFromTheOutputToTheRail) {
    const NodeAnalysisResult result =
        analyse(Ladder().contact(0, 0, A).contact(0, 1, B).wires(0, 2, 8).coil(0, Q1));
    const std::string segment =
        "Odcinek 0 p:0 k:-1s:0 opis:   LOAD         %I0002   AND          %I0001";
    const std::string node = "Węzeł nr0  w:0 k:9";
    EXPECT_EQ(result.end, AnalysisEnd::Complete);
    // The node walk and then the segment walk each go once along the row.
    EXPECT_EQ(result.firstView,
              concat({{"w:0 k:9 Początek w:0 k:9"},
                      leftSteps(0, 8, 0),
                      leftSteps(0, 8, 0),
                      {kFormatted, "LOAD         %I0002", "AND          %I0001"}}));
    EXPECT_EQ(result.secondView, (std::vector<std::string>{node, segment, kMergedHeading, node,
                                                           segment, kReducedHeading, segment}));
}

TEST(NodeAnalysisTest, ParallelContactsMergeWithOr) {
    // %I0009 and (%I0001 or %I0002): branch points at (0,1), (0,3) and (1,3).
    const NodeAnalysisResult result = analyse(Ladder()
                                                  .contact(0, 0, X)
                                                  .wire(0, 1, kDown)
                                                  .contact(0, 2, A)
                                                  .wire(0, 3, kDown)
                                                  .wires(0, 4, 8)
                                                  .coil(0, Q1)
                                                  .wire(1, 1, kUp)
                                                  .contact(1, 2, B)
                                                  .wire(1, 3, kUp));
    EXPECT_EQ(result.end, AnalysisEnd::Complete);
    const std::vector<std::string> nodeWalk = concat({
        {"w:0 k:9 Początek w:0 k:9"},
        leftSteps(0, 8, 4),
        {"w:0 k:3 Na stos", "w:0 k:3 lewo ", "w:1 k:3 Na stos", "w:1 k:3 dol ", "w:1 k:2 lewo ",
         "w:1 k:1 lewo ", "w:0 k:1 Na stos", "w:0 k:1 gora ", "w:0 k:0 lewo ", "w:0 k:0 Ze stosu",
         "w:0 k:1 Ze stosu", "w:0 k:3 gora ", "w:0 k:2 lewo ", "w:0 k:1 lewo ", "w:0 k:1 Ze stosu",
         "w:1 k:3 Ze stosu", "w:0 k:3 Ze stosu"},
    });
    const std::vector<std::string> segmentWalk = concat({
        leftSteps(0, 8, 3),
        {"w:1 k:3 dol ", "w:0 k:2 lewo ", "w:0 k:1 lewo ", "w:1 k:2 lewo ", "w:1 k:1 lewo ",
         "w:0 k:1 gora ", "w:0 k:3 gora ", "w:0 k:0 lewo "},
    });
    EXPECT_EQ(result.firstView, concat({nodeWalk,
                                        segmentWalk,
                                        {"w:0 k:3Usuwam węzeł 1", kFormatted, "LOAD         %I0001",
                                         "OR          %I0002", "AND          %I0009"}}));
    EXPECT_EQ(result.secondView,
              (std::vector<std::string>{
                  "Węzeł nr0  w:0 k:9",
                  "Węzeł nr1  w:0 k:3",
                  "Węzeł nr2  w:1 k:3",
                  "Węzeł nr3  w:0 k:1",
                  "Odcinek 0 p:0 k:1s:1 opis:",
                  "Odcinek 1 p:1 k:2s:1 opis:",
                  "Odcinek 2 p:1 k:3s:1 opis:   LOAD         %I0001",
                  "Odcinek 3 p:2 k:3s:1 opis:   LOAD         %I0002",
                  "Odcinek 4 p:2 k:1s:1 opis:",
                  "Odcinek 5 p:3 k:-1s:1 opis:   LOAD         %I0009",
                  kMergedHeading,
                  "Węzeł nr0  w:0 k:9",
                  "Węzeł nr1  w:1 k:3",
                  "Węzeł nr2  w:0 k:1",
                  "Odcinek 0 p:0 k:1s:1 opis:",
                  "Odcinek 1 p:1 k:2s:1 opis:   LOAD         %I0001",
                  "Odcinek 2 p:1 k:2s:1 opis:   LOAD         %I0002",
                  "Odcinek 3 p:2 k:-1s:1 opis:   LOAD         %I0009",
                  kReducedHeading,
                  "Odcinek 0 p:0 k:-1s:0 opis:   LOAD         %I0001 OR          %I0002 AND    "
                  "      %I0009",
              }));
}

TEST(NodeAnalysisTest, ParallelChainsOfContactsMergeWithOrS) {
    // %I0009 and ((%I0001 and %I0002) or (%I0003 and %I0004)).
    const NodeAnalysisResult result = analyse(Ladder()
                                                  .contact(0, 0, X)
                                                  .wire(0, 1, kDown)
                                                  .contact(0, 2, A)
                                                  .contact(0, 3, B)
                                                  .wire(0, 4, kDown)
                                                  .wires(0, 5, 8)
                                                  .coil(0, Q1)
                                                  .wire(1, 1, kUp)
                                                  .contact(1, 2, C)
                                                  .contact(1, 3, D)
                                                  .wire(1, 4, kUp));
    EXPECT_EQ(result.end, AnalysisEnd::Complete);
    EXPECT_EQ(from(result.secondView, kReducedHeading),
              (std::vector<std::string>{
                  kReducedHeading,
                  "Odcinek 0 p:0 k:-1s:0 opis:   LOAD         %I0002   AND          %I0001   LOAD"
                  "         %I0004   AND          %I0003 OR(S)  AND          %I0009",
              }));
    EXPECT_EQ(from(result.firstView, kFormatted),
              (std::vector<std::string>{kFormatted, "LOAD         %I0002", "AND          %I0001",
                                        "LOAD         %I0004", "AND          %I0003", "OR(S)",
                                        "AND          %I0009"}));
}

TEST(NodeAnalysisTest, NodesStackedOnOneLinkMergeIntoTheLowest) {
    // Three contacts in parallel, joined in column 1 by down, both and up links. Each removal of
    // a node before the walking one moves the walker's index down with it.
    const NodeAnalysisResult result = analyse(Ladder()
                                                  .contact(0, 0, A)
                                                  .wire(0, 1, kDown)
                                                  .wires(0, 2, 8)
                                                  .coil(0, Q1)
                                                  .contact(1, 0, B)
                                                  .wire(1, 1, kBoth)
                                                  .contact(2, 0, C)
                                                  .wire(2, 1, kUp));
    EXPECT_EQ(result.end, AnalysisEnd::Complete);
    const auto merges =
        std::find(result.firstView.begin(), result.firstView.end(), "w:0 k:1Usuwam węzeł 1");
    EXPECT_EQ(std::vector<std::string>(merges, result.firstView.end()),
              (std::vector<std::string>{"w:0 k:1Usuwam węzeł 1", "w:1 k:1Usuwam węzeł 1",
                                        kFormatted, "LOAD         %I0001", "OR          %I0002",
                                        "OR          %I0003"}));
    EXPECT_EQ(from(result.secondView, kMergedHeading),
              (std::vector<std::string>{
                  kMergedHeading,
                  "Węzeł nr0  w:0 k:9",
                  "Węzeł nr1  w:2 k:1",
                  "Odcinek 0 p:0 k:1s:1 opis:",
                  "Odcinek 1 p:1 k:-1s:1 opis:   LOAD         %I0001",
                  "Odcinek 2 p:1 k:-1s:1 opis:   LOAD         %I0002",
                  "Odcinek 3 p:1 k:-1s:1 opis:   LOAD         %I0003",
                  kReducedHeading,
                  "Odcinek 0 p:0 k:-1s:0 opis:   LOAD         %I0001 OR          %I0002 OR    "
                  "      %I0003",
              }));
}

TEST(NodeAnalysisTest, NestedBranchReducesInsideOut) {
    // ((%I0001 or %I0002) and %I0003) or %I0004; the outer branch comes down column 3.
    const NodeAnalysisResult result = analyse(Ladder()
                                                  .contact(0, 0, A)
                                                  .wire(0, 1, kDown)
                                                  .contact(0, 2, C)
                                                  .wire(0, 3, kDown)
                                                  .wires(0, 4, 8)
                                                  .coil(0, Q1)
                                                  .contact(1, 0, B)
                                                  .wire(1, 1, kUp)
                                                  .wire(1, 3, kBoth)
                                                  .contact(2, 0, D)
                                                  .wires(2, 1, 2)
                                                  .wire(2, 3, kUp));
    EXPECT_EQ(result.end, AnalysisEnd::Complete);
    EXPECT_EQ(from(result.secondView, kMergedHeading),
              (std::vector<std::string>{
                  kMergedHeading,
                  "Węzeł nr0  w:0 k:9",
                  "Węzeł nr1  w:2 k:3",
                  "Węzeł nr2  w:1 k:1",
                  "Odcinek 0 p:0 k:1s:1 opis:",
                  "Odcinek 1 p:1 k:2s:1 opis:   LOAD         %I0003",
                  "Odcinek 2 p:1 k:-1s:1 opis:   LOAD         %I0004",
                  "Odcinek 3 p:2 k:-1s:1 opis:   LOAD         %I0001",
                  "Odcinek 4 p:2 k:-1s:1 opis:   LOAD         %I0002",
                  kReducedHeading,
                  // Node 1 ends three segments, so segment 0 cannot take one of them in series
                  // until the inner pair and then the outer pair have merged.
                  "SprawdzAND i=0 j=1",
                  "SprawdzAND i=0 j=2",
                  "SprawdzAND i=0 j=3",
                  "SprawdzAND i=1 j=2",
                  "SprawdzAND i=0 j=1",
                  "SprawdzAND i=0 j=2",
                  "SprawdzAND i=1 j=2",
                  "Odcinek 0 p:0 k:-1s:0 opis:   LOAD         %I0001 OR          %I0002 AND    "
                  "      %I0003 OR          %I0004",
              }));
    EXPECT_EQ(from(result.firstView, kFormatted),
              (std::vector<std::string>{kFormatted, "LOAD         %I0001", "OR          %I0002",
                                        "AND          %I0003", "OR          %I0004"}));
}

TEST(NodeAnalysisTest, OutputThatIsABranchPointIsNotPushedForEver) {
    // A coil with both links is a branch point; back on it with no way out, the walk pops it
    // once instead of pushing it again.
    const NodeAnalysisResult result =
        analyse(Ladder().contact(0, 0, A).wires(0, 1, 8).coil(0, Q1, 3 + kBoth));
    EXPECT_EQ(result.end, AnalysisEnd::Complete);
    EXPECT_EQ(result.firstView, concat({{"w:0 k:9 Początek w:0 k:9", "w:0 k:9 Na stos"},
                                        leftSteps(0, 8, 0),
                                        {"w:0 k:0 Ze stosu", "w:0 k:9 Ze stosu"},
                                        leftSteps(0, 8, 0),
                                        {kFormatted, "   LOAD         %I0001"}}));
}

// ---------------------------------------------------------------------------------------------
// Formatting

struct FormatCase {
    std::string name;
    std::string text;
    std::vector<std::string> lines;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class FormatDescriptionTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatDescriptionTest, CutsBeforeEachKeyword) {
    EXPECT_EQ(NodeAnalysis::formatDescription(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    NodeAnalysis, FormatDescriptionTest,
    ::testing::Values(
        FormatCase{"EmptyGivesNoLine", "", {}},
        FormatCase{"NoKeywordGivesNoLine", "%I0001 %I0002", {}},
        FormatCase{"SingleLoadStandsAsItIs", "   LOAD         %I0001", {"   LOAD         %I0001"}},
        FormatCase{"LastLineKeepsItsBlanks",
                   "   LOAD         %I0001   AND NOT      %I0002  ",
                   {"LOAD         %I0001", "AND NOT      %I0002  "}},
        FormatCase{"BlockKeywordsStartLines",
                   "   LOAD         %I0001   LOAD         %I0002 OR(S)  AND          %I0003",
                   {"LOAD         %I0001", "LOAD         %I0002", "OR(S)", "AND          %I0003"}},
        FormatCase{"KeywordInsideAnOperandCutsToo",
                   "   LOAD         %MOTOR   AND          %I0001",
                   {"LOAD         %MOT", "OR", "AND          %I0001"}},
        FormatCase{"EarlierAndWinsOverLoad", "AND x LOAD y", {"AND x", "LOAD y"}},
        FormatCase{"KeywordAtPositionHundredIsTakenAsNone",
                   std::string(99, ' ') + "LOAD x AND y",
                   {std::string(99, ' ') + "LOAD x AND y"}}),
    [](const auto& p) { return p.param.name; });

// ---------------------------------------------------------------------------------------------
// Orderly stops

struct StopCase {
    std::string name;
    std::function<Ladder()> build;
    AnalysisEnd end;
    std::string line;
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.name;
}

class AnalysisStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(AnalysisStopTest, EndsWithItsLineAndNothingAfter) {
    const NodeAnalysisResult result = analyse(GetParam().build());
    EXPECT_EQ(result.end, GetParam().end);
    EXPECT_EQ(analysisStopLine(result.end), GetParam().line);
    // Every stop comes before the tables are printed; the trace written so far stays.
    EXPECT_EQ(result.secondView, std::vector<std::string>{GetParam().line});
    ASSERT_FALSE(result.firstView.empty());
    EXPECT_EQ(result.firstView.front(), "w:0 k:9 Początek w:0 k:9");
    EXPECT_EQ(std::count(result.firstView.begin(), result.firstView.end(), kFormatted), 0);
}

INSTANTIATE_TEST_SUITE_P(
    NodeAnalysis, AnalysisStopTest,
    ::testing::Values(
        StopCase{"ThirtyOneBranchPoints",
                 [] {
                     // Node 0 and 31 branch points down column 1.
                     Ladder ladder(32);
                     ladder.wires(0, 2, 8).coil(0, Q1);
                     for (int row = 0; row < 31; ++row) {
                         ladder.contact(row, 0, A).wire(row, 1,
                                                        row == 0    ? kDown
                                                        : row == 30 ? kUp
                                                                    : kBoth);
                     }
                     return ladder;
                 },
                 AnalysisEnd::TooManyNodes, "Analiza przerwana: za dużo węzłów"},
        StopCase{"BranchThatEndsInMidRow",
                 [] {
                     return Ladder()
                         .contact(0, 0, A)
                         .wires(0, 1, 4)
                         .wire(0, 5, kDown)
                         .wires(0, 6, 8)
                         .coil(0, Q1)
                         .wires(1, 3, 4)
                         .wire(1, 5, kUp);
                 },
                 AnalysisEnd::UnfinishedSegment, "Analiza przerwana: odcinek bez zakończenia"},
        StopCase{"LinkDownFourHundredRows",
                 [] {
                     // Every step down the link probes the rest of it for the contact below.
                     Ladder ladder(400);
                     ladder.contact(0, 0, A).wire(0, 1, kDown).wires(0, 2, 8).coil(0, Q1);
                     for (int row = 1; row < 399; ++row) {
                         ladder.put(row, 1, kBoth);
                     }
                     ladder.contact(399, 0, B).wire(399, 1, kUp);
                     return ladder;
                 },
                 AnalysisEnd::TooManyMoves, "Analiza przerwana: za dużo kroków"}),
    [](const auto& p) { return p.param.name; });

}  // namespace
}  // namespace translator::testing
