#pragma once

#include <QString>

// The folder of the program's data: the card template zqw.sel, the card
// fonts, the hints and the help topics. In the build tree (and in a folder
// the program was simply copied into) they lie beside the executable; an
// installation keeps them in <prefix>/share/zqwcce beside <prefix>/bin.
// The data beside the executable wins, so a build tree never picks up an
// older installation's template.
QString findProgramDataDir(const QString& executableDir);

// The same for the running program.
QString findProgramDataDir();
