#include "SourceFiles.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

namespace rc {

namespace fs = std::filesystem;

SourceFiles::SourceFiles(std::vector<fs::path> includeDirs) : includeDirs_(std::move(includeDirs)) {}

std::optional<fs::path> SourceFiles::Find(const std::string& name, const fs::path* fromDir) const
{
    std::string portable = name;
    std::replace(portable.begin(), portable.end(), '\\', '/');
    const fs::path relative(portable);

    std::error_code ec;
    auto usable = [&ec](const fs::path& p) { return fs::is_regular_file(p, ec); };
    if (relative.is_absolute())
        return usable(relative) ? std::optional(relative) : std::nullopt;
    if (fromDir && usable(*fromDir / relative))
        return (*fromDir / relative).lexically_normal();
    for (const fs::path& dir : includeDirs_)
        if (usable(dir / relative))
            return (dir / relative).lexically_normal();
    return std::nullopt;
}

std::string SourceFiles::Read(const fs::path& path, const SourceLocation& where)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CompileError(where, "cannot open '" + path.string() + "'");
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw CompileError(where, "cannot read '" + path.string() + "'");

    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec)
        absolute = path;
    absolute = absolute.lexically_normal();
    if (std::find(dependencies_.begin(), dependencies_.end(), absolute) == dependencies_.end())
        dependencies_.push_back(absolute);
    return text;
}

}  // namespace rc
