// Starting programs the platform's way, on POSIX.
//
// CreateProcessA starts a program with posix_spawn, without waiting for it.
// Given an application name, that is the program's path as this system has
// it, byte for byte: nothing in it is parsed or converted (a quote, a blank
// or a backslash is part of a name). Otherwise the program comes from a
// command line in the platform's form:
//   - The program is the first token. In quotes it runs to the closing quote.
//     Unquoted, it may itself hold spaces: as the platform does, the prefixes
//     of the line that end before a space are tried from the shortest on,
//     and the first that names an existing file is the program (a name
//     without "/" is looked for along PATH). When none exists, the program is
//     the text up to the first space, and starting it fails.
//   - "\" in the program's path becomes "/".
//   - The arguments after it are split as the platform's C run-time does
//     (see ParseCommandLine); the program receives them unchanged.
//   - The new process is not a child of the caller: an intermediate child
//     starts it and ends at once, and the caller reaps that child. So nothing
//     is waited for, no zombie is left behind, and the caller's handling of
//     SIGCHLD does not matter. dwProcessId is the started program's id.
//   - With bInheritHandles FALSE the program inherits only the standard
//     input, output and error; signal dispositions and mask are reset.
// On failure CreateProcessA returns FALSE with errno set (as GetLastError
// would tell): ENOENT for a missing program, EACCES for one that cannot be
// run, ...
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "framework/base/String.h"
#include "framework/base/Types.h"

inline constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    void* hStdInput;
    void* hStdOutput;
    void* hStdError;
};

struct PROCESS_INFORMATION {
    void* hProcess;  // no handle is kept: always null
    void* hThread;   // always null
    pid_t dwProcessId;
    DWORD dwThreadId;
};

// How this process was started: nothing was asked of its window, so every
// field is 0 but cb.
void GetStartupInfoA(STARTUPINFOA* info);

// lpApplicationName, when given, is the program's path, taken as it stands
// (a bare name is in the current folder, never looked for along PATH), and
// lpCommandLine only its arguments' source (its first token is the
// program's name for itself); without a command line the program gets its
// path as its name and no arguments.
// lpEnvironment is null (this process's environment) or a block of
// "NAME=value" strings each ended by a zero, with an empty string last.
// lpCurrentDirectory is null (this process's) or the folder to start in,
// as this system names it.
// The security attributes, creation flags and start-up information are
// accepted and have no effect here.
BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, void* lpProcessAttributes, void* lpThreadAttributes,
                    BOOL bInheritHandles, DWORD dwCreationFlags, void* lpEnvironment, LPCSTR lpCurrentDirectory,
                    STARTUPINFOA* lpStartupInfo, PROCESS_INFORMATION* lpProcessInformation);

// Splits a command line the platform's way. The first token is the program
// name: in quotes it runs to the next quote with "\" taken literally,
// otherwise to the first space or tab; a line that begins with a space gives
// an empty program name. Every other token ends at a space or tab outside
// quotes; quotes group and are dropped; 2n backslashes before a quote give n
// backslashes and the quote groups, 2n+1 give n backslashes and a literal
// quote; backslashes before anything else stay as they are; inside quotes a
// doubled quote is one literal quote. An empty line gives no tokens.
std::vector<std::string> ParseCommandLine(std::string_view commandLine);

// The full path of this program's executable (/proc/self/exe).
CString GetModuleFileName();
