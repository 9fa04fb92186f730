// The scan cycle of the simulated controller.
#include "plc/scan_cycle.h"

namespace plc {

void ScanView::refreshWatch(const Plc&) {}
void ScanView::clearOutputs() {}
void ScanView::showMode(Mode) {}
void ScanView::showCycleTime(std::uint32_t, std::uint32_t) {}
void ScanView::showWatchdogFault() {}

std::string modeCaption(Mode mode) {
    switch (mode) {
        case Mode::Closed:
        case Mode::StopNoIo: return "Tryb STOP NO I/O";
        case Mode::StopIoScan: return "Tryb STOP I/O SCAN";
        case Mode::Run: return "Tryb RUN";
    }
    return {};
}

std::string modeButtonCaption(Mode mode) {
    switch (mode) {
        case Mode::Closed:
        case Mode::StopNoIo: return "RUN";
        case Mode::Run: return "STOP I/O SCAN";
        case Mode::StopIoScan: return "STOP NO I/O";
    }
    return {};
}

std::string cycleTimeText(std::uint32_t cycleMs, std::uint32_t maxMs) {
    return "Czas wykonania cyklu: " + std::to_string(cycleMs) + "ms" +
           " max:" + std::to_string(maxMs) + "ms";
}

ScanCycle::ScanCycle(Plc& plc, Clock& clock) : m_plc(plc), m_clock(clock) {}

bool ScanCycle::startSimulator() {
    return start(false);
}

bool ScanCycle::startSimulatorDde() {
    return start(true);
}

bool ScanCycle::start(bool dde) {
    m_forces.releaseAll();
    if (!m_plc.allocate()) {
        return false;
    }
    m_ddeFlag = dde;
    m_scanCount = 0;
    m_cycleTime = 0;
    setMode(Mode::StopNoIo);
    return true;
}

void ScanCycle::setMode(Mode mode) {
    m_mode = mode;
    if (m_view != nullptr) {
        m_view->showMode(mode);
    }
}

void ScanCycle::runScan() {
    m_plc.runProgram();
    ++m_scanCount;
}

void ScanCycle::applyForces() {
    m_forces.apply(m_plc);
}

void ScanCycle::advancePlant(bool outputsConnected) {
    if (m_plant != nullptr) {
        m_plant->advance(m_plc, m_clock.now(), outputsConnected, m_mode == Mode::Run);
    }
}

void ScanCycle::readInputs(IoTransfer* io) {
    if (io != nullptr) {
        io->readInputs(m_plc);
    }
    // The machine's sensors are wired to its inputs: whatever a box or a client set there.
    if (m_plant != nullptr) {
        m_plant->driveInputs(m_plc);
    }
}

ForceResult ScanCycle::force(const OperandRef& ref, std::int32_t value) {
    const ForceResult result = m_forces.force(ref, value);
    if (result == ForceResult::Forced && m_mode != Mode::Closed) {
        applyForces();
    }
    return result;
}

void ScanCycle::runCycle(IoTransfer* io) {
    const std::uint32_t t0 = m_clock.now();
    m_plc.updateSystemBits(false);
    advancePlant(true);
    readInputs(io);
    // Forced values replace the inputs before the scan reads them, and whatever the scan
    // wrote before the outputs and the watch table show it.
    applyForces();
    runScan();
    applyForces();
    if (m_plc.watchdogFault()) {
        // A looping program faults the controller to STOP, as a real one would; the
        // outputs keep what the previous scan gave them and the displays go blank.
        setMode(Mode::StopNoIo);
        if (m_view != nullptr) {
            m_view->clearOutputs();
            m_view->showWatchdogFault();
            m_view->refreshWatch(m_plc);
        }
        return;
    }
    if (io != nullptr) {
        io->writeOutputs(m_plc);
    }
    if (m_view != nullptr) {
        m_view->refreshWatch(m_plc);
    }
    m_cycleTime = m_clock.now() - t0;
    if (m_cycleTime > m_maxCycleTime) {
        m_maxCycleTime = m_cycleTime;
    }
    if (m_view != nullptr) {
        m_view->showCycleTime(m_cycleTime, m_maxCycleTime);
    }
}

void ScanCycle::tick() {
    IoTransfer* io = transfer();
    switch (m_mode) {
        case Mode::Closed: return;
        case Mode::StopNoIo:
            m_plc.updateSystemBits(false);
            // No outputs reach the machine; it goes on moving with them off.
            advancePlant(false);
            // Nothing else writes memory here but the system bits; a forced one stays forced.
            applyForces();
            break;
        case Mode::StopIoScan:
            m_plc.updateSystemBits(false);
            advancePlant(true);
            readInputs(io);
            applyForces();
            if (io != nullptr) {
                io->writeOutputs(m_plc);
            }
            break;
        case Mode::Run: runCycle(io); return;
    }
    if (m_view != nullptr) {
        m_view->refreshWatch(m_plc);
    }
}

bool ScanCycle::runSingleCycle() {
    if (m_mode != Mode::StopIoScan) {
        return false;
    }
    runCycle(transfer());
    return true;
}

void ScanCycle::nextMode() {
    switch (m_mode) {
        case Mode::Closed: return;
        case Mode::StopNoIo:
            m_plc.clearWatchdogFault();
            setMode(Mode::Run);
            return;
        case Mode::Run:
            // The last scan always runs against the panel, even in a DDE simulation.
            m_plc.updateSystemBits(true);
            advancePlant(true);
            readInputs(m_panel);
            applyForces();
            runScan();
            applyForces();
            if (m_panel != nullptr) {
                m_panel->writeOutputs(m_plc);
            }
            if (m_view != nullptr) {
                if (m_plc.watchdogFault()) {
                    m_view->showWatchdogFault();
                }
                m_view->refreshWatch(m_plc);
            }
            m_plc.powerDown();
            // The power-down restores %M and %Q from their retentive copies, which forcing
            // never writes; forced operands keep their values through it.
            applyForces();
            setMode(Mode::StopIoScan);
            return;
        case Mode::StopIoScan:
            if (m_view != nullptr) {
                m_view->clearOutputs();
            }
            setMode(Mode::StopNoIo);
            return;
    }
}

void ScanCycle::endSimulation() {
    m_ddeFlag = false;
    m_forces.releaseAll();
    setMode(Mode::Closed);
    if (m_view != nullptr) {
        m_view->clearOutputs();
    }
    m_plc.release();
}

}  // namespace plc
