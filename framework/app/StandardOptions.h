// The two options every Linux program answers without a terminal, before it
// starts its window system: "--help" and "--version". A word after "--" is a
// name, never an option.
#pragma once

#include <string_view>

// Looks through the program's arguments for "--help" or "--version" (the
// first of them counts; none after "--"). Prints help or version for it on
// standard output and returns the exit status: 0, or 1 when the text could
// not be written (a line on standard error says why). Returns -1 when the
// arguments ask for neither.
int AfxAnswerStandardOptions(int argc, char** argv, std::string_view help, std::string_view version);
