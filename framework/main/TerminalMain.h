// The start of a program in a terminal, the same for Tessel and setup: the
// standard options answered, the program's resources registered, and the
// application run on a terminal host.
#pragma once

#include <string_view>

#include "framework/res/Resources.h"

struct TerminalProgram {
    std::string_view help;     // what --help prints
    std::string_view version;  // what --version prints
    const res::Module& resources;
};

// What main returns: the option's status after --help or --version, 1 when
// there is no terminal to run in (said on standard error), else the
// application's own.
int AfxTerminalMain(int argc, char** argv, const TerminalProgram& program);
