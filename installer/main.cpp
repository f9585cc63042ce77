// setup in a terminal.
#include "framework/app/WinApp.h"
#include "framework/host/TerminalHost.h"
#include "installer/SetupResources.h"

int main(int argc, char** argv)
{
    AfxSetResourceHandle(&SetupResources());
    TerminalHost host;
    return AfxWinMain(host, argc, argv);
}
