// Where a copy of a file goes when the file's own folder takes no new file
// (a backup made while saving, a recovery copy): the folders to try, in
// order, and a name for the copy that fits in any of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/base/String.h"

// First the program's state folder, $XDG_STATE_HOME/tessel (by default
// ~/.local/state/tessel), made private to the user (0700) with the folders
// above it where missing, and left out when it cannot be made or is not the
// user's own; then $TMPDIR, by default /tmp. Relative settings are ignored,
// as the base-directory convention asks. Each folder is an absolute path
// without a final "/".
std::vector<CString> FallbackFolders();

// The name of a copy of the file called name (the system's bytes): name
// with ending added, the name first cut, byte by byte, as far as needed for
// the longest numbered form of the copy's name (ending, then longestNumber:
// ".save" then ".999", "~" then "99") to fit in a folder entry (NAME_MAX
// bytes). A name short enough stays whole.
std::string FittedCopyName(std::string_view name, std::string_view ending, std::string_view longestNumber);
