// Qt's own Polish texts: the buttons, file dialogs, print dialog and questions that Qt draws
// itself (column names, "already exists. Do you want to replace it?") speak the program's
// language.
#pragma once

class QCoreApplication;

namespace ui {

/// Loads Qt's Polish translations from the system's Qt translation folder into `application`;
/// returns false when they are not installed (Qt's texts then stay English).
bool installQtTranslations(QCoreApplication& application);

}  // namespace ui
