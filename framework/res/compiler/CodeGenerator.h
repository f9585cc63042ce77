// Writes the C++ source file that holds a compiled script: constant arrays
// of the structures in framework/res/ResourceTypes.h, and one function,
// named by the caller, that returns the script's res::Module.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "ResourceScript.h"

namespace rc {

class CodeGenerator {
public:
    CodeGenerator(std::string symbol, std::string scriptName);

    std::string Generate(const ResourceScript& script);

    // A u"..."sv literal that reads back as text, whatever it contains.
    static std::string Literal(std::u16string_view text);

private:
    void Strings(const ResourceScript& script);
    std::string MenuItems(const std::vector<MenuNode>& items, const std::string& name);
    void Menus(const ResourceScript& script);
    void Accelerators(const ResourceScript& script);
    void Dialogs(const ResourceScript& script);
    void Toolbars(const ResourceScript& script);
    void Blobs(const std::vector<BlobResource>& blobs, const std::string& prefix, const std::string& list);
    void Versions(const ResourceScript& script);

    std::string symbol_;
    std::string scriptName_;
    std::ostringstream out_;
    std::vector<std::string> fields_;  // the Module's initialisers, in member order
};

}  // namespace rc
