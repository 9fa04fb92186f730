// The run subcommand: its options, and the run of a program in the simulated controller with a
// simulated clock, one printed line per tick.
#pragma once

#include "iolink/modbus_endpoint.h"
#include "iolink/modbus_server.h"

#include "app/cli/force_options.h"
#include "plc/plc.h"
#include "plc/program.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plant {
class Plant;
}

namespace cli {

/// The longest tick a run or scenario takes, in milliseconds (the shortest is 1).
inline constexpr std::uint32_t kMaxTickMs = 60'000;
/// The longest silence --modbus-idle allows a Modbus client, in seconds: a day.
inline constexpr std::uint32_t kMaxModbusIdleSeconds = 86'400;

/// A value given with --set: a panel input, held from its tick on, or any other operand a
/// program can write, written once before the scan of its tick.
struct InputSetting {
    std::uint64_t tick = 0;
    bool panelInput = true;  ///< %I0001 .. %I0016, %AI0001, %AI0002: the panel holds it
    bool analog = false;     ///< %AI0001/%AI0002 rather than %I0001 .. %I0016
    int index = 0;           ///< 0-based: bit of the input word, or analogue input
    plc::AreaKind kind = plc::AreaKind::I;  ///< the area of an operand written once
    int byteOffset = 0;
    int bit = 0;
    int value = 0;
};

/// A value printed after every tick: an operand, or a quantity of the machine run beside.
struct Watch {
    std::string name;      ///< the operand in its normal form, e.g. %R0001; "plant:poziom_ml"
    std::string quantity;  ///< the machine's quantity ("poziom_ml"); empty for an operand
    std::size_t quantityIndex = 0;  ///< its index, once checked against the machine
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
    std::vector<ForceSetting> forces;  ///< --force and --release, in the order given
    std::optional<std::uint64_t> stopTick;
    std::optional<std::string> linkService;        ///< --link: the broker the six items go through
    std::string linkTopic = "Arkusz1";             ///< --topic: the items' topic prefix
    bool realtime = false;                         ///< ticks paced by the real clock
    std::optional<iolink::ModbusEndpoint> modbus;  ///< --modbus: serve Modbus TCP there
    iolink::ModbusIdleLimits modbusLimits;  ///< --modbus-idle: how long clients may be silent
    bool power = false;                     ///< --power: the ladder's power map after every tick
    std::string plant;  ///< --plant: the machine run beside the program; empty for none
};

/// Returns the options of `args` (what follows "run"), or nothing with `problem` set (Polish,
/// UTF-8) for an unknown option, a missing or surplus argument, an unknown operand, a value
/// that is no number or out of range, or a --set at a tick the run does not reach.
[[nodiscard]] std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args,
                                                        std::string& problem);

/// Returns the setting of `text` ("T:OPERAND=VALUE"), or nothing with `problem` set: the
/// operand must name a reference of %I, %Q, %M, %T, %G, %S (past the system's %S0001 ..
/// %S0008), %AI, %AQ or %R; a bit takes 0 or 1, a word -32768 .. 65535 (a track bar
/// -32768 .. 32767). `option` names the option in the problem.
[[nodiscard]] std::optional<InputSetting> parseInputSetting(std::string_view text,
                                                            std::string& problem,
                                                            std::string_view option = "--set");

/// Returns the watch of `text` ("OPERAND", "OPERAND:TYPE" or "plant:QUANTITY", the quantity
/// not yet checked), or nothing with `problem` set; `option` names the option in the problem.
[[nodiscard]] std::optional<Watch> parseWatch(std::string_view text, std::string& problem,
                                              std::string_view option = "--watch");

/// Checks a machine's name; returns false with `problem` set (naming `option` and the known
/// machines) for an unknown one.
[[nodiscard]] bool checkPlantName(std::string_view name, std::string& problem,
                                  std::string_view option = "--plant");

/// Checks a watch of a quantity against the machine named `plant` (empty: none) and fills its
/// index; returns false with `problem` set when there is no machine (`plantOption` names how
/// one is given) or the machine has no such quantity. An operand's watch passes as it is.
[[nodiscard]] bool checkPlantWatch(Watch& watch, std::string_view plant, std::string& problem,
                                   std::string_view plantOption = "--plant");

/// Returns false with `problem` set when `setting` writes an input the machine named `plant`
/// drives: the machine would override it at every tick. `option` names the option.
[[nodiscard]] bool checkPlantSetting(const InputSetting& setting, std::string_view plant,
                                     std::string& problem, std::string_view option = "--set");

class PowerLines;

/// Called after each tick that ended without a watchdog fault, with the tick's number and the
/// controller as the tick left it.
using TickObserver = std::function<void(std::uint64_t tick, const plc::Plc& plc)>;

/// Runs `program` as the simulator does, in RUN from the first tick, for `options.scans`
/// ticks, printing one line per tick to `out`, followed by the lines of `power` when given
/// (the controller then monitors its scans). With a machine (`plant`, else a new one named by
/// `options.plant`) each of its faults is printed before the line of its tick as
/// "! <tick> t=<ms> <machine>: <text>". Returns kExitOk, kExitWatchdog when the
/// watchdog ended a scan, or kExitBadInput when the link's broker cannot be reached or the
/// Modbus port cannot be opened. With a link, a Modbus server or `realtime` the ticks follow
/// the real clock, `tickMs` apart; the server answers requests in the time between them.
[[nodiscard]] int runSimulation(const plc::Program& program, const RunOptions& options,
                                std::ostream& out, std::ostream& err, PowerLines* power = nullptr,
                                const TickObserver& afterTick = {}, plant::Plant* plant = nullptr);

}  // namespace cli
