// What the parser makes of a resource script: every resource it defines,
// with the values the run-time structures (ResourceTypes.h) will hold.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "CompileError.h"

namespace rc {

using LangId = std::uint16_t;

// A resource is named by a 16-bit number or, for dialogs, by a string.
struct ResourceName {
    std::uint16_t id = 0;
    std::u16string name;  // upper-case; empty when named by number
};

struct StringEntry {
    std::uint16_t id;
    LangId lang;
    std::u16string text;
};

struct MenuNode {
    std::u16string text;
    std::uint16_t id = 0;
    std::uint32_t flags = 0;
    std::vector<MenuNode> children;
};

struct MenuResource {
    std::uint16_t id;
    LangId lang;
    std::vector<MenuNode> items;
};

struct AccelEntry {
    std::uint8_t flags;
    std::uint16_t key;
    std::uint16_t cmd;
};

struct AccelResource {
    std::uint16_t id;
    LangId lang;
    std::vector<AccelEntry> entries;
};

struct ControlEntry {
    std::u16string className;
    std::u16string text;
    std::uint16_t textId = 0;
    std::int32_t id = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct DialogResource {
    ResourceName name;
    LangId lang = 0;
    bool extended = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    std::u16string caption;
    std::u16string fontFace;
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 0;
    std::vector<ControlEntry> controls;
};

struct ToolbarResource {
    std::uint16_t id;
    LangId lang;
    std::uint16_t width;
    std::uint16_t height;
    std::vector<std::uint16_t> items;  // 0 for a separator
};

struct BlobResource {
    std::uint16_t id;
    LangId lang;
    std::vector<unsigned char> bytes;
};

struct VersionBlock {
    std::u16string name;
    std::vector<std::pair<std::u16string, std::u16string>> values;
};

struct VersionResource {
    std::uint16_t id = 0;
    LangId lang = 0;
    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::vector<VersionBlock> stringTables;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;  // language, code page
};

// All lists are in script order; the code generator sorts them.
struct ResourceScript {
    std::vector<StringEntry> strings;
    std::vector<MenuResource> menus;
    std::vector<AccelResource> accelerators;
    std::vector<DialogResource> dialogs;
    std::vector<ToolbarResource> toolbars;
    std::vector<BlobResource> bitmaps;
    std::vector<BlobResource> icons;
    std::vector<BlobResource> rcdata;
    std::vector<VersionResource> versions;
};

}  // namespace rc
