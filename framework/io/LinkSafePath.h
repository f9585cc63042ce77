// LinkSafePath: the folder that holds the file an absolute path names, held
// open (O_PATH), and the file's name in that folder, so that the file can
// then be opened relative to its folder without following links: whatever
// is swapped in under the name meanwhile is never written through.
//
// Resolve follows a symbolic link as the last part from the folder the link
// lies in, as the kernel does: a link of another user in a world-writable
// sticky folder is refused (EACCES), and at most 40 links are followed
// (ELOOP). OpenFolder takes the last part as it stands and follows nothing.
// The folder's descriptor is closed with the object, by Close, or when the
// path is resolved again.
#pragma once

#include <sys/stat.h>

#include <string>

class LinkSafePath {
public:
    LinkSafePath() = default;
    ~LinkSafePath() { Close(); }
    LinkSafePath(const LinkSafePath&) = delete;
    LinkSafePath& operator=(const LinkSafePath&) = delete;

    // Resolves path to the folder of the file it names and the file's name
    // there; Exists and Status tell what the name holds. Returns 0 or an
    // errno value (EISDIR when the last part is no name: "", "." or "..").
    int Resolve(const std::string& path);
    // Opens the folder of path as the system finds it; the name is path's
    // last part, whatever it holds. Returns 0 or an errno value.
    int OpenFolder(const std::string& path);
    void Close();

    // The folder (an O_PATH descriptor; -1 when none is open).
    int Folder() const { return m_folder; }
    // The folder's path: where a link led, as the system tells it, otherwise
    // the path's own folder; no final "/" but for the root.
    const std::string& FolderPath() const { return m_folderPath; }
    const std::string& Name() const { return m_name; }
    // Whether the name holds anything (after Resolve), and what (Status,
    // not following a link).
    bool Exists() const { return m_exists; }
    const struct stat& Status() const { return m_status; }

private:
    int m_folder = -1;
    std::string m_folderPath;
    std::string m_name;
    bool m_exists = false;
    struct stat m_status = {};
};
