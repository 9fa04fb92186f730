// ui/cross_reference_window.h — the cross-reference tool window: every operand of the program
// with its places, the double-coil and never-read marks, a search box, and a double click that
// takes the grid's cursor to a place.
#pragma once

#include "document/cross_reference.h"

#include <QWidget>

#include <memory>

namespace document {
class LadderDocument;
}

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

class CrossReferenceWindow : public QWidget {
    Q_OBJECT
public:
    /// The window reads `document`, which must outlive it.
    explicit CrossReferenceWindow(const document::LadderDocument& document,
                                  QWidget* parent = nullptr);
    ~CrossReferenceWindow() override;

    /// Notes that the program changed: the list is built again at once while the window shows,
    /// else when it is shown next.
    void documentChanged();
    /// Shows the window with a list of the present program and puts the keyboard in the search
    /// box with its text selected.
    void showAndSearch();
    /// Returns the cross-reference the list shows.
    const document::CrossReference& crossReference() const { return *m_reference; }

signals:
    /// A place was double-clicked (or chosen with Enter): the cell holding the operand.
    void placeActivated(int row, int col);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rebuild();
    void applyFilter();
    void itemActivated(QTreeWidgetItem* item);

    const document::LadderDocument& m_document;
    std::unique_ptr<document::CrossReference> m_reference;
    bool m_stale = true;
    QLineEdit* m_search;
    QTreeWidget* m_tree;
    QLabel* m_summary;
};
