// ui/main_window.cpp — the main window's controls, built once: the strips, the grid, the status
// bar, the menus and the main toolbar from the command table, the element toolbars from the
// catalogue; the refreshes after a command.
#include "ui/main_window.h"

#include "document/editing.h"
#include "ui/about_box.h"
#include "ui/app_text.h"
#include "ui/cross_reference_window.h"
#include "ui/description_window.h"
#include "ui/help_window.h"
#include "ui/ladder_file_dialogs.h"
#include "ui/ladder_grid.h"
#include "ui/link_dialog.h"
#include "ui/listing_window.h"
#include "ui/live_monitor.h"
#include "ui/main_commands.h"
#include "ui/parameters_window.h"
#include "ui/simulator_panel.h"
#include "ui/toolbar_glyphs.h"
#include "ui/translation_progress_window.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

using ui::fromUtf8;

constexpr int kStripHeight = 30;
constexpr int kEntryStripHeight = 23;
constexpr int kStatusBarHeight = 20;
constexpr int kButtonSize = 23;
constexpr int kCloseButtonSize = 10;
constexpr int kLastColumn = document::kColumns - 1;

QString welcomeText() {
    return QString::fromUtf8(
        " Witaj w programie Wirtualon! - symulatorze "
        "sterowników programowalnych rodziny "
        "GEFanuc");
}

// Where a button stands on its element toolbar, left to right by group; within a group the
// catalogue's order holds. Panel6 shows contacts, then the wires, then the coils, then timers and
// counters; Panel4 its data blocks before the control functions; the other two hold only blocks.
int buttonGroup(const document::ElementEntry& entry, std::string_view panel) {
    const bool block = entry.placement == document::Placement::Block;
    if (panel == "Panel4") {
        return block ? 0 : 1;
    }
    if (block) {
        return 3;
    }
    if (entry.placement == document::Placement::Link ||
        entry.code == document::ElementKind::HLink) {
        return 1;
    }
    return entry.placement == document::Placement::Coil ? 2 : 0;
}

QFileDialog* makeFileDialog(QWidget* parent, const char* name, bool save) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(save ? QStringLiteral("Zapisz jako") : QString::fromUtf8("Otwórz"));
    ui::setLadderFilters(*dialog, save);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setLabelText(QFileDialog::Accept,
                         save ? QStringLiteral("Zapisz") : QString::fromUtf8("Otwórz"));
    dialog->setLabelText(QFileDialog::Reject, QStringLiteral("Anuluj"));
    dialog->setLabelText(QFileDialog::FileName, QStringLiteral("Nazwa pliku:"));
    dialog->setLabelText(QFileDialog::FileType, QStringLiteral("Pliki typu:"));
    dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("Szukaj w:"));
    return dialog;
}

QFileDialog* makeExportDialog(QWidget* parent, const char* name, const char* filter,
                              const char* suffix) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(QStringLiteral("Eksportuj"));
    dialog->setNameFilter(QString::fromUtf8(filter));
    dialog->setDefaultSuffix(QString::fromLatin1(suffix));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Zapisz"));
    dialog->setLabelText(QFileDialog::Reject, QStringLiteral("Anuluj"));
    dialog->setLabelText(QFileDialog::FileName, QStringLiteral("Nazwa pliku:"));
    dialog->setLabelText(QFileDialog::FileType, QStringLiteral("Pliki typu:"));
    dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("Szukaj w:"));
    return dialog;
}

}  // namespace

MainWindow::MainWindow(std::unique_ptr<UserPrompts> prompts, QWidget* parent)
    : QMainWindow(parent), m_prompts(std::move(prompts)) {
    if (!m_prompts) {
        m_prompts = std::make_unique<QtUserPrompts>();
    }
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(ui::newProgramCaption());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    m_panel1 = makeStrip(QStringLiteral("Panel1"), kStripHeight);
    layout->addWidget(m_panel1);
    buildElementToolbars();
    // Top to bottom: main toolbar, Panel3, Panel4, Panel5, Panel6, entry line, grid.
    for (const char* name : {"Panel3", "Panel4", "Panel5", "Panel6"}) {
        layout->addWidget(central->findChild<QFrame*>(QString::fromLatin1(name)));
    }
    m_panel7 = makeStrip(QStringLiteral("Panel7"), kEntryStripHeight);
    m_edit1 = new QLineEdit(m_panel7);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_panel7->layout()->addWidget(m_edit1);
    m_panel7->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel7);
    connect(m_edit1, &QLineEdit::returnPressed, this, &MainWindow::entryLineReturn);

    m_grid = new LadderGrid(m_document, central);
    m_grid->setObjectName(QStringLiteral("DrawGrid1"));
    layout->addWidget(m_grid, 1);
    connect(m_grid, &LadderGrid::cellSelected, this, &MainWindow::gridCellSelected);
    connect(m_grid, &LadderGrid::cellRightClicked, this, &MainWindow::gridRightClicked);
    connect(m_grid, &LadderGrid::cellDoubleClicked, this, &MainWindow::gridDoubleClicked);
    connect(m_grid, &LadderGrid::characterTyped, this, &MainWindow::gridCharacterTyped);
    connect(m_grid, &LadderGrid::cellsPainted, this, [this] {
        updateCursorPanels();
        updateCommandStates();
    });

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setFixedHeight(kStatusBarHeight);
    statusBar->setSizeGripEnabled(false);
    constexpr std::array<int, 3> kPanelWidths = {78, 77, 79};
    for (std::size_t i = 0; i < m_statusPanels.size(); ++i) {
        auto* label = new QLabel(statusBar);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        if (i < kPanelWidths.size()) {
            label->setFixedWidth(kPanelWidths[i]);
            label->setAlignment(Qt::AlignCenter);
            statusBar->addWidget(label);
        } else {
            label->setMinimumWidth(50);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            statusBar->addWidget(label, 1);
        }
        m_statusPanels[i] = label;
    }
    setStatusBar(statusBar);

    m_openDialog = makeFileDialog(this, "OpenDialog1", false);
    m_saveDialog = makeFileDialog(this, "SaveDialog1", true);

    m_commandItems.assign(mainCommands().size(), nullptr);
    m_commandButtons.assign(mainCommands().size(), nullptr);
    buildMainToolbar();
    buildMenus();

    // The other windows, once, in the order the program always made them.
    const auto edited = [this](const document::EditResult& edit) {
        noteEdit(edit);
        repaintGrid();
    };
    m_parametersWindow = new ParametersWindow(m_document, edited, this);
    m_aboutBox = new AboutBox(this);
    m_listingWindow = new ListingWindow(this);
    m_descriptionWindow = new DescriptionWindow(m_document, edited, this);
    m_simulatorPanel = new SimulatorPanel(*m_prompts, this);
    m_linkDialog = new LinkDialog(nullptr, this);
    // "Łącze..." on the panel of a linked run opens the dialog again, for the item names.
    m_simulatorPanel->setLinkItemsOpener([this] { m_prompts->runModal(*m_linkDialog); });
    m_progressWindow = new TranslationProgressWindow(this);
    m_help = new HelpWindow(this);
    m_exportPdfDialog = makeExportDialog(this, "ExportPdfDialog", "Dokument PDF (*.pdf)", "pdf");
    m_exportImageDialog = makeExportDialog(this, "ExportImageDialog", "Obraz PNG (*.png)", "png");
    m_crossReference = new CrossReferenceWindow(m_document, this);
    connect(m_crossReference, &CrossReferenceWindow::placeActivated, this,
            [this](int row, int col) { m_grid->setCursorCell(row, col); });
    watchEntryLineKeys();
    m_live = new LiveMonitor(*m_grid, *m_simulatorPanel, this);
    // A listing line chosen in the listing window shows its cell.
    connect(m_listingWindow, &ListingWindow::cellRequested, this,
            [this](int row, int col) { m_grid->setCursorCell(row, col); });
    // The parameters button and menu check follow the window however it is shown or closed.
    m_parametersWindow->installEventFilter(this);

    // Start-up state. The size is the screen's too, for desktops that ignore maximising.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        resize(screen->availableGeometry().size());
    }
    setWindowState(windowState() | Qt::WindowMaximized);
    for (std::size_t i = 1; i < m_elementToolbars.size(); ++i) {
        setElementToolbarShown(static_cast<int>(i), false);
    }
    setElementToolbarShown(0, true);
    m_document.NewDocument();
    m_history.reset(document::DocumentStatus::New);
    historyChanged();
    m_grid->setRowCount(m_document.rowCount());
    m_statusPanels[2]->setText(QStringLiteral("Nowy"));
    m_statusPanels[3]->setText(welcomeText());
    updateCursorPanels();
    updateCommandStates();
    m_grid->setFocus();
}

MainWindow::~MainWindow() {
    // The grid and the tool windows hold references to the document, which as a member dies before
    // the base class deletes the children: they go first.
    m_parametersWindow->removeEventFilter(this);
    delete m_live;
    delete m_parametersWindow;
    delete m_descriptionWindow;
    delete m_grid;
}

QString MainWindow::statusPanelText(int panel) const {
    if (panel < 0 || panel >= static_cast<int>(m_statusPanels.size())) {
        return {};
    }
    return m_statusPanels[static_cast<std::size_t>(panel)]->text();
}

QFrame* MainWindow::makeStrip(const QString& name, int height) {
    auto* strip = new QFrame(centralWidget());
    strip->setObjectName(name);
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setFrameShadow(QFrame::Raised);
    strip->setFixedHeight(height);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    return strip;
}

QToolButton* MainWindow::addButton(QFrame* panel, const QString& name, std::string_view hint,
                                   const QIcon& icon) {
    auto* button = new QToolButton(panel);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFixedSize(kButtonSize, kButtonSize);
    button->setIcon(icon);
    button->setIconSize(QSize(kGlyphSize, kGlyphSize));
    button->setFocusPolicy(Qt::NoFocus);
    if (!hint.empty()) {
        button->setToolTip(fromUtf8(document::hintTooltip(hint)));
        button->setStatusTip(fromUtf8(document::hintStatusText(hint)));
    }
    panel->layout()->addWidget(button);
    return button;
}

// ---------------------------------------------------------------------------------------------
// The command table's menus and buttons

void MainWindow::buildMainToolbar() {
    const std::span<const MainCommand> commands = mainCommands();
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (!commands[i].toolbar.button.empty()) {
            order.push_back(i);
        }
    }
    std::sort(order.begin(), order.end(), [&commands](std::size_t a, std::size_t b) {
        return commands[a].toolbar.position < commands[b].toolbar.position;
    });
    auto* strip = static_cast<QHBoxLayout*>(m_panel1->layout());
    for (const std::size_t i : order) {
        const MainCommand& command = commands[i];
        if (command.toolbar.gapBefore) {
            strip->addSpacing(8);
        }
        QToolButton* button = addButton(m_panel1, fromUtf8(command.toolbar.button),
                                        command.toolbar.hint, commandGlyph(command.toolbar.glyph));
        if (command.elementToolbar >= 0) {
            const int index = command.elementToolbar;
            connect(button, &QToolButton::clicked, this,
                    [this, index] { setElementToolbarShown(index, true); });
        } else {
            connect(button, &QToolButton::clicked, this, command.handler);
        }
        m_commandButtons[i] = button;
    }
    strip->addStretch();
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const std::span<const MainCommand> commands = mainCommands();
    for (const MainMenuEntry& entry : mainMenus()) {
        QMenu* menu = bar->addMenu(fromUtf8(entry.title));
        menu->setObjectName(fromUtf8(entry.objectName));
        std::vector<std::size_t> items;
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (commands[i].menu.menu == entry.menu) {
                items.push_back(i);
            }
        }
        std::sort(items.begin(), items.end(), [&commands](std::size_t a, std::size_t b) {
            return commands[a].menu.position < commands[b].menu.position;
        });
        for (const std::size_t i : items) {
            const MainCommand& command = commands[i];
            if (command.menu.separatorBefore) {
                menu->addSeparator();
            }
            QAction* action = menu->addAction(fromUtf8(command.text));
            action->setObjectName(fromUtf8(command.objectName));
            action->setShortcuts(command.keys);
            action->setCheckable(command.check != CommandCheck::None);
            if (command.elementToolbar >= 0) {
                const int index = command.elementToolbar;
                connect(action, &QAction::triggered, this,
                        [this, index](bool checked) { setElementToolbarShown(index, checked); });
            } else {
                connect(action, &QAction::triggered, this, command.handler);
            }
            m_commandItems[i] = action;
        }
    }
}

bool MainWindow::commandEnabled(const MainCommand& command) const {
    switch (command.enabled) {
        case CommandEnabled::Always: return true;
        case CommandEnabled::WhileToolbarHidden:
            return m_elementToolbars.at(static_cast<std::size_t>(command.elementToolbar))
                ->isHidden();
        case CommandEnabled::WhileParametersHidden: return !m_parametersWindow->isVisible();
        case CommandEnabled::WhileStripsShown: return !m_stripsHidden;
        case CommandEnabled::WhileStripsHidden: return m_stripsHidden;
        case CommandEnabled::WhileUndoable: return m_history.canUndo();
        case CommandEnabled::WhileRedoable: return m_history.canRedo();
    }
    return true;
}

bool MainWindow::commandChecked(const MainCommand& command) const {
    switch (command.check) {
        case CommandCheck::None: return false;
        case CommandCheck::ToolbarShown:
            return !m_elementToolbars.at(static_cast<std::size_t>(command.elementToolbar))
                        ->isHidden();
        case CommandCheck::ParametersShown: return m_parametersWindow->isVisible();
        case CommandCheck::GridLines: return m_grid->gridLineWidth() == 1;
    }
    return false;
}

void MainWindow::updateCommandStates() {
    // The tool windows are made after the menus: nothing to follow before them.
    if (m_parametersWindow == nullptr) {
        return;
    }
    const std::span<const MainCommand> commands = mainCommands();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const bool enabled = commandEnabled(commands[i]);
        if (QAction* item = m_commandItems[i]) {
            item->setEnabled(enabled);
            if (item->isCheckable()) {
                item->setChecked(commandChecked(commands[i]));
            }
        }
        if (QToolButton* button = m_commandButtons[i]) {
            button->setEnabled(enabled);
        }
    }
}

void MainWindow::buildElementToolbars() {
    for (const document::ToolbarEntry& toolbar : document::elementToolbars()) {
        QFrame* panel = makeStrip(fromUtf8(toolbar.panel), kStripHeight);
        // The menu item "PanelN" names the toolbar's place in the "Widok" menu.
        const int index = toolbar.menuItem.back() - '1';
        m_elementToolbars.at(static_cast<std::size_t>(index)) = panel;

        auto* close = new QToolButton(panel);
        close->setObjectName(fromUtf8(toolbar.closeButton));
        close->setAutoRaise(true);
        close->setFixedSize(kCloseButtonSize, kCloseButtonSize);
        close->setIcon(commandGlyph(CommandGlyph::Close));
        close->setIconSize(QSize(8, 8));
        close->setFocusPolicy(Qt::NoFocus);
        static_cast<QHBoxLayout*>(panel->layout())->addWidget(close, 0, Qt::AlignTop);
        static_cast<QHBoxLayout*>(panel->layout())->addSpacing(2);
        connect(close, &QToolButton::clicked, this,
                [this, index] { setElementToolbarShown(index, false); });

        std::vector<const document::ElementEntry*> entries;
        for (const document::ElementEntry& entry : document::elementCatalogue()) {
            if (entry.toolbar == toolbar.panel && !entry.button.empty()) {
                entries.push_back(&entry);
            }
        }
        std::stable_sort(
            entries.begin(), entries.end(),
            [&toolbar](const document::ElementEntry* a, const document::ElementEntry* b) {
                return buttonGroup(*a, toolbar.panel) < buttonGroup(*b, toolbar.panel);
            });
        for (const document::ElementEntry* entry : entries) {
            QToolButton* button =
                addButton(panel, fromUtf8(entry->button), entry->hint, elementGlyph(*entry));
            connect(button, &QToolButton::clicked, this, [this, entry] { placeElement(*entry); });
        }
        static_cast<QHBoxLayout*>(panel->layout())->addStretch();
    }
}

// ---------------------------------------------------------------------------------------------
// Refreshes

void MainWindow::followRowCount() {
    if (m_grid->rowCount() != m_document.rowCount()) {
        m_grid->setRowCount(m_document.rowCount());
    }
}

void MainWindow::showStatusWord() {
    m_statusPanels[2]->setText(fromUtf8(document::statusWord(m_document.status())));
}

void MainWindow::repaintGrid() {
    m_grid->viewport()->update();
}

void MainWindow::noteEdit(document::EditResult edit) {
    document::markEdited(m_document, edit);
    const bool changed = edit.changed();
    m_history.record(std::move(edit), {m_grid->Row(), m_grid->Col()});
    showStatusWord();
    if (changed) {
        historyChanged();
    }
}

void MainWindow::refresh(document::Refresh kind) {
    const int row = m_grid->Row();
    const int col = m_grid->Col();
    switch (kind) {
        case document::Refresh::None: return;
        case document::Refresh::AfterContact:
            followRowCount();
            if (col < kLastColumn) {
                m_grid->setCursorCell(row, col + 1);
            }
            break;
        case document::Refresh::AfterCoil:
            followRowCount();
            if (row < m_grid->rowCount() - 1) {
                m_grid->setCursorCell(row + 1, 0);
            }
            break;
        case document::Refresh::AfterLinkDown:
            followRowCount();
            if (row < m_grid->rowCount() - 1) {
                m_grid->setCursorCell(row + 1, col);
            }
            break;
        case document::Refresh::AfterLinkUp:
            followRowCount();
            if (row > 0) {
                m_grid->setCursorCell(row - 1, col);
            }
            break;
        case document::Refresh::AfterClipboard: followRowCount(); break;
        case document::Refresh::AfterLoading:
            followRowCount();
            m_grid->setCursorCell(0, 0);
            break;
    }
    showStatusWord();
    repaintGrid();
}

void MainWindow::updateCursorPanels() {
    const QRect selection = m_grid->Selection();
    m_statusPanels[0]->setText(
        QStringLiteral("w%1  k%2").arg(m_grid->Row() + 1).arg(m_grid->Col() + 1));
    m_statusPanels[1]->setText(
        QStringLiteral("sz: %1 wy:%2").arg(selection.width()).arg(selection.height()));
}

bool MainWindow::event(QEvent* event) {
    // Status tips go to the hint panel, not over the whole status bar.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        m_statusPanels[3]->setText(tip.isEmpty() ? m_traceNote : tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_parametersWindow &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        updateCommandStates();
    }
    return QMainWindow::eventFilter(watched, event);
}
