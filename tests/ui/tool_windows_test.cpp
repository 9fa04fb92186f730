// Parameters and description windows: which controls a cell enables, and what their edits write.
#include "tests/ui/editor_fixture.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "ui/description_window.h"
#include "ui/ladder_grid.h"
#include "ui/main_window.h"
#include "ui/parameters_window.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

struct Editor : EditorFixture {
    ParametersWindow& params() { return window->parametersWindow(); }
    DescriptionWindow& description() { return window->descriptionWindow(); }
    QRadioButton* radio(int n) {
        return params().findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(n));
    }
    template <typename T>
    T* in(QWidget& owner, const char* name) {
        return owner.findChild<T*>(QString::fromLatin1(name));
    }
    /// Returns the enabled radio buttons as a string of their numbers, "" when none.
    QString enabledRadios() {
        QString numbers;
        for (int n = 1; n <= 9; ++n) {
            if (radio(n)->isEnabled()) {
                numbers += QString::number(n);
            }
        }
        return numbers;
    }
    QString checkedRadios() {
        QString numbers;
        for (int n = 1; n <= 9; ++n) {
            if (radio(n)->isChecked()) {
                numbers += QString::number(n);
            }
        }
        return numbers;
    }
    void select(int row, int col) { window->grid().setCursorCell(row, col); }
};

}  // namespace

class ToolWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void parametersEnableWhatTheBlockAllows_data();
    void parametersEnableWhatTheBlockAllows();
    void parametersFollowTheSelectedCell();
    void radioButtonWritesTheTypeIntoTheRememberedCell();
    void registerAndLengthEditsStoreTextAsTyped();
    void descriptionLinesAreWrittenAndReplaced();
    void descriptionOkOnBlockCellChangesNothing();
};

void ToolWindowsTest::parametersEnableWhatTheBlockAllows_data() {
    QTest::addColumn<int>("kind");  // 0: a contact
    QTest::addColumn<int>("rowInBlock");
    QTest::addColumn<QString>("enabled");  // radio numbers: 1 bit .. 6 dint, 7..9 time bases
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("typesGroup");
    QTest::addColumn<bool>("timeGroup");
    QTest::addColumn<bool>("lenEdit");
    QTest::addColumn<bool>("registerEdit");
    using K = document::BlockKind;
    QTest::newRow("contact") << 0 << 0 << ""
                             << "" << false << false << false << false;
    QTest::newRow("ADD type row") << int(K::Add) << 1 << "56"
                                  << "5" << true << false << false << false;
    QTest::newRow("ADD name row") << int(K::Add) << 0 << ""
                                  << "" << false << false << false << false;
    QTest::newRow("ONDTR time row") << int(K::Ondtr) << 1 << "789"
                                    << "" << false << true << false << false;
    QTest::newRow("ONDTR register row") << int(K::Ondtr) << 2 << ""
                                        << "" << false << false << false << true;
    QTest::newRow("TMR row with both") << int(K::Tmr) << 1 << "789"
                                       << "" << false << true << false << true;
    QTest::newRow("TO INT") << int(K::ToInt) << 1 << "4"
                            << "4" << true << false << false << false;
    QTest::newRow("MOVE") << int(K::Move) << 1 << "135"
                          << "5" << true << false << true << false;
    QTest::newRow("SHL") << int(K::Shl) << 1 << "3"
                         << "3" << true << false << false << false;
    QTest::newRow("SRH EQ") << int(K::SrhEq) << 1 << "2356"
                            << "5" << true << false << false << false;
    QTest::newRow("ARRMV") << int(K::ArrMv) << 1 << "12356"
                           << "5" << true << false << false << false;
    QTest::newRow("LE") << int(K::Le) << 1 << "56"
                        << "5" << true << false << false << false;
    QTest::newRow("BLKMV") << int(K::BlkMv) << 1 << "35"
                           << "5" << true << false << false << false;
    QTest::newRow("BLKCLR") << int(K::BlkClr) << 1 << "3"
                            << "3" << true << false << true << false;
    QTest::newRow("SHFR") << int(K::Shfr) << 1 << "13"
                          << "3" << true << false << false << false;
    QTest::newRow("TO BCD") << int(K::ToBcd) << 1 << "5"
                            << "5" << true << false << false << false;
    QTest::newRow("BITSEQ register") << int(K::BitSeq) << 4 << ""
                                     << "" << false << false << false << true;
}

void ToolWindowsTest::parametersEnableWhatTheBlockAllows() {
    QFETCH(int, kind);
    QFETCH(int, rowInBlock);
    QFETCH(QString, enabled);
    QFETCH(QString, checked);
    QFETCH(bool, typesGroup);
    QFETCH(bool, timeGroup);
    QFETCH(bool, lenEdit);
    QFETCH(bool, registerEdit);
    Editor e;
    if (kind == 0) {
        document::PlaceContact(e.doc(), 1, 1, 2);
        e.doc().SetCellText(1, 2, "#TINT#D00001#Gaddress#");  // tags on a non-block are ignored
    } else {
        document::PlaceBlock(e.doc(), kind, 1, 2);
    }
    // Show something else first: the window must reset what an earlier cell enabled.
    document::PlaceBlock(e.doc(), document::BlockKind::ArrMv, 1, 6);
    e.select(2, 6);
    e.select(1 + rowInBlock, 2);

    QCOMPARE(e.enabledRadios(), enabled);
    QCOMPARE(e.checkedRadios(), checked);
    QCOMPARE(e.in<QGroupBox>(e.params(), "GroupBox1")->isEnabled(), typesGroup);
    QCOMPARE(e.in<QGroupBox>(e.params(), "GroupBox2")->isEnabled(), timeGroup);
    QCOMPARE(e.in<QLineEdit>(e.params(), "Edit1")->isEnabled(), lenEdit);
    QCOMPARE(e.in<QLabel>(e.params(), "Label1")->isEnabled(), lenEdit);
    QCOMPARE(e.in<QLineEdit>(e.params(), "Edit2")->isEnabled(), registerEdit);
    QCOMPARE(e.in<QLabel>(e.params(), "Label2")->isEnabled(), registerEdit);
}

void ToolWindowsTest::parametersFollowTheSelectedCell() {
    Editor e;
    document::PlaceBlock(e.doc(), document::BlockKind::Move, 0, 1);
    e.doc().SetBlockField(1, 1, 'D', "00042");
    document::PlaceBlock(e.doc(), document::BlockKind::Tmr, 0, 3);
    e.doc().SetBlockField(1, 3, 'G', "%R0007");
    e.select(1, 1);
    QCOMPARE(e.in<QLineEdit>(e.params(), "Edit1")->text(), QStringLiteral("00042"));
    e.select(1, 3);
    QCOMPARE(e.in<QLineEdit>(e.params(), "Edit2")->text(), QStringLiteral("%R0007"));
    QCOMPARE(e.params().row(), 1);
    QCOMPARE(e.params().col(), 3);
    // The placeholder is not shown: the edit keeps its previous text.
    document::PlaceBlock(e.doc(), document::BlockKind::UpCtr, 0, 5);
    e.select(2, 5);
    QCOMPARE(e.in<QLineEdit>(e.params(), "Edit2")->text(), QStringLiteral("%R0007"));
}

void ToolWindowsTest::radioButtonWritesTheTypeIntoTheRememberedCell() {
    Editor e;
    document::PlaceBlock(e.doc(), document::BlockKind::Add, 0, 1);
    e.doc().setStatus(document::DocumentStatus::Saved);
    e.select(1, 1);
    e.params().show();
    QVERIFY(QTest::qWaitForWindowExposed(&e.params()));
    QTest::mouseClick(e.radio(6), Qt::LeftButton);
    QCOMPARE(e.doc().CellText(1, 1), std::string("#LI1#PQ#TDINT#"));
    QCOMPARE(e.doc().status(), document::DocumentStatus::Modified);
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zmieniony"));

    document::PlaceBlock(e.doc(), document::BlockKind::Ondtr, 0, 4);
    e.select(1, 4);
    QTest::mouseClick(e.radio(8), Qt::LeftButton);
    QCOMPARE(e.doc().CellText(1, 4), std::string("#LR#T0.10s#"));
    // Pressing the type already stored changes nothing, so nothing is marked.
    e.doc().setStatus(document::DocumentStatus::Saved);
    QTest::mouseClick(e.radio(8), Qt::LeftButton);
    QCOMPARE(e.doc().status(), document::DocumentStatus::Saved);
}

void ToolWindowsTest::registerAndLengthEditsStoreTextAsTyped() {
    Editor e;
    document::PlaceBlock(e.doc(), document::BlockKind::Tmr, 0, 2);
    e.select(1, 2);
    auto* reg = e.in<QLineEdit>(e.params(), "Edit2");
    reg->setText(QStringLiteral("%R0005"));
    QTest::keyClick(reg, Qt::Key_Return);
    QCOMPARE(e.doc().CellText(1, 2), std::string("#LPV#G%R0005#Ttime#"));
    reg->clear();
    QTest::keyClick(reg, Qt::Key_Return);
    QCOMPARE(e.doc().CellText(1, 2), std::string("#LPV#G#Ttime#"));
    reg->setText(QStringLiteral("%R0001"));
    QTest::keyClick(reg, Qt::Key_Return);
    QCOMPARE(e.doc().CellText(1, 2), std::string("#LPV#G%R0001#Ttime#"));

    document::PlaceBlock(e.doc(), document::BlockKind::BlkClr, 0, 5);
    e.select(1, 5);
    auto* len = e.in<QLineEdit>(e.params(), "Edit1");
    len->setText(QStringLiteral(" 7x"));
    QTest::keyClick(len, Qt::Key_Return);
    QCOMPARE(e.doc().CellText(1, 5), std::string("#LIN#TWORD#D 7x#"));
}

void ToolWindowsTest::descriptionLinesAreWrittenAndReplaced() {
    Editor e;
    document::PlaceContact(e.doc(), 1, 2, 0);
    e.doc().SetCellText(2, 0, "#A%I0001#");
    e.doc().setStatus(document::DocumentStatus::Loaded);
    e.select(2, 0);
    auto* line1 = e.in<QLineEdit>(e.description(), "Edit1");
    auto* ok = e.in<QPushButton>(e.description(), "Button1");
    QVERIFY(line1->isEnabled());
    QCOMPARE(line1->maxLength(), 9);
    line1->setText(QStringLiteral("Pompa"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(e.doc().CellText(2, 0), std::string("#A%I0001##1Pompa#"));
    QCOMPARE(e.doc().status(), document::DocumentStatus::Modified);

    line1->setText(QString::fromUtf8("Zawór"));
    e.in<QLineEdit>(e.description(), "Edit3")->setText(QStringLiteral("dół"));
    QTest::mouseClick(ok, Qt::LeftButton);
    // Code page 1250 bytes in the document: ó is 0xF3.
    QCOMPARE(e.doc().CellText(2, 0), std::string("#A%I0001##1Zaw\xF3r##3d\xF3\xB3#"));

    // Reading back: another cell, then this one again.
    e.select(0, 0);
    QVERIFY(line1->text().isEmpty());
    e.select(2, 0);
    QCOMPARE(line1->text(), QString::fromUtf8("Zawór"));
    QCOMPARE(e.in<QLineEdit>(e.description(), "Edit3")->text(), QString::fromUtf8("dół"));
    QVERIFY(e.in<QLineEdit>(e.description(), "Edit2")->text().isEmpty());
}

void ToolWindowsTest::descriptionOkOnBlockCellChangesNothing() {
    Editor e;
    document::PlaceBlock(e.doc(), document::BlockKind::Add, 0, 1);
    e.doc().setStatus(document::DocumentStatus::Saved);
    e.select(1, 1);
    auto* line1 = e.in<QLineEdit>(e.description(), "Edit1");
    QVERIFY(!line1->isEnabled());
    line1->setText(QStringLiteral("Opis"));
    e.description().Button1Click();
    QCOMPARE(e.doc().CellText(1, 1), std::string("#LI1#PQ#TINT#"));
    QCOMPARE(e.doc().status(), document::DocumentStatus::Saved);
}

QTEST_MAIN(ToolWindowsTest)
#include "tool_windows_test.moc"
