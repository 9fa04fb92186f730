// The simulator panel: its controls at start, the mode button's cycle, the watch table's kinds,
// types and start addresses, the analogue entry rules, and programs run from the editor's
// commands, through the timer's tick handler with a fake clock.
#include "ui/simulator_panel.h"

#include "tests/plc/program_builder.h"
#include "tests/ui/editor_fixture.h"
#include "tests/ui/panel_fixture.h"

#include "document/ladder_document.h"
#include "ui/listing_window.h"
#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace plc::test;

namespace {

// A panel on its own, ticked by hand under a fake clock.
struct Panel : PanelFixture {
    QString cell(int row, int col) {
        return get<QTableWidget>("StringGrid1")->item(row, col)->text();
    }
    bool open(const Builder& program, int timers = 0) {
        return form.openSimulation(plc::Program(program.build(), 0, timers));
    }
};

// The editor with scripted prompts; `whileModal` plays the user inside each modal window.
using Editor = EditorFixture;

}  // namespace

class SimulatorPanelTest : public QObject {
    Q_OBJECT
private slots:
    void panelOpensInStopNoIoWithItsFixedControls();
    void modeButtonCyclesThroughTheModes();
    void watchTableReadsEachKindAndType_data();
    void watchTableReadsEachKindAndType();
    void kindsSwitchTheOfferedTypes();
    void analogueEntryFollowsItsRules();
    void typedAnalogueValueGoesInOnEnterOrWhenTheBoxIsLeft();
    void timerOutputComesOnAfterItsPreset();
    void watchdogFaultIsToldAndRunCanBePressedAgain();
    void controllerWithoutMemoryIsReported();
    void ladderRunsFromTheRunCommand();
    void listingWindowStartsTheSimulator();
};

void SimulatorPanelTest::panelOpensInStopNoIoWithItsFixedControls() {
    Panel p;
    QVERIFY(p.open(Builder().load(I(1)).coil(plc::kCoilNormal, Q(1)).end()));
    QCOMPARE(p.form.windowTitle(), QStringLiteral("Wirtualon!"));
    QCOMPARE(p.form.size(), QSize(669, 435));
    QCOMPARE(p.text("Label8"), QStringLiteral("Tryb STOP NO I/O"));
    QCOMPARE(p.text("Label9"), QStringLiteral("Czas wykonania cyklu: "));
    QCOMPARE(p.text("Button3"), QStringLiteral("RUN"));
    QCOMPARE(p.text("Button2"), QStringLiteral("Koniec"));
    QCOMPARE(p.text("Label16"), QStringLiteral("Adres startowy"));
    QCOMPARE(p.text("Label17"), QStringLiteral("max: 512"));
    QCOMPARE(p.text("Edit5"), QStringLiteral("1"));
    QCOMPARE(p.box(1)->text(), QStringLiteral("%I0001"));
    QCOMPARE(p.box(17)->text(), QStringLiteral("%I0009"));
    QCOMPARE(p.box(24)->text(), QStringLiteral("%I0016"));
    QCOMPARE(p.box(9)->text(), QStringLiteral("%Q0001"));
    QCOMPARE(p.box(32)->text(), QStringLiteral("%Q0016"));
    for (const char* name : {"TrackBar1", "TrackBar2", "TrackBar3", "TrackBar4"}) {
        auto* bar = p.get<QSlider>(name);
        QCOMPARE(bar->minimum(), -32768);
        QCOMPARE(bar->maximum(), 32767);
        QCOMPARE(bar->tickInterval(), 235);
        QCOMPARE(bar->value(), 0);
    }
    QVERIFY(p.get("TrackBar1")->isEnabled());
    QVERIFY(!p.get("TrackBar3")->isEnabled());
    QVERIFY(!p.get("Edit4")->isEnabled());
    QVERIFY(p.get("UpDown1")->isEnabled());
    QVERIFY(p.get<QRadioButton>("RadioButton1")->isChecked());
    QVERIFY(p.get<QRadioButton>("RadioButton10")->isChecked());
    QVERIFY(!p.get("RadioButton14")->isEnabled());  // DINT has no place in a bit area
    QCOMPARE(p.get<QTableWidget>("StringGrid1")->columnWidth(0), 65);
    QCOMPARE(p.cell(0, 0), QStringLiteral("1"));
    QCOMPARE(p.cell(15, 0), QStringLiteral("16"));
    QCOMPARE(p.form.findChild<QTimer*>(QStringLiteral("Timer1"))->interval(), 20);

    // STOP NO I/O: the watch table follows the clock bits of %S, the inputs stay unread.
    p.get<QRadioButton>("RadioButton4")->click();
    p.box(1)->setChecked(true);
    p.ticks(1);
    QCOMPARE(p.cell(0, 1), QStringLiteral("1"));  // %S0001: the first update
    QCOMPARE(p.cell(6, 1), QStringLiteral("1"));  // %S0007
    const QString clock = p.cell(2, 1);
    p.ticks(1);
    QCOMPARE(p.cell(0, 1), QStringLiteral("0"));
    QVERIFY(p.cell(2, 1) != clock);  // %S0003 toggles at every 20 ms tick
    QCOMPARE(p.form.controller().readBit(plc::kAreaI, 0, 0), 0);
    QCOMPARE(p.form.scanCycle().scanCount(), std::uint64_t{0});
}

void SimulatorPanelTest::modeButtonCyclesThroughTheModes() {
    Panel p;
    // %Q1 follows %I1 retentively; %Q2 is set (retentively) only while %S0002 is off, which is
    // in the last scan before a stop.
    QVERIFY(p.open(Builder()
                       .load(I(1))
                       .coil(plc::kCoilRetentive, Q(1))
                       .loadNot(S(2))
                       .coil(plc::kCoilSetRetentive, Q(2))
                       .end()));
    p.press("Button3");
    QCOMPARE(p.text("Label8"), QStringLiteral("Tryb RUN"));
    QCOMPARE(p.text("Button3"), QStringLiteral("STOP I/O SCAN"));
    p.box(1)->setChecked(true);
    p.ticks(1);
    QVERIFY(p.box(9)->isChecked());
    QVERIFY(!p.box(10)->isChecked());
    QCOMPARE(p.text("Label9"), QStringLiteral("Czas wykonania cyklu: 0ms max:0ms"));

    p.press("Button3");
    QCOMPARE(p.text("Label8"), QStringLiteral("Tryb STOP I/O SCAN"));
    QCOMPARE(p.text("Button3"), QStringLiteral("STOP NO I/O"));
    QVERIFY(p.box(10)->isChecked());  // the last scan ran and showed its outputs
    const std::uint64_t scans = p.form.scanCycle().scanCount();
    p.ticks(2);
    QCOMPARE(p.form.scanCycle().scanCount(), scans);  // no program in STOP I/O SCAN
    QVERIFY(p.box(9)->isChecked());

    p.press("Button3");
    QCOMPARE(p.text("Label8"), QStringLiteral("Tryb STOP NO I/O"));
    QCOMPARE(p.text("Button3"), QStringLiteral("RUN"));
    QVERIFY(!p.box(9)->isChecked());
    QVERIFY(!p.box(10)->isChecked());
    // The memory keeps %Q: the watch table on %Q shows both bits.
    p.get<QRadioButton>("RadioButton2")->click();
    p.ticks(1);
    QCOMPARE(p.cell(0, 1), QStringLiteral("1"));
    QCOMPARE(p.cell(1, 1), QStringLiteral("1"));

    p.press("Button2");
    QCOMPARE(p.form.scanCycle().mode(), plc::Mode::Closed);
    QVERIFY(!p.form.controller().isAllocated());
    QVERIFY(!p.form.timer().isActive());
}

void SimulatorPanelTest::watchTableReadsEachKindAndType_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("byteOffset");
    QTest::addColumn<int>("value");  // a 16-bit word written there
    QTest::addColumn<int>("firstReference");
    QTest::addColumn<QStringList>("rows");  // "row=text" pairs

    QTest::newRow("%R INT at 510 starts at 497")
        << "RadioButton9"
        << "RadioButton13"
        << "510" << int(plc::kAreaR) << 2 * 496 << -5 << 497 << QStringList{"0=-5", "1=0", "15=0"};
    QTest::newRow("%R WORD unsigned")
        << "RadioButton9"
        << "RadioButton12"
        << "1" << int(plc::kAreaR) << 2 << -5 << 1 << QStringList{"0=0", "1=65531"};
    QTest::newRow("%R DINT: the last row's high word lies outside")
        << "RadioButton9"
        << "RadioButton14"
        << "512" << int(plc::kAreaR) << 2 * 511 << 7 << 497 << QStringList{"14=458752", "15="};
    QTest::newRow("%R BCD4 0x12A4 is an error")
        << "RadioButton9"
        << "RadioButton15"
        << "3" << int(plc::kAreaR) << 4 << 0x12A4 << 3 << QStringList{"0=błąd", "1=0"};
    QTest::newRow("%R BCD4 0x1234")
        << "RadioButton9"
        << "RadioButton15"
        << "1" << int(plc::kAreaR) << 0 << 0x1234 << 1 << QStringList{"0=1234"};
    QTest::newRow("%M BCD4 0x12A4 at 100 starts at 97")
        << "RadioButton3"
        << "RadioButton15"
        << "100" << int(plc::kAreaM) << 12 << 0x12A4 << 97 << QStringList{"0=1304", "1="};
    QTest::newRow("%M BIT from a byte's first bit")
        << "RadioButton3"
        << "RadioButton10"
        << "100" << int(plc::kAreaM) << 12 << 0x0102 << 97
        << QStringList{"0=0", "1=1", "8=1", "9=0", "15=0"};
    QTest::newRow("%Q BYTE in rows 0 and 8")
        << "RadioButton2"
        << "RadioButton11"
        << "9" << int(plc::kAreaQ) << 1 << 0x80FF << 9 << QStringList{"0=255", "1=", "8=128"};
    QTest::newRow("%G INT") << "RadioButton5"
                            << "RadioButton13"
                            << "1" << int(plc::kAreaG) << 0 << -2 << 1 << QStringList{"0=-2", "1="};
    QTest::newRow("%AQ highest start")
        << "RadioButton8"
        << "RadioButton13"
        << "32" << int(plc::kAreaAQ) << 62 << 9 << 17 << QStringList{"15=9"};
    QTest::newRow("start 0 changes nothing")
        << "RadioButton9"
        << "RadioButton13"
        << "0" << int(plc::kAreaR) << 0 << 4 << 1 << QStringList{"0=4"};
    QTest::newRow("start above the maximum changes nothing")
        << "RadioButton9"
        << "RadioButton13"
        << "513" << int(plc::kAreaR) << 0 << 4 << 1 << QStringList{"0=4"};
    QTest::newRow("a negative start changes nothing")
        << "RadioButton3"
        << "RadioButton10"
        << "-20" << int(plc::kAreaM) << 0 << 1 << 1 << QStringList{"0=1"};
}

void SimulatorPanelTest::watchTableReadsEachKindAndType() {
    QFETCH(QString, kind);
    QFETCH(QString, type);
    QFETCH(QString, start);
    QFETCH(int, area);
    QFETCH(int, byteOffset);
    QFETCH(int, value);
    QFETCH(int, firstReference);
    QFETCH(QStringList, rows);

    Panel p;
    QVERIFY(p.open(Builder().end()));
    p.get<QRadioButton>(kind.toLatin1().constData())->click();
    p.get<QRadioButton>(type.toLatin1().constData())->click();
    p.enter("Edit5", start);
    QCOMPARE(p.text("Edit5"), QString::number(firstReference));
    QCOMPARE(p.cell(0, 0), QString::number(firstReference));
    QCOMPARE(p.cell(15, 0), QString::number(firstReference + 15));
    p.form.controller().writeWord(area, byteOffset, static_cast<std::uint16_t>(value));
    p.ticks(1);
    for (const QString& row : rows) {
        const QStringList parts = row.split(QLatin1Char('='));
        QCOMPARE(p.cell(parts[0].toInt(), 1), parts[1]);
    }
}

void SimulatorPanelTest::kindsSwitchTheOfferedTypes() {
    Panel p;
    QVERIFY(p.open(Builder().end()));
    p.enter("Edit5", QStringLiteral("33"));
    p.get<QRadioButton>("RadioButton7")->click();  // %AI while BIT
    QVERIFY(p.get<QRadioButton>("RadioButton13")->isChecked());
    QVERIFY(!p.get("RadioButton10")->isEnabled());
    QVERIFY(!p.get("RadioButton11")->isEnabled());
    QVERIFY(p.get("RadioButton14")->isEnabled());
    QCOMPARE(p.text("Label17"), QStringLiteral("max: 64"));
    QCOMPARE(p.text("Edit5"), QStringLiteral("1"));  // a new kind starts at 1

    p.get<QRadioButton>("RadioButton14")->click();  // DINT
    p.enter("Edit5", QStringLiteral("40"));
    p.get<QRadioButton>("RadioButton6")->click();  // %T while DINT
    QVERIFY(p.get<QRadioButton>("RadioButton10")->isChecked());
    QVERIFY(!p.get("RadioButton14")->isEnabled());
    QCOMPARE(p.text("Label17"), QStringLiteral("max: 256"));
    QCOMPARE(p.cell(0, 0), QStringLiteral("1"));

    // The start survives a change of type; entering the box empties it.
    p.enter("Edit5", QStringLiteral("17"));
    p.get<QRadioButton>("RadioButton12")->click();
    QCOMPARE(p.cell(0, 0), QStringLiteral("17"));
    p.form.show();
    p.get<QLineEdit>("Edit5")->setFocus();
    QTRY_COMPARE(p.text("Edit5"), QString());
}

void SimulatorPanelTest::analogueEntryFollowsItsRules() {
    Panel p;
    QVERIFY(p.open(Builder().end()));
    auto* edit = p.get<QLineEdit>("Edit1");
    auto* bar = p.get<QSlider>("TrackBar1");
    edit->setText(QStringLiteral("1234"));
    QCOMPARE(bar->value(), 1234);
    edit->setText(QStringLiteral("32767"));  // the bar's own end is not taken
    QCOMPARE(bar->value(), 1234);
    edit->setText(QStringLiteral("-32768"));
    QCOMPARE(bar->value(), 1234);
    edit->setText(QStringLiteral("-32767"));
    QCOMPARE(bar->value(), -32767);
    edit->setText(QStringLiteral("abc"));  // no digits: the bar's position comes back
    QCOMPARE(edit->text(), QStringLiteral("-32767"));
    edit->setText(QStringLiteral("0"));
    QCOMPARE(bar->value(), 0);
    edit->setText(QStringLiteral("12x"));
    QCOMPARE(bar->value(), 12);

    // A sign typed into an emptied box waits for its digits; Enter settles what is left.
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("-25"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(bar->value(), -25);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("-"));
    QCOMPARE(edit->text(), QStringLiteral("-"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), QStringLiteral("-25"));

    bar->setValue(300);
    QCOMPARE(edit->text(), QStringLiteral("300"));
    p.form.findChild<QWidget*>(QStringLiteral("UpDown1"))
        ->findChild<QToolButton*>(QStringLiteral("UpButton"))
        ->click();
    QCOMPARE(bar->value(), 301);

    // RUN reads the bars, not the boxes.
    p.get<QSlider>("TrackBar2")->setValue(-9);
    p.press("Button3");
    p.ticks(1);
    QCOMPARE(p.form.controller().readInt(plc::kAreaAI, 0), 301);
    QCOMPARE(p.form.controller().readInt(plc::kAreaAI, 2), -9);
}

void SimulatorPanelTest::typedAnalogueValueGoesInOnEnterOrWhenTheBoxIsLeft() {
    Panel p;
    QVERIFY(p.open(Builder().end()));
    p.form.show();
    p.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.form));
    p.press("Button3");  // RUN
    auto* edit = p.get<QLineEdit>("Edit1");
    const auto analogIn = [&p] { return p.form.controller().readInt(plc::kAreaAI, 0); };

    // 15000 typed a tick per key: the controller sees none of 1, 15, 150, 1500 on the way.
    edit->setFocus();
    edit->selectAll();
    for (const char key : {'1', '5', '0', '0', '0'}) {
        QTest::keyClick(edit, key);
        p.ticks(1);
        QCOMPARE(analogIn(), 0);
    }
    QTest::keyClick(edit, Qt::Key_Return);
    p.ticks(1);
    QCOMPARE(analogIn(), 15000);

    // Leaving the box takes its value too.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("-700"));
    p.ticks(1);
    QCOMPARE(analogIn(), 15000);
    p.get<QLineEdit>("Edit2")->setFocus();
    QTRY_VERIFY(!edit->hasFocus());
    p.ticks(1);
    QCOMPARE(analogIn(), -700);

    // The arrows still step at once, from what the box shows.
    p.form.findChild<QWidget*>(QStringLiteral("UpDown1"))
        ->findChild<QToolButton*>(QStringLiteral("UpButton"))
        ->click();
    p.ticks(1);
    QCOMPARE(analogIn(), -699);
}

void SimulatorPanelTest::timerOutputComesOnAfterItsPreset() {
    Panel p;
    // TMR in tenths with a preset of 10 (one second) on %R0001..3, enabled by %I1, to %Q1.
    Builder program;
    program.block(document::BlockKind::Tmr, I(1))
        .word(0)
        .word(plc::kTimeBase100ms)
        .triple(R(1))
        .operand(10)
        .triple(R(1))
        .coil(plc::kCoilNormal, Q(1))
        .end();
    QVERIFY(p.open(program, 1));
    p.press("Button3");
    p.box(1)->setChecked(true);
    p.ticks(49);  // 980 ms after the enabling tick
    p.ticks(1);
    QVERIFY(!p.box(9)->isChecked());
    p.ticks(1);
    QVERIFY(p.box(9)->isChecked());
    p.get<QRadioButton>("RadioButton9")->click();
    p.ticks(1);
    QCOMPARE(p.cell(1, 1), QStringLiteral("10"));  // the preset copy in %R0002
}

void SimulatorPanelTest::watchdogFaultIsToldAndRunCanBePressedAgain() {
    Panel p;
    // LABEL 1, then an unconditional JUMP back to it: the scan never ends.
    QVERIFY(p.open(Builder()
                       .control(plc::kControlLabel, 1)
                       .load(S(7))
                       .coil(plc::kCoilNormal, Q(1))
                       .load(S(7))
                       .control(plc::kControlJump, 1)
                       .end()));
    p.press("Button3");
    p.ticks(1);
    QCOMPARE(p.prompts.messages.size(), std::size_t{1});
    QCOMPARE(p.prompts.messages[0].title, QStringLiteral("Wirtualon!"));
    QCOMPARE(p.prompts.messages[0].icon, QMessageBox::Critical);
    QVERIFY(p.prompts.messages[0].text.contains(QStringLiteral("watchdog")));
    QVERIFY(p.prompts.messages[0].text.contains(QString::fromUtf8("zatrzymany")));
    QCOMPARE(p.text("Label8"), QStringLiteral("Tryb STOP NO I/O"));
    QCOMPARE(p.text("Button3"), QStringLiteral("RUN"));
    QVERIFY(!p.box(9)->isChecked());
    p.ticks(3);  // stopped: nothing more to tell
    QCOMPARE(p.prompts.messages.size(), std::size_t{1});
    p.press("Button3");
    QCOMPARE(p.text("Label8"), QStringLiteral("Tryb RUN"));
}

void SimulatorPanelTest::controllerWithoutMemoryIsReported() {
    Panel p;
    // Edge and timer tables far beyond what the program could need: a damaged hand-over.
    QVERIFY(!p.form.startSimulator(plc::Program(Builder().end().build(), 1 << 30, 0)));
    QCOMPARE(p.prompts.messages.size(), std::size_t{1});
    QCOMPARE(p.prompts.messages[0].title, QStringLiteral("Wirtualon!"));
    QCOMPARE(p.prompts.messages[0].text,
             QString::fromUtf8("Za mało pamięci do uruchomienia programu"));
    QVERIFY(p.prompts.modals.empty());
    QCOMPARE(p.form.scanCycle().mode(), plc::Mode::Closed);
}

void SimulatorPanelTest::ladderRunsFromTheRunCommand() {
    Editor e;
    // Rung 1: %I1 -> %Q1. Rungs 2-3: a seal-in, (%I2 or %Q2) and not %I3 -> %Q2.
    e.rung(0, "%I0001", "%Q0001");
    e.sealIn(2, "%I0002", "%I0003", "%Q0002");

    bool ran = false;
    e.prompts->whileModal = [&](QDialog& dialog) {
        QCOMPARE(dialog.objectName(), QStringLiteral("TForm8"));
        auto& panel = static_cast<SimulatorPanel&>(dialog);
        panel.timer().stop();  // ticks by hand
        QCheckBox* i1 = child<QCheckBox>(panel, QStringLiteral("CheckBox1"));
        QCheckBox* i2 = child<QCheckBox>(panel, QStringLiteral("CheckBox2"));
        QCheckBox* i3 = child<QCheckBox>(panel, QStringLiteral("CheckBox3"));
        QCheckBox* q1 = child<QCheckBox>(panel, QStringLiteral("CheckBox9"));
        QCheckBox* q2 = child<QCheckBox>(panel, QStringLiteral("CheckBox10"));
        child<QPushButton>(panel, QStringLiteral("Button3"))->click();
        i1->setChecked(true);
        panel.Timer1Timer();
        QVERIFY(q1->isChecked());
        QVERIFY(!q2->isChecked());
        i1->setChecked(false);
        i2->setChecked(true);
        panel.Timer1Timer();
        QVERIFY(!q1->isChecked());
        QVERIFY(q2->isChecked());
        i2->setChecked(false);  // released: the latch holds
        panel.Timer1Timer();
        panel.Timer1Timer();
        QVERIFY(q2->isChecked());
        i3->setChecked(true);  // the stop input breaks it
        panel.Timer1Timer();
        QVERIFY(!q2->isChecked());
        i3->setChecked(false);
        panel.Timer1Timer();
        QVERIFY(!q2->isChecked());
        ran = true;
        child<QPushButton>(panel, QStringLiteral("Button2"))->click();
    };
    e.window->findChild<QToolButton*>(QStringLiteral("SpeedButton15"))->click();
    QVERIFY(ran);
    QVERIFY(e.prompts->messages.empty());
    QCOMPARE(e.prompts->modals, std::vector<QString>{QStringLiteral("TForm8")});
    QVERIFY(e.window->programStore().empty());
    QVERIFY(!e.window->simulatorPanel().controller().isAllocated());

    // A broken ladder reports its error and starts nothing.
    e.put(5, 0, 1);
    e.window->findChild<QAction*>(QStringLiteral("UruchomSymulator1"))->trigger();
    QCOMPARE(e.prompts->messages.size(), std::size_t{1});
    QCOMPARE(e.prompts->messages[0].title, QStringLiteral("Translator"));
    QCOMPARE(e.prompts->modals.size(), std::size_t{1});
}

void SimulatorPanelTest::listingWindowStartsTheSimulator() {
    Editor e;
    e.rung(0, "%I0001", "%Q0001");
    int panelRuns = 0;
    e.prompts->whileModal = [&](QDialog& dialog) {
        if (dialog.objectName() == QStringLiteral("TForm5")) {
            child<QPushButton>(dialog, QStringLiteral("Button3"))->click();
            QVERIFY(!dialog.isVisible());
            return;
        }
        ++panelRuns;
        auto& panel = static_cast<SimulatorPanel&>(dialog);
        QVERIFY(panel.controller().isAllocated());
        QCOMPARE(panel.controller().program().size(), std::size_t{10});
        // Closed by its title bar this time.
        panel.close();
    };
    e.window->findChild<QToolButton*>(QStringLiteral("SpeedButton14"))->click();
    QCOMPARE(panelRuns, 1);
    QCOMPARE(e.prompts->modals,
             (std::vector<QString>{QStringLiteral("TForm5"), QStringLiteral("TForm8")}));
    QVERIFY(e.window->programStore().empty());
    QCOMPARE(e.window->simulatorPanel().scanCycle().mode(), plc::Mode::Closed);

    // "Ok" frees the program and starts nothing.
    e.prompts->whileModal = [&](QDialog& dialog) {
        child<QPushButton>(dialog, QStringLiteral("Button1"))->click();
    };
    e.window->findChild<QToolButton*>(QStringLiteral("SpeedButton14"))->click();
    QCOMPARE(e.prompts->modals.size(), std::size_t{3});
    QVERIFY(e.window->programStore().empty());
    QVERIFY(!e.window->simulatorPanel().controller().isAllocated());
}

QTEST_MAIN(SimulatorPanelTest)
#include "simulator_panel_test.moc"
