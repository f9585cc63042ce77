// setup in a terminal.
#include "framework/app/StandardOptions.h"
#include "framework/base/SafeText.h"
#include "framework/app/WinApp.h"
#include "framework/host/TerminalHost.h"

#include <cstdio>
#include <exception>
#include "installer/SetupResources.h"

namespace {
const char kHelp[] =
    "Usage: tessel-setup\n"
    "Show the licence agreement of Tessel, ask for the handheld device's platform\n"
    "and start that platform's installer.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         end the options\n"
    "\n"
    "Other words are ignored. See tessel-setup(1).\n";
}  // namespace

int main(int argc, char** argv)
{
    if (int status = AfxAnswerStandardOptions(argc, argv, kHelp, "tessel-setup " TESSEL_VERSION "\n"); status >= 0)
        return status;
    AfxSetResourceHandle(&SetupResources());
    try {
        TerminalHost host;
        return AfxWinMain(host, argc, argv);
    } catch (const std::exception& e) {
        // No terminal to run in (not a tty, or an unknown TERM).
        std::fprintf(stderr, "%s: %s\n", SafeText(argc > 0 ? argv[0] : "program").c_str(), SafeText(e.what()).c_str());
        return 1;
    }
}
