// tessel-rc: compiles a resource script into a C++ source file.
//
//   tessel-rc SCRIPT -o OUTPUT.cpp --symbol NAME [-I DIR]... [--depfile FILE]
//   tessel-rc SCRIPT --list [-I DIR]...
//
// The output defines "const res::Module& NAME()". --depfile writes a make
// rule naming every file the script read. --list prints what the script
// defines instead of compiling it. On an error the message goes to stderr as
// "file:line: error: ...", no output is left behind and the exit code is 1.

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "CodeGenerator.h"
#include "CompileError.h"
#include "Listing.h"
#include "Parser.h"
#include "Preprocessor.h"
#include "SourceFiles.h"
#include "SymbolTable.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    fs::path script;
    fs::path output;
    fs::path depfile;
    std::string symbol;
    std::vector<fs::path> includeDirs;
    bool list = false;
};

constexpr const char* kUsage
    = "usage: tessel-rc SCRIPT -o OUTPUT --symbol NAME [-I DIR]... [--depfile FILE]\n"
      "       tessel-rc SCRIPT --list [-I DIR]...\n";

bool IsIdentifier(const std::string& s)
{
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0])))
        return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

std::optional<Options> ParseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc)
                return std::nullopt;
            return std::string(argv[++i]);
        };
        if (arg == "-o" || arg == "--symbol" || arg == "--depfile" || arg == "-I") {
            auto v = value();
            if (!v)
                return std::nullopt;
            if (arg == "-o")
                options.output = *v;
            else if (arg == "--symbol")
                options.symbol = *v;
            else if (arg == "--depfile")
                options.depfile = *v;
            else
                options.includeDirs.emplace_back(*v);
        } else if (arg.size() > 2 && arg.compare(0, 2, "-I") == 0) {
            options.includeDirs.emplace_back(arg.substr(2));
        } else if (arg == "--list") {
            options.list = true;
        } else if (!arg.empty() && arg[0] != '-' && options.script.empty()) {
            options.script = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.script.empty())
        return std::nullopt;
    if (!options.list && (options.output.empty() || !IsIdentifier(options.symbol)))
        return std::nullopt;
    return options;
}

// Writes beside the target first, so that a reader never sees half a file.
void WriteFile(const fs::path& path, const std::string& text)
{
    const fs::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out)
            throw rc::CompileError({path.string(), 0}, "cannot write '" + temporary.string() + "'");
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        fs::remove(temporary, ec);
        throw rc::CompileError({path.string(), 0}, "cannot write '" + path.string() + "'");
    }
}

// Make syntax: spaces in names are escaped with a backslash, '$' doubled.
std::string MakeEscaped(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (c == ' ' || c == '#' || c == '\\')
            out += '\\';
        if (c == '$')
            out += '$';
        out += c;
    }
    return out;
}

std::string DepfileText(const fs::path& output, const std::vector<fs::path>& dependencies)
{
    std::string text = MakeEscaped(output.string()) + ":";
    for (const fs::path& d : dependencies)
        text += " \\\n  " + MakeEscaped(d.string());
    return text + "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> options = ParseArguments(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }

    try {
        rc::SourceFiles files(options->includeDirs);
        rc::SymbolTable symbols;
        rc::Preprocessor preprocessor(files, symbols);
        preprocessor.Open(options->script);
        rc::Parser parser(preprocessor, files);
        const rc::ResourceScript script = parser.Parse();

        if (options->list) {
            std::cout << rc::Listing::Write(script);
            return 0;
        }
        rc::CodeGenerator generator(options->symbol, options->script.filename().string());
        WriteFile(options->output, generator.Generate(script));
        if (!options->depfile.empty())
            WriteFile(options->depfile, DepfileText(options->output, files.Dependencies()));
        return 0;
    } catch (const rc::CompileError& e) {
        std::cerr << e.Format() << "\n";
    } catch (const std::exception& e) {
        std::cerr << options->script.string() << ": error: " << e.what() << "\n";
    }
    // A stale result must not survive a failed run, or the build would go on
    // with it.
    std::error_code ec;
    if (!options->output.empty())
        fs::remove(options->output, ec);
    if (!options->depfile.empty())
        fs::remove(options->depfile, ec);
    return 1;
}
