// The resource compiler on arbitrary scripts: it either compiles the script
// (the listing and the generated source can then be written) or reports
// one error as "file:line: error: message" on a single line, with the line
// inside the script. Anything else it throws, and any crash, is a fault.
//
// The script is a file in a folder of its own, as the compiler reads it;
// the folder holds nothing else, so includes of other names find nothing.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/res/compiler/CodeGenerator.h"
#include "framework/res/compiler/CompileError.h"
#include "framework/res/compiler/Listing.h"
#include "framework/res/compiler/Parser.h"
#include "framework/res/compiler/Preprocessor.h"
#include "framework/res/compiler/SourceFiles.h"
#include "framework/res/compiler/SymbolTable.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "\n*** resource compiler: %s\n", what.c_str());
    std::abort();
}

const fs::path& ScriptPath()
{
    static const fs::path path = [] {
        std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
        std::string pattern = base + "/tessel-rc-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            Fail("no folder for the script");
        static const std::string folder = pattern;
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(folder, ec);
        });
        return fs::path(folder) / "script.rc";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fs::path& path = ScriptPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const int lines = 1 + int(std::count(data, data + size, uint8_t('\n')));
    try {
        rc::SourceFiles files({});
        rc::SymbolTable symbols;
        rc::Preprocessor preprocessor(files, symbols);
        preprocessor.Open(path);
        rc::Parser parser(preprocessor, files);
        const rc::ResourceScript script = parser.Parse();
        rc::Listing::Write(script);
        if (rc::CodeGenerator("FuzzResources", "script.rc").Generate(script).empty())
            Fail("a compiled script generated no source");
    } catch (const rc::CompileError& e) {
        const std::string text = e.Format();
        if (e.Where().file != path.string())
            Fail("error names \"" + e.Where().file + "\", not the script: " + text);
        if (e.Where().line < 1 || e.Where().line > lines)
            Fail("error names line " + std::to_string(e.Where().line) + " of a script of " + std::to_string(lines)
                 + " lines: " + text);
        if (e.Message().empty() || text.find('\n') != std::string::npos)
            Fail("error is not one line with a message: " + text);
    } catch (const std::exception& e) {
        Fail(std::string("failed without a line to point at: ") + e.what());
    }
    return 0;
}
