// Run-time look-up of resources by number.
//
// A program registers its own compiled module with AfxSetResourceHandle; the
// framework's module (FrameworkResources) is searched after it, so a program
// may override a framework string by defining the same id. Every pointer and
// view returned refers to static data and stays valid for the program's life.
#pragma once

#include <optional>
#include <string_view>

#include "framework/base/Types.h"
#include "framework/res/ResourceTypes.h"

// The framework's own resources, compiled from framework/res/Framework.rc.
const res::Module& FrameworkResources();

void AfxSetResourceHandle(const res::Module* module);
const res::Module* AfxGetResourceHandle();

namespace res {

// Search the program's module, then the framework's.
std::optional<std::u16string_view> FindString(UINT id);
const Menu* FindMenu(UINT id);
const AcceleratorTable* FindAccelerators(UINT id);
const DialogTemplate* FindDialog(UINT id);
const DialogTemplate* FindDialog(std::u16string_view name);  // case-insensitive
const Toolbar* FindToolbar(UINT id);
const Blob* FindBitmap(UINT id);  // the bytes of a .bmp file
const Blob* FindIcon(UINT id);    // the bytes of an .ico file with all images of the group
const Blob* FindRCData(UINT id);
const VersionInfo* FindVersionInfo(UINT id);

// Search one module only.
std::optional<std::u16string_view> FindString(const Module& module, UINT id);
const Menu* FindMenu(const Module& module, UINT id);
const AcceleratorTable* FindAccelerators(const Module& module, UINT id);
const DialogTemplate* FindDialog(const Module& module, UINT id);
const DialogTemplate* FindDialog(const Module& module, std::u16string_view name);
const Toolbar* FindToolbar(const Module& module, UINT id);
const Blob* FindBitmap(const Module& module, UINT id);
const Blob* FindIcon(const Module& module, UINT id);
const Blob* FindRCData(const Module& module, UINT id);
const VersionInfo* FindVersionInfo(const Module& module, UINT id);

}  // namespace res
