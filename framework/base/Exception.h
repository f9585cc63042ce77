// CException, the base of the framework's exceptions, and the two that
// belong to no subsystem of their own: a failure already reported to the
// user, and memory running out. They are thrown by value and caught by
// reference; whoever catches CException& takes them all.
#pragma once

#include "framework/base/String.h"
#include "framework/base/Types.h"

class CException {
public:
    CException() = default;
    virtual ~CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;

    // The message to show for this failure; FALSE when it has none of its own.
    virtual BOOL GetErrorMessage(CString& out) const;
};

// A failure that has already been reported to the user (or needs no report):
// whoever catches it shows nothing.
class CUserException : public CException {};

// Memory ran out.
class CMemoryException : public CException {};

[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowMemoryException();
