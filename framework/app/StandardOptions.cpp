#include "framework/app/StandardOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "framework/base/SafeText.h"

int AfxAnswerStandardOptions(int argc, char** argv, std::string_view help, std::string_view version)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--")
            break;
        if (word != "--help" && word != "--version")
            continue;
        const std::string_view text = word == "--help" ? help : version;
        // Output that cannot be written (a full disk) is a failure, as it
        // is for any program whose output is its work.
        errno = 0;
        std::fwrite(text.data(), 1, text.size(), stdout);
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::fprintf(stderr, "%s: cannot write: %s\n", SafeText(argv[0]).c_str(),
                         std::strerror(errno ? errno : EIO));
            return 1;
        }
        return 0;
    }
    return -1;
}
