// ui/tform1.cpp — the main window's controls, its commands and the refreshes after them.
#include "ui/tform1.h"

#include "document/cp1250.h"
#include "document/editing.h"
#include "document/operand_entry.h"
#include "document/program_file.h"
#include "operands/operand_syntax.h"
#include "translator/node_analysis.h"
#include "translator/translation_driver.h"
#include "translator/translation_error.h"
#include "ui/check_report_window.h"
#include "ui/help_window.h"
#include "ui/ladder_grid.h"
#include "ui/live_monitor.h"
#include "ui/taboutbox.h"
#include "ui/tform2.h"
#include "ui/tform4.h"
#include "ui/tform5.h"
#include "ui/tform6.h"
#include "ui/tform7.h"
#include "ui/tform8.h"
#include "ui/toolbar_glyphs.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <utility>

namespace {

const QString kAppTitle = QStringLiteral("Wirtualon!");
const QString kNewCaption = QStringLiteral("Wirtualon! - Program1");
// The translator's trace, rewritten at every translation in the working directory.
constexpr const char* kTraceFile = "EMU.txt";
constexpr int kStripHeight = 30;
constexpr int kEntryStripHeight = 23;
constexpr int kStatusBarHeight = 20;
constexpr int kButtonSize = 23;
constexpr int kCloseButtonSize = 10;
constexpr int kLastColumn = document::kColumns - 1;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

std::filesystem::path toPath(const QString& fileName) {
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
}

QFileDialog* makeFileDialog(QWidget* parent, const char* name, bool save) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(save ? QStringLiteral("Zapisz jako") : QString::fromUtf8("Otwórz"));
    dialog->setNameFilter(QStringLiteral("Drabina (*.jar)"));
    dialog->setDefaultSuffix(QStringLiteral("jar"));
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

}  // namespace

TForm1::TForm1(std::unique_ptr<UserPrompts> prompts, QWidget* parent)
    : QMainWindow(parent), m_prompts(std::move(prompts)) {
    if (!m_prompts) {
        m_prompts = std::make_unique<QtUserPrompts>();
    }
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(kNewCaption);

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
    connect(m_edit1, &QLineEdit::returnPressed, this, &TForm1::entryLineReturn);

    m_grid = new LadderGrid(m_document, central);
    m_grid->setObjectName(QStringLiteral("DrawGrid1"));
    layout->addWidget(m_grid, 1);
    connect(m_grid, &LadderGrid::cellSelected, this, &TForm1::gridCellSelected);
    connect(m_grid, &LadderGrid::cellRightClicked, this, &TForm1::gridRightClicked);
    connect(m_grid, &LadderGrid::cellDoubleClicked, this, &TForm1::gridDoubleClicked);
    connect(m_grid, &LadderGrid::characterTyped, this, &TForm1::gridCharacterTyped);
    connect(m_grid, &LadderGrid::cellsPainted, this, [this] {
        updateCursorPanels();
        updateToolbarState();
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

    buildMainToolbar();
    buildMenus();

    // The other windows, once, in the order the program always made them.
    const auto edited = [this](const document::EditResult& edit) {
        noteEdit(edit);
        repaintGrid();
    };
    m_form2 = new TForm2(m_document, edited, this);
    m_aboutBox = new TAboutBox(this);
    m_form5 = new TForm5(this);
    m_form7 = new TForm7(m_document, edited, this);
    m_form8 = new TForm8(*m_prompts, this);
    m_form4 = new TForm4(nullptr, this);
    m_form6 = new TForm6(this);
    m_help = new HelpWindow(this);
    buildCommandExtras();
    m_live = new LiveMonitor(*m_grid, *m_form8, this);
    // A listing line chosen in the listing window shows its cell.
    connect(m_form5, &TForm5::cellRequested, this,
            [this](int row, int col) { m_grid->setCursorCell(row, col); });
    // The parameters button and menu check follow the window however it is shown or closed.
    m_form2->installEventFilter(this);

    // Start-up state. The size is the screen's too, for desktops that ignore maximising.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        resize(screen->availableGeometry().size());
    }
    setWindowState(windowState() | Qt::WindowMaximized);
    for (std::size_t i = 1; i < m_toolbars.size(); ++i) {
        setElementToolbarShown(static_cast<int>(i), false);
    }
    setElementToolbarShown(0, true);
    m_gridLinesItem->setChecked(true);
    m_showItem->setEnabled(false);
    m_document.NewDocument();
    m_history.reset(document::DocumentStatus::New);
    historyChanged();
    m_grid->setRowCount(m_document.rowCount());
    m_statusPanels[2]->setText(QStringLiteral("Nowy"));
    m_statusPanels[3]->setText(welcomeText());
    updateCursorPanels();
    updateToolbarState();
    m_grid->setFocus();
}

TForm1::~TForm1() {
    // The grid and the tool windows hold references to the document, which as a member dies before
    // the base class deletes the children: they go first.
    m_form2->removeEventFilter(this);
    delete m_live;
    delete m_form2;
    delete m_form7;
    delete m_grid;
}

QString TForm1::statusPanelText(int panel) const {
    if (panel < 0 || panel >= static_cast<int>(m_statusPanels.size())) {
        return {};
    }
    return m_statusPanels[static_cast<std::size_t>(panel)]->text();
}

QFrame* TForm1::makeStrip(const QString& name, int height) {
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

QToolButton* TForm1::addButton(QFrame* panel, const QString& name, std::string_view hint,
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

void TForm1::buildMainToolbar() {
    struct MainButton {
        const char* name;
        std::string_view hint;
        CommandGlyph glyph;
        void (TForm1::*handler)();
        bool gapBefore;
    };
    // The network analysis is not part of this build: its button exists but is disabled (handler
    // null).
    const MainButton buttons[] = {
        {"SpeedButton1", "Nowy|Usuwa zawartość aktualnego dokumentu i tworzy nowy",
         CommandGlyph::New, &TForm1::SpeedButton1Click, false},
        {"SpeedButton2", "Otwórz|Ładuje program z dysku", CommandGlyph::Open, &TForm1::Open1Click,
         false},
        {"SpeedButton3", "Zapisz|Zapisuje program na dysk", CommandGlyph::Save, &TForm1::Save1Click,
         false},
        {"SpeedButton5", "Wytnij|Usuwa zaznaczony fragment programu i ładuje go do bufora",
         CommandGlyph::Cut, &TForm1::CutClick, true},
        {"SpeedButton89", "Kopiuj|Kopiuje zaznaczony fragment programu do bufora",
         CommandGlyph::Copy, &TForm1::CopyClick, false},
        {"SpeedButton90", "Wstaw|Wstawia zawartość bufora w miejsce w którym znajduje się kursor ",
         CommandGlyph::Paste, &TForm1::PasteClick, false},
        {"SpeedButton4", "Wstaw wiersz", CommandGlyph::InsertRow, &TForm1::InsertRowClick, true},
        {"SpeedButton7", "Usuń wiersz", CommandGlyph::DeleteRow, &TForm1::DeleteRowClick, false},
        {"SpeedButton11", "Sprawdź program|Sprawdź poprawność programu", CommandGlyph::Check,
         &TForm1::CheckProgram, true},
        {"SpeedButton14",
         "Lista instrukcji|Sprawdza poprawność programu i wyświetla go w postaci "
         "listy "
         "instrukcji",
         CommandGlyph::List, &TForm1::ShowInstructionList, false},
        {"SpeedButton15", "Uruchom symulator|Sprawdza poprawość programu i uruchamia symulator",
         CommandGlyph::Run, &TForm1::RunSimulator, false},
        {"SpeedButton6",
         "Połączenie DDE|Umożłiwia współpracę programu Wirtualon! z innymi "
         "programami przez "
         "łącze DDE",
         CommandGlyph::Dde, &TForm1::RunSimulatorWithDde, false},
        {"SpeedButton8", "Siatka|Włącza i wyłacza siatkę", CommandGlyph::Grid,
         &TForm1::GridLinesClick, true},
        {"SpeedButton10", "Pełny ekran|Usuwa z ekranu wszystkie paski narzędziowe",
         CommandGlyph::FullScreen, &TForm1::FullScreenClick, false},
        {"SpeedButton109",
         "Panel1|Włacza pasek1 zawierający: styki, przekaźniki, timery i "
         "liczniki",
         CommandGlyph::Panel1, nullptr, true},
        {"SpeedButton111", "Panel2|Operacje bitowe i tablicowe", CommandGlyph::Panel2, nullptr,
         false},
        {"SpeedButton112", "Panel3|Funkcje sterujące i operacje na danych", CommandGlyph::Panel3,
         nullptr, false},
        {"SpeedButton113", "Panel4|Funkcje i relacje matematyczne, funkcje konwersji",
         CommandGlyph::Panel4, nullptr, false},
        {"SpeedButton9",
         "Typy danych|Wyświetla okno umożliwiające zmianę parametrów bloków "
         "funkcyjnych",
         CommandGlyph::Parameters, &TForm1::ParametersButtonClick, true},
        {"SpeedButton12", "O programie| Wyświetla okno z inforamcjami o programie Wirtualon!",
         CommandGlyph::About, &TForm1::AboutClick, true},
        {"SpeedButton13", "Pomoc | Uruchamia pomoc programu Wirtualon!", CommandGlyph::Help,
         &TForm1::HelpClick, false},
        {"SpeedButton16", "", CommandGlyph::Analysis, &TForm1::SpeedButton16Click, true},
    };
    int showButton = 0;
    for (const MainButton& item : buttons) {
        if (item.gapBefore) {
            static_cast<QHBoxLayout*>(m_panel1->layout())->addSpacing(8);
        }
        QToolButton* button = addButton(m_panel1, QString::fromLatin1(item.name), item.hint,
                                        commandGlyph(item.glyph));
        if (item.glyph >= CommandGlyph::Panel1 && item.glyph <= CommandGlyph::Panel4) {
            const int index = showButton++;
            m_toolbars[static_cast<std::size_t>(index)].showButton = button;
            connect(button, &QToolButton::clicked, this,
                    [this, index] { setElementToolbarShown(index, true); });
        } else if (item.handler) {
            connect(button, &QToolButton::clicked, this, item.handler);
        } else {
            button->setEnabled(false);
        }
        if (item.glyph == CommandGlyph::Parameters) {
            m_parametersButton = button;
        }
    }
    static_cast<QHBoxLayout*>(m_panel1->layout())->addStretch();
}

void TForm1::buildElementToolbars() {
    for (const document::ToolbarEntry& toolbar : document::elementToolbars()) {
        QFrame* panel = makeStrip(fromUtf8(toolbar.panel), kStripHeight);
        // The menu item "PanelN" names the toolbar's place in the "Widok" menu.
        const int index = toolbar.menuItem.back() - '1';
        auto& slot = m_toolbars.at(static_cast<std::size_t>(index));
        slot.panel = panel;

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

void TForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto item = [this](QMenu* menu, const char* name, const char* caption,
                             auto handler) -> QAction* {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        if constexpr (std::is_same_v<decltype(handler), std::nullptr_t>) {
            action->setEnabled(false);
        } else {
            connect(action, &QAction::triggered, this, handler);
        }
        return action;
    };

    QMenu* file = bar->addMenu(QStringLiteral("Plik"));
    file->setObjectName(QStringLiteral("Plik1"));
    item(file, "New1", "Nowy", &TForm1::New1Click);
    file->addSeparator();
    item(file, "Open1", "Otwórz", &TForm1::Open1Click);
    item(file, "Save1", "Zapisz", &TForm1::Save1Click);
    file->addSeparator();
    item(file, "Quit1", "Koniec", &TForm1::Quit1Click);

    QMenu* edit = bar->addMenu(QStringLiteral("Edycja"));
    edit->setObjectName(QStringLiteral("Edycja1"));
    item(edit, "Kopiuj1", "Kopiuj", &TForm1::CopyClick);
    item(edit, "Wytnij1", "Wytnij", &TForm1::CutClick);
    item(edit, "Wstaw1", "Wstaw", &TForm1::PasteClick);
    edit->addSeparator();
    item(edit, "Wstawwiersz1", "Wstaw wiersz", &TForm1::InsertRowClick);
    item(edit, "Usunwiersz1", "Usuń wiersz", &TForm1::DeleteRowClick);

    QMenu* view = bar->addMenu(QStringLiteral("Widok"));
    view->setObjectName(QStringLiteral("Widok1"));
    for (std::size_t i = 0; i < m_toolbars.size(); ++i) {
        QAction* action = view->addAction(QStringLiteral("Panel%1").arg(i + 1));
        action->setObjectName(QStringLiteral("Panel%1").arg(i + 1) + QLatin1Char('1'));
        action->setCheckable(true);
        const int index = static_cast<int>(i);
        connect(action, &QAction::triggered, this,
                [this, index](bool checked) { setElementToolbarShown(index, checked); });
        m_toolbars[i].menuItem = action;
    }
    m_parametersItem = item(view, "Panel51", "Okno Parametry", &TForm1::ParametersMenuClick);
    m_parametersItem->setCheckable(true);
    view->addSeparator();
    m_hideAllItem = item(view, "Ukryjwszystko1", "Ukryj wszystko", &TForm1::HideAllClick);
    m_showItem = item(view, "Odkryj1", "Odkryj", &TForm1::ShowMainStripsClick);
    view->addSeparator();
    m_gridLinesItem = item(view, "Siatka1", "Siatka", &TForm1::GridLinesClick);
    m_gridLinesItem->setCheckable(true);

    QMenu* program = bar->addMenu(QStringLiteral("Program"));
    program->setObjectName(QStringLiteral("Program1"));
    item(program, "Testujprogram1", "Testuj program", &TForm1::CheckProgram);
    item(program, "Listainstrukcji1", "Lista instrukcji", &TForm1::ShowInstructionList);
    item(program, "UruchomSymulator1", "Uruchom Symulator", &TForm1::RunSimulator);
    program->addSeparator();
    item(program, "DDE1", "DDE", &TForm1::RunSimulatorWithDde);

    QMenu* help = bar->addMenu(QStringLiteral("Pomoc"));
    help->setObjectName(QStringLiteral("Pomoc1"));
    item(help, "Info1", "Info", &TForm1::AboutClick);
    item(help, "Pomoc2", "Pomoc", &TForm1::HelpClick);
}

// ---------------------------------------------------------------------------------------------
// Refreshes

void TForm1::followRowCount() {
    if (m_grid->rowCount() != m_document.rowCount()) {
        m_grid->setRowCount(m_document.rowCount());
    }
}

void TForm1::showStatusWord() {
    m_statusPanels[2]->setText(fromUtf8(document::statusWord(m_document.status())));
}

void TForm1::repaintGrid() {
    m_grid->viewport()->update();
}

void TForm1::noteEdit(document::EditResult edit) {
    document::markEdited(m_document, edit);
    const bool changed = edit.changed();
    m_history.record(std::move(edit), {m_grid->Row(), m_grid->Col()});
    showStatusWord();
    if (changed) {
        historyChanged();
    }
}

void TForm1::refresh(document::Refresh kind) {
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

void TForm1::updateCursorPanels() {
    const QRect selection = m_grid->Selection();
    m_statusPanels[0]->setText(
        QStringLiteral("w%1  k%2").arg(m_grid->Row() + 1).arg(m_grid->Col() + 1));
    m_statusPanels[1]->setText(
        QStringLiteral("sz: %1 wy:%2").arg(selection.width()).arg(selection.height()));
}

void TForm1::updateToolbarState() {
    for (const ElementToolbar& toolbar : m_toolbars) {
        if (toolbar.showButton && toolbar.panel) {
            toolbar.showButton->setEnabled(toolbar.panel->isHidden());
        }
    }
    const bool parametersShown = m_form2 && m_form2->isVisible();
    if (m_parametersButton) {
        m_parametersButton->setEnabled(!parametersShown);
    }
    if (m_parametersItem) {
        m_parametersItem->setChecked(parametersShown);
    }
}

// ---------------------------------------------------------------------------------------------
// Element buttons and grid events

void TForm1::placeElement(const document::ElementEntry& entry) {
    const int row = m_grid->Row();
    const int col = m_grid->Col();
    document::EditResult edit;
    switch (entry.placement) {
        case document::Placement::Contact:
            edit = document::PlaceContact(m_document, entry.code, row, col);
            break;
        case document::Placement::Coil:
            edit = document::PlaceCoil(m_document, entry.code, row, col);
            break;
        case document::Placement::Link:
            edit = document::PlaceLink(m_document, entry.code, row, col);
            break;
        case document::Placement::Block:
            edit = document::PlaceBlock(m_document, entry.code, row, col);
            break;
    }
    noteEdit(edit);
    refresh(entry.refresh);
}

void TForm1::gridCellSelected(int row, int col) {
    m_form2->RefreshParameters(row, col);
    m_form7->RefreshDescription(row, col);
    updateCursorPanels();
}

void TForm1::gridRightClicked(int row, int col) {
    noteEdit(document::DeleteElement(m_document, row, col));
    m_form2->RefreshParameters(row, col);
    m_form7->RefreshDescription(row, col);
    repaintGrid();
}

void TForm1::gridDoubleClicked(int row, int col) {
    if (document::isBlockCell(m_document.CellCode(row, col))) {
        return;
    }
    m_form7->RefreshDescription(row, col);
    placeToolWindow(*m_form7);
    m_form7->show();
    m_form7->raise();
}

void TForm1::gridCharacterTyped(const QString& text) {
    if (m_panel7->isHidden()) {
        return;
    }
    m_edit1->setText(text);
    m_edit1->setFocus();
    m_edit1->setCursorPosition(static_cast<int>(m_edit1->text().size()));
}

void TForm1::entryLineReturn() {
    const QString text = m_edit1->text();
    if (text.isEmpty()) {
        return;
    }
    const std::string typed = document::utf8ToCp1250(text.toStdString());
    const std::int32_t code = m_document.CellCode(m_grid->Row(), m_grid->Col());
    // Text that fits no operand form is ignored, but the user is told why nothing happened.
    if (!operands::readOperand(typed, document::takesLabel(code))) {
        m_statusPanels[3]->setText(QString::fromUtf8("Nieprawidłowy operand: ") + text);
    }
    noteEdit(document::EnterOperand(m_document, typed, m_grid->Row(), m_grid->Col()));
    NextOperandCell();
}

void TForm1::NextOperandCell() {
    const int rows = m_grid->rowCount();
    int row = m_grid->Row();
    int col = m_grid->Col();
    if (row == rows - 1 && col == kLastColumn) {
        return;
    }
    for (;;) {
        if (++col > kLastColumn) {
            col = 0;
            ++row;
        }
        if (row >= rows) {
            repaintGrid();
            m_edit1->clear();
            return;
        }
        if (document::takesOperand(m_document.CellCode(row, col))) {
            m_grid->setCursorCell(row, col);
            m_edit1->clear();
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Clipboard and rows

void TForm1::CutClick() {
    const QRect s = m_grid->Selection();
    noteEdit(document::CutRange(m_document, s.top(), s.left(), s.bottom(), s.right()));
    refresh(document::refreshAfter(document::EditCommand::Cut));
}

void TForm1::CopyClick() {
    const QRect s = m_grid->Selection();
    document::CopyRange(m_document, s.top(), s.left(), s.bottom(), s.right());
    refresh(document::refreshAfter(document::EditCommand::Copy));
}

void TForm1::PasteClick() {
    noteEdit(document::Paste(m_document, m_grid->Row(), m_grid->Col()));
    refresh(document::refreshAfter(document::EditCommand::Paste));
}

void TForm1::InsertRowClick() {
    const document::EditResult edit = m_document.InsertRow(m_grid->Row());
    if (!edit.changed()) {
        return;
    }
    m_grid->setRowCount(m_grid->rowCount() + 1);
    noteEdit(edit);
    repaintGrid();
}

void TForm1::DeleteRowClick() {
    if (m_document.rowCount() <= 1) {
        return;
    }
    const document::EditResult edit = m_document.DeleteRow(m_grid->Row());
    m_grid->setRowCount(m_document.rowCount());
    noteEdit(edit);
    repaintGrid();
}

// ---------------------------------------------------------------------------------------------
// Files

bool TForm1::hasUnsavedChanges() const {
    return m_document.status() == document::DocumentStatus::Modified;
}

void TForm1::setFileCaption(const QString& fileName) {
    setWindowTitle(kAppTitle + QStringLiteral(" - ") + fileName);
}

TForm1::Answer TForm1::saveQuestion() {
    const QMessageBox::StandardButton answer =
        m_prompts->ask(kAppTitle, QString::fromUtf8("Czy chcesz zapisać obecny program?"),
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (answer) {
        case QMessageBox::Yes: return saveCurrent() ? Answer::Proceed : Answer::Stop;
        case QMessageBox::No: return Answer::Proceed;
        default: return Answer::Stop;
    }
}

bool TForm1::saveCommand() {
    QString name = m_prompts->chooseFile(*m_saveDialog);
    if (name.isEmpty()) {
        return false;
    }
    if (QFileInfo(name).suffix().isEmpty()) {
        name += QStringLiteral(".jar");
    }
    return saveTo(name);
}

bool TForm1::saveCurrent() {
    return m_fileName.isEmpty() ? saveCommand() : saveTo(m_fileName);
}

bool TForm1::saveTo(const QString& name) {
    const document::FileResult result = document::SaveProgram(m_document, toPath(name));
    if (result != document::FileResult::Success) {
        m_prompts->tell(QMessageBox::Critical, kAppTitle,
                        fromUtf8(document::fileResultMessage(result, name.toStdString())));
        return false;
    }
    m_saveDialog->selectFile(name);
    setFileCaption(name);
    m_fileName = name;
    m_history.markSaved();
    return true;
}

void TForm1::startNewProgram() {
    m_document.NewDocument();
    m_history.reset(document::DocumentStatus::New);
    m_fileName.clear();
    setWindowTitle(kNewCaption);
    refresh(document::Refresh::AfterLoading);
    historyChanged();
}

void TForm1::SpeedButton1Click() {
    if (saveQuestion() == Answer::Proceed) {
        startNewProgram();
    }
}

void TForm1::New1Click() {
    if (hasUnsavedChanges() && saveQuestion() == Answer::Stop) {
        return;
    }
    startNewProgram();
}

void TForm1::Open1Click() {
    // Opening replaces the document: unsaved work gets the same question as "Nowy".
    if (hasUnsavedChanges() && saveQuestion() == Answer::Stop) {
        return;
    }
    const QString name = m_prompts->chooseFile(*m_openDialog);
    if (name.isEmpty()) {
        return;
    }
    openProgram(name);
}

bool TForm1::openProgram(const QString& name) {
    const document::FileResult result = document::LoadProgram(m_document, toPath(name));
    if (!document::programLoaded(result)) {
        m_prompts->tell(QMessageBox::Critical, kAppTitle,
                        fromUtf8(document::fileResultMessage(result, name.toStdString())));
        return false;
    }
    m_openDialog->selectFile(name);
    setFileCaption(name);
    m_fileName = name;
    m_history.reset(m_document.status());
    refresh(document::refreshAfter(document::EditCommand::Load));
    historyChanged();
    if (result != document::FileResult::Success) {
        m_prompts->tell(QMessageBox::Warning, kAppTitle,
                        fromUtf8(document::fileResultMessage(result, name.toStdString())));
    }
    return true;
}

void TForm1::Save1Click() {
    saveCurrent();
    showStatusWord();
}

void TForm1::Quit1Click() {
    if (saveQuestion() == Answer::Stop) {
        return;
    }
    m_quitConfirmed = true;
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool closing = m_quitConfirmed;
    if (!closing) {
        if (hasUnsavedChanges()) {
            closing = saveQuestion() == Answer::Proceed;
        } else {
            closing = m_prompts->ask(kAppTitle,
                                     QString::fromUtf8("Czy na pewno chcesz wyjść z programu?"),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        }
    }
    m_quitConfirmed = false;
    if (!closing) {
        event->ignore();
        return;
    }
    m_form2->hide();
    m_form7->hide();
    m_help->hide();
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// View

void TForm1::GridLinesClick() {
    const bool on = m_grid->gridLineWidth() != 1;
    m_grid->setGridLineWidth(on ? 1 : 0);
    m_gridLinesItem->setChecked(on);
    repaintGrid();
}

void TForm1::setElementToolbarShown(int index, bool shown) {
    ElementToolbar& toolbar = m_toolbars.at(static_cast<std::size_t>(index));
    toolbar.panel->setVisible(shown);
    toolbar.menuItem->setChecked(shown);
    updateToolbarState();
    repaintGrid();
}

void TForm1::hideStrips() {
    for (ElementToolbar& toolbar : m_toolbars) {
        toolbar.panel->hide();
        toolbar.menuItem->setChecked(false);
        toolbar.menuItem->setEnabled(false);
    }
    m_panel7->hide();
    m_panel1->hide();
    statusBar()->hide();
    m_hideAllItem->setEnabled(false);
    m_showItem->setEnabled(true);
    updateToolbarState();
}

void TForm1::HideAllClick() {
    hideStrips();
}

void TForm1::FullScreenClick() {
    hideStrips();
    m_form2->hide();
}

void TForm1::ShowMainStripsClick() {
    m_panel1->show();
    m_panel7->show();
    statusBar()->show();
    for (ElementToolbar& toolbar : m_toolbars) {
        toolbar.menuItem->setEnabled(true);
    }
    m_hideAllItem->setEnabled(true);
    m_showItem->setEnabled(false);
    updateToolbarState();
}

void TForm1::placeToolWindow(QWidget& tool) {
    // First showing: at the grid's top-right corner, clear of the toolbars; the description
    // window goes below the place of the parameters window, so that the two never cover each
    // other.
    if (tool.property("placed").toBool()) {
        return;
    }
    tool.setProperty("placed", true);
    tool.adjustSize();
    const QPoint corner = m_grid->mapToGlobal(QPoint(m_grid->width(), 0));
    int top = corner.y() + 8;
    if (&tool == m_form7) {
        constexpr int kTitleBarAllowance = 40;
        top += m_form2->sizeHint().height() + kTitleBarAllowance;
    }
    tool.move(corner.x() - tool.frameGeometry().width() - 24, top);
}

void TForm1::ParametersButtonClick() {
    m_form2->RefreshParameters(m_grid->Row(), m_grid->Col());
    placeToolWindow(*m_form2);
    m_form2->show();
    m_form2->raise();
    updateToolbarState();
}

void TForm1::ParametersMenuClick() {
    if (m_form2->isVisible()) {
        m_form2->hide();
    } else {
        ParametersButtonClick();
    }
    updateToolbarState();
}

void TForm1::AboutClick() {
    m_prompts->runModal(*m_aboutBox);
}

void TForm1::HelpClick() {
    m_help->showContents();
}

bool TForm1::event(QEvent* event) {
    // Status tips go to the hint panel, not over the whole status bar.
    if (event->type() == QEvent::StatusTip) {
        m_statusPanels[3]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_form2 && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        updateToolbarState();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Checking and listing

int TForm1::TranslateProgram() {
    m_form2->hide();
    m_form7->hide();
    m_form6->showNow();
    translator::TranslationResult result =
        translator::translateDocument(m_document, {.tracePath = kTraceFile});
    if (!result.ok()) {
        m_form6->hide();
        ReportTranslationError(result.errorCode, result.errorRow, result.errorCol);
        return 1;
    }
    m_form5->setListings(QString::fromStdString(translator::joinLines(result.instructionList)),
                         QString::fromStdString(translator::joinLines(result.programListing)));
    m_form5->setLineCells(translator::instructionViewCells(result.sourceMap),
                          translator::programViewCells(result.sourceMap));
    m_programStore = std::move(result.program);
    m_sourceMap = std::move(result.sourceMap);
    m_warnings = std::move(result.warnings);
    m_form6->hide();
    return 0;
}

void TForm1::ReportTranslationError(int code, int row, int col) {
    m_grid->setCursorCell(row, col);
    m_prompts->tell(QMessageBox::Critical, QStringLiteral("Translator"),
                    QString::fromStdString(translator::errorReportText(code, row, col)));
}

void TForm1::CheckProgram() {
    // Remarks of an earlier check no longer hold.
    if (m_checkReport != nullptr) {
        m_checkReport->hide();
    }
    if (TranslateProgram() != 0) {
        return;
    }
    if (m_warnings.empty()) {
        m_prompts->tell(QMessageBox::Information, QStringLiteral("Translator"),
                        QStringLiteral("Program poprawny"));
    } else {
        // The remarks stay in view beside the grid while the user goes from one to the next.
        if (m_checkReport == nullptr) {
            m_checkReport = new CheckReportWindow(this);
            connect(m_checkReport, &CheckReportWindow::cellActivated, this,
                    [this](int row, int col) { m_grid->setCursorCell(row, col); });
        }
        m_checkReport->showReport(m_warnings);
    }
    m_programStore.clear();
}

void TForm1::ShowInstructionList() {
    if (TranslateProgram() != 0) {
        return;
    }
    m_prompts->runModal(*m_form5);
    // "START!" hands the program to the simulator; "Ok" and the title bar free it.
    plc::Program program = std::exchange(m_programStore, plc::Program{});
    if (m_form5->startRequested()) {
        m_live->begin(m_document, program, m_sourceMap);
        m_form8->startSimulator(std::move(program));
        m_live->end();
    }
}

void TForm1::RunSimulator() {
    if (TranslateProgram() != 0) {
        return;
    }
    // The grid shows the running program until the simulation ends.
    plc::Program program = std::exchange(m_programStore, plc::Program{});
    m_live->begin(m_document, program, m_sourceMap);
    m_form8->startSimulator(std::move(program));
    m_live->end();
}

void TForm1::RunSimulatorWithDde() {
    if (TranslateProgram() != 0) {
        return;
    }
    // Only OK after a successful connection starts the simulation; otherwise the program goes.
    plc::Program program = std::exchange(m_programStore, plc::Program{});
    if (m_prompts->runModal(*m_form4) != QDialog::Accepted || !m_form4->exchange().isOpen()) {
        return;
    }
    m_live->begin(m_document, program, m_sourceMap);
    m_form8->startSimulatorDde(std::move(program), m_form4->exchange(),
                               [this] { m_form4->closeDdeLink(); });
    m_live->end();
}

void TForm1::SpeedButton16Click() {
    // The analysis neither changes the document nor makes a program: the program store is left
    // as it is. The rung search it shares with the translator writes its lines to the trace, as
    // a translation does.
    const translator::NodeAnalysisResult result =
        translator::AnalyseNodesAndSegments(m_document, {.tracePath = kTraceFile});
    // The window stays open while the user edits on, so on its first showing it goes to the
    // grid's top-right corner, beside the rungs rather than over them.
    if (!m_form5->property("placed").toBool()) {
        m_form5->setProperty("placed", true);
        const QPoint corner = m_grid->mapToGlobal(QPoint(m_grid->width(), 0));
        m_form5->move(corner.x() - m_form5->frameGeometry().width() - 24, corner.y() + 8);
    }
    m_form5->showAnalysis(QString::fromStdString(translator::joinLines(result.firstView)),
                          QString::fromStdString(translator::joinLines(result.secondView)));
}
