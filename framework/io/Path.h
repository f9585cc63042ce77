// Path names. Both "\" and "/" separate the parts of a path; the system
// itself is given "/" only.
#pragma once

#include "framework/base/String.h"

// The part after the last separator ("C:\docs\a.txt" -> "a.txt").
CString PathFileName(const CString& path);
// The part up to and including the last separator; empty when there is none.
CString PathFolder(const CString& path);
// The absolute path of a name: a leading double quote is dropped and the name
// cut at the next one; a relative name is taken against the current
// directory; "." and ".." parts and repeated separators are folded away (by
// the text alone, symbolic links are not resolved); separators become "/".
// An empty name stays empty.
CString PathFullName(const CString& name);
// The path with every "\" turned into "/", as the system takes it.
CString PathNative(const CString& path);
// The process's current directory.
CString PathCurrentDirectory();
