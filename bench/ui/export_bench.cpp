// Printing and export of a 5,000-row ladder: all its pages into a PDF file, the whole ladder as
// one PNG picture, and its cross-reference. Each prints the time and the size of what it wrote.
#include "document/cross_reference.h"
#include "document/element_catalogue.h"
#include "document/ladder_document.h"
#include "ui/ladder_printer.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

namespace {

constexpr int kRows = 5000;

// Rungs of contacts with operands and descriptions and a coil, every eighth one a timer and an
// ADD with their operands.
void fillLadder(document::LadderDocument& document) {
    document.AddRows(kRows - document.rowCount());
    for (int row = 0; row + 4 <= kRows; row += 4) {
        const std::string number = std::to_string(row % 1000 + 1);
        if ((row / 4) % 8 == 7) {
            document::PlaceBlock(document, document::BlockKind::Ondtr, row, 2);
            document::PlaceBlock(document, document::BlockKind::Add, row, 5);
            document.SetCellCode(row, 0, 1);
            document.SetField(row, 0, 'A', "%I" + number);
            document.SetField(row + 2, 1, 'A', "%R0010");
            document.SetField(row + 1, 4, 'A', "%R0001");
            document.SetField(row + 1, 6, 'A', "%R0003");
            continue;
        }
        document.SetCellCode(row, 0, 1);
        document.SetField(row, 0, 'A', "%I" + number);
        document.SetField(row, 0, '1', "Start");
        document.SetCellCode(row, 1, 2 + 100);
        document.SetField(row, 1, 'A', "%M" + number);
        for (int col = 2; col < 9; ++col) {
            document.SetCellCode(row, col, 7);
        }
        document.SetCellCode(row, 9, 3);
        document.SetField(row, 9, 'A', "%Q" + number);
        document.SetCellCode(row + 1, 1, 1 + 200);
        document.SetField(row + 1, 1, 'A', "%Q" + number);
    }
}

}  // namespace

class ExportBench : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { fillLadder(m_document); }
    void pdfOf5000Rows();
    void pngOf5000Rows();
    void crossReferenceOf5000Rows();

private:
    document::LadderDocument m_document;
    QTemporaryDir m_dir;
};

void ExportBench::pdfOf5000Rows() {
    const QString file = m_dir.filePath(QStringLiteral("ladder.pdf"));
    const LadderPrinter printer(m_document, {QStringLiteral("bench.jar"), QString(), true});
    QBENCHMARK_ONCE {
        QPdfWriter writer(file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        QVERIFY(printer.print(writer));
    }
    qInfo("%d rows, PDF of %lld bytes", printer.printedRows(), QFileInfo(file).size());
}

void ExportBench::pngOf5000Rows() {
    const QString file = m_dir.filePath(QStringLiteral("ladder.png"));
    const LadderPrinter printer(m_document, {QString(), QString(), true});
    QBENCHMARK_ONCE {
        QVERIFY(printer.writeImage(file));
    }
    qInfo("%d x %d pixels, PNG of %lld bytes", printer.imageSize().width(),
          printer.imageSize().height(), QFileInfo(file).size());
}

void ExportBench::crossReferenceOf5000Rows() {
    std::size_t operands = 0;
    QBENCHMARK {
        operands = document::CrossReference(m_document).operands().size();
    }
    QVERIFY(operands > 0);
}

QTEST_MAIN(ExportBench)
#include "export_bench.moc"
