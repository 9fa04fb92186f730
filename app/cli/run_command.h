// The run subcommand: its options, and the run of a program in the simulated controller with a
// simulated clock, one printed line per tick.
#pragma once

#include "iolink/modbus_endpoint.h"

#include "plc/plc.h"
#include "plc/program.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

/// A panel input held from a tick on.
struct InputSetting {
    std::uint64_t tick = 0;
    bool analog = false;  ///< %AI0001/%AI0002 rather than %I0001 .. %I0016
    int index = 0;        ///< 0-based: bit of the input word, or analogue input
    int value = 0;
};

/// A value printed after every tick.
struct Watch {
    std::string name;  ///< the operand in its normal form, e.g. %R0001
    plc::AreaKind kind = plc::AreaKind::I;
    int byteOffset = 0;
    int bit = 0;
    plc::DataType type = plc::DataType::Bit;
};

/// Everything the run subcommand was asked for.
struct RunOptions {
    std::string program;
    std::uint64_t scans = 1;
    std::uint32_t tickMs = 20;
    std::vector<InputSetting> settings;
    std::vector<Watch> watches;
    std::optional<std::uint64_t> stopTick;
    std::optional<std::string> linkService;        ///< --link: the broker the six items go through
    std::string linkTopic = "Arkusz1";             ///< --topic: the items' topic prefix
    bool realtime = false;                         ///< ticks paced by the real clock
    std::optional<iolink::ModbusEndpoint> modbus;  ///< --modbus: serve Modbus TCP there
    bool power = false;  ///< --power: the ladder's power map after every tick
};

/// Returns the options of `args` (what follows "run"), or nothing with `problem` set (Polish,
/// UTF-8) for an unknown option, a missing or surplus argument, an unknown operand or a value
/// out of range.
[[nodiscard]] std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args,
                                                        std::string& problem);

/// Returns the panel input of `text` ("T:OPERAND=VALUE"), or nothing with `problem` set.
[[nodiscard]] std::optional<InputSetting> parseInputSetting(std::string_view text,
                                                            std::string& problem);

/// Returns the watch of `text` ("OPERAND" or "OPERAND:TYPE"), or nothing with `problem` set.
[[nodiscard]] std::optional<Watch> parseWatch(std::string_view text, std::string& problem);

class PowerLines;

/// Runs `program` as the simulator does, in RUN from the first tick, for `options.scans`
/// ticks, printing one line per tick to `out`, followed by the lines of `power` when given
/// (the controller then monitors its scans); returns kExitOk, kExitWatchdog when the
/// watchdog ended a scan, or kExitBadInput when the link's broker cannot be reached or the
/// Modbus port cannot be opened. With a link, a Modbus server or `realtime` the ticks follow
/// the real clock, `tickMs` apart; the server answers requests in the time between them.
[[nodiscard]] int runSimulation(const plc::Program& program, const RunOptions& options,
                                std::ostream& out, std::ostream& err, PowerLines* power = nullptr);

}  // namespace cli
