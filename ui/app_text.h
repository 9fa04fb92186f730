// ui/app_text.h — the program's title, the captions built on it and UTF-8 texts of the core as
// Qt strings: the one place every window takes them from.
#pragma once

#include <QString>

#include <string_view>

namespace ui {

/// Returns `text`, UTF-8 as the core writes it, as a QString.
[[nodiscard]] QString fromUtf8(std::string_view text);

/// Returns the program's title, "Wirtualon!": the application's name and the title of its
/// message boxes and of the simulator panel.
[[nodiscard]] QString appTitle();

/// Returns the caption of a window that shows `subject`, "Wirtualon! - " and the subject.
[[nodiscard]] QString windowCaption(const QString& subject);

/// Returns the main window's caption while the program has no file yet.
[[nodiscard]] QString newProgramCaption();

}  // namespace ui
