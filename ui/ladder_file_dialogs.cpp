// ui/ladder_file_dialogs.cpp — the filters of the ladder file dialogs and the form a name and a
// filter choose.
#include "ui/ladder_file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QObject>
#include <QStringList>

namespace ui {

namespace {

using document::LadderForm;

const QString kProgramEnding = QStringLiteral(".jar");
const QString kTextEnding = QStringLiteral(".lad.txt");
// What the dialog leaves of the two endings when it swaps only the last extension.
const QString kHalfTextEnding = QStringLiteral(".txt");
const QString kHalfProgramEnding = QStringLiteral(".lad.jar");

QString bothFormsFilter() {
    return QStringLiteral("Drabiny (*.jar *.lad.txt)");
}

QString programFilter() {
    return QStringLiteral("Drabina (*.jar)");
}

QString textFilter() {
    return QString::fromUtf8("Drabina w tekście (*.lad.txt)");
}

QString allFilesFilter() {
    return QStringLiteral("Wszystkie pliki (*)");
}

bool endsWith(const QString& name, const QString& ending) {
    return name.endsWith(ending, Qt::CaseInsensitive);
}

QString filterOf(LadderForm form) {
    switch (form) {
        case LadderForm::ProgramFile: return programFilter();
        case LadderForm::Text: return textFilter();
    }
    return programFilter();
}

// The extension a bare name gets, without its leading dot, as QFileDialog wants it.
QString suffixOf(LadderForm form) {
    switch (form) {
        case LadderForm::ProgramFile: return kProgramEnding.mid(1);
        case LadderForm::Text: return kTextEnding.mid(1);
    }
    return kProgramEnding.mid(1);
}

LadderForm formOfFilter(const QString& filter) {
    return filter == textFilter() ? LadderForm::Text : LadderForm::ProgramFile;
}

// The dialog swaps only the last extension of a typed name when another filter is chosen
// ("a.jar" becomes "a.txt"), and a proposed name keeps whatever ending it was confirmed with:
// both would leave a name that asks for the other form than the filter shown.
void followForm(QFileDialog& dialog, LadderForm form) {
    dialog.setDefaultSuffix(suffixOf(form));
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.size() != 1 || QFileInfo(chosen.front()).isDir()) {
        return;
    }
    const QString renamed = withFormEnding(chosen.front(), form);
    if (renamed != chosen.front()) {
        dialog.selectFile(renamed);
    }
}

}  // namespace

void setLadderFilters(QFileDialog& dialog, bool forSaving) {
    if (!forSaving) {
        dialog.setNameFilters({bothFormsFilter(), programFilter(), textFilter(), allFilesFilter()});
        dialog.setDefaultSuffix(suffixOf(LadderForm::ProgramFile));
        return;
    }
    dialog.setNameFilters({programFilter(), textFilter()});
    dialog.setDefaultSuffix(suffixOf(LadderForm::ProgramFile));
    // Emitted only when the user picks a filter; proposeForm follows its own choice.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { followForm(dialog, formOfFilter(filter)); });
}

void showBothForms(QFileDialog& dialog) {
    dialog.selectNameFilter(bothFormsFilter());
}

void proposeForm(QFileDialog& dialog, LadderForm form) {
    dialog.selectNameFilter(filterOf(form));
    followForm(dialog, form);
}

QString withFormEnding(const QString& name, LadderForm form) {
    const auto replaced = [&name](qsizetype length, const QString& ending) {
        return name.left(name.size() - length) + ending;
    };
    switch (form) {
        case LadderForm::Text:
            if (endsWith(name, kTextEnding)) {
                return name;
            }
            if (endsWith(name, kProgramEnding)) {
                return replaced(kProgramEnding.size(), kTextEnding);
            }
            if (endsWith(name, kHalfTextEnding)) {
                return replaced(kHalfTextEnding.size(), kTextEnding);
            }
            return name;
        case LadderForm::ProgramFile:
            if (endsWith(name, kTextEnding)) {
                return replaced(kTextEnding.size(), kProgramEnding);
            }
            if (endsWith(name, kHalfProgramEnding)) {
                return replaced(kHalfProgramEnding.size(), kProgramEnding);
            }
            return name;
    }
    return name;
}

SaveTarget saveTarget(const QString& name, const QString& nameFilter) {
    SaveTarget target{name, formOfFilter(nameFilter)};
    if (endsWith(name, kTextEnding)) {
        target.form = LadderForm::Text;
    } else if (endsWith(name, kProgramEnding)) {
        target.form = LadderForm::ProgramFile;
    } else if (QFileInfo(name).suffix().isEmpty()) {
        target.name += QLatin1Char('.') + suffixOf(target.form);
    }
    return target;
}

}  // namespace ui
