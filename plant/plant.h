// A simulated machine that a ladder controls: it reads the controller's outputs, drives the
// inputs it owns (its sensors), and moves on by the simulated time it is given, never by the
// wall clock, so that a run gives the same states on every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plant {

/// The controller's terminals as a machine sees them for one step: they hold still over it.
struct Terminals {
    std::uint16_t outputs = 0;  ///< %Q0001 .. %Q0016, bit 0 being %Q0001
    std::int16_t analogOutputs[2] = {0, 0};
    /// %I0001 .. %I0016 as the last scan read them: the operator's buttons a machine watches
    /// (an obstacle in a door's way) arrive here.
    std::uint16_t inputs = 0;
    bool running = false;  ///< the controller is in RUN

    /// True when %Q(index + 1) is on.
    [[nodiscard]] bool output(int index) const { return ((outputs >> index) & 1u) != 0; }
    /// True when %I(index + 1) is on.
    [[nodiscard]] bool input(int index) const { return ((inputs >> index) & 1u) != 0; }
};

/// The values a machine drives onto the inputs it owns (the others are ignored).
struct Sensors {
    std::uint16_t inputs = 0;  ///< %I0001 .. %I0016
    std::int16_t analogInputs[2] = {0, 0};
};

/// How a terminal of the controller belongs to a machine.
enum class TerminalRole : int {
    Sensor = 0,    ///< an input the machine drives; the panel's box for it is the machine's
    Actuator = 1,  ///< an output the machine reads
    Operator = 2,  ///< an input left to the panel (a button of the scene), maybe watched
};

/// One terminal a machine is wired to.
struct Terminal {
    TerminalRole role = TerminalRole::Sensor;
    bool analog = false;    ///< %AI/%AQ rather than %I/%Q
    int index = 0;          ///< 0-based: %I0003 is 2
    std::string_view name;  ///< Polish, UTF-8: "czujnik poziomu górnego"
};

/// Returns the terminal's address in its normal form: "%I0002", "%AI0001", "%Q0001".
[[nodiscard]] std::string terminalOperand(const Terminal& terminal);

/// One fault of a machine: when it happened, in simulated milliseconds since the start or the
/// last reset, and what it was (Polish, UTF-8).
struct Fault {
    std::uint64_t timeMs = 0;
    std::string_view text;
};

/// The faults a machine keeps for display; older ones are only counted.
inline constexpr std::size_t kKeptFaults = 1000;

/// A simulated machine. A machine is one subclass: its terminals, its quantities, its step and
/// its start state; the catalogue ("plant/plant_catalogue.h") names it.
class Plant {
public:
    /// A machine whose random draws, if any, come from `seed` alone.
    explicit Plant(std::uint64_t seed) : m_seed(seed), m_random(seed) {}
    virtual ~Plant() = default;
    Plant(const Plant&) = delete;
    Plant& operator=(const Plant&) = delete;

    /// Moves the machine on by `dtMs` milliseconds with `terminals` held over them.
    void step(std::uint32_t dtMs, const Terminals& terminals);
    /// Returns the values of the inputs the machine owns.
    [[nodiscard]] virtual Sensors sensors() const = 0;
    /// Returns every terminal the machine is wired to.
    [[nodiscard]] virtual std::span<const Terminal> terminals() const = 0;
    /// Returns the names of the machine's quantities (Polish, units in the names); the last is
    /// always "awarie", the number of faults.
    [[nodiscard]] virtual std::span<const std::string_view> quantityNames() const = 0;
    /// Returns the quantity at `index` of quantityNames(), 0 past the end.
    [[nodiscard]] std::int64_t quantity(std::size_t index) const;
    /// Returns the index of the quantity named `name`, or nothing.
    [[nodiscard]] std::optional<std::size_t> quantityIndex(std::string_view name) const;

    /// Puts the machine back in its start state: time 0, no faults, the seed drawn afresh.
    void reset();

    /// Simulated milliseconds since the start or the last reset.
    [[nodiscard]] std::uint64_t timeMs() const { return m_timeMs; }
    /// The number of faults since the start or the last reset.
    [[nodiscard]] std::uint64_t faultCount() const { return m_faultCount; }
    /// The latest faults, oldest first, at most kKeptFaults of them.
    [[nodiscard]] const std::deque<Fault>& faults() const { return m_faults; }
    /// The faults after the first `seen` of faultCount(), oldest first, as far as they are kept.
    [[nodiscard]] std::vector<Fault> faultsSince(std::uint64_t seen) const;

    /// The bit mask of %I0001 .. %I0016 the machine drives.
    [[nodiscard]] std::uint16_t sensorMask() const;
    /// The bit mask of %AI0001 (bit 0) and %AI0002 (bit 1) the machine drives.
    [[nodiscard]] unsigned analogSensorMask() const;

protected:
    /// The machine's own step: `dtMs` is at least 1; the time passed so far is timeMs().
    virtual void advance(std::uint32_t dtMs, const Terminals& terminals) = 0;
    /// The machine's own start state.
    virtual void restart() = 0;
    /// The machine's quantity at `index`, below the last ("awarie").
    [[nodiscard]] virtual std::int64_t ownQuantity(std::size_t index) const = 0;
    /// Records a fault `offsetMs` into the step under way.
    void recordFault(std::uint64_t offsetMs, std::string_view text);
    /// The next number of the machine's random sequence (from its seed only).
    [[nodiscard]] std::uint64_t nextRandom();

private:
    std::uint64_t m_seed;
    std::uint64_t m_random;
    std::uint64_t m_timeMs = 0;
    std::uint64_t m_faultCount = 0;
    std::deque<Fault> m_faults;
};

}  // namespace plant
