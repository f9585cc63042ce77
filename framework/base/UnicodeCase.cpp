#include "framework/base/UnicodeCase.h"

#include <dlfcn.h>
#include <unicode/uchar.h>
#include <unicode/uvernum.h>

#include <string>

namespace {

// ICU renames its functions by version (u_foldCase is u_foldCase_72 in the
// library); the header's macros give the name the linker would have used.
#define TESSEL_ICU_NAME_OF(name) #name
#define TESSEL_ICU_NAME(name) TESSEL_ICU_NAME_OF(name)

constexpr const char* kLibraryName = "libicuuc.so." U_ICU_VERSION_SHORT;

struct Library {
    decltype(&u_foldCase) fold = nullptr;
    decltype(&u_toupper) upper = nullptr;
    decltype(&u_tolower) lower = nullptr;
};

[[noreturn]] void ThrowLoadFailure()
{
    const char* why = ::dlerror();
    throw UnicodeLibraryException(CString::FromUtf8(why ? why : kLibraryName));
}

template <class Function>
Function Resolve(void* handle, const char* name)
{
    void* symbol = ::dlsym(handle, name);
    if (!symbol)
        ThrowLoadFailure();
    return reinterpret_cast<Function>(symbol);
}

Library Open()
{
    // Never closed: the mappings are asked for until the process ends.
    void* handle = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        ThrowLoadFailure();
    Library library;
    library.fold = Resolve<decltype(library.fold)>(handle, TESSEL_ICU_NAME(u_foldCase));
    library.upper = Resolve<decltype(library.upper)>(handle, TESSEL_ICU_NAME(u_toupper));
    library.lower = Resolve<decltype(library.lower)>(handle, TESSEL_ICU_NAME(u_tolower));
    return library;
}

// Opened once; a failure throws each time it is asked, since a static whose
// initialiser throws is tried again on the next call.
const Library& Get()
{
    static const Library library = Open();
    return library;
}

}  // namespace

namespace UnicodeCase {

char32_t Fold(char32_t cp)
{
    if (cp < 0x80)
        return cp >= u'A' && cp <= u'Z' ? cp + 0x20 : cp;
    return char32_t(Get().fold(UChar32(cp), U_FOLD_CASE_DEFAULT));
}

char32_t Upper(char32_t cp)
{
    if (cp < 0x80)
        return cp >= u'a' && cp <= u'z' ? cp - 0x20 : cp;
    return char32_t(Get().upper(UChar32(cp)));
}

char32_t Lower(char32_t cp)
{
    if (cp < 0x80)
        return cp >= u'A' && cp <= u'Z' ? cp + 0x20 : cp;
    return char32_t(Get().lower(UChar32(cp)));
}

}  // namespace UnicodeCase

BOOL UnicodeLibraryException::GetErrorMessage(CString& out) const
{
    out = u"The Unicode library could not be used: " + m_reason;
    return TRUE;
}
