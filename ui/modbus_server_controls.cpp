// ui/modbus_server_controls.cpp — the Modbus TCP server's switch, port box and state line.
#include "ui/modbus_server_controls.h"

#include "ui/app_text.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QWidget>

#include <utility>

namespace {

using ui::fromUtf8;

}  // namespace

ModbusServerControls::ModbusServerControls(
    QWidget& panel, int y, plc::Plc& plc, std::function<iolink::PanelInputs()> readPanel,
    std::function<void(const iolink::PanelInputs&)> showPanel)
    : QObject(&panel),
      m_plc(plc),
      m_readPanel(std::move(readPanel)),
      m_showPanel(std::move(showPanel)) {
    m_switch = new QCheckBox(QStringLiteral("Serwer Modbus TCP"), &panel);
    m_switch->setObjectName(QStringLiteral("CheckBox33"));
    m_switch->setGeometry(8, y, 150, 22);
    m_endpoint = new QLineEdit(QString::number(iolink::kDefaultModbusPort), &panel);
    m_endpoint->setObjectName(QStringLiteral("Edit6"));
    m_endpoint->setGeometry(160, y, 150, 22);
    m_endpoint->setToolTip(
        QString::fromUtf8("Port serwera (1502) albo adres:port, np. 0.0.0.0:1502 dla całej sieci"));
    m_state = new QLabel(&panel);
    m_state->setObjectName(QStringLiteral("Label13"));
    m_state->setGeometry(318, y, 340, 22);
    connect(m_switch, &QCheckBox::toggled, this, &ModbusServerControls::CheckBox33Click);
}

ModbusServerControls::~ModbusServerControls() {
    closeServer();
}

void ModbusServerControls::simulationStarted() {
    m_simulating = true;
    if (m_switch->isChecked()) {
        openServer();
    }
}

void ModbusServerControls::simulationEnded() {
    m_simulating = false;
    closeServer();
    m_state->clear();
}

void ModbusServerControls::CheckBox33Click(bool checked) {
    if (!checked) {
        closeServer();
        m_state->clear();
        return;
    }
    if (m_simulating) {
        openServer();
    }
}

void ModbusServerControls::openServer() {
    const std::optional<iolink::ModbusEndpoint> endpoint =
        iolink::parseModbusEndpoint(m_endpoint->text().toStdString());
    if (!endpoint) {
        refuse(QString::fromUtf8("nieprawidłowy port"));
        return;
    }
    const iolink::ModbusOpenResult result = m_server.open(*endpoint);
    if (result != iolink::ModbusOpenResult::Listening) {
        refuse(fromUtf8(iolink::modbusStateText(result, *endpoint)));
        return;
    }
    m_state->setText(fromUtf8(iolink::modbusStateText(result, *endpoint)));
    // The port cannot change under a listening server; switching it off frees the box.
    m_endpoint->setEnabled(false);
    m_requestsWait = new QSocketNotifier(m_server.readyDescriptor(), QSocketNotifier::Read, this);
    connect(m_requestsWait, &QSocketNotifier::activated, this, &ModbusServerControls::serve);
}

void ModbusServerControls::closeServer() {
    delete m_requestsWait;  // before the descriptor it watches goes
    m_requestsWait = nullptr;
    m_server.close();
    m_endpoint->setEnabled(true);
}

void ModbusServerControls::refuse(const QString& state) {
    // The box goes back off, so that it always says whether the server listens.
    const QSignalBlocker quiet(m_switch);
    m_switch->setChecked(false);
    m_state->setText(state);
}

void ModbusServerControls::serve() {
    if (!m_server.isOpen()) {
        return;
    }
    iolink::PanelInputs panel = m_readPanel();
    const iolink::PanelInputs before = panel;
    if (m_server.serve(m_plc, panel) > 0 && panel != before) {
        m_showPanel(panel);
    }
}
