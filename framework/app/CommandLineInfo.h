// CCommandLineInfo: what the command line asks the application to do at
// start-up: a new document (the default) or opening a named file.
#pragma once

#include "framework/base/String.h"

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FileNothing };

    virtual ~CCommandLineInfo() = default;
    // Called once for each token. A flag is a token that begins with "-", or
    // with "/" and names no existing path (on this system "/" also begins
    // every absolute path). Flags are ignored; the first other token is the
    // file name; later ones are ignored.
    virtual void ParseParam(const CString& param, BOOL flag, BOOL last);
    static BOOL IsFlag(const CString& token);

    int m_nShellCommand = FileNew;
    CString m_strFileName;
};
