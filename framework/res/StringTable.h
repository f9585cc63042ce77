// Strings loaded by number from the string tables of the resource modules
// (the program's, then the framework's). CString::LoadString is defined here
// too, in StringTable.cpp.
#pragma once

#include "framework/base/String.h"
#include "framework/base/Types.h"

// Loads string id and puts s1 in place of every "%1".
void AfxFormatString1(CString& out, UINT id, const char16_t* s1);
// Loads string id and puts s1 in place of every "%1" and s2 of every "%2"
// (in one pass: what is put in is not looked at again).
void AfxFormatString2(CString& out, UINT id, const char16_t* s1, const char16_t* s2);
