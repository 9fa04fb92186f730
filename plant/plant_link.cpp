// The wiring between a machine and the controller.
#include "plant/plant_link.h"

namespace plant {

void PlantLink::advance(const plc::Plc& plc, std::uint32_t nowMs, bool outputsConnected,
                        bool running) {
    // The clock wraps at 2^32 ms; the difference of two readings does not.
    const std::uint32_t dt = m_started ? nowMs - m_lastMs : 0;
    m_lastMs = nowMs;
    m_started = true;
    Terminals terminals;
    if (outputsConnected) {
        terminals.outputs = plc.outputWord();
        terminals.analogOutputs[0] = plc.analogOutput1();
        terminals.analogOutputs[1] = plc.analogOutput2();
    }
    terminals.inputs = plc.readWord(plc::areaCodeOf(plc::AreaKind::I), 0);
    terminals.running = running;
    m_plant.step(dt, terminals);
}

void PlantLink::driveInputs(plc::Plc& plc) {
    const Sensors sensors = m_plant.sensors();
    const std::uint16_t owned = m_plant.sensorMask();
    const std::uint16_t panel = plc.readWord(plc::areaCodeOf(plc::AreaKind::I), 0);
    plc.setInputWord(static_cast<std::uint16_t>((panel & ~owned) | (sensors.inputs & owned)));
    const unsigned analogOwned = m_plant.analogSensorMask();
    if (analogOwned != 0) {
        const plc::ProgramWord area = plc::areaCodeOf(plc::AreaKind::AI);
        const std::int16_t a1 =
            (analogOwned & 1u) != 0 ? sensors.analogInputs[0] : plc.readInt(area, 0);
        const std::int16_t a2 =
            (analogOwned & 2u) != 0 ? sensors.analogInputs[1] : plc.readInt(area, 2);
        plc.setAnalogInputs(a1, a2);
    }
}

}  // namespace plant
