// Tessel in a terminal.
#include "editor/EditorResources.h"
#include "framework/app/WinApp.h"
#include "framework/host/TerminalHost.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    AfxSetResourceHandle(&TesselResources());
    try {
        TerminalHost host;
        return AfxWinMain(host, argc, argv);
    } catch (const std::exception& e) {
        // No terminal to run in (not a tty, or an unknown TERM).
        std::fprintf(stderr, "%s: %s\n", argc > 0 ? argv[0] : "program", e.what());
        return 1;
    }
}
