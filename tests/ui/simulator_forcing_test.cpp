// Forcing from the simulator panel: the watch table's right-click menu, the value dialog, the
// marks of forced rows and boxes, the 65th force, and the "Jeden cykl" button.
#include "tests/plc/program_builder.h"
#include "tests/ui/panel_fixture.h"

#include "ui/force_value_dialog.h"
#include "ui/simulator_panel.h"
#include "ui/watch_forcing.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

using namespace plc::test;

namespace {

struct Panel : PanelFixture {
    QTableWidgetItem* item(int row, int col) {
        return get<QTableWidget>(QStringLiteral("StringGrid1"))->item(row, col);
    }
    QString cell(int row) { return item(row, 1)->text(); }
    bool marked(int row) { return !item(row, 1)->icon().isNull(); }
    void kind(int radio) { get<QRadioButton>(QStringLiteral("RadioButton%1").arg(radio))->click(); }
    void start(const char* address) { enter("Edit5", QString::fromLatin1(address)); }
    // The menu's items for `row`, "-" for a separator, "(x)" around a disabled one.
    QStringList menu(int row) {
        QStringList items;
        for (QAction* action : form.watchForcing().menuForRow(row).actions()) {
            const QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
            items << (action->isEnabled() ? text : QStringLiteral("(%1)").arg(text));
        }
        return items;
    }
    void choose(int row, const char* item) {
        for (QAction* action : form.watchForcing().menuForRow(row).actions()) {
            if (action->text() == QString::fromUtf8(item)) {
                action->trigger();
                return;
            }
        }
        qFatal("no item %s for row %d", item, row);
    }
};

}  // namespace

class SimulatorForcingTest : public QObject {
    Q_OBJECT
private slots:
    void menuOffersTheItemsOfTheRowsType();
    void forcedRowsAreMarkedWhateverTheStartAddress();
    void valueDialogRefusesAValueOutsideTheTypesRange();
    void sixtyFifthForceIsRefusedWithAMessage();
    void singleCycleRunsOneScanPerPressInStopIoScanOnly();
};

void SimulatorForcingTest::menuOffersTheItemsOfTheRowsType() {
    Panel p;
    QVERIFY(p.form.openSimulation(plc::Program(Builder().end().build(), 0, 0)));
    QCOMPARE(p.menu(5), QStringList({QString::fromUtf8("Wymuś 1"), QString::fromUtf8("Wymuś 0"),
                                     "(Zwolnij)", "-", "(Zwolnij wszystko)"}));
    p.choose(5, "Wymuś 1");
    QCOMPARE(p.menu(5), QStringList({QString::fromUtf8("Wymuś 1"), QString::fromUtf8("Wymuś 0"),
                                     "Zwolnij", "-", "Zwolnij wszystko"}));
    p.kind(9);  // %R as INT
    QCOMPARE(p.menu(3), QStringList({QString::fromUtf8("Wymuś wartość..."), "(Zwolnij)", "-",
                                     "Zwolnij wszystko"}));
    p.kind(3);                                                      // %M
    p.get<QRadioButton>(QStringLiteral("RadioButton11"))->click();  // BYTE: rows 0 and 8 only
    QCOMPARE(p.menu(8).first(), QString::fromUtf8("Wymuś wartość..."));
    QCOMPARE(p.menu(1), QStringList({"Zwolnij wszystko"}));
}

void SimulatorForcingTest::forcedRowsAreMarkedWhateverTheStartAddress() {
    Panel p;
    // %Q0001 and %Q0017 follow %I0001.
    QVERIFY(p.form.openSimulation(plc::Program(Builder()
                                                   .load(I(1))
                                                   .coil(plc::kCoilNormal, Q(1))
                                                   .coil(plc::kCoilNormal, Q(17))
                                                   .end()
                                                   .build(),
                                               0, 0)));
    p.press("Button3");  // RUN
    p.kind(2);           // %Q
    p.choose(0, "Wymuś 1");
    QCOMPARE(p.cell(0), QStringLiteral("1"));  // at once, before the next tick
    QVERIFY(p.marked(0));
    QVERIFY(p.item(0, 0)->background() != QBrush());
    QVERIFY(!p.marked(1));
    p.ticks(1);
    QVERIFY(p.box(9)->isChecked());  // the output box shows the forced %Q0001
    QVERIFY(!p.box(9)->styleSheet().isEmpty());
    QVERIFY(p.box(10)->styleSheet().isEmpty());

    p.start("9");  // rows %Q0009 .. %Q0024
    QVERIFY(!p.marked(0));
    p.choose(8, "Wymuś 1");  // %Q0017
    p.start("17");
    QVERIFY(p.marked(0));
    QVERIFY(!p.marked(8));
    p.ticks(1);
    QCOMPARE(p.cell(0), QStringLiteral("1"));

    p.choose(0, "Zwolnij");
    QVERIFY(!p.marked(0));
    p.ticks(1);
    QCOMPARE(p.cell(0), QStringLiteral("0"));  // the program's own value again
    p.start("1");
    QVERIFY(p.marked(0));
    p.choose(3, "Zwolnij wszystko");
    QVERIFY(!p.marked(0));
    p.ticks(1);
    QVERIFY(!p.box(9)->isChecked());
    QVERIFY(p.box(9)->styleSheet().isEmpty());
}

void SimulatorForcingTest::valueDialogRefusesAValueOutsideTheTypesRange() {
    Panel p;
    // %R0002 = %R0001 + 1, every scan.
    QVERIFY(p.form.openSimulation(plc::Program(Builder()
                                                   .block(BlockKind::Add, S(7))
                                                   .word(plc::kTypeInt)
                                                   .operand(R(1))
                                                   .operand(1)
                                                   .address(R(2))
                                                   .end()
                                                   .build(),
                                               0, 0)));
    p.press("Button3");
    p.kind(9);  // %R as INT
    QStringList shownLabels;
    std::vector<bool> stayedOpen;
    p.prompts.whileModal = [&](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Button1"));
        shownLabels << dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text();
        for (const char* typed : {"32768", "12x", "-7"}) {
            edit->setText(QString::fromLatin1(typed));
            ok->click();
            stayedOpen.push_back(dialog.result() != QDialog::Accepted);
        }
    };
    p.choose(0, "Wymuś wartość...");
    QCOMPARE(shownLabels,
             QStringList({QString::fromUtf8("Wartość %R0001 (INT) od -32768 do 32767:")}));
    QCOMPARE(stayedOpen, (std::vector<bool>{true, true, false}));
    QCOMPARE(p.prompts.messages.size(), std::size_t{2});
    QCOMPARE(
        p.prompts.messages[0].text,
        QString::fromUtf8("Wartość %R0001 (INT) musi być liczbą całkowitą od -32768 do 32767."));
    QVERIFY(p.marked(0));
    p.ticks(1);
    QCOMPARE(p.cell(0), QStringLiteral("-7"));
    QCOMPARE(p.cell(1), QStringLiteral("-6"));

    // Cancel forces nothing.
    p.prompts.whileModal = [](QDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    };
    p.choose(1, "Wymuś wartość...");
    QVERIFY(!p.marked(1));
    QCOMPARE(p.form.scanCycle().forces().entries().size(), std::size_t{1});

    // The longest label, a DINT's range, is shown whole.
    p.get<QRadioButton>(QStringLiteral("RadioButton14"))->click();
    p.prompts.whileModal = [](QDialog& dialog) {
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(label->text(),
                 QString::fromUtf8("Wartość %R0002 (DINT) od -2147483648 do 2147483647:"));
        QVERIFY(label->sizeHint().width() <= label->width());
        dialog.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    };
    p.choose(1, "Wymuś wartość...");
}

void SimulatorForcingTest::sixtyFifthForceIsRefusedWithAMessage() {
    Panel p;
    QVERIFY(p.form.openSimulation(plc::Program(Builder().end().build(), 0, 0)));
    for (int n = 1; n <= 64; ++n) {
        QCOMPARE(p.form.scanCycle().force(
                     {plc::AreaKind::G, (n - 1) / 8, (n - 1) % 8, plc::DataType::Bit}, 1),
                 plc::ForceResult::Forced);
    }
    p.kind(3);  // %M
    p.choose(0, "Wymuś 1");
    QVERIFY(!p.marked(0));
    QCOMPARE(p.prompts.messages.size(), std::size_t{1});
    QCOMPARE(p.prompts.messages[0].text,
             QString::fromUtf8("Naraz można wymusić najwyżej 64 operandy. Zwolnij któryś z nich, "
                               "aby wymusić %M0001."));
    p.kind(5);  // %G: every row forced already
    QVERIFY(p.marked(0) && p.marked(15));
    p.press("Button2");
    QVERIFY(p.form.scanCycle().forces().empty());
}

void SimulatorForcingTest::singleCycleRunsOneScanPerPressInStopIoScanOnly() {
    Panel p;
    QVERIFY(p.form.openSimulation(
        plc::Program(Builder().load(I(1)).coil(plc::kCoilNormal, Q(1)).end().build(), 0, 0)));
    auto* button = p.get<QPushButton>(QStringLiteral("Button4"));
    QCOMPARE(button->text(), QStringLiteral("Jeden cykl"));
    QVERIFY(!button->isEnabled());
    p.press("Button3");  // RUN
    QVERIFY(!button->isEnabled());
    p.press("Button3");  // STOP I/O SCAN
    QVERIFY(button->isEnabled());
    const std::uint64_t scans = p.form.scanCycle().scanCount();
    p.box(1)->setChecked(true);
    p.ticks(2);
    QVERIFY(!p.box(9)->isChecked());

    button->click();
    QCOMPARE(p.form.scanCycle().scanCount(), scans + 1);
    QVERIFY(p.box(9)->isChecked());
    QCOMPARE(p.get<QLabel>(QStringLiteral("Label8"))->text(), QStringLiteral("Tryb STOP I/O SCAN"));
    QCOMPARE(p.get<QLabel>(QStringLiteral("Label9"))->text(),
             QStringLiteral("Czas wykonania cyklu: 0ms max:0ms"));
    p.ticks(3);
    QCOMPARE(p.form.scanCycle().scanCount(), scans + 1);
    button->click();
    QCOMPARE(p.form.scanCycle().scanCount(), scans + 2);
    p.press("Button3");  // STOP NO I/O
    QVERIFY(!button->isEnabled());
}

QTEST_MAIN(SimulatorForcingTest)
#include "simulator_forcing_test.moc"
