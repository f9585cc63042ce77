// Reads the statements of a resource script from the preprocessed token
// stream and collects the resources they define.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ExpressionParser.h"
#include "Preprocessor.h"
#include "ResourceScript.h"
#include "SourceFiles.h"

namespace rc {

class Parser {
public:
    Parser(Preprocessor& in, SourceFiles& files);

    // Every resource of the script, each list ordered by id; dialogs named
    // by number come before those named by string, which are in name order.
    ResourceScript Parse();

private:
    void Statement();
    ResourceName ParseName();
    LangId ParseLanguage();
    LangId ParseOptions(LangId lang);
    void SkipMemoryOptions();

    void StringTable();
    void Menu(const ResourceName& name, const Token& type);
    std::vector<MenuNode> MenuItems(const Token& begin);
    std::uint32_t MenuOptions();
    void Accelerators(const ResourceName& name, const Token& type);
    AccelEntry Accelerator();
    void Dialog(const ResourceName& name, const Token& type);
    ControlEntry Control(const Token& keyword, bool extended);
    void ControlTail(ControlEntry& control, bool extended);
    void Toolbar(const ResourceName& name, const Token& type);
    void FileResource(const ResourceName& name, const Token& type);
    void RCData(const ResourceName& name, const Token& type);
    void VersionInfo(const ResourceName& name, const Token& type);
    void VersionStringTables(VersionResource& version, const Token& begin);
    void VersionTranslations(VersionResource& version, const Token& begin);

    std::vector<unsigned char> ReadEmbeddedFile(const Token& fileName);
    std::uint16_t NumericId(const ResourceName& name, const Token& type) const;
    void Register(const std::string& kind, const std::string& name, const SourceLocation& where);

    std::u16string ParseString(const char* what);
    std::uint16_t ParseWord(const char* what);
    int ParseCoordinate(const char* what);
    Token ExpectBegin(const std::string& what);
    void ExpectComma(const char* after);
    bool MoreItems(const Token& begin);

    Preprocessor& in_;
    SourceFiles& files_;
    ExpressionParser expr_;
    LangId language_ = 0;
    ResourceScript script_;
    std::map<std::string, SourceLocation> defined_;
};

}  // namespace rc
