// ui/watch_forcing.h — forcing from the simulator panel's watch table: the right-click menu of
// a row, the value dialog, and the marks (a colour and the letter F) on the rows of forced
// operands and on the panel's boxes of forced inputs and outputs.
#pragma once

#include "plc/force_table.h"
#include "plc/scan_cycle.h"
#include "plc/watch_table.h"

#include <QObject>

#include <array>
#include <functional>

class QCheckBox;
class QMenu;
class QPoint;
class QTableWidget;
class QWidget;
class UserPrompts;

class WatchForcing : public QObject {
    Q_OBJECT
public:
    /// Forcing for the watch table `grid` of `panel`, which shows `watch` of `plc`, through
    /// `cycle`;
    /// `inputs` and `outputs` are the boxes of %I0001.. and %Q0001..; `refresh` shows the
    /// memory again after a force or a release.
    WatchForcing(QWidget& panel, QTableWidget& grid, const plc::WatchTable& watch,
                 const plc::Plc& plc, plc::ScanCycle& cycle, UserPrompts& prompts,
                 const std::array<QCheckBox*, 16>& inputs,
                 const std::array<QCheckBox*, 16>& outputs, std::function<void()> refresh);

    /// The right-click menu (`PopupMenu1`) filled for `row`: "Wymuś 1", "Wymuś 0", "Zwolnij" for
    /// a BIT row, "Wymuś wartość...", "Zwolnij" for a word row, and always "Zwolnij wszystko".
    QMenu& menuForRow(int row);
    /// Marks the rows and boxes whose operands are forced and unmarks the others.
    void showMarks();

    void StringGrid1ContextPopup(const QPoint& pos);  ///< a right click on the watch table

private:
    void force(const plc::OperandRef& ref, std::int32_t value);
    void forceValue(const plc::OperandRef& ref);

    QWidget& m_panel;
    QTableWidget& m_grid;
    const plc::WatchTable& m_watch;
    const plc::Plc& m_plc;
    plc::ScanCycle& m_cycle;
    UserPrompts& m_prompts;
    std::array<QCheckBox*, 16> m_inputs;
    std::array<QCheckBox*, 16> m_outputs;
    std::function<void()> m_refresh;
    QMenu* m_menu = nullptr;  // PopupMenu1

    // What is marked, so that a tick touches only the widgets whose mark changed.
    std::array<bool, plc::kWatchRows> m_markedRows{};
    std::array<bool, 32> m_markedBoxes{};
};
