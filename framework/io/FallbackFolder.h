// Where a copy of a file goes when the file's own folder takes no new file
// (a backup made while saving, a recovery copy): the folders to try, in
// order.
#pragma once

#include <vector>

#include "framework/base/String.h"

// First the program's state folder, $XDG_STATE_HOME/tessel (by default
// ~/.local/state/tessel), made private to the user (0700) with the folders
// above it where missing, and left out when it cannot be made or is not the
// user's own; then $TMPDIR, by default /tmp. Relative settings are ignored,
// as the base-directory convention asks. Each folder is an absolute path
// without a final "/".
std::vector<CString> FallbackFolders();
