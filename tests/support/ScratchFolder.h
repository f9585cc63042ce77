// A folder of one's own for a test's or a benchmark's files, and whole-file
// reads and writes.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/base/String.h"

namespace support {

// A fresh folder whose name starts with prefix (a path such as
// "/tmp/tessel-doc-"), with the permissions mode. At the end it is removed
// with all it holds, whatever permissions were left inside, and the current
// directory is back where it was if Enter made it this folder.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix = "/tmp/tessel-test-", mode_t mode = 0700);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Makes the folder the current directory until the end.
    void Enter();

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    CString Name(const std::string& name) const { return CString::FromUtf8(*this / name); }

    // Writes the file at name, a path below the folder; returns its full path.
    std::string Put(const std::string& name, const std::string& bytes) const;
    // The file's bytes, nullopt when it cannot be read.
    std::optional<std::string> Get(const std::string& name) const;
    // The names in the folder or in its subfolder sub, sorted.
    std::vector<std::string> Entries(const std::string& sub = "") const;

private:
    std::string m_path;
    std::string m_oldCwd;
};

// A scratch folder open to every user, so that an unprivileged child works
// in it as the test does and only the permissions a test sets refuse it.
class SharedFolder : public ScratchFolder {
public:
    SharedFolder() : ScratchFolder("/tmp/tessel-io-", 0777) {}
};

// Writes a file with the permissions mode, making the folders above it
// where they are missing.
void WriteBytes(const std::string& path, const std::string& bytes, mode_t mode = 0644);
// The file's bytes, nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);
// The file's bytes, empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// The permission bits, or mode_t(-1) when there is no such file.
mode_t ModeOf(const std::string& path);

}  // namespace support
