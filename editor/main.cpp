// Tessel in a terminal.
#include <cstdlib>
#include <vector>

#include "editor/EditorResources.h"
#include "editor/EncodingOption.h"
#include "framework/app/RecoveryJournal.h"
#include "framework/main/TerminalMain.h"

namespace {
const char kHelp[]
    = "Usage: tessel [FILE]\n"
      "       tessel -- FILE\n"
      "       tessel --encoding=ENCODING [FILE]\n"
      "Edit FILE, a text file, in the terminal; without FILE, a new text.\n"
      "\n"
      "  -e, --encoding=ENCODING\n"
      "             read and write every file of the session as ENCODING:\n"
      "             8bit   one byte a character (the default)\n"
      "             utf-8  UTF-8; a byte that is no part of UTF-8 is kept\n"
      "                    and written back as it was\n"
      "             TESSEL_ENCODING in the environment says the same; the\n"
      "             option wins\n"
      "  --help     show this help and exit\n"
      "  --version  show the version and exit\n"
      "  --         take every later word as a file name\n"
      "\n"
      "Other words that begin with \"-\" are ignored.\n"
      "\n"
      "Unsaved text is kept in a recovery journal in $XDG_STATE_HOME/tessel\n"
      "(by default ~/.local/state/tessel) within 2 s after typing pauses, and\n"
      "offered back at the next open if Tessel was killed; a hang-up or\n"
      "termination signal also writes it to FILE.save. See tessel(1).\n";
}  // namespace

int main(int argc, char** argv)
{
    // The encoding is settled before anything else, so that a wrong one is
    // refused before the screen changes; its words are no file name.
    std::vector<char*> args(argv, argv + argc);
    if (int status = TakeEncodingOption(args, std::getenv("TESSEL_ENCODING")); status >= 0)
        return status;
    const int count = int(args.size());
    args.push_back(nullptr);
    // Unsaved text is kept in recovery journals while the editor runs.
    RecoveryJournal::Enable();
    int status = AfxTerminalMain(count, args.data(), {kHelp, "tessel " TESSEL_VERSION "\n", TesselResources()});
    RecoveryJournal::Disable();
    return status;
}
