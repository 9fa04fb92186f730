// The editor's undo and redo: the edits of the document in the order they were made, each kept
// as the before-state of exactly the cells and rows it touched, and which state was saved.
#pragma once

#include "document/ladder_document.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace document {

/// The history of one program: edits can be undone and redone; a new edit drops what was
/// undone. Each step costs memory in proportion to the cells it changed, never to the size of
/// the program. The history also knows the state the program was last saved, loaded or created
/// in, so that undoing back to it shows that state's status word again instead of "zmieniony".
class UndoHistory {
public:
    /// Steps kept at least, however much memory they take.
    static constexpr std::size_t kGuaranteedSteps = 200;
    /// Steps kept at most.
    static constexpr std::size_t kMaxSteps = 1000;
    /// Memory beyond which the oldest steps above kGuaranteedSteps are forgotten.
    static constexpr std::size_t kMemoryBudget = std::size_t{64} << 20;

    /// Starts a new history: nothing to undo or redo, and the present state is the one the
    /// program has with `status` (New after "Nowy", Loaded after "Otwórz").
    void reset(DocumentStatus status);

    /// Records an edit made with the cursor at `cursor`; an edit that changed nothing is not a
    /// step. Drops every step undone before it.
    void record(EditResult edit, CellPosition cursor);

    /// Returns true when there is a step to undo.
    [[nodiscard]] bool canUndo() const { return !m_done.empty(); }
    /// Returns true when there is a step to redo.
    [[nodiscard]] bool canRedo() const { return !m_undone.empty(); }
    /// Returns the number of steps that can be undone.
    [[nodiscard]] std::size_t undoCount() const { return m_done.size(); }

    /// Takes the latest step back and sets the document's status (see the class). Returns the
    /// cursor of that step, or nothing when there was nothing to undo.
    std::optional<CellPosition> undo(LadderDocument& document);
    /// Makes the latest undone step again and sets the status. Returns the cursor of that step,
    /// or nothing when there was nothing to redo.
    std::optional<CellPosition> redo(LadderDocument& document);

    /// Notes that the present state has just been saved (status Saved).
    void markSaved();

    /// Returns the bytes the recorded steps hold (their steps and the texts of their cells).
    [[nodiscard]] std::size_t memoryUse() const { return m_bytes; }

private:
    struct Step {
        EditResult edit;      // undo: what it undoes; redo: what it redoes
        CellPosition cursor;  // where the edit was made
        std::uint64_t state;  // the state the document is in after the step is done
        std::size_t bytes;    // what `edit` holds
    };

    /// Takes the latest step of `from`, reverts its edit and keeps the reverting edit in `to`.
    template <typename From, typename To>
    std::optional<CellPosition> replay(From& from, To& to, LadderDocument& document);
    [[nodiscard]] std::uint64_t presentState() const;
    void setStatus(LadderDocument& document) const;
    void forgetOldest();
    static std::size_t bytesOf(const EditResult& edit);

    std::deque<Step> m_done;         // oldest first
    std::vector<Step> m_undone;      // latest undone last
    std::uint64_t m_baseState = 0;   // the state before the oldest step kept
    std::uint64_t m_nextState = 1;   // states are never numbered twice
    std::uint64_t m_cleanState = 0;  // the state that was saved, loaded or created
    DocumentStatus m_cleanStatus = DocumentStatus::New;
    std::size_t m_bytes = 0;
};

}  // namespace document
