// The remarks on a translated program and their texts.
#include "translator/translation_warning.h"

#include "document/cp1250.h"
#include "operands/memory_area.h"
#include "operands/operand_syntax.h"

#include <algorithm>

namespace translator {

namespace {

std::string place(int cell) {
    return "w" + std::to_string(cell / 10 + 1) + "k" + std::to_string(cell % 10 + 1);
}

bool overlap(std::int32_t areaA, std::int32_t startA, std::int32_t endA, std::int32_t areaB,
             std::int32_t startB, std::int32_t endB) {
    return areaA == areaB && startA < endB && startB < endA;
}

// The references that cover bytes [start, end) of the area `reg` names: %R0001..%R0003 for
// three words of %R, %M0001..%M0048 for three words of %M.
std::string referenceRange(std::string_view reg, std::int32_t start, std::int32_t end) {
    const operands::MemoryArea* area = operands::areaOfAddress(reg);
    if (area == nullptr) {
        return std::string(reg);
    }
    const std::int64_t first = area->wordArea ? start / 2 + 1 : std::int64_t{start} * 8 + 1;
    const std::int64_t last = area->wordArea ? end / 2 : std::int64_t{end} * 8;
    return operands::FormatAddress(area->name, first) + ".." +
           operands::FormatAddress(area->name, last);
}

}  // namespace

std::string warningReportText(const TranslationWarning& warning) {
    return "Uwaga (" + place(warning.row * 10 + warning.col) + "): " + warning.text;
}

void WarningNotes::registers(int block, std::string_view blockName, std::string_view reg,
                             std::int32_t areaCode, std::int32_t start, std::int32_t end) {
    m_registers.push_back(
        {block, block, std::string(blockName), {}, std::string(reg), areaCode, start, end});
}

void WarningNotes::output(int cell, int block, std::string_view blockName, std::string_view label,
                          bool isOutput, std::string_view operand, std::int32_t areaCode,
                          std::int32_t start, std::int32_t end) {
    m_outputs.push_back({cell, block, std::string(blockName), std::string(label),
                         std::string(operand), areaCode, start, end, isOutput});
}

void WarningNotes::widenLastOutput(std::int32_t bytes) {
    if (!m_outputs.empty()) {
        m_outputs.back().end += bytes;
    }
}

void WarningNotes::wordBit(int cell, bool coil, std::string_view operand) {
    m_wordBits.push_back({cell, coil, std::string(operand)});
}

void WarningNotes::control(int cell, bool jump, std::string_view label, std::size_t word) {
    m_controls.push_back({cell, jump, std::string(label), word});
}

std::vector<TranslationWarning> WarningNotes::warnings() const {
    std::vector<TranslationWarning> found;
    auto add = [&found](int cell, std::string text) {
        found.push_back({cell / 10, cell % 10, std::move(text)});
    };
    auto registerText = [](const Span& r) { return referenceRange(r.operand, r.start, r.end); };

    // Each block whose registers reach into those of a block written before it, once.
    for (std::size_t i = 0; i < m_registers.size(); ++i) {
        const Span& later = m_registers[i];
        for (std::size_t j = 0; j < i; ++j) {
            const Span& earlier = m_registers[j];
            if (earlier.block != later.block &&
                overlap(later.areaCode, later.start, later.end, earlier.areaCode, earlier.start,
                        earlier.end)) {
                add(later.block, "Rejestry " + registerText(later) + " bloku " + later.blockName +
                                     " pokrywają się z rejestrami " + registerText(earlier) +
                                     " bloku " + earlier.blockName + " w " + place(earlier.block));
                break;
            }
        }
    }
    for (const Span& out : m_outputs) {
        for (const Span& r : m_registers) {
            if (r.block != out.block &&
                overlap(out.areaCode, out.start, out.end, r.areaCode, r.start, r.end)) {
                add(out.cell, std::string(out.isOutput ? "Wyjście " : "Operand ") + out.label +
                                  " bloku " + out.blockName + " (" + out.operand +
                                  ") zapisuje rejestry " + registerText(r) + " bloku " +
                                  r.blockName + " w " + place(r.block));
            }
        }
    }
    for (const WordBit& bit : m_wordBits) {
        add(bit.cell, std::string(bit.coil ? "Cewka" : "Styk") + " na operandzie słowa " +
                          bit.operand + (bit.coil ? " ustawia" : " sprawdza") +
                          " tylko jego bit 0");
    }
    for (const Control& jump : m_controls) {
        if (!jump.jump) {
            continue;
        }
        const auto label =
            std::find_if(m_controls.begin(), m_controls.end(),
                         [&](const Control& c) { return !c.jump && c.label == jump.label; });
        if (label != m_controls.end() && label->word < jump.word) {
            add(jump.cell, "JUMP " + document::cp1250ToUtf8(jump.label) +
                               " skacze wstecz do etykiety w " + place(label->cell) +
                               ": ta część programu powtarza się w jednym cyklu, dopóki warunek "
                               "skoku jest spełniony");
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const TranslationWarning& a, const TranslationWarning& b) {
                         return a.row != b.row ? a.row < b.row : a.col < b.col;
                     });
    return found;
}

}  // namespace translator
