// The run subcommand.
#include "app/cli/run_command.h"

#include "plant/plant_catalogue.h"
#include "plant/plant_link.h"

#include "app/cli/cli_runner.h"
#include "app/cli/live_run.h"
#include "app/cli/power_lines.h"
#include "operands/memory_area.h"
#include "operands/operand_syntax.h"
#include "plc/clock.h"
#include "plc/link_exchange.h"
#include "plc/scan_cycle.h"
#include "plc/steady_clock.h"

#include <array>
#include <charconv>
#include <memory>
#include <ostream>

namespace cli {

namespace {

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] >= '0' && text[1] <= '9') {
        text.remove_prefix(1);  // from_chars takes no plus sign
    }
    Number value{};
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || next != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

struct Address {
    std::string name;  // normal form
    std::string area;  // area name, e.g. "AI"
    long number = 0;
};

// Any form the operand entry accepts: %i1, % I 1, 1i ...
std::optional<Address> parseAddress(std::string_view text) {
    std::string normal = operands::ParsePrefixedAddress(text);
    if (normal.empty()) {
        normal = operands::ParseSuffixedAddress(text);
    }
    if (normal.empty()) {
        return std::nullopt;
    }
    Address address;
    address.name = normal;
    std::size_t pos = 1;
    while (pos < normal.size() && (normal[pos] < '0' || normal[pos] > '9')) {
        ++pos;
    }
    address.area = normal.substr(1, pos - 1);
    address.number = std::stol(normal.substr(pos));
    return address;
}

std::optional<plc::AreaKind> kindOfArea(std::string_view area) {
    const operands::MemoryArea* known = operands::findArea(area);
    return known == nullptr ? std::nullopt : plc::areaKindOf(known->code);
}

std::string lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

std::optional<plc::DataType> parseType(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return operands::dataTypeNamed(upper);
}

// The panel the run reads its inputs from; outputs are read from memory after each tick.
class Panel : public plc::IoTransfer {
public:
    void readInputs(plc::Plc& plc) override {
        plc.setInputWord(m_inputs.discrete);
        plc.setAnalogInputs(m_inputs.analog[0], m_inputs.analog[1]);
    }
    void writeOutputs(const plc::Plc&) override {}

    void apply(const InputSetting& setting) {
        if (setting.analog) {
            m_inputs.analog[static_cast<std::size_t>(setting.index)] =
                static_cast<std::int16_t>(setting.value);
            return;
        }
        const auto bit = static_cast<std::uint16_t>(1u << setting.index);
        m_inputs.discrete = static_cast<std::uint16_t>(
            setting.value != 0 ? (m_inputs.discrete | bit) : (m_inputs.discrete & ~bit));
    }

    /// The input boxes and track bars, as a Modbus client presses and moves them.
    iolink::PanelInputs& inputs() { return m_inputs; }

private:
    iolink::PanelInputs m_inputs;
};

// The broker's address as typed, with what stands before its last '@' (user and password)
// hidden: a message never shows a password.
std::string withoutCredentials(const std::string& service) {
    const std::size_t at = service.rfind('@');
    return at == std::string::npos ? service : "***" + service.substr(at);
}

// Writes a --set value into the memory area only, as a Modbus client's write goes: what a
// stop restores from the retentive copies is what the program made retentive.
void writeSetting(plc::Plc& plc, const InputSetting& setting) {
    const plc::ProgramWord area = plc::areaCodeOf(setting.kind);
    if (plc::isWordArea(setting.kind)) {
        plc.writeWord(area, setting.byteOffset, static_cast<std::uint16_t>(setting.value));
    } else {
        plc.writeBit(area, setting.byteOffset, setting.bit, setting.value);
    }
}

}  // namespace

std::optional<InputSetting> parseInputSetting(std::string_view text, std::string& problem,
                                              std::string_view option) {
    const std::size_t colon = text.find(':');
    const std::size_t equals = text.find('=', colon == std::string_view::npos ? 0 : colon);
    if (colon == std::string_view::npos || equals == std::string_view::npos) {
        problem = "--set wymaga postaci T:OPERAND=WARTOŚĆ: " + std::string(text);
        return std::nullopt;
    }
    InputSetting setting;
    const auto tick = parseNumber<std::uint64_t>(text.substr(0, colon));
    if (!tick) {
        problem = "nieprawidłowy numer cyklu w --set: " + std::string(text);
        return std::nullopt;
    }
    setting.tick = *tick;
    const std::string_view operand = text.substr(colon + 1, equals - colon - 1);
    const std::optional<Address> address = parseAddress(operand);
    const std::optional<operands::AreaReference> reference =
        address ? operands::readAddress(address->name) : std::nullopt;
    const std::optional<plc::AreaKind> kind =
        reference ? plc::areaKindOf(reference->area->code) : std::nullopt;
    if (!kind) {
        problem =
            "nieznany operand w " + std::string(option) +
            " (%I, %Q, %M, %T, %G, %S, %AI, %AQ, %R w ich zakresach): " + std::string(operand);
        return std::nullopt;
    }
    const bool wordArea = plc::isWordArea(*kind);
    const int n = reference->number;
    setting.kind = *kind;
    setting.byteOffset = wordArea ? 2 * (n - 1) : (n - 1) / 8;
    setting.bit = wordArea ? 0 : (n - 1) % 8;
    // The system rewrites the first byte of %S before every scan: a value there would not last.
    if (*kind == plc::AreaKind::S && setting.byteOffset == 0) {
        problem = "bity %S0001..%S0008 ustawia system przed każdym cyklem: " + address->name;
        return std::nullopt;
    }
    const bool digital = *kind == plc::AreaKind::I && n <= 16;
    const bool analog = *kind == plc::AreaKind::AI && n <= 2;
    setting.panelInput = digital || analog;
    setting.analog = analog;
    setting.index = n - 1;

    const std::string_view valueText = text.substr(equals + 1);
    std::string_view digits = valueText;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        problem = "wartość dla " + address->name + " nie jest liczbą: " + std::string(valueText);
        return std::nullopt;
    }
    const auto value = parseNumber<int>(valueText);
    const int low = wordArea ? -32768 : 0;
    const int high = !wordArea ? 1 : analog ? 32767 : 65535;
    if (!value || *value < low || *value > high) {
        problem = "wartość poza zakresem " + std::to_string(low) + ".." + std::to_string(high) +
                  " dla " + address->name + ": " + std::string(valueText);
        return std::nullopt;
    }
    setting.value = *value;
    return setting;
}

std::optional<Watch> parseWatch(std::string_view text, std::string& problem,
                                std::string_view option) {
    constexpr std::string_view kPlantPrefix = "plant:";
    if (lowered(text.substr(0, kPlantPrefix.size())) == kPlantPrefix) {
        Watch watch;
        watch.quantity = std::string(text.substr(kPlantPrefix.size()));
        watch.name = std::string(kPlantPrefix) + watch.quantity;
        if (watch.quantity.empty()) {
            problem =
                "brak nazwy wielkości obiektu w " + std::string(option) + ": " + std::string(text);
            return std::nullopt;
        }
        return watch;
    }
    const std::size_t colon = text.rfind(':');
    const std::string_view operand = text.substr(0, colon);
    const std::optional<Address> address = parseAddress(operand);
    const std::optional<plc::AreaKind> kind =
        address ? kindOfArea(address->area) : std::optional<plc::AreaKind>();
    if (!kind) {
        problem = "nieznany operand w " + std::string(option) + ": " + std::string(operand);
        return std::nullopt;
    }
    Watch watch;
    watch.name = address->name;
    watch.kind = *kind;
    const bool wordArea = plc::isWordArea(*kind);
    watch.type = wordArea ? plc::DataType::Int : plc::DataType::Bit;
    if (colon != std::string_view::npos) {
        const std::optional<plc::DataType> type = parseType(text.substr(colon + 1));
        if (!type) {
            problem = "nieznany typ w " + std::string(option) +
                      " (BIT, BYTE, WORD, INT, DINT, BCD4): " + std::string(text.substr(colon + 1));
            return std::nullopt;
        }
        watch.type = *type;
    }
    const long n = address->number;
    const long offset = wordArea ? 2 * (n - 1) : (n - 1) / 8;
    if (n < 1 || offset < 0 ||
        static_cast<std::size_t>(offset) + operands::dataTypeBytes(watch.type) >
            plc::areaSize(*kind)) {
        problem = "operand poza obszarem pamięci: " + address->name;
        return std::nullopt;
    }
    watch.byteOffset = static_cast<int>(offset);
    watch.bit = wordArea ? 0 : static_cast<int>((n - 1) % 8);
    return watch;
}

bool checkPlantName(std::string_view name, std::string& problem, std::string_view option) {
    if (plant::findPlant(name) != nullptr) {
        return true;
    }
    problem = "nieznany obiekt w " + std::string(option) + ": " + std::string(name) +
              " (znane: " + plant::plantNames() + ")";
    return false;
}

bool checkPlantWatch(Watch& watch, std::string_view plant, std::string& problem,
                     std::string_view plantOption) {
    if (watch.quantity.empty()) {
        return true;
    }
    if (plant.empty()) {
        problem = watch.name + " wymaga obiektu (" + std::string(plantOption) + " NAZWA)";
        return false;
    }
    const std::unique_ptr<plant::Plant> machine = plant::makePlant(plant);
    const std::optional<std::size_t> index = machine->quantityIndex(watch.quantity);
    if (!index) {
        problem = "obiekt " + std::string(plant) + " nie ma wielkości " + watch.quantity +
                  " (ma: " + plant::quantityList(*machine) + ")";
        return false;
    }
    watch.quantityIndex = *index;
    return true;
}

bool checkPlantSetting(const InputSetting& setting, std::string_view plant, std::string& problem,
                       std::string_view option) {
    if (plant.empty() || !setting.panelInput) {
        return true;
    }
    const std::unique_ptr<plant::Plant> machine = plant::makePlant(plant);
    for (const plant::Terminal& terminal : machine->terminals()) {
        if (terminal.role == plant::TerminalRole::Sensor && terminal.analog == setting.analog &&
            terminal.index == setting.index) {
            problem = plant::terminalOperand(terminal) + " ustawia obiekt " + std::string(plant) +
                      " (" + std::string(terminal.name) + "): " + std::string(option) +
                      " nic by nie zmienił" +
                      (option == "--set" ? ", przytrzyma je tylko --force" : "");
            return false;
        }
    }
    return true;
}

std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args,
                                          std::string& problem) {
    RunOptions options;
    bool haveProgram = false;
    bool topicGiven = false;
    bool idleGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasValue = false;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue) {
                return true;
            }
            if (i + 1 >= args.size()) {
                problem = "brak wartości po " + arg;
                return false;
            }
            value = args[++i];
            return true;
        };
        if (arg == "--scans" || arg == "--tick" || arg == "--stop") {
            if (!takeValue()) {
                return std::nullopt;
            }
            const auto number = parseNumber<std::uint64_t>(value);
            if (!number) {
                problem = "nieprawidłowa liczba po " + arg + ": " + value;
                return std::nullopt;
            }
            // A tick of 0 ms would spin a live run; the scenario reader takes the same range.
            if (arg == "--tick" && (*number < 1 || *number > kMaxTickMs)) {
                problem = "--tick wymaga długości cyklu 1.." + std::to_string(kMaxTickMs) +
                          " ms: " + value;
                return std::nullopt;
            }
            if (arg == "--scans") {
                options.scans = *number;
            } else if (arg == "--tick") {
                options.tickMs = static_cast<std::uint32_t>(*number);
            } else {
                options.stopTick = *number;
            }
        } else if (arg == "--set") {
            if (!takeValue()) {
                return std::nullopt;
            }
            const std::optional<InputSetting> setting = parseInputSetting(value, problem);
            if (!setting) {
                return std::nullopt;
            }
            options.settings.push_back(*setting);
        } else if (arg == "--link" || arg == "--topic") {
            if (!takeValue()) {
                return std::nullopt;
            }
            if (arg == "--link") {
                if (!plc::parseBrokerAddress(value)) {
                    problem =
                        "nieprawidłowy adres brokera w --link (HOST, HOST:PORT lub "
                        "UŻYTKOWNIK:HASŁO@HOST:PORT): " +
                        withoutCredentials(value);
                    return std::nullopt;
                }
                options.linkService = value;
            } else {
                if (!value.empty() && !plc::linkTopic(value, "x")) {
                    problem = "nieprawidłowy przedrostek tematu w --topic: " + value;
                    return std::nullopt;
                }
                options.linkTopic = value;
                topicGiven = true;
            }
        } else if (arg == "--modbus") {
            if (!takeValue()) {
                return std::nullopt;
            }
            options.modbus = iolink::parseModbusEndpoint(value);
            if (!options.modbus) {
                problem = "nieprawidłowy port w --modbus (PORT lub ADRES:PORT): " + value;
                return std::nullopt;
            }
        } else if (arg == "--modbus-idle") {
            if (!takeValue()) {
                return std::nullopt;
            }
            const auto seconds = parseNumber<std::uint32_t>(value);
            if (!seconds || *seconds < 1 || *seconds > kMaxModbusIdleSeconds) {
                problem = "--modbus-idle wymaga liczby sekund 1.." +
                          std::to_string(kMaxModbusIdleSeconds) + ": " + value;
                return std::nullopt;
            }
            options.modbusLimits.close = std::chrono::seconds(*seconds);
            idleGiven = true;
        } else if (arg == "--realtime" && !hasValue) {
            options.realtime = true;
        } else if (arg == "--power" && !hasValue) {
            options.power = true;
        } else if (arg == "--watch") {
            if (!takeValue()) {
                return std::nullopt;
            }
            const std::optional<Watch> watch = parseWatch(value, problem);
            if (!watch) {
                return std::nullopt;
            }
            options.watches.push_back(*watch);
        } else if (arg == "--plant") {
            if (!takeValue()) {
                return std::nullopt;
            }
            if (!options.plant.empty()) {
                problem = "podano więcej niż jeden obiekt (--plant): " + value;
                return std::nullopt;
            }
            if (!checkPlantName(value, problem)) {
                return std::nullopt;
            }
            options.plant = value;
        } else if (arg == "--force" || arg == "--release") {
            if (!takeValue()) {
                return std::nullopt;
            }
            const std::optional<ForceSetting> setting = arg == "--force"
                                                            ? parseForceSetting(value, problem)
                                                            : parseReleaseSetting(value, problem);
            if (!setting) {
                return std::nullopt;
            }
            options.forces.push_back(*setting);
        } else if (arg.rfind("-", 0) == 0 && arg.size() > 1) {
            problem = "nieznana opcja: " + args[i];
            return std::nullopt;
        } else if (haveProgram) {
            problem = "podano więcej niż jeden program: " + args[i];
            return std::nullopt;
        } else {
            options.program = args[i];
            haveProgram = true;
        }
    }
    if (!haveProgram) {
        problem = "brak nazwy programu";
        return std::nullopt;
    }
    for (Watch& watch : options.watches) {
        if (!checkPlantWatch(watch, options.plant, problem)) {
            return std::nullopt;
        }
    }
    for (const InputSetting& setting : options.settings) {
        if (!checkPlantSetting(setting, options.plant, problem)) {
            return std::nullopt;
        }
        // With a link the inputs are the link's: the input areas are left to it whole.
        const bool input = setting.kind == plc::AreaKind::I || setting.kind == plc::AreaKind::AI;
        if (options.linkService && input) {
            problem = "--set wejść %I i %AI nie działa razem z --link: wejścia przychodzą z łącza";
            return std::nullopt;
        }
        if (setting.tick >= options.scans) {
            problem = "--set w cyklu " + std::to_string(setting.tick) +
                      ", do którego przebieg nie dojdzie (--scans " +
                      std::to_string(options.scans) + ")";
            return std::nullopt;
        }
    }
    if (!checkForceCount(options.forces, problem)) {
        return std::nullopt;
    }
    if (topicGiven && !options.linkService) {
        problem = "--topic wymaga --link";
        return std::nullopt;
    }
    if (idleGiven && !options.modbus) {
        problem = "--modbus-idle wymaga --modbus";
        return std::nullopt;
    }
    return options;
}

int runSimulation(const plc::Program& program, const RunOptions& options, std::ostream& out,
                  std::ostream& err, PowerLines* power, const TickObserver& afterTick,
                  plant::Plant* plant) {
    // A live run keeps time by the machine's clock; otherwise time is simulated exactly.
    const bool live =
        options.realtime || options.linkService.has_value() || options.modbus.has_value();
    plc::FakeClock fakeClock;
    plc::SteadyClock realClock;
    plc::Clock& clock = live ? static_cast<plc::Clock&>(realClock) : fakeClock;
    plc::Plc plc(clock);
    plc.setMonitoring(power != nullptr);
    plc.setProgram(program);
    plc::ScanCycle cycle(plc, clock);
    Panel panel;
    cycle.setPanel(&panel);
    LiveLink link;
    if (options.linkService) {
        const plc::ConnectResult connected = link.connect(*options.linkService, options.linkTopic);
        if (connected != plc::ConnectResult::Connected) {
            const std::optional<plc::BrokerAddress> address =
                plc::parseBrokerAddress(*options.linkService);
            err << "Nie można połączyć się z brokerem MQTT "
                << (address ? plc::brokerAddressText(*address)
                            : withoutCredentials(*options.linkService))
                << ": " << plc::connectResultText(connected) << '\n';
            return kExitBadInput;
        }
        // The link takes the panel's place, the last scan of --stop included.
        cycle.setPanel(&link.exchange());
    }
    std::unique_ptr<plant::Plant> ownPlant;
    if (plant == nullptr && !options.plant.empty()) {
        ownPlant = plant::makePlant(options.plant);
        plant = ownPlant.get();
    }
    std::optional<plant::PlantLink> plantLink;
    if (plant != nullptr) {
        plantLink.emplace(*plant);
        cycle.setPlant(&*plantLink);
    }
    const std::string plantName = options.plant.empty() ? "obiekt" : options.plant;
    std::uint64_t faultsShown = plant != nullptr ? plant->faultCount() : 0;
    if (!cycle.startSimulator()) {
        err << "Za mało pamięci do uruchomienia programu\n";
        return kExitBadInput;
    }
    iolink::ModbusServer modbus;
    if (options.modbus) {
        const iolink::ModbusOpenResult opened = modbus.open(*options.modbus, options.modbusLimits);
        const std::string state = iolink::modbusStateText(opened, *options.modbus);
        if (opened != iolink::ModbusOpenResult::Listening) {
            err << "Nie można otworzyć serwera Modbus TCP na "
                << iolink::modbusEndpointText(*options.modbus) << ": " << state << '\n';
            return kExitBadInput;
        }
        err << "Serwer Modbus TCP: " << state << '\n';
    }
    // Requests are answered in the time between two ticks, never during one.
    const auto serveUntil = [&](std::uint32_t due) {
        const auto left = static_cast<std::int32_t>(due - clock.now());
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(left);
        modbus.serve(plc, panel.inputs());
        while (std::chrono::steady_clock::now() < until) {
            modbus.waitForRequests(until);
            modbus.serve(plc, panel.inputs());
        }
    };
    cycle.nextMode();  // STOP NO I/O -> RUN before the first tick

    TickPacer pacer(options.tickMs, clock);
    for (std::uint64_t k = 0; k < options.scans; ++k) {
        std::uint64_t time = k * options.tickMs;
        if (live) {
            time = modbus.isOpen() ? pacer.waitForTick(serveUntil) : pacer.waitForTick();
        } else {
            fakeClock.set(static_cast<std::uint32_t>(time));
        }
        for (const InputSetting& setting : options.settings) {
            if (setting.tick == k && setting.panelInput) {
                panel.apply(setting);
            } else if (setting.tick == k) {
                writeSetting(plc, setting);
            }
        }
        applyForceSettings(options.forces, k, cycle);
        if (options.stopTick && *options.stopTick == k && cycle.mode() == plc::Mode::Run) {
            cycle.nextMode();  // last scan and power-down, then STOP I/O SCAN
        } else {
            cycle.tick();
        }
        if (plant != nullptr && plant->faultCount() != faultsShown) {
            for (const plant::Fault& fault : plant->faultsSince(faultsShown)) {
                out << "! " << k << " t=" << fault.timeMs << ' ' << plantName << ": " << fault.text
                    << '\n';
            }
            faultsShown = plant->faultCount();
        }
        out << k << " t=" << time << " Q=" << plc.outputWord() << " AQ1=" << plc.analogOutput1()
            << " AQ2=" << plc.analogOutput2();
        for (const Watch& watch : options.watches) {
            if (!watch.quantity.empty()) {
                out << ' ' << watch.name << '=';
                if (plant != nullptr) {
                    out << plant->quantity(watch.quantityIndex);
                } else {
                    out << '?';
                }
                continue;
            }
            const std::optional<std::int32_t> value =
                plc.readValue(watch.kind, watch.byteOffset, watch.bit, watch.type);
            out << ' ' << watch.name << '=';
            if (value) {
                out << *value;
            } else {
                out << '?';
            }
        }
        if (cycle.watchdogFault()) {
            out << " WATCHDOG\n";
            return kExitWatchdog;
        }
        out << '\n';
        if (power != nullptr) {
            power->print(plc, out);
        }
        if (afterTick) {
            afterTick(k, plc);
        }
        if (live) {
            out.flush();  // a program reading the lines sees each tick as it happens
        }
    }
    return kExitOk;
}

}  // namespace cli
