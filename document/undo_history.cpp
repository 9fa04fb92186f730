// Undo and redo by taking edits back: undoing a step reverts its edit, and what that reverting
// changed is exactly the step that redoes it.
#include "document/undo_history.h"

#include <string>
#include <utility>

namespace document {

void UndoHistory::reset(DocumentStatus status) {
    m_done.clear();
    m_undone.clear();
    m_bytes = 0;
    m_baseState = m_nextState++;
    m_cleanState = m_baseState;
    m_cleanStatus = status;
}

void UndoHistory::record(EditResult edit, CellPosition cursor) {
    if (!edit.changed()) {
        return;
    }
    for (const Step& step : m_undone) {
        m_bytes -= step.bytes;
    }
    m_undone.clear();
    const std::size_t bytes = bytesOf(edit);
    m_bytes += bytes;
    m_done.push_back({std::move(edit), cursor, m_nextState++, bytes});
    forgetOldest();
}

std::optional<CellPosition> UndoHistory::undo(LadderDocument& document) {
    return replay(m_done, m_undone, document);
}

std::optional<CellPosition> UndoHistory::redo(LadderDocument& document) {
    return replay(m_undone, m_done, document);
}

template <typename From, typename To>
std::optional<CellPosition> UndoHistory::replay(From& from, To& to, LadderDocument& document) {
    if (from.empty()) {
        return std::nullopt;
    }
    Step step = std::move(from.back());
    from.pop_back();
    // Reverting an edit gives the edit that reverts it again: what the step holds from now on.
    m_bytes -= step.bytes;
    step.edit = document.revert(step.edit);
    step.bytes = bytesOf(step.edit);
    m_bytes += step.bytes;
    const CellPosition cursor = step.cursor;
    to.push_back(std::move(step));
    setStatus(document);
    return cursor;
}

void UndoHistory::markSaved() {
    m_cleanState = presentState();
    m_cleanStatus = DocumentStatus::Saved;
}

std::uint64_t UndoHistory::presentState() const {
    return m_done.empty() ? m_baseState : m_done.back().state;
}

void UndoHistory::setStatus(LadderDocument& document) const {
    document.setStatus(presentState() == m_cleanState ? m_cleanStatus : DocumentStatus::Modified);
}

void UndoHistory::forgetOldest() {
    while (m_done.size() > kGuaranteedSteps &&
           (m_done.size() > kMaxSteps || m_bytes > kMemoryBudget)) {
        m_bytes -= m_done.front().bytes;
        m_baseState = m_done.front().state;
        m_done.pop_front();
    }
}

std::size_t UndoHistory::bytesOf(const EditResult& edit) {
    std::size_t bytes = edit.steps().size() * sizeof(EditStep);
    for (const EditStep& step : edit.steps()) {
        // Texts longer than the string's own buffer live on the heap.
        if (step.text.capacity() > std::string().capacity()) {
            bytes += step.text.capacity() + 1;
        }
    }
    return bytes;
}

}  // namespace document
