// Repainting the ladder grid: a full window of cells, and scrolling through a 5,000-row ladder.
#include "document/element_catalogue.h"
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

// A long ladder as users draw it: rungs of contacts with operands and a coil, and every
// eighth rung a timer and an ADD block with operands beside them.
void fillLadder(document::LadderDocument& document) {
    document.AddRows(kRows - document.rowCount());
    for (int row = 0; row + 4 < kRows; row += 4) {
        const std::string number = std::to_string(row % 1000 + 1);
        if ((row / 4) % 8 == 7) {
            document::PlaceBlock(document, document::BlockKind::Ondtr, row, 2);
            document::PlaceBlock(document, document::BlockKind::Add, row, 5);
            document.SetCellCode(row, 0, 1);
            document.SetField(row, 0, 'A', "%I" + number);
            document.SetField(row + 1, 1, 'A', "%I0002");
            document.SetField(row + 2, 1, 'A', "%R0010");
            document.SetField(row + 1, 4, 'A', "%R0001");
            document.SetField(row + 2, 4, 'S', "+00012");
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
    fillLadder(m_document);
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
