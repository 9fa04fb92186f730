// The run subcommand's forcing: --force T:OPERAND=VALUE holds an operand from tick T on,
// --release T:OPERAND gives it back to the program (or the inputs) from tick T on.
#pragma once

#include "plc/force_table.h"
#include "plc/scan_cycle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

/// A force or a release, made before the tick `tick` runs.
struct ForceSetting {
    std::uint64_t tick = 0;
    std::string name;  ///< the operand in its normal form, e.g. %R0001
    plc::OperandRef ref;
    std::optional<std::int32_t> value;  ///< the forced value; nothing for a release
};

/// Returns the force of `text`: "T:OPERAND=VALUE", the operand as --watch names it (with an
/// optional ":TYPE"), the value in the type's range. Nothing, with `problem` set, otherwise.
[[nodiscard]] std::optional<ForceSetting> parseForceSetting(std::string_view text,
                                                            std::string& problem);

/// Returns the release of `text`: "T:OPERAND" (an optional ":TYPE" is taken and ignored but
/// for the memory it names). Nothing, with `problem` set, otherwise.
[[nodiscard]] std::optional<ForceSetting> parseReleaseSetting(std::string_view text,
                                                              std::string& problem);

/// Returns false, with `problem` set, when taken tick by tick (and in their order within a
/// tick) the settings would force more operands at once than the controller holds.
[[nodiscard]] bool checkForceCount(const std::vector<ForceSetting>& settings, std::string& problem);

/// Makes the settings of tick `tick` on `cycle`, in their order.
void applyForceSettings(const std::vector<ForceSetting>& settings, std::uint64_t tick,
                        plc::ScanCycle& cycle);

}  // namespace cli
