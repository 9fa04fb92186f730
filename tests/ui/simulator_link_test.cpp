// The link dialog and a simulation through it, against a private broker: connecting and its
// failure, the six items both ways in their text forms, an item renamed during the run,
// retained outputs, a broker that dies, the end that closes the link, and the item names opened
// from the running panel.
#include "tests/support/test_broker.h"
#include "tests/ui/editor_fixture.h"

#include "document/ladder_document.h"
#include "ui/link_dialog.h"
#include "ui/main_window.h"
#include "ui/simulator_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using testsupport::TestBroker;

namespace {

// What a client subscribing now sees, once the network threads have delivered `expected`.
std::string awaitRetained(const TestBroker& broker, const std::string& topic,
                          const std::string& expected) {
    std::string value;
    for (int i = 0; i < 20 && value != expected; ++i) {
        value = broker.retainedValue(topic);
    }
    return value;
}

}  // namespace

class SimulatorLinkTest : public QObject {
    Q_OBJECT
private slots:
    void dialogConnectsOrSaysWhyNot();
    void simulationExchangesTheSixItemsThroughTheLink();
    void panelOpensTheItemNamesOnlyDuringALinkedRun();
};

void SimulatorLinkTest::dialogConnectsOrSaysWhyNot() {
    LinkDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Wprowadź parametry połączenia DDE"));
    const std::pair<const char*, const char*> captions[] = {
        {"Label1", "DDE Service"}, {"Edit1", "localhost"},
        {"Label2", "DDE Topic"},   {"Edit2", "Arkusz1"},
        {"Label9", "Połączenie:"}, {"Label3", "Wejścia dyskretne"},
        {"Edit3", "W19K2"},        {"Label4", "Wejście analogowe 1"},
        {"Edit4", "W22K2"},        {"Label5", "Wejście analogowe 2"},
        {"Edit5", "W23K2"},        {"Label6", "Wyjścia dyskretne"},
        {"Edit6", "W19K5"},        {"Label7", "Wyjście analogowe 1"},
        {"Edit7", "W22K5"},        {"Label8", "Wyjście analogowe 2"},
        {"Edit8", "W23K5"},        {"Button1", "Połącz"},
        {"Button2", "OK"},         {"Button3", "Koniec"},
    };
    for (const auto& [name, caption] : captions) {
        QCOMPARE(shownText(dialog, name), QString::fromUtf8(caption));
    }
    QCOMPARE(child<QWidget>(dialog, "GroupBox1")->property("title").toString(),
             QStringLiteral("DDE Items"));
    QVERIFY(!child<QPushButton>(dialog, "Button2")->isEnabled());

    TestBroker broker;
    QVERIFY2(broker.running(), broker.problem().c_str());
    auto* service = child<QLineEdit>(dialog, "Edit1");
    service->setText(QStringLiteral("127.0.0.1:%1").arg(TestBroker::freePort()));
    child<QPushButton>(dialog, "Button1")->click();
    QCOMPARE(shownText(dialog, "Label9"), QString::fromUtf8("Połączenie nieudane"));
    QVERIFY(!child<QPushButton>(dialog, "Button2")->isEnabled());

    service->setText(QString::fromStdString(broker.service()));
    child<QPushButton>(dialog, "Button1")->click();
    QCOMPARE(shownText(dialog, "Label9"), QString::fromUtf8("Połączenie udane"));
    QVERIFY(child<QPushButton>(dialog, "Button2")->isEnabled());
    QVERIFY(dialog.exchange().isOpen());

    // A failed attempt after a good one leaves the link closed and OK off again.
    service->setText(QStringLiteral("nie:ma:portu:x"));
    child<QPushButton>(dialog, "Button1")->click();
    QCOMPARE(shownText(dialog, "Label9"), QString::fromUtf8("Połączenie nieudane"));
    QVERIFY(!child<QPushButton>(dialog, "Button2")->isEnabled());
    QVERIFY(!dialog.exchange().isOpen());
}

void SimulatorLinkTest::simulationExchangesTheSixItemsThroughTheLink() {
    TestBroker broker;
    QVERIFY2(broker.running(), broker.problem().c_str());
    QVERIFY(broker.publish("Arkusz1/W19K2", "-1"));
    QVERIFY(broker.publish("Arkusz1/W22K2", "40000"));
    QVERIFY(broker.publish("Arkusz1/W23K2", "abc"));

    EditorFixture e;
    ScriptedPrompts& prompts = *e.prompts;
    MainWindow& window = *e.window;
    // %I1 -> %Q1 and %I16 -> %Q16.
    e.rung(0, "%I0001", "%Q0001");
    e.rung(1, "%I0016", "%Q0016");

    bool ran = false;
    prompts.whileModal = [&](QDialog& dialog) {
        if (dialog.objectName() == QStringLiteral("TForm4")) {
            child<QLineEdit>(dialog, "Edit1")->setText(QString::fromStdString(broker.service()));
            child<QPushButton>(dialog, "Button1")->click();
            child<QPushButton>(dialog, "Button2")->click();
            return;
        }
        auto& panel = static_cast<SimulatorPanel&>(dialog);
        QCOMPARE(panel.timer().interval(), 500);
        panel.timer().stop();  // ticks by hand
        plc::Plc& plc = panel.controller();
        child<QPushButton>(panel, "Button3")->click();  // RUN
        // -1 sets all sixteen inputs, 40000 is -25536, abc is 0.
        for (int i = 0; i < 200 && plc.readWord(plc::kAreaI, 0) != 0xFFFF; ++i) {
            QTest::qWait(10);
            panel.Timer1Timer();
        }
        QCOMPARE(plc.readWord(plc::kAreaI, 0), std::uint16_t{0xFFFF});
        QCOMPARE(plc.readInt(plc::kAreaAI, 0), std::int16_t{-25536});
        QCOMPARE(plc.readInt(plc::kAreaAI, 2), std::int16_t{0});
        // The panel's own boxes neither feed nor show the link's values.
        QVERIFY(!child<QCheckBox>(panel, "CheckBox9")->isChecked());
        QCOMPARE(awaitRetained(broker, "Arkusz1/W19K5", "32769"), std::string("32769"));

        // 3 sets %I1 and %I2 only.
        QVERIFY(broker.publish("Arkusz1/W19K2", "3", false));
        for (int i = 0; i < 200 && plc.readWord(plc::kAreaI, 0) != 3; ++i) {
            QTest::qWait(10);
            panel.Timer1Timer();
        }
        QCOMPARE(plc.readWord(plc::kAreaI, 0), std::uint16_t{3});

        // Analogue outputs in signed text; an output item renamed during the run.
        plc.writeInt(plc::kAreaAQ, 0, -300);
        plc.writeInt(plc::kAreaAQ, 2, 32767);
        child<QLineEdit>(window.linkDialog(), "Edit6")->setText(QStringLiteral("Nowe"));
        panel.Timer1Timer();
        QCOMPARE(awaitRetained(broker, "Arkusz1/W22K5", "-300"), std::string("-300"));
        QCOMPARE(awaitRetained(broker, "Arkusz1/W23K5", "32767"), std::string("32767"));
        QCOMPARE(awaitRetained(broker, "Arkusz1/Nowe", "1"), std::string("1"));

        // The broker goes away: the run goes on with the inputs it last had.
        broker.kill();
        const std::uint64_t scans = panel.scanCycle().scanCount();
        for (int i = 0; i < 20; ++i) {
            panel.Timer1Timer();
        }
        QCOMPARE(panel.scanCycle().scanCount(), scans + 20);
        QCOMPARE(plc.readWord(plc::kAreaI, 0), std::uint16_t{3});
        QCOMPARE(plc.outputWord(), std::uint16_t{1});
        ran = true;
        child<QPushButton>(panel, "Button2")->click();
    };
    window.findChild<QToolButton*>(QStringLiteral("SpeedButton6"))->click();
    QVERIFY(ran);
    QCOMPARE(prompts.modals,
             (std::vector<QString>{QStringLiteral("TForm4"), QStringLiteral("TForm8")}));
    LinkDialog& dialog = window.linkDialog();
    QVERIFY(!dialog.exchange().isOpen());
    QVERIFY(!child<QPushButton>(dialog, "Button2")->isEnabled());
    QCOMPARE(shownText(dialog, "Label9"), QString::fromUtf8("Połączenie:"));
    QCOMPARE(window.simulatorPanel().timer().interval(), 20);
    QVERIFY(!window.simulatorPanel().controller().isAllocated());

    // Cancelling the dialog starts nothing and leaves the timer alone.
    prompts.whileModal = [](QDialog& d) { child<QPushButton>(d, "Button3")->click(); };
    window.findChild<QToolButton*>(QStringLiteral("SpeedButton6"))->click();
    QCOMPARE(prompts.modals.size(), std::size_t{3});
    QVERIFY(window.programStore().empty());
}

void SimulatorLinkTest::panelOpensTheItemNamesOnlyDuringALinkedRun() {
    TestBroker broker;
    QVERIFY2(broker.running(), broker.problem().c_str());
    EditorFixture e;
    ScriptedPrompts& prompts = *e.prompts;
    LinkDialog& dialog = e.window->linkDialog();
    e.rung(0, "%I0001", "%Q0001");
    constexpr std::size_t kOutputs = 3;  // Edit6: the discrete outputs' item
    const std::string before = dialog.itemNames().names[kOutputs];

    // A run with the panel's own inputs has no link to show.
    prompts.whileModal = [](QDialog& d) {
        const auto* linkButton = d.findChild<QPushButton*>(QStringLiteral("Button5"));
        child<QPushButton>(d, "Button2")->click();
        QVERIFY(linkButton != nullptr && linkButton->isHidden());
    };
    e.click("SpeedButton15");

    int linkShown = 0;
    prompts.whileModal = [&](QDialog& d) {
        if (d.objectName() == QStringLiteral("TForm4") && linkShown == 0) {
            ++linkShown;
            child<QLineEdit>(d, "Edit1")->setText(QString::fromStdString(broker.service()));
            child<QPushButton>(d, "Button1")->click();
            child<QPushButton>(d, "Button2")->click();
            return;
        }
        if (d.objectName() == QStringLiteral("TForm4")) {
            // Opened from the running panel: the names can be changed, the connection cannot.
            ++linkShown;
            QVERIFY(!child<QLineEdit>(d, "Edit1")->isEnabled());
            QVERIFY(!child<QLineEdit>(d, "Edit2")->isEnabled());
            QVERIFY(!child<QPushButton>(d, "Button1")->isEnabled());
            auto* outputs = child<QLineEdit>(d, "Edit6");
            outputs->setFocus();
            outputs->selectAll();
            // A name being typed is not used until Enter: no output lands on "N", "No", ...
            QTest::keyClicks(outputs, QStringLiteral("Nowe"));
            QCOMPARE(dialog.itemNames().names[kOutputs], before);
            QTest::keyClick(outputs, Qt::Key_Return);
            QCOMPARE(dialog.itemNames().names[kOutputs], std::string("Nowe"));
            child<QPushButton>(d, "Button2")->click();
            return;
        }
        auto& panel = static_cast<SimulatorPanel&>(d);
        panel.timer().stop();
        auto* button = panel.findChild<QPushButton*>(QStringLiteral("Button5"));
        if (button == nullptr || button->isHidden()) {
            child<QPushButton>(panel, "Button2")->click();
            QFAIL("no Button5 on the panel of a linked run");
        }
        QCOMPARE(button->text(), QString::fromUtf8("Łącze..."));
        button->click();
        QCOMPARE(linkShown, 2);
        child<QPushButton>(panel, "Button2")->click();
    };
    e.click("SpeedButton6");
    QCOMPARE(prompts.modals,
             (std::vector<QString>{QStringLiteral("TForm8"), QStringLiteral("TForm4"),
                                   QStringLiteral("TForm8"), QStringLiteral("TForm4")}));
    // The run is over: the panel hides the button and the dialog may connect again.
    QVERIFY(child<QPushButton>(e.window->simulatorPanel(), "Button5")->isHidden());
    QVERIFY(child<QLineEdit>(dialog, "Edit1")->isEnabled());
    QVERIFY(child<QPushButton>(dialog, "Button1")->isEnabled());
}

QTEST_MAIN(SimulatorLinkTest)
#include "simulator_link_test.moc"
