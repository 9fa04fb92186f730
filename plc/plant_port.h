// The controller's side of a simulated machine wired to its terminals: the scan cycle moves it
// on at every tick and lets it drive the inputs it owns, so that every driver of the cycle (the
// panel, the command-line tool) runs a machine in the same order.
#pragma once

#include "plc/plc.h"

#include <cstdint>

namespace plc {

/// A machine the scan cycle runs beside the program. Per tick: `advance` with the outputs the
/// previous scan left, then the input transfer, then `driveInputs`, then the forces and the scan.
class PlantPort {
public:
    virtual ~PlantPort() = default;
    /// Moves the machine on to the clock's `nowMs`, the outputs being those in `plc`'s memory
    /// when `outputsConnected` (STOP I/O SCAN and RUN), all off otherwise; `running` is true
    /// in RUN (the last scan of leaving RUN included).
    virtual void advance(const Plc& plc, std::uint32_t nowMs, bool outputsConnected,
                         bool running) = 0;
    /// Writes the inputs the machine owns over what the input transfer wrote.
    virtual void driveInputs(Plc& plc) = 0;
};

}  // namespace plc
