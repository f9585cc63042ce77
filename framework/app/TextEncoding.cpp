#include "framework/app/TextEncoding.h"

#include <algorithm>
#include <cctype>

#include "framework/win/TextClusters.h"

namespace {

// Read by the crash copy's reader in a signal handler as well: a plain
// value, set before the window system starts.
TextEncoding g_sessionEncoding = TextEncoding::EightBit;

bool SameNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

TextEncoding SessionTextEncoding() { return g_sessionEncoding; }

void SetSessionTextEncoding(TextEncoding encoding)
{
    g_sessionEncoding = encoding;
    // UTF-8 text is edited by the characters a person sees, in every edit
    // control: the text, the fields of the tool pane and the dialogs.
    SetClusterEditing(encoding == TextEncoding::Utf8);
}

std::optional<TextEncoding> TextEncodingNamed(std::string_view name)
{
    for (std::string_view utf8 : {"utf-8", "utf8"})
        if (SameNoCase(name, utf8))
            return TextEncoding::Utf8;
    for (std::string_view eightBit : {"8bit", "8-bit"})
        if (SameNoCase(name, eightBit))
            return TextEncoding::EightBit;
    return std::nullopt;
}

const char* TextEncodingShownName(TextEncoding encoding) { return encoding == TextEncoding::Utf8 ? "UTF-8" : "8-bit"; }
