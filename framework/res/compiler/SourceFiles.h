// Finding and reading the files a resource script refers to: included
// scripts and headers, and the images and data it embeds. Every file read is
// remembered, because each one is a dependency of the generated source.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "CompileError.h"

namespace rc {

class SourceFiles {
public:
    explicit SourceFiles(std::vector<std::filesystem::path> includeDirs);

    // Looks for name in fromDir (when given), then in each include directory
    // in turn. Backslashes in name count as path separators.
    std::optional<std::filesystem::path> Find(const std::string& name, const std::filesystem::path* fromDir) const;

    // Reads a whole file, remembering it as a dependency.
    std::string Read(const std::filesystem::path& path, const SourceLocation& where);

    const std::vector<std::filesystem::path>& Dependencies() const { return dependencies_; }

private:
    std::vector<std::filesystem::path> includeDirs_;
    std::vector<std::filesystem::path> dependencies_;
};

}  // namespace rc
