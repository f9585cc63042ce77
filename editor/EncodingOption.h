// The choice of the text files' encoding for a session of Tessel:
// "--encoding=NAME", "--encoding NAME" or "-e NAME" on the command line,
// else TESSEL_ENCODING in the environment (set and not empty), else 8-bit.
// NAME is "utf-8" or "8bit" (TextEncodingNamed).
#pragma once

#include <vector>

// Takes the option's words out of args (argv's words; none after "--"), so
// that nothing else reads them as a file name, and sets the session's
// encoding from the last of them or from environment (TESSEL_ENCODING's
// value, or null). Returns -1 to go on; or, for an unknown name or an
// option without one, 2 after one line on standard error that says so.
int TakeEncodingOption(std::vector<char*>& args, const char* environment);
