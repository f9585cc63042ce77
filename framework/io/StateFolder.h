// StateFolder: the program's own folder for what it keeps between runs
// (recovery journals): $XDG_STATE_HOME/tessel, or ~/.local/state/tessel.
// It is made 0700 where it is missing; one that is a link or belongs to
// someone else is refused, and one of ours that others may read is made
// private again.
#pragma once

#include <string>

class StateFolder {
public:
    // The folder's path; empty when neither XDG_STATE_HOME nor a home is known.
    static std::string Path();
    // Opens the folder (made if missing) as a descriptor to work relative
    // to; -1 with errno set when it cannot be had or is refused (ENOTDIR
    // for a link or no folder, EPERM for someone else's).
    static int Open();
};
