#pragma once

#include <QString>

// Files and folders the editor keeps for the user alone: the per-user store,
// copies of unsaved work, the locks that tell one editor about another. They
// are created readable by the owner only, never created open and closed
// afterwards (another user could read them in between). The process umask
// can only take more away.

// The folder of the editor's own state: $XDG_STATE_HOME/zqwcce, else
// ~/.local/state/zqwcce. Not created here.
QString userStateFolder();

// Creates the folder (and missing parents, as usual) with the folder itself
// open to its owner only. A folder an earlier build made open to others is
// closed to them. False when it is not a folder afterwards.
bool makePrivateFolder(const QString& path);

// Creates an empty file open to its owner only, when none is there. A file an
// earlier build left open to others is closed to them. False when there is no
// regular file at path afterwards.
bool makePrivateFile(const QString& path);
