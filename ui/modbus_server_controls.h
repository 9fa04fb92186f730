// ui/modbus_server_controls.h — the simulator panel's row for the Modbus TCP server: the check
// box that switches it on, the box for its port (or address:port) and its state line. The
// server's requests are answered on the panel's thread, between two ticks of its timer.
#pragma once

#include "iolink/modbus_map.h"
#include "iolink/modbus_server.h"

#include "plc/plc.h"

#include <QObject>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSocketNotifier;
class QWidget;

class ModbusServerControls : public QObject {
    Q_OBJECT
public:
    /// The row on `panel` at height `y`, serving `plc`; `readPanel` gives the panel's inputs as
    /// they stand and `showPanel` puts inputs that a client wrote back on the panel.
    ModbusServerControls(QWidget& panel, int y, plc::Plc& plc,
                         std::function<iolink::PanelInputs()> readPanel,
                         std::function<void(const iolink::PanelInputs&)> showPanel);
    ~ModbusServerControls() override;

    /// A simulation has started: the server opens if the box is checked.
    void simulationStarted();
    /// The simulation ends: the server closes with it (the box keeps its check).
    void simulationEnded();
    /// Answers every waiting request.
    void serve();
    /// Returns the server.
    iolink::ModbusServer& server() { return m_server; }

private:
    void CheckBox33Click(bool checked);
    void openServer();
    void closeServer();
    void refuse(const QString& state);

    plc::Plc& m_plc;
    std::function<iolink::PanelInputs()> m_readPanel;
    std::function<void(const iolink::PanelInputs&)> m_showPanel;
    iolink::ModbusServer m_server;
    bool m_simulating = false;
    QCheckBox* m_switch = nullptr;              // CheckBox33
    QLineEdit* m_endpoint = nullptr;            // Edit6
    QLabel* m_state = nullptr;                  // Label13
    QSocketNotifier* m_requestsWait = nullptr;  // while the server listens
};
