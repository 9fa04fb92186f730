// The simulator panel's Modbus TCP server, driven by libmodbus's client on a loopback port: the
// client presses the panel's input boxes and moves its track bar, the panel shows it and the scan
// takes it; the server closes with the simulation; a busy port or a bad port text leave it off.
#include "iolink/modbus_server.h"
#include "tests/plc/program_builder.h"
#include "tests/support/test_broker.h"
#include "tests/ui/panel_fixture.h"

#include "ui/modbus_server_controls.h"
#include "ui/simulator_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <future>
#include <modbus/modbus.h>

using namespace plc::test;

namespace {

// Runs `work` with a connected libmodbus client on another thread, while this one goes on
// running the panel's event loop (which answers the requests); returns what `work` returned,
// or -2 when the client could not connect.
template <typename Work>
int withClient(std::uint16_t port, Work work) {
    auto result = std::async(std::launch::async, [port, work] {
        modbus_t* context = modbus_new_tcp("127.0.0.1", port);
        modbus_set_response_timeout(context, 2, 0);
        const int done = modbus_connect(context) == 0 ? work(context) : -2;
        modbus_close(context);
        modbus_free(context);
        return done;
    });
    for (int i = 0;
         i < 500 && result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready;
         ++i) {
        QTest::qWait(10);
    }
    return result.get();
}

}  // namespace

class SimulatorModbusTest : public QObject {
    Q_OBJECT
private slots:
    void clientPressesThePanelsInputsAndReadsTheScansOutputs();
    void busyPortOrBadTextLeavesTheServerOff();
};

void SimulatorModbusTest::clientPressesThePanelsInputsAndReadsTheScansOutputs() {
    PanelFixture p;
    SimulatorPanel& form = p.form;
    auto* on = child<QCheckBox>(form, "CheckBox33");
    auto* endpoint = child<QLineEdit>(form, "Edit6");
    auto* state = child<QLabel>(form, "Label13");
    QCOMPARE(on->text(), QStringLiteral("Serwer Modbus TCP"));
    QCOMPARE(endpoint->text(), QStringLiteral("1502"));

    const std::uint16_t port = testsupport::TestBroker::freePort();
    endpoint->setText(QStringLiteral("127.0.0.1:%1").arg(port));
    on->setChecked(true);  // before the simulation: it opens with it
    QVERIFY(state->text().isEmpty());
    QVERIFY(form.openSimulation(
        plc::Program(Builder().load(I(3)).coil(plc::kCoilNormal, Q(1)).end().build(), 0, 0)));
    QCOMPARE(state->text(), QString::fromUtf8("nasłuch 127.0.0.1:%1").arg(port));
    QVERIFY(!endpoint->isEnabled());
    child<QPushButton>(form, "Button3")->click();  // RUN

    // %I0003's box and the second track bar, as a client sets them.
    QCOMPARE(withClient(port,
                        [](modbus_t* client) {
                            return modbus_write_bit(client, 3002, 1) +
                                   modbus_write_register(client, 3001, 0xFB2E);
                        }),
             2);
    QVERIFY(child<QCheckBox>(form, "CheckBox3")->isChecked());
    QCOMPARE(child<QSlider>(form, "TrackBar2")->value(), -1234);
    QCOMPARE(child<QLineEdit>(form, "Edit2")->text(), QStringLiteral("-1234"));

    p.ticks(1);
    QVERIFY(child<QCheckBox>(form, "CheckBox9")->isChecked());
    QCOMPARE(withClient(port,
                        [](modbus_t* client) {
                            std::uint8_t q1 = 0;
                            std::uint16_t ai2 = 0;
                            modbus_read_bits(client, 0, 1, &q1);
                            modbus_read_input_registers(client, 1, 1, &ai2);
                            return q1 == 1 && ai2 == 0xFB2E ? 1 : 0;
                        }),
             1);

    // The server closes with the simulation; the box keeps its check for the next one.
    child<QPushButton>(form, "Button2")->click();
    QVERIFY(!form.modbusServer().server().isOpen());
    QVERIFY(on->isChecked());
    QCOMPARE(withClient(port, [](modbus_t*) { return 0; }), -2);
    QVERIFY(form.openSimulation(plc::Program(Builder().end().build(), 0, 0)));
    QVERIFY(form.modbusServer().server().isOpen());
    form.endSimulation();
}

void SimulatorModbusTest::busyPortOrBadTextLeavesTheServerOff() {
    ScriptedPrompts prompts;
    SimulatorPanel form(prompts);
    QVERIFY(form.openSimulation(plc::Program(Builder().end().build(), 0, 0)));
    auto* on = child<QCheckBox>(form, "CheckBox33");
    auto* endpoint = child<QLineEdit>(form, "Edit6");
    auto* state = child<QLabel>(form, "Label13");

    iolink::ModbusServer other;
    QCOMPARE(other.open({"127.0.0.1", 0}), iolink::ModbusOpenResult::Listening);
    endpoint->setText(QString::number(other.port()));
    on->setChecked(true);
    QCOMPARE(state->text(), QString::fromUtf8("port zajęty"));
    QVERIFY(!on->isChecked());
    QVERIFY(endpoint->isEnabled());

    endpoint->setText(QStringLiteral("70000"));
    on->setChecked(true);
    QCOMPARE(state->text(), QString::fromUtf8("nieprawidłowy port"));
    QVERIFY(!on->isChecked());
    QVERIFY(!form.modbusServer().server().isOpen());
    form.endSimulation();
}

QTEST_MAIN(SimulatorModbusTest)
#include "simulator_modbus_test.moc"
