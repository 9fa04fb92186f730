// The node and segment analysis: the first rung read as an electrical network whose branch
// points are nodes and whose runs of contacts between them are segments, merged with OR and AND
// until one description is left. It writes its trace and its tables as two listing views.
#pragma once

#include "translator/translation_driver.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace document {
class LadderDocument;
}

namespace translator {

class Translator;

/// Room in the analysis tables and the most moves one analysis may make.
inline constexpr int kMaxNodes = 30;
inline constexpr int kMaxSegments = 100;
inline constexpr int kBranchStackSize = 50;
inline constexpr int kMaxAnalysisMoves = 100000;

/// Segment ends that are not node indexes: the left rail, and a branch point the node walk
/// never recorded (the reduction treats every such end as one node).
inline constexpr int kLeftRail = -1;
inline constexpr int kUnrecordedBranchPoint = -2;

/// How an analysis ended. Every value but Complete is an orderly stop: its line closes the
/// second view and nothing is written after it.
enum class AnalysisEnd : int {
    Complete,
    TooManyNodes,       ///< a node past the table's room would have been recorded
    TooManySegments,    ///< a segment past the table's room would have been started
    UnfinishedSegment,  ///< a segment walk could step no further before its end
    TooManyMoves,       ///< the walks, probes and merge walks took more than kMaxAnalysisMoves
};

/// Returns the line an orderly stop appends to the second view (UTF-8); empty for Complete.
[[nodiscard]] std::string_view analysisStopLine(AnalysisEnd end);

/// One run of the network between two nodes.
struct Segment {
    int start = 0;            ///< index of the node it leaves
    int end = 0;              ///< index of the node it reaches, kLeftRail or kUnrecordedBranchPoint
    std::string opis;         ///< its instruction-list description (code page 1250)
    std::int32_t simple = 1;  ///< 1 while `opis` is a single LOAD
};

/// The analysis of one loaded translator. It reads the grid and drives the walk position only
/// through the translator's public relations; its direction marks live in the translator's
/// `explored` (node walk) and `emitted` (segment walk) flags.
class NodeAnalysis {
public:
    /// Binds the analysis to a translator loaded with `init` and `setCell` and not yet used.
    explicit NodeAnalysis(Translator& translator) : m_translator(translator) {}

    /// Runs the analysis of the first rung; returns how it ended.
    [[nodiscard]] AnalysisEnd run();

    /// Returns the first view: the walk trace, then the formatted description (code page 1250).
    [[nodiscard]] const std::vector<std::string>& traceLines() const { return m_memo1; }
    /// Returns the second view: the node and segment tables (code page 1250).
    [[nodiscard]] const std::vector<std::string>& tableLines() const { return m_memo2; }
    /// Returns the positions (row * 10 + column) of the nodes, node 0 first.
    [[nodiscard]] std::vector<int> nodes() const;
    /// Returns the segments in their current order.
    [[nodiscard]] std::vector<Segment> segments() const;

    /// Returns `text` cut into lines before each keyword LOAD, OR and AND (found anywhere in
    /// it); every line but the last is trimmed of blanks.
    [[nodiscard]] static std::vector<std::string> formatDescription(std::string_view text);

private:
    enum class Step : int { None, Down, Left, Up };
    enum class Vertical : int { None = 0, Up = 1, Down = 2 };
    /// Which flag a walk marks and the bit it sets for each direction of entry.
    struct WalkMarks;

    void walkNodes();
    void pushCheck();
    void walkSegments();
    void describeCell(Segment& segment);
    void mergeNodes();
    void removeNode(int removed, int keeper);
    void deleteSegment(int index);
    void reduce();
    [[nodiscard]] bool mergeParallelPair();
    [[nodiscard]] bool mergeSeriesPair();
    void printNodes();
    void printSegments();
    void writeFormatted();

    [[nodiscard]] Step openStep(const WalkMarks& marks, bool heedLastVertical);
    void takeStep(Step step);
    void markCell(const WalkMarks& marks, Step step);
    [[nodiscard]] bool reachesConnectedLeft(Step direction);
    [[nodiscard]] int nodeIndex(int pos) const;
    [[nodiscard]] bool spendMove();
    void stop(AnalysisEnd why);
    [[nodiscard]] bool stopped() const { return m_end != AnalysisEnd::Complete; }
    void traceLine(std::string_view text);

    Translator& m_translator;
    std::array<int, kMaxNodes> m_nodes{};
    int m_nodeCount = 0;
    std::array<Segment, kMaxSegments> m_segments{};
    int m_segmentCount = 0;
    // Entry 0 always holds position 0; entries 1 to kBranchStackSize hold pushed positions.
    std::array<int, kBranchStackSize + 1> m_branchStack{};
    int m_branchTop = 0;
    bool m_described = false;
    Vertical m_lastVertical = Vertical::None;
    bool m_changed = false;
    int m_moves = 0;
    AnalysisEnd m_end = AnalysisEnd::Complete;
    std::vector<std::string> m_memo1;
    std::vector<std::string> m_memo2;
};

/// What the analysis command shows: both views in UTF-8, and how the analysis ended.
struct NodeAnalysisResult {
    std::vector<std::string> firstView;
    std::vector<std::string> secondView;
    AnalysisEnd end = AnalysisEnd::Complete;
    std::string traceProblem;  ///< as TranslationResult::traceProblem
};

/// Loads `document` into a translator as the translating commands do, analyses its first rung
/// and releases the translator; returns both views. The document is not changed and no
/// interpreter program is made.
[[nodiscard]] NodeAnalysisResult AnalyseNodesAndSegments(const document::LadderDocument& document,
                                                         const TranslationOptions& options = {});

}  // namespace translator
