// One RUN tick of the simulator panel with a program of the largest size: inputs from the
// panel, the scan, the outputs and the watch table on %R as INT, with values that change.
#include "bench/bench_programs.h"

#include "plc/program.h"
#include "ui/simulator_panel.h"
#include "ui/user_prompts.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <vector>

namespace {

// Answers nothing: the benchmark opens the panel without a modal run.
class SilentPrompts final : public UserPrompts {
public:
    QMessageBox::StandardButton ask(const QString&, const QString&,
                                    QMessageBox::StandardButtons) override {
        return QMessageBox::No;
    }
    void tell(QMessageBox::Icon, const QString&, const QString&) override {}
    QString chooseFile(QFileDialog&) override { return {}; }
    int runModal(QDialog&) override { return 0; }
    bool choosePrinter(QPrinter&, int) override { return false; }
};

}  // namespace

class PanelBench : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void runTick();
    void runTickAndRepaint();

private:
    SilentPrompts m_prompts;
    std::unique_ptr<SimulatorPanel> m_panel;
};

void PanelBench::initTestCase() {
    m_panel = std::make_unique<SimulatorPanel>(m_prompts);
    const std::vector<plc::ProgramWord> words = bench::fullSizeProgram();
    QVERIFY(words.size() <= plc::kMaxProgramWords);
    QVERIFY(m_panel->openSimulation(plc::Program(words, 0, 0)));
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    m_panel->timer().stop();  // ticks only from the benchmark
    m_panel->findChild<QRadioButton*>(QStringLiteral("RadioButton9"))->click();  // %R, INT
    m_panel->findChild<QPushButton*>(QStringLiteral("Button3"))->click();        // RUN
    for (const char* name : {"CheckBox1", "CheckBox3", "CheckBox6"}) {
        m_panel->findChild<QCheckBox*>(QString::fromLatin1(name))->setChecked(true);
    }
}

void PanelBench::cleanupTestCase() {
    m_panel->endSimulation();
    m_panel.reset();
}

void PanelBench::runTick() {
    // The counters in %R change at every tick: the watch table rewrites its cells each time.
    QBENCHMARK {
        m_panel->Timer1Timer();
    }
    QVERIFY(m_panel->controller().readInt(plc::kAreaR, 0) != 0);
    QVERIFY(m_panel->controller().wordsRun() + 64 > plc::kMaxProgramWords);
}

void PanelBench::runTickAndRepaint() {
    // The same, with the repaint of what the tick changed, as the event loop does after it.
    QBENCHMARK {
        m_panel->Timer1Timer();
        QCoreApplication::processEvents();
    }
}

QTEST_MAIN(PanelBench)
#include "panel_bench.moc"
