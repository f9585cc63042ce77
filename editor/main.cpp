// Tessel in a terminal.
#include "editor/EditorResources.h"
#include "framework/app/StandardOptions.h"
#include "framework/base/SafeText.h"
#include "framework/app/WinApp.h"
#include "framework/host/TerminalHost.h"

#include <cstdio>
#include <exception>

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
    if (int status = AfxAnswerStandardOptions(argc, argv, kHelp, "tessel " TESSEL_VERSION "\n"); status >= 0)
        return status;
    AfxSetResourceHandle(&TesselResources());
    try {
        TerminalHost host;
        return AfxWinMain(host, argc, argv);
    } catch (const std::exception& e) {
        // No terminal to run in (not a tty, or an unknown TERM).
        std::fprintf(stderr, "%s: %s\n", SafeText(argc > 0 ? argv[0] : "program").c_str(), SafeText(e.what()).c_str());
        return 1;
    }
}
