// Questions about the file system: attributes, free space, folder listings.
#pragma once

#include <vector>

#include "framework/base/String.h"
#include "framework/base/Types.h"
#include "framework/io/File.h"

inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;

// INVALID_FILE_ATTRIBUTES (errno set) when the path names nothing;
// otherwise FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_READONLY
// when this process may not write it, FILE_ATTRIBUTE_HIDDEN for a name
// beginning with ".", and FILE_ATTRIBUTE_NORMAL alone when none of these
// applies. Symbolic links are followed.
DWORD GetFileAttributes(const char16_t* path);

BOOL PathExists(const char16_t* path);
BOOL PathIsFolder(const char16_t* path);

// Free space of the volume holding path: what this process may use, the
// volume's size and all its free space; any pointer may be null. FALSE (errno
// set) when the volume cannot be asked.
BOOL GetDiskFreeSpaceEx(const char16_t* path, ULONGLONG* freeToCaller, ULONGLONG* totalBytes, ULONGLONG* totalFree);

struct FolderEntry {
    CString name;
    BOOL isFolder = FALSE;  // a folder, or a link to one
};

// The entries of a folder without "." and "..", sorted by name without
// regard to case. FALSE (errno set, entries empty) when it cannot be read.
BOOL ListFolder(const char16_t* folder, std::vector<FolderEntry>& entries);
