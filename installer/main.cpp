// setup in a terminal.
#include "installer/SetupResources.h"
#include "framework/main/TerminalMain.h"

namespace {
const char kHelp[]
    = "Usage: tessel-setup\n"
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
    return AfxTerminalMain(argc, argv, {kHelp, "tessel-setup " TESSEL_VERSION "\n", SetupResources()});
}
