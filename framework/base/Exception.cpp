#include "framework/base/Exception.h"

BOOL CException::GetErrorMessage(CString& out) const
{
    out.Empty();
    return FALSE;
}

void AfxThrowUserException() { throw CUserException(); }

void AfxThrowMemoryException() { throw CMemoryException(); }
