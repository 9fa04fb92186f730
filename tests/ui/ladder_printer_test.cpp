// Printing and export: pages of whole rows in a PDF or through the print dialog, the whole
// ladder as one PNG at the grid's scale, black on white and without the selection.
#include "ui/ladder_printer.h"

#include "tests/ui/editor_fixture.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "ui/ladder_grid.h"
#include "ui/main_window.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Editor : EditorFixture {
    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    /// A rung in row `row`: a contact with its operand in column 0 and a coil in column 9.
    void placeRung(int row) {
        document::PlaceContact(doc(), 1, row, 0);
        doc().SetCellText(row, 0, "#A%I0001#");
        document::PlaceCoil(doc(), 3, row, 1);
        grid().setRowCount(doc().rowCount());
    }
};

// The pages of a PDF file: its page objects.
int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

// The A4 page of the export, for direct use of the printer.
void a4(QPdfWriter& writer) {
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
}

constexpr int kLeft = LadderPrinter::kRowNumberWidth + 1;  // the ladder's first column in a PNG

}  // namespace

class LadderPrinterTest : public QObject {
    Q_OBJECT
private slots:
    void pdfExportTakesPagesOfWholeRowsUpToTheLastUsedRow();
    void printGoesThroughThePrintDialog();
    void pageRangePrintsOnlyThosePages();
    void imageIsTheWholeLadderAtTheGridsScaleWithoutSelection();
    void longImageIsDrawnInStripsThatJoinExactly();
    void exportToAPlaceThatCannotBeWrittenIsReported();
};

void LadderPrinterTest::pdfExportTakesPagesOfWholeRowsUpToTheLastUsedRow() {
    Editor e;
    e.placeRung(29);  // 30 rows printed, 12 to an A4 page; the 3 spare rows below are left out
    QCOMPARE(e.doc().rowCount(), 33);
    e.prompts->fileNames = {e.path("ladder")};
    e.trigger("EksportujdoPDF1");
    QCOMPARE(e.prompts->fileDialogs, std::vector<QString>{QStringLiteral("ExportPdfDialog")});
    QVERIFY(e.prompts->messages.empty());
    QCOMPARE(pdfPages(e.path("ladder.pdf")), 3);

    // Pages hold whole rows: 12 rows fill one page, the 13th begins the next.
    for (const auto& [rows, pages] : {std::pair{12, 1}, std::pair{13, 2}, std::pair{1, 1}}) {
        document::LadderDocument program;
        program.AddRows(rows);
        program.SetCellCode(rows - 1, 0, 1);
        QPdfWriter writer(e.path("pages.pdf"));
        a4(writer);
        const LadderPrinter printer(program, {QStringLiteral("Program1"), QString(), true});
        QCOMPARE(printer.printedRows(), rows);
        QCOMPARE(printer.pageCount(writer), pages);
    }
}

void LadderPrinterTest::printGoesThroughThePrintDialog() {
    Editor e;
    e.placeRung(14);
    e.prompts->printFiles = {e.path("printed.pdf")};
    e.trigger("Drukuj1");
    QCOMPARE(e.prompts->printDialogs, std::vector<int>{2});
    QCOMPARE(pdfPages(e.path("printed.pdf")), 2);

    // Cancelled: nothing is printed.
    e.trigger("Drukuj1");
    QCOMPARE(e.prompts->printDialogs.size(), std::size_t{2});
    QVERIFY(e.prompts->messages.empty());
}

void LadderPrinterTest::pageRangePrintsOnlyThosePages() {
    QTemporaryDir dir;
    document::LadderDocument program;
    program.AddRows(40);
    program.SetCellCode(45, 0, 1);
    const LadderPrinter printer(program, {QStringLiteral("x.jar"), QString(), false});
    QPdfWriter writer(dir.filePath(QStringLiteral("range.pdf")));
    a4(writer);
    QVERIFY(printer.print(writer, 2, 3));
    QCOMPARE(pdfPages(dir.filePath(QStringLiteral("range.pdf"))), 2);
}

void LadderPrinterTest::imageIsTheWholeLadderAtTheGridsScaleWithoutSelection() {
    Editor e;
    e.placeRung(0);
    document::PlaceBlock(e.doc(), document::BlockKind::Add, 2, 4);
    e.window->grid().setRowCount(e.doc().rowCount());
    // A selection over rows 0..5 must not show in the picture.
    e.window->grid().setCursorCell(0, 0);
    QTest::mouseClick(e.window->grid().viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      e.window->grid().cellRect(5, 9).center());
    QCOMPARE(e.window->grid().Selection().height(), 6);

    e.prompts->fileNames = {e.path("ladder")};
    e.trigger("Eksportujobraz1");
    QVERIFY(e.prompts->messages.empty());
    QImage image(e.path("ladder.png"));
    QVERIFY(!image.isNull());
    // Rows 0..4 are used (the ADD ends in row 4): row numbers, ten cells, the grid's lines.
    QCOMPARE(image.size(), QSize(kLeft + 10 * 78, 5 * 91 + 1));
    QVERIFY(image.allGray());
    const auto grey = [&image](int x, int y) { return qGray(image.pixel(x, y)); };
    // The contact's wire in row 0 (cell rows 63..65 below the top line), in column 0.
    QCOMPARE(grey(kLeft + 5, 1 + 64), 0);
    // An empty selected cell, and the grid line right of column 0.
    QCOMPARE(grey(kLeft + 78 * 2 + 38, 91 + 45), 255);
    QCOMPARE(grey(kLeft + 77, 10), 192);
    // The ADD's left frame in column 4, row 3.
    QCOMPARE(grey(kLeft + 4 * 78 + 4, 3 * 91 + 1 + 20), 0);
}

void LadderPrinterTest::longImageIsDrawnInStripsThatJoinExactly() {
    QTemporaryDir dir;
    document::LadderDocument program;
    program.AddRows(190);
    for (const int row : {0, 47, 48, 49, 150, 199}) {
        program.SetCellCode(row, 3, 1);
    }
    const LadderPrinter printer(program, {QString(), QString(), true});
    const QString file = dir.filePath(QStringLiteral("long.png"));
    QVERIFY(printer.writeImage(file));
    QImage image(file);
    QCOMPARE(image.size(), QSize(kLeft + 10 * 78, 200 * 91 + 1));
    for (int row = 0; row < 200; ++row) {
        const bool contact =
            row == 0 || row == 47 || row == 48 || row == 49 || row == 150 || row == 199;
        const int wire = qGray(image.pixel(kLeft + 3 * 78 + 5, row * 91 + 1 + 64));
        QVERIFY2((wire == 0) == contact, qPrintable(QString::number(row)));
        // Every row's bottom grid line, strip boundaries included.
        QCOMPARE(qGray(image.pixel(kLeft + 20, row * 91 + 91)), 192);
    }
}

void LadderPrinterTest::exportToAPlaceThatCannotBeWrittenIsReported() {
    Editor e;
    e.placeRung(0);
    e.prompts->fileNames = {e.path("missing/ladder.pdf"), e.path("missing/ladder.png")};
    e.trigger("EksportujdoPDF1");
    e.trigger("Eksportujobraz1");
    QCOMPARE(e.prompts->messages.size(), std::size_t{2});
    for (const ScriptedPrompts::Message& message : e.prompts->messages) {
        QCOMPARE(message.icon, QMessageBox::Critical);
        QVERIFY2(message.text.startsWith(QString::fromUtf8("Nie można zapisać pliku")),
                 qPrintable(message.text));
    }
    QVERIFY(!QFile::exists(e.path("missing/ladder.png")));
}

QTEST_MAIN(LadderPrinterTest)
#include "ladder_printer_test.moc"
