// The power lines of a headless run.
#include "app/cli/power_lines.h"

#include "translator/translation_driver.h"

#include <ostream>

namespace cli {

PowerLines::PowerLines(const document::LadderDocument& document,
                       const translator::TranslationResult& translation)
    : m_builder(document, translation.program.words(), translation.sourceMap) {}

void PowerLines::print(const plc::Plc& plc, std::ostream& out) {
    m_builder.build(plc, m_map);
    for (int row = 0; row < m_map.rowCount(); ++row) {
        out << translator::powerLine(m_map, row) << '\n';
    }
}

}  // namespace cli
