// The controller as a Modbus data model: which coil, discrete input and register stands for which
// memory reference or panel input, and the answer to one request PDU, without any socket.
#pragma once

#include "plc/plc.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace iolink {

/// The panel's own inputs as a client sees them: the sixteen input boxes and the two analogue
/// track bars, which the input transfer copies into %I0001..%I0016 and %AI0001..%AI0002.
struct PanelInputs {
    std::uint16_t discrete = 0;            ///< bit i: the box of %I(i + 1)
    std::array<std::int16_t, 2> analog{};  ///< the track bars of %AI0001 and %AI0002

    friend bool operator==(const PanelInputs&, const PanelInputs&) = default;
};

/// The largest PDU of Modbus TCP, request or response.
inline constexpr std::size_t kModbusMaxPdu = 253;

/// Modbus exception codes the map answers with.
enum class ModbusException : std::uint8_t {
    IllegalFunction = 1,
    IllegalDataAddress = 2,
    IllegalDataValue = 3,
};

/// Answers requests against one controller and one panel, both of which must outlive it.
///
/// The map, zero-based: discrete inputs 0..511 %I; coils 0..511 %Q, 1000..2023 %M and
/// 3000..3015 the panel's input boxes; input registers 0..63 %AI; holding registers 0..511 %R,
/// 1000..1031 %AQ and 3000..3001 the panel's track bars. A request's range must lie inside one
/// of these blocks. Registers carry the words as memory holds them; writes go into the areas
/// only, never into the retentive copies.
class ModbusMap {
public:
    /// A map over the memory of `plc` and the inputs of `panel`.
    ModbusMap(plc::Plc& plc, PanelInputs& panel) : m_plc(plc), m_panel(panel) {}

    /// Answers `request` (function code first) into `response`; returns the response's length,
    /// or 0 when the request is malformed: shorter or longer than its function demands, or
    /// with a byte count that disagrees with its own length. Functions 1..6, 15, 16, 22 and 23
    /// are served; any other function gets "illegal function", a quantity out of the protocol's
    /// bounds "illegal data value", a range outside the map "illegal data address".
    [[nodiscard]] std::size_t answer(std::span<const std::uint8_t> request,
                                     std::span<std::uint8_t, kModbusMaxPdu> response);

private:
    plc::Plc& m_plc;
    PanelInputs& m_panel;
};

}  // namespace iolink
