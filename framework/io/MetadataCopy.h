// MetadataCopy: gives a new copy of a file all that the file has besides its
// name and content, so that the copy can take the file's place: the owner
// and group, the extended attributes (ACLs are among them) and the
// permission bits (set-id and sticky bits included).
#pragma once

#include <sys/stat.h>

// Gives the file open as copy the owner, group and permission bits that
// status (the original's) names, and the extended attributes of the file
// open as original, none besides; true when all of them are equal in the
// end. The owner goes first: changing it may clear set-id bits the mode
// sets. An attribute the process may not set (security ones, often) counts
// as equal where the copy already holds the same value.
bool CopyMetadata(int original, int copy, const struct stat& status);
