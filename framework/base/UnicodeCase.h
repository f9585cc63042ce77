// The Unicode case mappings of single code points, from ICU's common library.
//
// The library is opened the first time a mapping beyond ASCII is asked for,
// not when the program starts: loading and relocating it costs a start more
// than everything else the program does before its first screen, and most
// sessions never need it (Latin-1 folding is compiled in, CaseFold.h). It is
// the shared library the build was made against, opened by its soname.
// Should it fail to open, the call throws UnicodeLibraryException, which
// says why.
#pragma once

#include "framework/base/Exception.h"

namespace UnicodeCase {

// Simple case folding (the default, not the Turkic one).
char32_t Fold(char32_t cp);

// Simple uppercase and lowercase mappings.
char32_t Upper(char32_t cp);
char32_t Lower(char32_t cp);

}  // namespace UnicodeCase

// ICU's common library could not be opened or lacks a function.
class UnicodeLibraryException : public CException {
public:
    explicit UnicodeLibraryException(CString reason) : m_reason(std::move(reason)) {}
    BOOL GetErrorMessage(CString& out) const override;

private:
    CString m_reason;
};
