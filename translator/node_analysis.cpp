// The node walk, the segment walk, node merging, the OR/AND reduction and the formatting of the
// result. Every loop is bounded: walks by the move budget, the rest by the table sizes.
#include "translator/node_analysis.h"

#include "document/cell_code.h"
#include "document/cell_text.h"
#include "document/cp1250.h"
#include "translator/translator.h"

#include <utility>

namespace translator {

struct NodeAnalysis::WalkMarks {
    Translator::Mark flag;
    std::uint8_t left;
    std::uint8_t down;
    std::uint8_t up;
};

namespace {

// The node walk marks in `explored`, the segment walk in `emitted`, each with its own bits.
constexpr std::uint8_t kNodeLeft = 1;
constexpr std::uint8_t kNodeDown = 2;
constexpr std::uint8_t kNodeUp = 4;
constexpr std::uint8_t kSegmentLeft = 4;
constexpr std::uint8_t kSegmentDown = 2;
constexpr std::uint8_t kSegmentUp = 1;

// The four instruction fields of a description, 16 characters each.
constexpr std::string_view kLoadField = "   LOAD         ";
constexpr std::string_view kLoadNotField = "   LOAD NOT     ";
constexpr std::string_view kAndField = "   AND          ";
constexpr std::string_view kAndNotField = "   AND NOT      ";

// The formatting keeps this "not found" value for a keyword position, as the cut rule needs it.
constexpr std::size_t kNoKeyword = 100;

std::string number(int value) {
    return std::to_string(value);
}

// Listing lines are code page 1250 like every other listing line.
std::string cp1250(std::string_view utf8) {
    return document::utf8ToCp1250(utf8);
}

// The part of a description after its first "LOAD": the operand with its field's padding.
std::string afterFirstLoad(const std::string& opis) {
    const std::size_t at = opis.find("LOAD");
    return at == std::string::npos ? std::string() : opis.substr(at + 4);
}

bool hasKeyword(std::string_view text) {
    return text.find("LOAD") != std::string_view::npos ||
           text.find("OR") != std::string_view::npos || text.find("AND") != std::string_view::npos;
}

// The 1-based position of the earliest keyword, LOAD first, then an earlier OR, then an earlier
// AND; kNoKeyword when none is found.
std::size_t keywordPosition(std::string_view text) {
    std::size_t p = kNoKeyword;
    bool first = true;
    for (std::string_view keyword : {"LOAD", "OR", "AND"}) {
        const std::size_t at = text.find(keyword);
        if (at != std::string_view::npos && (first || at + 1 < p)) {
            p = at + 1;
        }
        first = false;
    }
    return p;
}

std::string trimBlanks(std::string_view text) {
    const std::size_t from = text.find_first_not_of(' ');
    if (from == std::string_view::npos) {
        return {};
    }
    const std::size_t to = text.find_last_not_of(' ');
    return std::string(text.substr(from, to - from + 1));
}

}  // namespace

std::string_view analysisStopLine(AnalysisEnd end) {
    switch (end) {
        case AnalysisEnd::Complete: return {};
        case AnalysisEnd::TooManyNodes: return "Analiza przerwana: za dużo węzłów";
        case AnalysisEnd::TooManySegments: return "Analiza przerwana: za dużo odcinków";
        case AnalysisEnd::UnfinishedSegment: return "Analiza przerwana: odcinek bez zakończenia";
        case AnalysisEnd::TooManyMoves: return "Analiza przerwana: za dużo kroków";
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// The whole analysis

AnalysisEnd NodeAnalysis::run() {
    m_segments.fill(Segment{});
    m_nodeCount = 0;
    m_segmentCount = 0;
    m_described = false;
    m_lastVertical = Vertical::None;
    m_changed = false;
    m_moves = 0;
    m_end = AnalysisEnd::Complete;
    m_memo1.clear();
    m_memo2.clear();

    // The search's result is not checked: the analysis works on whatever it left.
    static_cast<void>(m_translator.findFirstRung());
    m_translator.setPosition(m_translator.firstOutput());
    m_nodes[0] = m_translator.position();
    m_nodeCount = 1;
    traceLine(cp1250(" Początek w:") + number(m_translator.position() / 10) +
              " k:" + number(m_translator.position() % 10));

    walkNodes();
    if (!stopped()) {
        walkSegments();
    }
    if (stopped()) {
        return m_end;
    }
    printNodes();
    printSegments();
    mergeNodes();
    if (stopped()) {
        return m_end;
    }
    m_memo2.push_back(cp1250(" - Postać ostateczna węzłów  i odcinki -"));
    printNodes();
    printSegments();
    m_memo2.push_back(cp1250(" - Postać ostateczna -"));
    reduce();
    printSegments();
    writeFormatted();
    return m_end;
}

std::vector<int> NodeAnalysis::nodes() const {
    return {m_nodes.begin(), m_nodes.begin() + m_nodeCount};
}

std::vector<Segment> NodeAnalysis::segments() const {
    return {m_segments.begin(), m_segments.begin() + m_segmentCount};
}

// ---------------------------------------------------------------------------------------------
// Node walk: every branch point reachable from the output, found by walking towards the left
// rail and coming back to the branch points still on the stack.

void NodeAnalysis::walkNodes() {
    static constexpr WalkMarks kMarks{Translator::Mark::Explored, kNodeLeft, kNodeDown, kNodeUp};
    m_branchStack.fill(0);
    m_branchTop = 0;
    for (;;) {
        if (!spendMove()) {
            return;
        }
        const int here = m_translator.position();
        const int row = here / 10;
        const int col = here % 10;
        const bool branchPoint = m_translator.rozgalezienie();
        if (branchPoint && m_translator.mark(kMarks.flag, row, col) == 0) {
            // A cell already on top with no way out would be popped and pushed again for ever.
            const bool onTop =
                m_branchTop > 0 && m_branchStack[static_cast<std::size_t>(m_branchTop)] == here;
            const bool stuck = onTop && openStep(kMarks, true) == Step::None;
            if (stopped()) {
                return;
            }
            if (!stuck && m_branchTop < kBranchStackSize) {
                traceLine(" Na stos");
                m_branchStack[static_cast<std::size_t>(++m_branchTop)] = here;
            }
        }
        if (branchPoint && nodeIndex(here) < 0) {
            if (m_nodeCount >= kMaxNodes) {
                stop(AnalysisEnd::TooManyNodes);
                return;
            }
            m_nodes[static_cast<std::size_t>(m_nodeCount++)] = here;
        }

        const Step step = openStep(kMarks, true);
        if (stopped()) {
            return;
        }
        switch (step) {
            case Step::None:
                if (m_branchStack[static_cast<std::size_t>(m_branchTop)] == here &&
                    m_branchTop > 0) {
                    --m_branchTop;
                }
                traceLine(" Ze stosu");
                m_translator.setPosition(m_branchStack[static_cast<std::size_t>(m_branchTop)]);
                m_lastVertical = Vertical::None;
                break;
            case Step::Down:
            case Step::Left:
            case Step::Up:
                takeStep(step);
                pushCheck();
                markCell(kMarks, step);
                traceLine(step == Step::Down ? " dol " : step == Step::Left ? " lewo " : " gora ");
                break;
        }

        if (m_branchTop == 0) {
            const bool noWay = openStep(kMarks, true) == Step::None;
            if (stopped() || noWay) {
                return;
            }
        }
    }
}

void NodeAnalysis::pushCheck() {
    const int here = m_translator.position();
    if (m_translator.rozgalezienie() &&
        m_translator.mark(Translator::Mark::Explored, here / 10, here % 10) == 0 &&
        m_branchTop < kBranchStackSize) {
        traceLine(" Na stos");
        m_branchStack[static_cast<std::size_t>(++m_branchTop)] = here;
    }
}

// ---------------------------------------------------------------------------------------------
// Segment walk: from every node, one walk per way still open, each ending on the next branch
// point or on the left rail and describing the contacts it passes.

void NodeAnalysis::walkSegments() {
    static constexpr WalkMarks kMarks{Translator::Mark::Emitted, kSegmentLeft, kSegmentDown,
                                      kSegmentUp};
    for (int i = 0; i < m_nodeCount; ++i) {
        const int node = m_nodes[static_cast<std::size_t>(i)];
        // Every walk closes the way it leaves by, so a node has at most three segments.
        for (;;) {
            m_translator.setPosition(node);
            const bool open = openStep(kMarks, false) != Step::None;
            if (stopped()) {
                return;
            }
            if (!open) {
                break;
            }
            if (m_segmentCount >= kMaxSegments) {
                stop(AnalysisEnd::TooManySegments);
                return;
            }
            m_described = false;
            Segment& segment = m_segments[static_cast<std::size_t>(m_segmentCount)];
            segment.start = i;
            for (;;) {
                const Step step = openStep(kMarks, true);
                if (stopped()) {
                    return;
                }
                if (step == Step::None) {
                    stop(AnalysisEnd::UnfinishedSegment);
                    return;
                }
                if (!spendMove()) {
                    return;
                }
                takeStep(step);
                markCell(kMarks, step);
                switch (step) {
                    case Step::Down: traceLine(" dol "); break;
                    case Step::Left:
                        traceLine(" lewo ");
                        describeCell(segment);
                        break;
                    case Step::Up: traceLine(" gora "); break;
                    case Step::None: break;
                }
                if (m_translator.position() % 10 == 0 || m_translator.rozgalezienie()) {
                    break;
                }
            }
            const int reached = m_translator.position();
            if (reached % 10 == 0) {
                segment.end = kLeftRail;
            } else {
                const int index = nodeIndex(reached);
                segment.end = index >= 0 ? index : kUnrecordedBranchPoint;
            }
            m_lastVertical = Vertical::None;
            m_translator.setPosition(node);
            ++m_segmentCount;
        }
    }
}

void NodeAnalysis::describeCell(Segment& segment) {
    const int here = m_translator.position();
    const std::int32_t code = m_translator.codeAt(here / 10, here % 10);
    if (!document::isContact(code)) {
        return;
    }
    const bool plain = document::kindOf(code) == document::ElementKind::ContactNO;
    if (!m_described) {
        segment.opis += plain ? kLoadField : kLoadNotField;
    } else {
        segment.opis += plain ? kAndField : kAndNotField;
        segment.simple = 0;
    }
    segment.opis += document::fieldOf(m_translator.textAt(here / 10, here % 10), 'A');
    m_described = true;
}

// ---------------------------------------------------------------------------------------------
// Node merging: branch points stacked on one vertical link are one electrical node.

void NodeAnalysis::mergeNodes() {
    for (const bool upward : {true, false}) {
        for (int i = 0; i < m_nodeCount; ++i) {
            m_translator.setPosition(m_nodes[static_cast<std::size_t>(i)]);
            while (upward ? m_translator.linkUp() : m_translator.linkDown()) {
                if (!spendMove()) {
                    return;
                }
                m_translator.setPosition(m_translator.position() + (upward ? -10 : 10));
                if (!m_translator.rozgalezienie()) {
                    break;
                }
                const int here = m_translator.position();
                for (int k = 0; k < m_nodeCount;) {
                    if (k == i || m_nodes[static_cast<std::size_t>(k)] != here) {
                        ++k;
                        continue;
                    }
                    traceLine(cp1250("Usuwam węzeł ") + number(k));
                    removeNode(k, i);
                    // Node i follows its node when one before it goes.
                    if (k < i) {
                        --i;
                    }
                }
            }
        }
    }
    for (int k = 0; k < m_segmentCount;) {
        const Segment& s = m_segments[static_cast<std::size_t>(k)];
        if (s.start == s.end) {
            deleteSegment(k);
        } else {
            ++k;
        }
    }
}

void NodeAnalysis::removeNode(int removed, int keeper) {
    for (int k = 0; k < m_segmentCount; ++k) {
        Segment& s = m_segments[static_cast<std::size_t>(k)];
        s.start = s.start == removed ? keeper : s.start;
        s.end = s.end == removed ? keeper : s.end;
        // The nodes after the removed one move down one place; so do the ends that name them.
        s.start = s.start > removed ? s.start - 1 : s.start;
        s.end = s.end > removed ? s.end - 1 : s.end;
    }
    for (int k = removed; k + 1 < m_nodeCount; ++k) {
        m_nodes[static_cast<std::size_t>(k)] = m_nodes[static_cast<std::size_t>(k + 1)];
    }
    --m_nodeCount;
}

void NodeAnalysis::deleteSegment(int index) {
    for (int k = index; k + 1 < m_segmentCount; ++k) {
        m_segments[static_cast<std::size_t>(k)] =
            std::move(m_segments[static_cast<std::size_t>(k + 1)]);
    }
    --m_segmentCount;
    m_segments[static_cast<std::size_t>(m_segmentCount)] = Segment{};
}

// ---------------------------------------------------------------------------------------------
// Reduction: parallel segments become one with OR, series segments one with AND. Every merge
// deletes a segment, so the passes end.

void NodeAnalysis::reduce() {
    do {
        m_changed = false;
        while (mergeParallelPair()) {
        }
        while (mergeSeriesPair()) {
        }
    } while (m_changed);
}

bool NodeAnalysis::mergeParallelPair() {
    for (int i = 0; i < m_segmentCount; ++i) {
        for (int j = i + 1; j < m_segmentCount; ++j) {
            Segment& a = m_segments[static_cast<std::size_t>(i)];
            const Segment& b = m_segments[static_cast<std::size_t>(j)];
            if (a.start != b.start || a.end != b.end) {
                continue;
            }
            if (b.simple != 0) {
                a.opis = a.opis + " OR " + afterFirstLoad(b.opis);
            } else if (a.simple != 0) {
                a.opis = b.opis + " OR " + afterFirstLoad(a.opis);
            } else {
                a.opis = a.opis + b.opis + " OR(S) ";
            }
            a.simple = 0;
            deleteSegment(j);
            m_changed = true;
            return true;
        }
    }
    return false;
}

bool NodeAnalysis::mergeSeriesPair() {
    for (int i = 0; i < m_segmentCount; ++i) {
        for (int j = i + 1; j < m_segmentCount; ++j) {
            Segment& a = m_segments[static_cast<std::size_t>(i)];
            const Segment& b = m_segments[static_cast<std::size_t>(j)];
            bool joined = a.start == b.end || a.end == b.start;
            if (joined) {
                const int shared = a.start == b.end ? a.start : a.end;
                // Segment 0 is left out of this check.
                for (int k = 1; k < m_segmentCount && joined; ++k) {
                    const Segment& other = m_segments[static_cast<std::size_t>(k)];
                    joined = k == i || k == j || (other.start != shared && other.end != shared);
                }
            }
            if (!joined) {
                m_memo2.push_back("SprawdzAND i=" + number(i) + " j=" + number(j));
                continue;
            }
            // A segment of wires alone adds nothing to the description.
            if (!b.opis.empty()) {
                if (a.opis.empty()) {
                    a.opis = b.opis;
                } else if (b.simple != 0) {
                    a.opis = a.opis + " AND " + afterFirstLoad(b.opis);
                } else if (a.simple != 0) {
                    a.opis = b.opis + " AND " + afterFirstLoad(a.opis);
                } else {
                    a.opis = a.opis + b.opis + " AND(S) ";
                }
            }
            if (a.start == b.end) {
                a.start = b.start;
            }
            if (b.start == a.end) {
                a.end = b.end;
            }
            a.simple = 0;
            deleteSegment(j);
            m_changed = true;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Printing and formatting

void NodeAnalysis::printNodes() {
    for (int k = 0; k < m_nodeCount; ++k) {
        const int pos = m_nodes[static_cast<std::size_t>(k)];
        m_memo2.push_back(cp1250("Węzeł nr") + number(k) + "  w:" + number(pos / 10) +
                          " k:" + number(pos % 10));
    }
}

void NodeAnalysis::printSegments() {
    for (int k = 0; k < m_segmentCount; ++k) {
        const Segment& s = m_segments[static_cast<std::size_t>(k)];
        m_memo2.push_back("Odcinek " + number(k) + " p:" + number(s.start) + " k:" + number(s.end) +
                          "s:" + std::to_string(s.simple) + " opis:" + s.opis);
    }
}

void NodeAnalysis::writeFormatted() {
    m_memo1.push_back(cp1250(" - Postać sformatowana -"));
    for (std::string& line : formatDescription(m_segments[0].opis)) {
        m_memo1.push_back(std::move(line));
    }
}

std::vector<std::string> NodeAnalysis::formatDescription(std::string_view text) {
    std::vector<std::string> lines;
    // Every cut consumes at least one character, so the loop ends.
    while (hasKeyword(text)) {
        const std::size_t p = keywordPosition(text);
        if (p == kNoKeyword) {
            lines.emplace_back(text);
            break;
        }
        const std::size_t q = keywordPosition(text.substr(p));
        if (q == kNoKeyword) {
            lines.emplace_back(text);
            break;
        }
        lines.push_back(trimBlanks(text.substr(0, p + q - 1)));
        text.remove_prefix(p + q - 1);
    }
    return lines;
}

// ---------------------------------------------------------------------------------------------
// Steps, marks, probes, budget

NodeAnalysis::Step NodeAnalysis::openStep(const WalkMarks& marks, bool heedLastVertical) {
    const int here = m_translator.position();
    const int row = here / 10;
    const int col = here % 10;
    const auto unmarked = [&](int r, int c, std::uint8_t bit) {
        return (m_translator.mark(marks.flag, r, c) & bit) == 0;
    };
    if (m_translator.linkDown() && unmarked(row + 1, col, marks.down) &&
        (!heedLastVertical || m_lastVertical != Vertical::Up) && reachesConnectedLeft(Step::Down)) {
        return Step::Down;
    }
    if (stopped()) {
        return Step::None;
    }
    if (m_translator.connectedLeft() && unmarked(row, col - 1, marks.left)) {
        return Step::Left;
    }
    if (m_translator.linkUp() && unmarked(row - 1, col, marks.up) &&
        (!heedLastVertical || m_lastVertical != Vertical::Down) && reachesConnectedLeft(Step::Up)) {
        return Step::Up;
    }
    return Step::None;
}

void NodeAnalysis::takeStep(Step step) {
    switch (step) {
        case Step::Down:
            m_translator.setPosition(m_translator.position() + 10);
            m_lastVertical = Vertical::Down;
            return;
        case Step::Left:
            m_translator.setPosition(m_translator.position() - 1);
            m_lastVertical = Vertical::None;
            return;
        case Step::Up:
            m_translator.setPosition(m_translator.position() - 10);
            m_lastVertical = Vertical::Up;
            return;
        case Step::None: return;
    }
}

void NodeAnalysis::markCell(const WalkMarks& marks, Step step) {
    std::uint8_t bit = 0;
    switch (step) {
        case Step::Down: bit = marks.down; break;
        case Step::Left: bit = marks.left; break;
        case Step::Up: bit = marks.up; break;
        case Step::None: return;
    }
    const int here = m_translator.position();
    const std::uint8_t flags = m_translator.mark(marks.flag, here / 10, here % 10);
    m_translator.setMark(marks.flag, here / 10, here % 10, static_cast<std::uint8_t>(flags | bit));
}

bool NodeAnalysis::reachesConnectedLeft(Step direction) {
    const int start = m_translator.position();
    const int delta = direction == Step::Down ? 10 : -10;
    bool reached = false;
    // Each move goes one row on along the link, so the probe ends at the grid's edge at the
    // latest.
    while (direction == Step::Down ? m_translator.linkDown() : m_translator.linkUp()) {
        if (!spendMove()) {
            break;
        }
        m_translator.setPosition(m_translator.position() + delta);
        if (m_translator.connectedLeft()) {
            reached = true;
            break;
        }
    }
    m_translator.setPosition(start);
    return reached && !stopped();
}

int NodeAnalysis::nodeIndex(int pos) const {
    for (int k = 0; k < m_nodeCount; ++k) {
        if (m_nodes[static_cast<std::size_t>(k)] == pos) {
            return k;
        }
    }
    return -1;
}

bool NodeAnalysis::spendMove() {
    if (stopped()) {
        return false;
    }
    if (++m_moves > kMaxAnalysisMoves) {
        stop(AnalysisEnd::TooManyMoves);
        return false;
    }
    return true;
}

void NodeAnalysis::stop(AnalysisEnd why) {
    if (stopped()) {
        return;
    }
    m_end = why;
    m_memo2.push_back(cp1250(analysisStopLine(why)));
}

void NodeAnalysis::traceLine(std::string_view text) {
    const int here = m_translator.position();
    m_memo1.push_back("w:" + number(here / 10) + " k:" + number(here % 10) + std::string(text));
}

// ---------------------------------------------------------------------------------------------
// The command

NodeAnalysisResult AnalyseNodesAndSegments(const document::LadderDocument& document,
                                           const TranslationOptions& options) {
    Translator translator;
    translator.setTracePath(options.tracePath);
    loadDocument(translator, document);
    NodeAnalysis analysis(translator);
    NodeAnalysisResult result;
    result.end = analysis.run();
    translator.release();
    result.traceProblem = traceProblemText(options.tracePath, translator.traceError());
    result.firstView.reserve(analysis.traceLines().size());
    for (const std::string& line : analysis.traceLines()) {
        result.firstView.push_back(document::cp1250ToUtf8(line));
    }
    result.secondView.reserve(analysis.tableLines().size());
    for (const std::string& line : analysis.tableLines()) {
        result.secondView.push_back(document::cp1250ToUtf8(line));
    }
    return result;
}

}  // namespace translator
