#include "framework/base/UnicodeLibrary.h"

#include <dlfcn.h>
#include <unicode/uvernum.h>

namespace {

// ICU renames its functions by version (u_foldCase is u_foldCase_72 in the
// library); the header's macros give the name the linker would have used.
#define TESSEL_ICU_NAME_OF(name) #name
#define TESSEL_ICU_NAME(name) TESSEL_ICU_NAME_OF(name)

constexpr const char* kLibraryName = "libicuuc.so." U_ICU_VERSION_SHORT;

[[noreturn]] void ThrowLoadFailure()
{
    const char* why = ::dlerror();
    throw UnicodeLibraryException(CString::FromUtf8(why ? why : kLibraryName));
}

template <class Function>
void Resolve(void* handle, Function& function, const char* name)
{
    void* symbol = ::dlsym(handle, name);
    if (!symbol)
        ThrowLoadFailure();
    function = reinterpret_cast<Function>(symbol);
}

UnicodeLibrary::Functions Open()
{
    // Never closed: the functions are called until the process ends.
    void* handle = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        ThrowLoadFailure();
    UnicodeLibrary::Functions f;
    Resolve(handle, f.foldCase, TESSEL_ICU_NAME(u_foldCase));
    Resolve(handle, f.toUpper, TESSEL_ICU_NAME(u_toupper));
    Resolve(handle, f.toLower, TESSEL_ICU_NAME(u_tolower));
    Resolve(handle, f.getIntPropertyValue, TESSEL_ICU_NAME(u_getIntPropertyValue));
    Resolve(handle, f.hasBinaryProperty, TESSEL_ICU_NAME(u_hasBinaryProperty));
    Resolve(handle, f.charType, TESSEL_ICU_NAME(u_charType));
    Resolve(handle, f.setOpenEmpty, TESSEL_ICU_NAME(uset_openEmpty));
    Resolve(handle, f.setAdd, TESSEL_ICU_NAME(uset_add));
    Resolve(handle, f.setCloseOver, TESSEL_ICU_NAME(uset_closeOver));
    Resolve(handle, f.setGetItemCount, TESSEL_ICU_NAME(uset_getItemCount));
    Resolve(handle, f.setGetItem, TESSEL_ICU_NAME(uset_getItem));
    Resolve(handle, f.setClose, TESSEL_ICU_NAME(uset_close));
    Resolve(handle, f.breakOpen, TESSEL_ICU_NAME(ubrk_open));
    Resolve(handle, f.breakClose, TESSEL_ICU_NAME(ubrk_close));
    Resolve(handle, f.breakSetText, TESSEL_ICU_NAME(ubrk_setText));
    Resolve(handle, f.breakFollowing, TESSEL_ICU_NAME(ubrk_following));
    Resolve(handle, f.breakPreceding, TESSEL_ICU_NAME(ubrk_preceding));
    return f;
}

}  // namespace

namespace UnicodeLibrary {

const Functions& Get()
{
    // A static whose initialiser throws is tried again at the next call.
    static const Functions functions = Open();
    return functions;
}

}  // namespace UnicodeLibrary

BOOL UnicodeLibraryException::GetErrorMessage(CString& out) const
{
    out = u"The Unicode library could not be used: " + m_reason;
    return TRUE;
}
