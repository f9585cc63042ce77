// Tessel in a terminal.
#include "editor/EditorResources.h"
#include "framework/app/WinApp.h"
#include "framework/host/TerminalHost.h"

int main(int argc, char** argv)
{
    AfxSetResourceHandle(&TesselResources());
    TerminalHost host;
    return AfxWinMain(host, argc, argv);
}
