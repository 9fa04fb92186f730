// ui/ladder_file_dialogs.h — the open and save dialogs of ladders: a filter for each form a
// ladder is kept in, and the name and form that a confirmed save dialog comes to.
#pragma once

#include "document/ladder_file.h"

#include <QString>

class QFileDialog;

namespace ui {

/// Gives an open dialog (`forSaving` false) the filters both forms together, each form alone
/// and all files, or a save dialog one filter for each form. In a save dialog, choosing a
/// filter gives the typed name that form's ending and a name typed without one gets it.
void setLadderFilters(QFileDialog& dialog, bool forSaving);

/// Makes an open dialog show both forms, whatever filter was chosen in it before.
void showBothForms(QFileDialog& dialog);

/// Makes a save dialog propose `form`: its filter, and the proposed name with its ending.
void proposeForm(QFileDialog& dialog, document::LadderForm form);

/// Returns `name` with the ending of `form` in place of the other form's: ".jar" and
/// ".lad.txt" swapped, and the halves a file dialog leaves when it swaps only the last
/// extension (".txt", ".lad.jar") completed. Any other name comes back unchanged.
[[nodiscard]] QString withFormEnding(const QString& name, document::LadderForm form);

/// A name confirmed in the save dialog and the form to write under it.
struct SaveTarget {
    QString name;
    document::LadderForm form = document::LadderForm::ProgramFile;
};

/// Returns where and in which form to save `name`, confirmed with `nameFilter` chosen: a name
/// ending in ".jar" or ".lad.txt" says its form itself, any other the filter does, and a name
/// without an extension gets the filter's.
[[nodiscard]] SaveTarget saveTarget(const QString& name, const QString& nameFilter);

}  // namespace ui
