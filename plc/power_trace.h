// What the controller records of a scan while it is monitored (Plc::setMonitoring): for each
// instruction the scan ran, what it did. Views of the running program read it, with the
// translator's map of words to cells, instead of evaluating the program a second time.
#pragma once

#include <cstdint>

namespace plc {

/// The bits Plc::traceAt gives for one instruction. An instruction the last scan did not run
/// (passed over by a JUMP, after an END) has none of them; OR (S) and AND (S) record nothing.
struct TraceBit {
    enum : std::uint8_t {
        /// LOAD .. AND NOT: the operand bit as read, before any NOT.
        Operand = 0x01,
        /// A coil: the power flow after it (the pulse of -(^)- and -(v)-, otherwise the
        /// condition). A block: its power-flow output. The bit is the one a contact's operand
        /// takes: no instruction has both.
        Output = Operand,
        /// A coil or control function: the power flow it received (the rung condition). A
        /// block: its enable. (Contacts leave it: the flow along a rung follows from them.)
        Flow = 0x02,
        /// An MCR zone was active: every contact result was forced to 0.
        ZoneOff = 0x04,
        /// The scan ran the instruction.
        Ran = 0x08,
    };
};

}  // namespace plc
