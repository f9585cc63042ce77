// Tessel in a terminal.
#include "editor/EditorResources.h"
#include "framework/main/TerminalMain.h"

namespace {
const char kHelp[] =
    "Usage: tessel [FILE]\n"
    "       tessel -- FILE\n"
    "Edit FILE, an 8-bit text file, in the terminal; without FILE, a new text.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         take every later word as a file name\n"
    "\n"
    "Other words that begin with \"-\" are ignored. See tessel(1).\n";
}  // namespace

int main(int argc, char** argv)
{
    return AfxTerminalMain(argc, argv, {kHelp, "tessel " TESSEL_VERSION "\n", TesselResources()});
}
