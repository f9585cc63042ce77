#include "tests/support/ScratchFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace support {

ScratchFolder::ScratchFolder(const std::string& prefix, mode_t mode)
{
    std::string pattern = prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder " + pattern);
    m_path = pattern;
    ::chmod(m_path.c_str(), mode);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    if (!m_oldCwd.empty())
        fs::current_path(m_oldCwd, ec);
    // Whatever a test took away, the owner may list and empty every folder.
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    if (fs::remove_all(m_path, ec) == static_cast<std::uintmax_t>(-1) || fs::exists(m_path))
        std::fprintf(stderr, "could not remove %s\n", m_path.c_str());
}

void ScratchFolder::Enter()
{
    m_oldCwd = fs::current_path().string();
    fs::current_path(m_path);
}

std::string ScratchFolder::Put(const std::string& name, const std::string& bytes) const
{
    std::string path = *this / name;
    WriteBytes(path, bytes);
    return path;
}

std::optional<std::string> ScratchFolder::Get(const std::string& name) const { return ReadFile(*this / name); }

std::vector<std::string> ScratchFolder::Entries(const std::string& sub) const
{
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(sub.empty() ? m_path : *this / sub, ec);
         !ec && it != fs::directory_iterator(); it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void WriteBytes(const std::string& path, const std::string& bytes, mode_t mode)
{
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    ::chmod(path.c_str(), mode);
}

std::optional<std::string> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadBytes(const std::string& path) { return ReadFile(path).value_or(""); }

mode_t ModeOf(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

}  // namespace support
