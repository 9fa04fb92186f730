// Printing and export of a 5,000-row ladder: all its pages into a PDF file, the whole ladder as
// one PNG picture, and its cross-reference. Each prints the time and the size of what it wrote.
#include "bench/bench_programs.h"

#include "document/cross_reference.h"
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

}  // namespace

class ExportBench : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { bench::fillLongLadder(m_document, kRows); }
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
