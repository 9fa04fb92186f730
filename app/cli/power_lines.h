// The live view of a headless run: after each tick's line, one line per row of the ladder
// telling where the scan's power flowed.
#pragma once

#include "translator/power_map.h"
#include "translator/power_map_builder.h"

#include <iosfwd>

namespace document {
class LadderDocument;
}

namespace plc {
class Plc;
}

namespace translator {
struct TranslationResult;
}

namespace cli {

/// Prints the power map of each scan of one translated ladder.
class PowerLines {
public:
    /// The lines of `document` as it was translated into `translation` (a successful one).
    PowerLines(const document::LadderDocument& document,
               const translator::TranslationResult& translation);
    /// Writes the map of the last scan `plc` ran (it must be monitoring), a line per row.
    void print(const plc::Plc& plc, std::ostream& out);

private:
    translator::PowerMapBuilder m_builder;
    translator::PowerMap m_map;
};

}  // namespace cli
