// setup in a terminal.
#include "framework/app/WinApp.h"
#include "framework/host/TerminalHost.h"

#include <cstdio>
#include <exception>
#include "installer/SetupResources.h"

int main(int argc, char** argv)
{
    AfxSetResourceHandle(&SetupResources());
    try {
        TerminalHost host;
        return AfxWinMain(host, argc, argv);
    } catch (const std::exception& e) {
        // No terminal to run in (not a tty, or an unknown TERM).
        std::fprintf(stderr, "%s: %s\n", argc > 0 ? argv[0] : "program", e.what());
        return 1;
    }
}
