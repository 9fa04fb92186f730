// The test subcommand.
#include "app/cli/scenario_runner.h"

#include "plant/plant_catalogue.h"

#include "app/cli/cli_runner.h"
#include "app/cli/junit_report.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>

namespace cli {

namespace {

// Far beyond any scenario written by hand or by a script.
constexpr std::size_t kMaxScenarioBytes = 1024 * 1024;

std::string located(const std::string& file, int line, const std::string& text) {
    return line > 0 ? file + ':' + std::to_string(line) + ": " + text : file + ": " + text;
}

// The first line of what a loader wrote, without its line end.
std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

}  // namespace

std::vector<ScenarioFailure> playScenario(const Scenario& scenario, const plc::Program& program,
                                          std::string& problem, PlantFaults* plantFaults) {
    RunOptions options;
    options.scans = scenario.lastTick + 1;
    options.tickMs = scenario.tickMs;
    options.settings = scenario.settings;
    options.stopTick = scenario.stopTick;
    options.plant = scenario.plant;
    const std::unique_ptr<plant::Plant> machine =
        scenario.plant.empty() ? nullptr : plant::makePlant(scenario.plant);
    PlantFaults faults;
    // The faults since the last call, listed with the tick that brought them.
    const auto collectFaults = [&](std::uint64_t tick) {
        if (machine == nullptr || machine->faultCount() == faults.count) {
            return;
        }
        for (const plant::Fault& fault : machine->faultsSince(faults.count)) {
            if (faults.lines.size() == kReportedPlantFaults) {
                break;
            }
            faults.lines.push_back("! " + std::to_string(tick) +
                                   " t=" + std::to_string(fault.timeMs) + ' ' + scenario.plant +
                                   ": " + std::string(fault.text));
        }
        faults.count = machine->faultCount();
    };

    // Checked tick by tick, and within a tick in the order of the file.
    std::vector<const Expectation*> pending;
    for (const Expectation& expectation : scenario.expectations) {
        pending.push_back(&expectation);
    }
    std::stable_sort(pending.begin(), pending.end(),
                     [](const Expectation* a, const Expectation* b) { return a->tick < b->tick; });

    std::vector<ScenarioFailure> failures;
    std::size_t next = 0;
    std::uint64_t ticksDone = 0;
    const auto check = [&](std::uint64_t tick, const plc::Plc& plc) {
        ticksDone = tick + 1;
        collectFaults(tick);
        for (; next < pending.size() && pending[next]->tick == tick; ++next) {
            const Expectation& expectation = *pending[next];
            const Watch& operand = expectation.operand;
            std::optional<std::int64_t> value;
            if (operand.quantity.empty()) {
                value = plc.readValue(operand.kind, operand.byteOffset, operand.bit, operand.type);
            } else if (machine != nullptr) {
                value = machine->quantity(operand.quantityIndex);
            }
            if (value && comparisonHolds(expectation.comparison, *value, expectation.value)) {
                continue;
            }
            failures.push_back({expectation.line, FailureKind::Expectation,
                                "at " + std::to_string(tick) + " expected " +
                                    expectation.operandText + ' ' +
                                    std::string(comparisonText(expectation.comparison)) + ' ' +
                                    std::to_string(expectation.value) + ", got " +
                                    (value ? std::to_string(*value) : std::string("?"))});
        }
    };
    // The tick lines of run are not wanted here: they go nowhere.
    std::ostream discard(nullptr);
    std::ostringstream complaints;
    const int status =
        runSimulation(program, options, discard, complaints, nullptr, check, machine.get());
    collectFaults(ticksDone);
    if (plantFaults != nullptr) {
        *plantFaults = std::move(faults);
    }
    if (status == kExitWatchdog) {
        failures.push_back({scenario.programLine, FailureKind::Watchdog,
                            "at " + std::to_string(ticksDone) + " WATCHDOG"});
    } else if (status != kExitOk) {
        problem = firstLine(complaints.str());
    }
    return failures;
}

ScenarioOutcome runScenarioFile(const std::string& file) {
    ScenarioOutcome outcome;
    outcome.file = file;
    std::string text;
    if (!readBytes(file, kMaxScenarioBytes, text)) {
        outcome.error = located(file, 0, "nie można odczytać pliku scenariusza");
        return outcome;
    }
    if (text.size() > kMaxScenarioBytes) {
        outcome.error = located(file, 0, "plik scenariusza dłuższy niż 1 MiB");
        return outcome;
    }
    ScenarioProblem problem;
    const std::optional<Scenario> scenario = parseScenario(text, problem);
    if (!scenario) {
        outcome.error = located(file, problem.line, problem.text);
        return outcome;
    }
    outcome.expectations = static_cast<int>(scenario->expectations.size());

    // The program's name is relative to the scenario file, wherever the tool was started.
    const std::filesystem::path programPath =
        std::filesystem::path(file).parent_path() / scenario->program;
    plc::Program program;
    std::ostringstream report;
    std::ostringstream complaints;
    const int status = loadRunProgram(programPath.string(), program, report, complaints);
    if (status == kExitTranslationError) {
        outcome.failures.push_back(
            {scenario->programLine, FailureKind::Translation, firstLine(report.str())});
        return outcome;
    }
    if (status != kExitOk) {
        outcome.error = located(file, scenario->programLine, firstLine(complaints.str()));
        return outcome;
    }
    if (!scenario->plant.empty() && !isLadderFile(programPath.string())) {
        outcome.error =
            located(file, scenario->plantLine,
                    "plant wymaga programu w postaci drabinkowej (.jar): " + scenario->program);
        return outcome;
    }
    std::string refusal;
    outcome.failures = playScenario(*scenario, program, refusal, &outcome.plantFaults);
    if (!refusal.empty()) {
        outcome.error = located(file, scenario->programLine, refusal);
    }
    return outcome;
}

int testCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                std::string_view usage) {
    std::vector<std::string> files;
    std::optional<std::string> junit;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--junit" && i + 1 < args.size()) {
            junit = args[++i];
        } else if (arg.rfind("--junit=", 0) == 0 && arg.size() > 8) {
            junit = arg.substr(8);
        } else if (arg == "--junit" || arg == "--junit=") {
            err << "wirtualon-cli test: brak nazwy pliku po --junit\n" << usage;
            return kExitBadInput;
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "wirtualon-cli test: nieznana opcja: " << arg << '\n' << usage;
            return kExitBadInput;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        err << "wirtualon-cli test: brak pliku scenariusza\n" << usage;
        return kExitBadInput;
    }

    std::vector<ScenarioOutcome> outcomes;
    int expectations = 0;
    int failed = 0;
    bool unreadable = false;
    for (const std::string& file : files) {
        const auto start = std::chrono::steady_clock::now();
        ScenarioOutcome outcome = runScenarioFile(file);
        outcome.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (outcome.error) {
            err << *outcome.error << '\n';
            unreadable = true;
        }
        for (const ScenarioFailure& failure : outcome.failures) {
            out << located(file, failure.line, failure.text) << '\n';
        }
        expectations += outcome.expectations;
        failed += static_cast<int>(outcome.failures.size());
        outcomes.push_back(std::move(outcome));
    }
    out << files.size() << " scenarios, " << expectations << " expectations, " << failed
        << " failed\n";

    if (junit) {
        std::ofstream report(*junit, std::ios::binary | std::ios::trunc);
        if (report) {
            writeJunitReport(report, outcomes);
            report.close();
        }
        if (!report) {
            err << "Nie można zapisać raportu " << *junit << '\n';
            return kExitBadInput;
        }
    }
    if (unreadable) {
        return kExitBadInput;
    }
    return failed > 0 ? kExitScenarioFailed : kExitOk;
}

}  // namespace cli
