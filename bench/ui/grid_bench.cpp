// Repainting the ladder grid: a full window of cells, and scrolling through a 5,000-row ladder.
#include "bench/bench_programs.h"

#include "document/ladder_document.h"
#include "ui/ladder_grid.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

#include <memory>
#include <string>

namespace {

constexpr int kRows = 5000;
constexpr int kViewRows = 10;

}  // namespace

class GridBench : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void repaintFullWindow();
    void drawFullWindowOfCells();
    void scrollOneRow();
    void scrollOnePage();

private:
    document::LadderDocument m_document;
    std::unique_ptr<LadderGrid> m_grid;
};

void GridBench::initTestCase() {
    bench::fillLongLadder(m_document, kRows);
    m_grid = std::make_unique<LadderGrid>(m_document);
    m_grid->setRowCount(m_document.rowCount());
    const int frame = 2 * m_grid->frameWidth();
    m_grid->resize(10 * 78 + frame + m_grid->verticalScrollBar()->sizeHint().width(),
                   kViewRows * 91 + frame);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
    m_grid->setCursorCell(2, 3);
    QTest::keyClick(m_grid.get(), Qt::Key_Down, Qt::ShiftModifier);
}

void GridBench::cleanupTestCase() {
    m_grid.reset();
}

void GridBench::repaintFullWindow() {
    // Top rows with a timer and an ADD block in view.
    m_grid->verticalScrollBar()->setValue(24);
    QBENCHMARK {
        m_grid->viewport()->repaint();
    }
}

void GridBench::drawFullWindowOfCells() {
    QImage image(m_grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QBENCHMARK {
        for (int row = 24; row < 24 + kViewRows; ++row) {
            for (int col = 0; col < 10; ++col) {
                m_grid->DrawGrid1DrawCell(painter, col, row,
                                          QRect(col * 78, (row - 24) * 91, 77, 90), false);
            }
        }
    }
}

void GridBench::scrollOneRow() {
    QScrollBar* bar = m_grid->verticalScrollBar();
    int value = 0;
    QBENCHMARK {
        value = value + 1 > bar->maximum() ? 0 : value + 1;
        bar->setValue(value);
        QCoreApplication::processEvents();
    }
}

void GridBench::scrollOnePage() {
    QScrollBar* bar = m_grid->verticalScrollBar();
    int value = 0;
    QBENCHMARK {
        value = value + kViewRows > bar->maximum() ? 0 : value + kViewRows;
        bar->setValue(value);
        QCoreApplication::processEvents();
    }
}

QTEST_MAIN(GridBench)
#include "grid_bench.moc"
