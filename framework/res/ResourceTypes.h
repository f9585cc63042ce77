// The shapes of compiled resources.
//
// tessel-rc turns a resource script into a C++ source file that initialises
// these plain aggregates as constant static data, so every pointer, span and
// string view below stays valid for the life of the program. Each list in a
// Module is sorted by id, which lets the look-ups in Resources.h search it
// by bisection.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "framework/base/Types.h"

namespace res {

// A language id as the platform composes it: the primary language in the
// low 10 bits, the sublanguage above them (1033 is US English, 2055 Swiss
// German). 0 is language-neutral.
using LangId = WORD;

struct StringResource {
    UINT id;
    LangId lang;
    std::u16string_view text;
};

// One entry of a menu. A pop-up (MF_POPUP) has children and id 0; a
// separator (MF_SEPARATOR) has neither text nor id.
struct MenuItem {
    std::u16string_view text;
    UINT id;
    UINT flags;  // MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_DISABLED, MF_CHECKED, ...
    std::span<const MenuItem> children;
};

struct Menu {
    UINT id;
    LangId lang;
    std::span<const MenuItem> items;  // the menu bar's entries, in order
};

// One accelerator as the platform stores it; the last entry of a table
// carries FACCEL_END (0x80) in its flags.
struct AccelEntry {
    BYTE flags;  // FVIRTKEY, FNOINVERT, FSHIFT, FCONTROL, FALT, FACCEL_END
    WORD key;    // virtual-key code with FVIRTKEY, otherwise a character code
    WORD cmd;
};

struct AcceleratorTable {
    UINT id;
    LangId lang;
    std::span<const AccelEntry> entries;
};

// One control of a dialog template. Positions are in dialog units.
struct DialogItem {
    std::u16string_view className;  // u"BUTTON", u"EDIT", u"STATIC", u"COMBOBOX", u"LISTBOX", ...
    std::u16string_view text;
    UINT textId;  // a resource the text names by number (an ICON control's icon), else 0
    int id;       // -1 for controls nobody addresses
    DWORD style;  // always includes WS_CHILD and WS_VISIBLE unless the script removed them
    DWORD exStyle;
    int x;
    int y;
    int cx;
    int cy;
};

struct DialogTemplate {
    UINT id;                   // 0 for a dialog named by a string
    std::u16string_view name;  // upper-case name of a named dialog, else empty
    LangId lang;
    bool extended;  // written as DIALOGEX
    DWORD style;
    DWORD exStyle;
    int x;
    int y;
    int cx;
    int cy;
    std::u16string_view caption;
    std::u16string_view fontFace;  // empty when the template names no font
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charset;
    std::span<const DialogItem> items;  // in template order, which is the tab order
};

struct Toolbar {
    UINT id;
    LangId lang;
    WORD version;
    WORD width;  // size of one button image, in pixels
    WORD height;
    std::span<const WORD> items;  // command ids in order; 0 marks a separator
};

// Bytes embedded from a file (a whole .bmp or .ico file) or written out as
// RCDATA.
struct Blob {
    UINT id;
    LangId lang;
    const unsigned char* data;
    std::size_t size;

    std::span<const unsigned char> Bytes() const { return {data, size}; }

    // The little-endian 16-bit word at word index i; 0 past the end.
    WORD Word(std::size_t i) const
    {
        if (2 * i + 1 >= size)
            return 0;
        return static_cast<WORD>(data[2 * i] | (data[2 * i + 1] << 8));
    }
};

struct VersionValue {
    std::u16string_view key;
    std::u16string_view value;
};

// One BLOCK of StringFileInfo, named by language and code page in hex
// (u"040904b0").
struct VersionStringTable {
    std::u16string_view block;
    std::span<const VersionValue> values;
};

struct VersionTranslation {
    WORD lang;
    WORD codePage;
};

struct VersionInfo {
    UINT id;
    LangId lang;
    std::array<WORD, 4> fileVersion;
    std::array<WORD, 4> productVersion;
    DWORD fileFlagsMask;
    DWORD fileFlags;
    DWORD fileOS;
    DWORD fileType;
    DWORD fileSubtype;
    std::span<const VersionStringTable> stringTables;
    std::span<const VersionTranslation> translations;

    // The value of key in the first string table that has it.
    std::optional<std::u16string_view> Value(std::u16string_view key) const
    {
        for (const VersionStringTable& table : stringTables)
            for (const VersionValue& v : table.values)
                if (v.key == key)
                    return v.value;
        return std::nullopt;
    }
};

// Everything one resource script defines. Lists a script does not fill
// stay empty, so a module can be written by hand with designated
// initialisers for just the lists it needs.
struct Module {
    std::span<const StringResource> strings = {};
    std::span<const Menu> menus = {};
    std::span<const AcceleratorTable> accelerators = {};
    std::span<const DialogTemplate> dialogs = {};       // named by number
    std::span<const DialogTemplate> namedDialogs = {};  // named by string, sorted by name
    std::span<const Toolbar> toolbars = {};
    std::span<const Blob> bitmaps = {};
    std::span<const Blob> icons = {};
    std::span<const Blob> rcdata = {};
    std::span<const VersionInfo> versions = {};
};

}  // namespace res
