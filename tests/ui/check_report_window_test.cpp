// A check whose program translates with remarks: the verdict and every remark in the check
// window instead of the message box, a double click taking the cursor to the remark's cell, and
// a later check without remarks closing the window again.
#include "tests/ui/editor_fixture.h"

#include "ui/ladder_grid.h"

#include <QListWidget>
#include <QTest>

class CheckReportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void remarksAreListedAndLeadToTheirCells();
};

void CheckReportWindowTest::remarksAreListedAndLeadToTheirCells() {
    EditorFixture e;
    e.rung(0, "%R0001", "%Q0001");
    e.rung(2, "%I0001", "%AQ0002");
    e.grid().setRowCount(e.doc().rowCount());
    e.grid().setCursorCell(5, 5);
    e.showAndActivate();
    e.trigger("Testujprogram1");

    QVERIFY(e.prompts->messages.empty());
    auto* report = e.window->findChild<QWidget*>(QStringLiteral("CheckReportWindow"));
    QVERIFY(report != nullptr);
    QVERIFY(report->isVisible());
    QCOMPARE(report->windowTitle(), QStringLiteral("Translator"));
    auto* list = child<QListWidget>(*report, "ReportList");
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) {
        shown << list->item(i)->text();
    }
    QCOMPARE(shown,
             QStringList({QStringLiteral("Program poprawny"),
                          QString::fromUtf8("Uwaga (w1k1): Styk na operandzie słowa %R0001 "
                                            "sprawdza tylko jego bit 0"),
                          QString::fromUtf8("Uwaga (w3k10): Cewka na operandzie słowa %AQ0002 "
                                            "ustawia tylko jego bit 0")}));

    // Rows are laid out once the window shows; a double click on a row's middle picks it.
    auto doubleClick = [list](int index) {
        const QRect rect = list->visualItemRect(list->item(index));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    };
    doubleClick(2);
    QCOMPARE(e.grid().Row(), 2);
    QCOMPARE(e.grid().Col(), 9);
    doubleClick(1);
    QCOMPARE(e.grid().Row(), 0);
    QCOMPARE(e.grid().Col(), 0);
    // The verdict itself leads nowhere.
    e.grid().setCursorCell(5, 5);
    doubleClick(0);
    QCOMPARE(e.grid().Row(), 5);
    QCOMPARE(e.grid().Col(), 5);

    // Mended, the program is simply correct again, and the old remarks go.
    e.put(0, 0, 1, "%I0002");
    e.put(2, 9, 3, "%Q0002");
    e.trigger("Testujprogram1");
    QVERIFY(!report->isVisible());
    QCOMPARE(e.prompts->messages.size(), std::size_t{1});
    QCOMPARE(e.prompts->messages[0].text, QStringLiteral("Program poprawny"));
}

QTEST_MAIN(CheckReportWindowTest)
#include "check_report_window_test.moc"
