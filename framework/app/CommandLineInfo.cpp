#include "framework/app/CommandLineInfo.h"

#include <sys/stat.h>

BOOL CCommandLineInfo::IsFlag(const CString& token)
{
    if (token.IsEmpty())
        return FALSE;
    if (token[0] == u'-')
        return TRUE;
    if (token[0] != u'/')
        return FALSE;
    // "/p" is a flag; "/home/ann/notes.txt" is a file.
    if (token.Find(u'/', 1) >= 0)
        return FALSE;
    struct stat st;
    return ::stat(token.ToBytes().c_str(), &st) == 0 ? FALSE : TRUE;
}

void CCommandLineInfo::ParseParam(const CString& param, BOOL flag, BOOL last)
{
    if (!flag && m_strFileName.IsEmpty())
        m_strFileName = param;
    if (last && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
}
