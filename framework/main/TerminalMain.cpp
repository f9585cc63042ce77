#include "framework/main/TerminalMain.h"

#include <cstdio>
#include <exception>

#include "framework/app/StandardOptions.h"
#include "framework/app/WinApp.h"
#include "framework/base/SafeText.h"
#include "framework/host/TerminalHost.h"

int AfxTerminalMain(int argc, char** argv, const TerminalProgram& program)
{
    if (int status = AfxAnswerStandardOptions(argc, argv, program.help, program.version); status >= 0)
        return status;
    AfxSetResourceHandle(&program.resources);
    try {
        TerminalHost host;
        return AfxWinMain(host, argc, argv);
    } catch (const std::exception& e) {
        // No terminal to run in (not a tty, or an unknown TERM).
        std::fprintf(stderr, "%s: %s\n", SafeText(argc > 0 ? argv[0] : "program").c_str(), SafeText(e.what()).c_str());
        return 1;
    }
}
