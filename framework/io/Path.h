// Path names, as the file system has them: "/" is the only separator (a
// backslash or a quote is part of a name), and a name is the system's bytes
// kept in a CString (CString::FromBytes / ToBytes).
#pragma once

#include <string>

#include "framework/base/String.h"

// The part after the last "/" ("/home/ann/a.txt" -> "a.txt").
CString PathFileName(const CString& path);
// The part up to and including the last "/"; empty when there is none.
CString PathFolder(const CString& path);
// The absolute path of a name: a relative name is taken against the
// current directory; "." parts and repeated separators are folded away,
// and so is a ".." with the part before it, unless that part is a symbolic
// link: what ".." after a link means is the kernel's to decide when the
// path is used. An empty name stays empty.
CString PathFullName(const CString& name);
// The process's current directory.
CString PathCurrentDirectory();

// The same parts of a path kept as the system's bytes, for the code that
// talks to the system with them (the save):
// the part after the last "/", as above;
std::string PathFileName(const std::string& path);
// the folder of an absolute path, without its final "/" but for the root
// ("/home/ann/a.txt" -> "/home/ann", "/a.txt" -> "/");
std::string PathParent(const std::string& path);
// a name in a folder given that way: the two joined by one "/".
std::string PathJoin(const std::string& folder, const std::string& name);
