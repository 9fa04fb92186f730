// ui/examples_folder.h — where the example programs shipped with the editor are found.
#pragma once

#include <QString>

/// Returns the folder of the example programs for an editor whose executable lies in
/// `applicationDir`: the installed place beside it (../share/wirtualon/examples), else the
/// first folder "examples" holding a program in `applicationDir` or up to three folders above
/// it (the source tree, with the build folder inside it), else `sourceDir`/examples (the
/// source tree the editor was built from, wherever its build folder lies). Returns an empty
/// string when none of them holds a program.
[[nodiscard]] QString findExamplesFolder(const QString& applicationDir, const QString& sourceDir);

/// Returns findExamplesFolder for the running editor and the source tree it was built from.
[[nodiscard]] QString examplesFolder();
