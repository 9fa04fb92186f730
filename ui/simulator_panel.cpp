// ui/simulator_panel.cpp — the simulator panel's controls and the start and end of a simulation.
// (The scan cycle's transfers and displays, the watch table and the analogue boxes at work are
// in simulator_panel_cycle.cpp.)
#include "ui/simulator_panel.h"

#include "ui/app_text.h"
#include "ui/modbus_server_controls.h"
#include "ui/user_prompts.h"
#include "ui/watch_forcing.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace {

constexpr int kClientWidth = 669;
constexpr int kClientHeight = 405;
// Below the panel proper, the row of the Modbus TCP server.
constexpr int kModbusRowHeight = 30;
constexpr int kGridColumnWidth = 65;
constexpr int kGridRowHeight = 18;
constexpr int kBarLeft = 70;
constexpr int kBarWidth = 198;

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QSlider* makeTrackBar(QWidget* parent, int number, int y) {
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(QStringLiteral("TrackBar%1").arg(number));
    bar->setRange(SimulatorPanel::kAnalogMin, SimulatorPanel::kAnalogMax);
    bar->setTickInterval(235);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setPageStep(235);
    bar->setGeometry(kBarLeft, y, kBarWidth, 26);
    return bar;
}

QLineEdit* makeEdit(QWidget* parent, const QString& name, int x, int y, int width) {
    auto* edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(name);
    edit->setGeometry(x, y, width, 22);
    return edit;
}

}  // namespace

SimulatorPanel::SimulatorPanel(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_prompts(prompts),
      m_plc(m_clock),
      m_cycle(m_plc, m_clock) {
    m_clock.target = &m_steadyClock;
    setObjectName(QStringLiteral("TForm8"));
    setWindowTitle(ui::appTitle());
    setFixedSize(kClientWidth, kClientHeight + kModbusRowHeight);
    setModal(true);

    buildInputsAndOutputs();
    buildAnalogues();
    buildModeAndWatch();
    m_modbus = new ModbusServerControls(
        *this, kClientHeight + 2, m_plc, [this] { return panelInputs(); },
        [this](const iolink::PanelInputs& inputs) { showPanelInputs(inputs); });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(static_cast<int>(plc::kTickMs));
    connect(m_timer, &QTimer::timeout, this, &SimulatorPanel::Timer1Timer);

    m_cycle.setPanel(this);
    m_cycle.setView(this);
    m_watch.selectKind(plc::AreaKind::I);
}

SimulatorPanel::~SimulatorPanel() {
    m_timer->stop();
    m_modbus->simulationEnded();  // no request may be served once the controller is gone
    m_cycle.setView(nullptr);
    m_cycle.setPanel(nullptr);
    m_cycle.setDde(nullptr);
}

void SimulatorPanel::buildInputsAndOutputs() {
    // Four groups of eight, left to right: %I0001-8, %I0009-16, %Q0001-8, %Q0009-16.
    struct Group {
        const char* name;
        const char* caption;
        int firstBox;
        char area;
        int firstReference;
        std::array<QCheckBox*, 16>* boxes;
    };
    const Group groups[] = {
        {"GroupBox1", "Wejścia", 1, 'I', 1, &m_inputs},
        {"GroupBox5", "Wejścia", 17, 'I', 9, &m_inputs},
        {"GroupBox2", "Wyjścia", 9, 'Q', 1, &m_outputs},
        {"GroupBox6", "Wyjścia", 25, 'Q', 9, &m_outputs},
    };
    int x = 8;
    for (const Group& group : groups) {
        auto* box = new QGroupBox(QString::fromUtf8(group.caption), this);
        box->setObjectName(QString::fromLatin1(group.name));
        box->setGeometry(x, 6, 84, 208);
        for (int i = 0; i < 8; ++i) {
            const int reference = group.firstReference + i;
            auto* check = new QCheckBox(QStringLiteral("%%1%2")
                                            .arg(QLatin1Char(group.area))
                                            .arg(reference, 4, 10, QLatin1Char('0')),
                                        box);
            check->setObjectName(QStringLiteral("CheckBox%1").arg(group.firstBox + i));
            check->setGeometry(10, 22 + i * 23, 70, 20);
            (*group.boxes)[static_cast<std::size_t>(reference - 1)] = check;
            if (group.area == 'Q') {
                // Outputs are the controller's to set; the user only reads them.
                check->setAttribute(Qt::WA_TransparentForMouseEvents);
                check->setFocusPolicy(Qt::NoFocus);
            }
        }
        x += 88;
    }
}

void SimulatorPanel::buildAnalogues() {
    int label = 1;
    const auto nextLabelName = [&label] {
        while (label == 8 || label == 9 || label == 16 || label == 17) {
            ++label;
        }
        return QStringLiteral("Label%1").arg(label++);
    };
    const auto scale = [&](int y) {
        makeLabel(this, nextLabelName(), QStringLiteral("-32768"), kBarLeft, y);
        QLabel* zero = makeLabel(this, nextLabelName(), QStringLiteral("0"), 0, y);
        zero->move(kBarLeft + kBarWidth / 2 - zero->width() / 2, y);
        QLabel* top = makeLabel(this, nextLabelName(), QStringLiteral("32767"), 0, y);
        top->move(kBarLeft + kBarWidth - top->width(), y);
    };

    scale(220);
    for (int i = 0; i < 2; ++i) {
        const int y = 236 + i * 30;
        makeLabel(this, nextLabelName(), QStringLiteral("%AI000%1").arg(i + 1), 8, y + 5);
        QSlider* bar = makeTrackBar(this, i + 1, y);
        QLineEdit* edit = makeEdit(this, QStringLiteral("Edit%1").arg(i + 1), 272, y + 2, 62);
        // Spin buttons beside the edit box, as an up-down control bound to it.
        auto* upDown = new QWidget(this);
        upDown->setObjectName(QStringLiteral("UpDown%1").arg(i + 1));
        upDown->setGeometry(334, y + 2, 18, 22);
        auto* up = new QToolButton(upDown);
        up->setObjectName(QStringLiteral("UpButton"));
        up->setArrowType(Qt::UpArrow);
        up->setGeometry(0, 0, 18, 11);
        up->setAutoRepeat(true);
        auto* down = new QToolButton(upDown);
        down->setObjectName(QStringLiteral("DownButton"));
        down->setArrowType(Qt::DownArrow);
        down->setGeometry(0, 11, 18, 11);
        down->setAutoRepeat(true);
        for (QToolButton* button : {up, down}) {
            button->setFocusPolicy(Qt::NoFocus);
        }
        m_trackBars[static_cast<std::size_t>(i)] = bar;
        m_analogEdits[static_cast<std::size_t>(i)] = edit;
        connect(bar, &QSlider::valueChanged, this, [edit](int value) {
            // TrackBar1Change: the box shows the position (left alone when it already does, so
            // that typing keeps its cursor).
            const QString text = QString::number(value);
            if (edit->text() != text) {
                edit->setText(text);
            }
        });
        // What the user types goes to the controller on Enter or when the box is left, not
        // key by key: 15000 must not pass 1, 15, 150 and 1500 to a running program. Text the
        // panel itself writes (the arrows, the bar, the start of a run) goes at once.
        connect(edit, &QLineEdit::textChanged, this, [this, i, edit] {
            if (!edit->isModified()) {
                analogEntry(i, true);
            }
        });
        connect(edit, &QLineEdit::editingFinished, this, [this, i, edit] {
            edit->setModified(false);
            analogEntry(i, false);
        });
        connect(up, &QToolButton::clicked, this, [this, i] { analogStep(i, 1); });
        connect(down, &QToolButton::clicked, this, [this, i] { analogStep(i, -1); });
    }

    scale(302);
    for (int i = 0; i < 2; ++i) {
        const int y = 318 + i * 30;
        makeLabel(this, nextLabelName(), QStringLiteral("%AQ000%1").arg(i + 1), 8, y + 5);
        QSlider* bar = makeTrackBar(this, i + 3, y);
        bar->setEnabled(false);
        QLineEdit* edit = makeEdit(this, QStringLiteral("Edit%1").arg(i + 3), 272, y + 2, 80);
        edit->setEnabled(false);
        m_trackBars[static_cast<std::size_t>(i + 2)] = bar;
        m_analogEdits[static_cast<std::size_t>(i + 2)] = edit;
    }
}

void SimulatorPanel::buildModeAndWatch() {
    m_modeCaption =
        makeLabel(this, QStringLiteral("Label8"), QStringLiteral("Tryb STOP NO I/O"), 364, 6);
    QFont big = m_modeCaption->font();
    big.setPointSize(16);
    big.setBold(true);
    m_modeCaption->setFont(big);
    m_modeCaption->setFixedSize(297, 30);

    m_cycleLabel = makeLabel(this, QStringLiteral("Label9"),
                             QStringLiteral("Czas wykonania cyklu: "), 364, 40);
    m_cycleLabel->setFixedWidth(297);

    m_modeButton = new QPushButton(QStringLiteral("RUN"), this);
    m_modeButton->setObjectName(QStringLiteral("Button3"));
    m_modeButton->setGeometry(364, 62, 110, 28);
    m_cycleButton = new QPushButton(QStringLiteral("Jeden cykl"), this);
    m_cycleButton->setObjectName(QStringLiteral("Button4"));
    m_cycleButton->setGeometry(478, 62, 90, 28);
    m_cycleButton->setEnabled(false);
    m_endButton = new QPushButton(QStringLiteral("Koniec"), this);
    m_endButton->setObjectName(QStringLiteral("Button2"));
    m_endButton->setGeometry(572, 62, 89, 28);
    for (QPushButton* button : {m_modeButton, m_cycleButton, m_endButton}) {
        button->setAutoDefault(false);
    }
    connect(m_modeButton, &QPushButton::clicked, this, &SimulatorPanel::Button3Click);
    connect(m_cycleButton, &QPushButton::clicked, this, &SimulatorPanel::Button4Click);
    connect(m_endButton, &QPushButton::clicked, this, &SimulatorPanel::Button2Click);

    // The link's item names may change while it runs, and the modal panel is the only window
    // the user can reach then.
    m_linkButton = new QPushButton(QString::fromUtf8("Łącze..."), this);
    m_linkButton->setObjectName(QStringLiteral("Button5"));
    m_linkButton->setGeometry(364, 366, 110, 28);
    m_linkButton->setAutoDefault(false);
    m_linkButton->hide();
    connect(m_linkButton, &QPushButton::clicked, this, &SimulatorPanel::Button5Click);

    auto* kinds = new QGroupBox(QStringLiteral("Rodzaj zmiennej"), this);
    kinds->setObjectName(QStringLiteral("GroupBox3"));
    kinds->setGeometry(364, 98, 158, 110);
    constexpr std::array<const char*, 9> kKindCaptions = {"%I", "%Q",  "%M",  "%S", "%G",
                                                          "%T", "%AI", "%AQ", "%R"};
    for (std::size_t i = 0; i < kKindCaptions.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(kKindCaptions[i]), kinds);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        radio->setGeometry(6 + static_cast<int>(i % 3) * 50, 24 + static_cast<int>(i / 3) * 28, 50,
                           22);
        m_kindButtons[i] = radio;
        const int index = static_cast<int>(i);
        connect(radio, &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked) {
                selectKind(index);
            }
        });
    }

    auto* types = new QGroupBox(QStringLiteral("Typy danych"), this);
    types->setObjectName(QStringLiteral("GroupBox4"));
    types->setGeometry(364, 212, 158, 96);
    constexpr std::array<const char*, 6> kTypeCaptions = {"BIT", "BYTE", "WORD",
                                                          "INT", "DINT", "BCD4"};
    for (std::size_t i = 0; i < kTypeCaptions.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(kTypeCaptions[i]), types);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(i + 10));
        radio->setGeometry(10 + static_cast<int>(i % 2) * 70, 22 + static_cast<int>(i / 2) * 24, 66,
                           22);
        m_typeButtons[i] = radio;
        const int type = static_cast<int>(i) + 1;
        connect(radio, &QRadioButton::toggled, this, [this, type](bool checked) {
            if (checked) {
                selectType(type);
            }
        });
    }

    makeLabel(this, QStringLiteral("Label16"), QStringLiteral("Adres startowy"), 364, 316);
    m_startEdit = new QLineEdit(QStringLiteral("1"), this);
    m_startEdit->setObjectName(QStringLiteral("Edit5"));
    m_startEdit->setGeometry(364, 334, 70, 22);
    m_startEdit->installEventFilter(this);
    connect(m_startEdit, &QLineEdit::returnPressed, this, &SimulatorPanel::takeStartAddress);
    m_maxLabel = makeLabel(this, QStringLiteral("Label17"), QStringLiteral("max: 512"), 442, 338);
    m_maxLabel->setFixedWidth(76);

    m_grid = new QTableWidget(plc::kWatchRows, 2, this);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    m_grid->verticalHeader()->setMinimumSectionSize(kGridRowHeight);
    for (int col = 0; col < 2; ++col) {
        m_grid->setColumnWidth(col, kGridColumnWidth);
    }
    for (int row = 0; row < plc::kWatchRows; ++row) {
        for (int col = 0; col < 2; ++col) {
            auto* item = new QTableWidgetItem();
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(row, col, item);
        }
    }
    const int frame = 2 * m_grid->frameWidth();
    m_grid->setGeometry(528, 98, 2 * kGridColumnWidth + frame,
                        plc::kWatchRows * kGridRowHeight + frame);

    m_forcing = new WatchForcing(*this, *m_grid, m_watch, m_plc, m_cycle, m_prompts, m_inputs,
                                 m_outputs, [this] { refreshWatch(m_plc); });

    m_kindButtons[0]->setChecked(true);
    m_typeButtons[0]->setChecked(true);
    showReferences();
}

// ---------------------------------------------------------------------------------------------
// Start and end

bool SimulatorPanel::startSimulator(plc::Program program) {
    if (!openSimulation(std::move(program))) {
        return false;
    }
    m_prompts.runModal(*this);
    // However the modal run ended, the simulation ends with it.
    endSimulation();
    return true;
}

bool SimulatorPanel::startSimulatorDde(plc::Program program, plc::IoTransfer& link,
                                       std::function<void()> closeLink) {
    if (!openSimulation(std::move(program), &link, std::move(closeLink))) {
        return false;
    }
    m_prompts.runModal(*this);
    endSimulation();
    return true;
}

bool SimulatorPanel::openSimulation(plc::Program program, plc::IoTransfer* link,
                                    std::function<void()> closeLink) {
    m_plc.setProgram(std::move(program));
    m_cycle.setDde(link);
    const bool started = link ? m_cycle.startSimulatorDde() : m_cycle.startSimulator();
    if (!started) {
        m_plc.release();
        m_cycle.setDde(nullptr);
        m_prompts.tell(QMessageBox::Critical, ui::appTitle(),
                       QString::fromUtf8("Za mało pamięci do uruchomienia programu"));
        return false;
    }
    m_closeLink = std::move(closeLink);
    m_faultPending = false;

    // The watch table starts on %I as BIT.
    m_typeButtons[0]->setEnabled(true);
    m_typeButtons[0]->setChecked(true);
    selectType(static_cast<int>(plc::DataType::Bit));
    if (m_kindButtons[0]->isChecked()) {
        selectKind(0);
    } else {
        m_kindButtons[0]->setChecked(true);
    }

    // The panel opens with its inputs at rest and the outputs blank.
    for (QCheckBox* box : m_inputs) {
        box->setChecked(false);
    }
    for (std::size_t i = 0; i < 2; ++i) {
        m_trackBars[i]->setValue(0);
        m_analogEdits[i]->setText(QStringLiteral("0"));
    }
    m_shownOutputs.reset();
    m_shownAnalogOutputs = {};
    clearOutputs();
    m_timer->setInterval(static_cast<int>(m_cycle.tickInterval()));
    m_modeButton->setFocus();
    m_linkButton->setVisible(link != nullptr && m_openLinkItems);
    m_modbus->simulationStarted();
    return true;
}

void SimulatorPanel::endSimulation() {
    if (m_ending || m_cycle.mode() == plc::Mode::Closed) {
        return;
    }
    m_ending = true;
    m_timer->stop();
    if (m_cycle.ddeFlag() && m_closeLink) {
        m_closeLink();
    }
    m_closeLink = nullptr;
    m_modbus->simulationEnded();
    m_linkButton->hide();
    m_cycle.endSimulation();
    m_cycle.setDde(nullptr);
    m_timer->setInterval(static_cast<int>(plc::kTickMs));
    done(1);
    m_ending = false;
}

void SimulatorPanel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_cycle.mode() != plc::Mode::Closed) {
        m_timer->start();
    }
}

void SimulatorPanel::closeEvent(QCloseEvent* event) {
    endSimulation();
    event->accept();
}

void SimulatorPanel::reject() {
    // Escape closes the panel like its title bar does.
    if (m_cycle.mode() != plc::Mode::Closed) {
        endSimulation();
        return;
    }
    QDialog::reject();
}

void SimulatorPanel::Button2Click() {
    endSimulation();
}

void SimulatorPanel::Button5Click() {
    if (m_openLinkItems && m_cycle.mode() != plc::Mode::Closed) {
        m_openLinkItems();
    }
}
