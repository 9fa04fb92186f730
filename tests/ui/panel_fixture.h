// The simulator panel on its own, as the panel tests drive it: scripted prompts, ticks by hand
// under a fake clock, controls found by their object names.
#pragma once

#include "tests/ui/editor_fixture.h"
#include "tests/ui/scripted_prompts.h"

#include "plc/clock.h"
#include "ui/simulator_panel.h"

#include <QString>

#include <cstdint>

class QCheckBox;

/// The panel with scripted prompts and a fake clock that starts at 1000 ms.
struct PanelFixture {
    ScriptedPrompts prompts;
    plc::FakeClock clock{1000};
    SimulatorPanel form{prompts};

    PanelFixture() { form.setClock(&clock); }

    /// Returns the panel's control named `name`; a missing control ends the test program.
    template <typename T = QWidget>
    T* get(const QString& name) {
        return child<T>(form, name);
    }
    template <typename T = QWidget>
    T* get(const char* name) {
        return child<T>(form, name);
    }
    /// Returns the panel's input or output box number `n` ("CheckBox<n>").
    QCheckBox* box(int n);
    /// Returns the text the label, line edit or button named `name` shows.
    QString text(const char* name) { return shownText(form, name); }
    /// Runs `n` ticks of the panel's timer, the clock `ms` further before each.
    void ticks(int n, std::uint32_t ms = 20);
    /// Clicks the button named `name`.
    void press(const char* name);
    /// Types `text` into the line edit named `edit` and presses Enter.
    void enter(const char* edit, const QString& text);
};
