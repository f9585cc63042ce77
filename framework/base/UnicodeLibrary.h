// ICU's common library, opened the first time a question beyond Latin-1 is
// asked, not when the program starts: loading and relocating it costs a
// start more than everything else the program does before its first
// screen, and an 8-bit session never needs it. It is the shared library the
// build was made against, opened by its soname; only its C functions are
// used, each found by the versioned name ICU's headers give it.
//
// Should the library fail to open, Get() throws UnicodeLibraryException,
// which says why (and is asked again at the next call).
#pragma once

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/uset.h>

#include "framework/base/Exception.h"

namespace UnicodeLibrary {

// The functions the framework calls, by their ICU names.
struct Functions {
    // Case mappings of single code points.
    decltype(&u_foldCase) foldCase = nullptr;
    decltype(&u_toupper) toUpper = nullptr;
    decltype(&u_tolower) toLower = nullptr;
    // Character properties (the cells a character takes).
    decltype(&u_getIntPropertyValue) getIntPropertyValue = nullptr;
    decltype(&u_hasBinaryProperty) hasBinaryProperty = nullptr;
    decltype(&u_charType) charType = nullptr;
    // Sets (a unit's case closure).
    decltype(&uset_openEmpty) setOpenEmpty = nullptr;
    decltype(&uset_add) setAdd = nullptr;
    decltype(&uset_closeOver) setCloseOver = nullptr;
    decltype(&uset_getItemCount) setGetItemCount = nullptr;
    decltype(&uset_getItem) setGetItem = nullptr;
    decltype(&uset_close) setClose = nullptr;
    // The character break iterator (user-perceived characters).
    decltype(&ubrk_open) breakOpen = nullptr;
    decltype(&ubrk_close) breakClose = nullptr;
    decltype(&ubrk_setText) breakSetText = nullptr;
    decltype(&ubrk_following) breakFollowing = nullptr;
    decltype(&ubrk_preceding) breakPreceding = nullptr;
};

// The library's functions, opening it on the first call.
const Functions& Get();

}  // namespace UnicodeLibrary

// ICU's common library could not be opened or lacks a function.
class UnicodeLibraryException : public CException {
public:
    explicit UnicodeLibraryException(CString reason) : m_reason(std::move(reason)) {}
    BOOL GetErrorMessage(CString& out) const override;

private:
    CString m_reason;
};
