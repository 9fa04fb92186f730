// The run subcommand's --force and --release.
#include "app/cli/force_options.h"

#include "app/cli/run_command.h"

#include <algorithm>
#include <charconv>

namespace cli {

namespace {

std::optional<std::uint64_t> parseTick(std::string_view text) {
    std::uint64_t tick = 0;
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), tick);
    if (text.empty() || error != std::errc() || next != text.data() + text.size()) {
        return std::nullopt;
    }
    return tick;
}

// "T:OPERAND" of both options; `option` names the option in the messages.
std::optional<ForceSetting> parseTickAndOperand(std::string_view text, std::string_view operand,
                                                std::string_view option, std::string& problem) {
    const std::size_t colon = text.find(':');
    ForceSetting setting;
    const std::optional<std::uint64_t> tick = parseTick(text.substr(0, colon));
    if (!tick) {
        problem = "nieprawidłowy numer cyklu w " + std::string(option) + ": " + std::string(text);
        return std::nullopt;
    }
    setting.tick = *tick;
    const std::optional<Watch> watch = parseWatch(operand, problem, option);
    if (!watch) {
        return std::nullopt;
    }
    setting.name = watch->name;
    setting.ref = {watch->kind, watch->byteOffset, watch->bit, watch->type};
    return setting;
}

std::string typeWord(plc::DataType type) {
    return std::string(operands::dataTypeWord(type));
}

}  // namespace

std::optional<ForceSetting> parseForceSetting(std::string_view text, std::string& problem) {
    const std::size_t colon = text.find(':');
    const std::size_t equals = text.find('=', colon == std::string_view::npos ? 0 : colon);
    if (colon == std::string_view::npos || equals == std::string_view::npos) {
        problem = "--force wymaga postaci T:OPERAND=WARTOŚĆ: " + std::string(text);
        return std::nullopt;
    }
    std::optional<ForceSetting> setting =
        parseTickAndOperand(text, text.substr(colon + 1, equals - colon - 1), "--force", problem);
    if (!setting) {
        return std::nullopt;
    }
    const std::string_view valueText = text.substr(equals + 1);
    setting->value = plc::parseForceValue(valueText, setting->ref.type);
    if (!setting->value) {
        const plc::ValueRange range = plc::valueRange(setting->ref.type);
        problem = "wartość poza zakresem " + std::to_string(range.min) + ".." +
                  std::to_string(range.max) + " dla " + setting->name + " (" +
                  typeWord(setting->ref.type) + ") w --force: " + std::string(valueText);
        return std::nullopt;
    }
    return setting;
}

std::optional<ForceSetting> parseReleaseSetting(std::string_view text, std::string& problem) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || text.find('=') != std::string_view::npos) {
        problem = "--release wymaga postaci T:OPERAND: " + std::string(text);
        return std::nullopt;
    }
    return parseTickAndOperand(text, text.substr(colon + 1), "--release", problem);
}

bool checkForceCount(const std::vector<ForceSetting>& settings, std::string& problem) {
    std::vector<const ForceSetting*> inTickOrder;
    inTickOrder.reserve(settings.size());
    for (const ForceSetting& setting : settings) {
        inTickOrder.push_back(&setting);
    }
    std::stable_sort(
        inTickOrder.begin(), inTickOrder.end(),
        [](const ForceSetting* a, const ForceSetting* b) { return a->tick < b->tick; });
    plc::ForceTable table;
    for (const ForceSetting* setting : inTickOrder) {
        if (!setting->value) {
            table.release(setting->ref);
            continue;
        }
        if (table.force(setting->ref, *setting->value) == plc::ForceResult::TableFull) {
            problem = "w cyklu " + std::to_string(setting->tick) + " nie można wymusić " +
                      setting->name + ": naraz można wymusić najwyżej " +
                      std::to_string(plc::kMaxForcedOperands) + " operandy";
            return false;
        }
    }
    return true;
}

void applyForceSettings(const std::vector<ForceSetting>& settings, std::uint64_t tick,
                        plc::ScanCycle& cycle) {
    for (const ForceSetting& setting : settings) {
        if (setting.tick != tick) {
            continue;
        }
        if (setting.value) {
            // Checked when the options were read: the operand fits, the value is in range and
            // the table has room.
            static_cast<void>(cycle.force(setting.ref, *setting.value));
        } else {
            cycle.release(setting.ref);
        }
    }
}

}  // namespace cli
