// A readable account of everything a script defines, one resource per
// line and its parts indented below it: what "tessel-rc --list" prints, for
// looking at a script's result and for testing the compiler.
#pragma once

#include <string>
#include <string_view>

#include "ResourceScript.h"

namespace rc {

class Listing {
public:
    static std::string Write(const ResourceScript& script);

    // Text in double quotes with \n, \t, \r, \" and \\ escaped and anything
    // else outside printable ASCII as \uXXXX.
    static std::string Quote(std::u16string_view text);
};

}  // namespace rc
