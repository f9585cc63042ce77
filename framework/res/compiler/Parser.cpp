#include "Parser.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "PlatformValues.h"
#include "TextEncoding.h"

namespace rc {

using namespace platform;

namespace {

// What each dialog control statement creates, and the style it starts from.
// typeMask covers the bits that hold a control type rather than flags: a
// type written out in the statement's style replaces the implied one, so
// "COMBOBOX ..., CBS_DROPDOWN" makes a drop-down, not CBS_SIMPLE|CBS_DROPDOWN.
struct ControlKind {
    std::string_view keyword;
    std::u16string_view className;
    std::uint32_t style;
    std::uint32_t typeMask;
    bool hasText;
};

constexpr ControlKind kControls[] = {
    {"LTEXT", u"STATIC", SS_LEFT | WS_GROUP, SS_TYPEMASK, true},
    {"CTEXT", u"STATIC", SS_CENTER | WS_GROUP, SS_TYPEMASK, true},
    {"RTEXT", u"STATIC", SS_RIGHT | WS_GROUP, SS_TYPEMASK, true},
    {"PUSHBUTTON", u"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK, true},
    {"DEFPUSHBUTTON", u"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, BS_TYPEMASK, true},
    {"CHECKBOX", u"BUTTON", BS_CHECKBOX | WS_TABSTOP, BS_TYPEMASK, true},
    {"AUTOCHECKBOX", u"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, BS_TYPEMASK, true},
    {"STATE3", u"BUTTON", BS_3STATE | WS_TABSTOP, BS_TYPEMASK, true},
    {"AUTO3STATE", u"BUTTON", BS_AUTO3STATE | WS_TABSTOP, BS_TYPEMASK, true},
    {"RADIOBUTTON", u"BUTTON", BS_RADIOBUTTON, BS_TYPEMASK, true},
    {"AUTORADIOBUTTON", u"BUTTON", BS_AUTORADIOBUTTON, BS_TYPEMASK, true},
    {"GROUPBOX", u"BUTTON", BS_GROUPBOX, BS_TYPEMASK, true},
    {"EDITTEXT", u"EDIT", ES_LEFT | WS_BORDER | WS_TABSTOP, ES_ALIGNMASK, false},
    {"COMBOBOX", u"COMBOBOX", CBS_SIMPLE | WS_TABSTOP, CBS_TYPEMASK, false},
    {"LISTBOX", u"LISTBOX", LBS_NOTIFY | WS_BORDER, 0, false},
};

constexpr std::string_view kWindowClasses[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX", "SCROLLBAR"};

// Loading hints of 16-bit days; accepted and ignored.
constexpr std::string_view kMemoryOptions[]
    = {"MOVEABLE", "FIXED", "PURE", "IMPURE", "PRELOAD", "LOADONCALL", "DISCARDABLE", "SHARED", "NONSHARED"};

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::u16string UpperName(std::u16string s)
{
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return s;
}

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string NameText(const ResourceName& name)
{
    return name.name.empty() ? std::to_string(name.id) : "\"" + Utf16ToUtf8(name.name) + "\"";
}

bool IsBlockEnd(const Token& t) { return t.IsKeyword("END") || t.IsPunct('}'); }

bool IsBlockBegin(const Token& t) { return t.IsKeyword("BEGIN") || t.IsPunct('{'); }

void AppendWord(std::vector<unsigned char>& out, std::uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

std::uint32_t ReadLE(const std::vector<unsigned char>& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + i];
    return v;
}

bool LooksLikeIcon(const std::vector<unsigned char>& b)
{
    if (b.size() < 6 || ReadLE(b, 0, 2) != 0 || ReadLE(b, 2, 2) != 1)
        return false;
    const std::uint32_t count = ReadLE(b, 4, 2);
    if (count == 0 || 6 + 16 * count > b.size())
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint64_t size = ReadLE(b, entry + 8, 4);
        const std::uint64_t offset = ReadLE(b, entry + 12, 4);
        if (size == 0 || offset + size > b.size())
            return false;
    }
    return true;
}

bool LooksLikeBitmap(const std::vector<unsigned char>& b) { return b.size() >= 14 + 12 && b[0] == 'B' && b[1] == 'M'; }

}  // namespace

Parser::Parser(Preprocessor& in, SourceFiles& files) : in_(in), files_(files), expr_(in) {}

ResourceScript Parser::Parse()
{
    while (in_.Peek().kind != TokenKind::End)
        Statement();

    // Look-ups bisect each list by id (dialogs named by string: by name).
    auto byId = [](const auto& a, const auto& b) { return a.id < b.id; };
    std::stable_sort(script_.strings.begin(), script_.strings.end(), byId);
    std::stable_sort(script_.menus.begin(), script_.menus.end(), byId);
    std::stable_sort(script_.accelerators.begin(), script_.accelerators.end(), byId);
    std::stable_sort(script_.toolbars.begin(), script_.toolbars.end(), byId);
    std::stable_sort(script_.bitmaps.begin(), script_.bitmaps.end(), byId);
    std::stable_sort(script_.icons.begin(), script_.icons.end(), byId);
    std::stable_sort(script_.rcdata.begin(), script_.rcdata.end(), byId);
    std::stable_sort(script_.versions.begin(), script_.versions.end(), byId);
    std::stable_sort(script_.dialogs.begin(), script_.dialogs.end(),
                     [](const DialogResource& a, const DialogResource& b) {
                         if (a.name.name.empty() != b.name.name.empty())
                             return a.name.name.empty();
                         return a.name.name.empty() ? a.name.id < b.name.id : a.name.name < b.name.name;
                     });
    return std::move(script_);
}

void Parser::Statement()
{
    const Token& first = in_.Peek();
    if (first.IsKeyword("LANGUAGE")) {
        in_.Next();
        language_ = ParseLanguage();
        return;
    }
    if (first.IsKeyword("STRINGTABLE")) {
        in_.Next();
        StringTable();
        return;
    }
    if (first.IsKeyword("CHARACTERISTICS") || first.IsKeyword("VERSION")) {
        in_.Next();
        expr_.ParseNumber("a number");
        return;
    }

    const ResourceName name = ParseName();
    const Token type = in_.Next();
    if (type.kind != TokenKind::Identifier)
        throw CompileError(type.where,
                           "expected a resource type after " + NameText(name) + ", found " + type.Describe());
    if (type.IsKeyword("MENU"))
        Menu(name, type);
    else if (type.IsKeyword("ACCELERATORS"))
        Accelerators(name, type);
    else if (type.IsKeyword("DIALOG") || type.IsKeyword("DIALOGEX"))
        Dialog(name, type);
    else if (type.IsKeyword("TOOLBAR"))
        Toolbar(name, type);
    else if (type.IsKeyword("BITMAP") || type.IsKeyword("ICON"))
        FileResource(name, type);
    else if (type.IsKeyword("RCDATA"))
        RCData(name, type);
    else if (type.IsKeyword("VERSIONINFO"))
        VersionInfo(name, type);
    else
        throw CompileError(type.where, "unsupported resource type '" + type.text + "'");
}

ResourceName Parser::ParseName()
{
    const Token& t = in_.Peek();
    ResourceName name;
    if (t.kind == TokenKind::String) {
        name.name = UpperName(ParseString("a resource name"));
        return name;
    }
    if (t.kind == TokenKind::Identifier) {
        // An identifier that survived macro expansion is a name, not a number.
        name.name = Widen(Upper(in_.Next().text));
        return name;
    }
    if (!ExpressionParser::Starts(t))
        throw CompileError(t.where, "expected a resource statement, found " + t.Describe());
    const SourceLocation where = t.where;
    const std::uint32_t id = expr_.ParseNumber("a resource id");
    if (id == 0 || id > 0xFFFF)
        throw CompileError(where, "resource id " + std::to_string(id) + " is not between 1 and 65535");
    name.id = static_cast<std::uint16_t>(id);
    return name;
}

std::uint16_t Parser::NumericId(const ResourceName& name, const Token& type) const
{
    if (!name.name.empty())
        throw CompileError(type.where,
                           Upper(type.text) + " " + NameText(name)
                               + ": this resource type is looked up by number, and '" + Utf16ToUtf8(name.name)
                               + "' is not a defined number");
    return name.id;
}

void Parser::Register(const std::string& kind, const std::string& name, const SourceLocation& where)
{
    const std::string key = kind + " " + name;
    auto [it, added] = defined_.emplace(key, where);
    if (!added)
        throw CompileError(where,
                           key + " is already defined at " + it->second.file + ":" + std::to_string(it->second.line));
}

LangId Parser::ParseLanguage()
{
    const SourceLocation where = in_.Peek().where;
    const std::uint32_t primary = expr_.ParseNumber("a language");
    ExpectComma("the primary language");
    const std::uint32_t sub = expr_.ParseNumber("a sublanguage");
    if (primary > 0x3FF || sub > 0x3F)
        throw CompileError(where,
                           "language " + std::to_string(primary) + ", " + std::to_string(sub) + " is out of range");
    return static_cast<LangId>((sub << 10) | primary);
}

// LANGUAGE, CHARACTERISTICS and VERSION may stand between a resource's
// header and its body.
LangId Parser::ParseOptions(LangId lang)
{
    for (;;) {
        const Token& t = in_.Peek();
        if (t.IsKeyword("LANGUAGE")) {
            in_.Next();
            lang = ParseLanguage();
        } else if (t.IsKeyword("CHARACTERISTICS") || t.IsKeyword("VERSION")) {
            in_.Next();
            expr_.ParseNumber("a number");
        } else {
            return lang;
        }
    }
}

void Parser::SkipMemoryOptions()
{
    while (std::any_of(std::begin(kMemoryOptions), std::end(kMemoryOptions),
                       [this](std::string_view o) { return in_.Peek().IsKeyword(o); }))
        in_.Next();
}

std::u16string Parser::ParseString(const char* what)
{
    Token t = in_.Next();
    if (t.kind != TokenKind::String)
        throw CompileError(t.where, std::string("expected ") + what + " in quotes, found " + t.Describe());
    std::u16string text = t.str;
    while (in_.Peek().kind == TokenKind::String)  // adjacent literals join
        text += in_.Next().str;
    return text;
}

std::uint16_t Parser::ParseWord(const char* what)
{
    const SourceLocation where = in_.Peek().where;
    const std::uint32_t v = expr_.ParseNumber(what);
    if (v > 0xFFFF)
        throw CompileError(where, std::string(what) + " " + std::to_string(v) + " does not fit in 16 bits");
    return static_cast<std::uint16_t>(v);
}

int Parser::ParseCoordinate(const char* what)
{
    const SourceLocation where = in_.Peek().where;
    const auto v = static_cast<std::int32_t>(expr_.ParseNumber(what));
    if (v < -32768 || v > 32767)
        throw CompileError(where, std::string(what) + " " + std::to_string(v) + " is out of range");
    return v;
}

Token Parser::ExpectBegin(const std::string& what)
{
    Token t = in_.Next();
    if (!IsBlockBegin(t))
        throw CompileError(t.where, "expected BEGIN or '{' to start " + what + ", found " + t.Describe());
    return t;
}

void Parser::ExpectComma(const char* after)
{
    const Token t = in_.Next();
    if (!t.IsPunct(','))
        throw CompileError(t.where, std::string("expected ',' after ") + after + ", found " + t.Describe());
}

// True while the block opened by begin has items left; consumes its END.
bool Parser::MoreItems(const Token& begin)
{
    const Token& t = in_.Peek();
    if (t.kind == TokenKind::End)
        throw CompileError(begin.where, "block has no END");
    if (IsBlockEnd(t)) {
        in_.Next();
        return false;
    }
    return true;
}

void Parser::StringTable()
{
    SkipMemoryOptions();
    const LangId lang = ParseOptions(language_);
    const Token begin = ExpectBegin("STRINGTABLE");
    while (MoreItems(begin)) {
        const SourceLocation where = in_.Peek().where;
        const std::uint16_t id = ParseWord("a string id");
        if (in_.Peek().IsPunct(','))
            in_.Next();
        std::u16string text = ParseString("the text of a string");
        Register("string", std::to_string(id), where);
        script_.strings.push_back({id, lang, std::move(text)});
    }
}

void Parser::Menu(const ResourceName& name, const Token& type)
{
    MenuResource menu{NumericId(name, type), 0, {}};
    Register("MENU", NameText(name), type.where);
    SkipMemoryOptions();
    menu.lang = ParseOptions(language_);
    const Token begin = ExpectBegin("MENU " + NameText(name));
    menu.items = MenuItems(begin);
    script_.menus.push_back(std::move(menu));
}

std::vector<MenuNode> Parser::MenuItems(const Token& begin)
{
    std::vector<MenuNode> items;
    while (MoreItems(begin)) {
        const Token keyword = in_.Next();
        MenuNode node;
        if (keyword.IsKeyword("MENUITEM")) {
            if (in_.Peek().IsKeyword("SEPARATOR")) {
                in_.Next();
                node.flags = MF_SEPARATOR;
            } else {
                node.text = ParseString("the text of a menu item");
                ExpectComma("the text of a menu item");
                node.id = ParseWord("a menu item id");
                node.flags = MenuOptions();
            }
        } else if (keyword.IsKeyword("POPUP")) {
            node.text = ParseString("the text of a pop-up menu");
            node.flags = MF_POPUP | MenuOptions();
            const Token inner = ExpectBegin("POPUP \"" + Utf16ToUtf8(node.text) + "\"");
            node.children = MenuItems(inner);
        } else {
            throw CompileError(keyword.where, "expected MENUITEM or POPUP, found " + keyword.Describe());
        }
        items.push_back(std::move(node));
    }
    return items;
}

std::uint32_t Parser::MenuOptions()
{
    static constexpr std::pair<std::string_view, std::uint32_t> kOptions[] = {
        {"GRAYED", MF_GRAYED},       {"INACTIVE", MF_DISABLED},
        {"CHECKED", MF_CHECKED},     {"MENUBARBREAK", MF_MENUBARBREAK},
        {"MENUBREAK", MF_MENUBREAK}, {"HELP", MF_HELP},
    };
    std::uint32_t flags = 0;
    for (;;) {
        bool comma = false;
        if (in_.Peek().IsPunct(',')) {
            in_.Next();
            comma = true;
        }
        const Token& t = in_.Peek();
        auto it = std::find_if(std::begin(kOptions), std::end(kOptions),
                               [&t](const auto& o) { return t.IsKeyword(o.first); });
        if (it == std::end(kOptions)) {
            if (comma)
                throw CompileError(t.where, "unknown menu option " + t.Describe());
            return flags;
        }
        in_.Next();
        flags |= it->second;
    }
}

void Parser::Accelerators(const ResourceName& name, const Token& type)
{
    AccelResource table{NumericId(name, type), 0, {}};
    Register("ACCELERATORS", NameText(name), type.where);
    SkipMemoryOptions();
    table.lang = ParseOptions(language_);
    const Token begin = ExpectBegin("ACCELERATORS " + NameText(name));
    while (MoreItems(begin))
        table.entries.push_back(Accelerator());
    if (!table.entries.empty())
        table.entries.back().flags |= FACCEL_END;
    script_.accelerators.push_back(std::move(table));
}

// "key", id [, type] [, options]: the key is a character ("A", or "^A" for
// the control character), or a number such as a virtual-key constant.
AccelEntry Parser::Accelerator()
{
    const Token keyToken = in_.Peek();
    std::u16string keyText;
    std::uint32_t key = 0;
    if (keyToken.kind == TokenKind::String) {
        keyText = in_.Next().str;
    } else {
        key = expr_.ParseNumber("an accelerator key");
        if (key > 0xFFFF)
            throw CompileError(keyToken.where, "accelerator key " + std::to_string(key) + " is out of range");
    }
    ExpectComma("the accelerator key");
    const std::uint16_t cmd = ParseWord("a command id");

    std::uint8_t flags = 0;
    bool ascii = false;
    while (in_.Peek().IsPunct(',')) {
        in_.Next();
        const Token option = in_.Next();
        if (option.IsKeyword("VIRTKEY"))
            flags |= FVIRTKEY;
        else if (option.IsKeyword("ASCII"))
            ascii = true;
        else if (option.IsKeyword("NOINVERT"))
            flags |= FNOINVERT;
        else if (option.IsKeyword("SHIFT"))
            flags |= FSHIFT;
        else if (option.IsKeyword("CONTROL"))
            flags |= FCONTROL;
        else if (option.IsKeyword("ALT"))
            flags |= FALT;
        else
            throw CompileError(option.where, "unknown accelerator option " + option.Describe());
    }
    const bool virtKey = flags & FVIRTKEY;
    if (virtKey && ascii)
        throw CompileError(keyToken.where, "an accelerator cannot be both VIRTKEY and ASCII");
    if (!virtKey && (flags & (FSHIFT | FCONTROL)))
        throw CompileError(keyToken.where, "SHIFT and CONTROL need VIRTKEY");

    if (keyToken.kind == TokenKind::String) {
        if (keyText.size() == 2 && keyText[0] == u'^') {
            if (virtKey)
                throw CompileError(keyToken.where, "a '^' control character cannot be a VIRTKEY");
            char16_t c = keyText[1];
            if (c >= u'a' && c <= u'z')
                c = static_cast<char16_t>(c - u'a' + u'A');
            if (c < u'@' || c > u'_')
                throw CompileError(keyToken.where, "'^' must be followed by a letter");
            key = c - u'@';
        } else if (keyText.size() == 1) {
            key = keyText[0];
            if (virtKey && key >= u'a' && key <= u'z')  // virtual keys of letters are upper-case
                key = key - u'a' + u'A';
        } else {
            throw CompileError(keyToken.where,
                               "accelerator key " + keyToken.Describe() + " must be a single character");
        }
    }
    return AccelEntry{flags, static_cast<std::uint16_t>(key), cmd};
}

void Parser::Dialog(const ResourceName& name, const Token& type)
{
    DialogResource dialog;
    dialog.name = name;
    dialog.extended = type.IsKeyword("DIALOGEX");
    Register("DIALOG", NameText(name), type.where);
    SkipMemoryOptions();
    dialog.x = ParseCoordinate("x");
    ExpectComma("x");
    dialog.y = ParseCoordinate("y");
    ExpectComma("y");
    dialog.cx = ParseCoordinate("width");
    ExpectComma("width");
    dialog.cy = ParseCoordinate("height");
    if (dialog.extended && in_.Peek().IsPunct(',')) {
        in_.Next();
        expr_.ParseNumber("a help id");
    }

    dialog.lang = language_;
    dialog.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    bool hasCaption = false;
    bool hasFont = false;
    for (;;) {
        const Token& t = in_.Peek();
        if (IsBlockBegin(t))
            break;
        const Token option = in_.Next();
        if (option.IsKeyword("CAPTION")) {
            dialog.caption = ParseString("a caption");
            hasCaption = true;
        } else if (option.IsKeyword("STYLE")) {
            dialog.style = expr_.ParseStyle().ApplyTo(0);
        } else if (option.IsKeyword("EXSTYLE")) {
            dialog.exStyle = expr_.ParseStyle().ApplyTo(0);
        } else if (option.IsKeyword("FONT")) {
            dialog.pointSize = ParseWord("a point size");
            ExpectComma("the point size");
            dialog.fontFace = ParseString("a font name");
            hasFont = true;
            if (in_.Peek().IsPunct(',')) {
                in_.Next();
                dialog.weight = ParseWord("a font weight");
                if (in_.Peek().IsPunct(',')) {
                    in_.Next();
                    dialog.italic = static_cast<std::uint8_t>(expr_.ParseNumber("italic") & 0xFF);
                    if (in_.Peek().IsPunct(',')) {
                        in_.Next();
                        dialog.charset = static_cast<std::uint8_t>(expr_.ParseNumber("a character set") & 0xFF);
                    }
                }
            }
        } else if (option.IsKeyword("LANGUAGE")) {
            dialog.lang = ParseLanguage();
        } else if (option.IsKeyword("CHARACTERISTICS") || option.IsKeyword("VERSION")) {
            expr_.ParseNumber("a number");
        } else if (option.IsKeyword("MENU") || option.IsKeyword("CLASS")) {
            throw CompileError(option.where, "dialog " + Upper(option.text) + " is not supported");
        } else {
            throw CompileError(option.where, "expected a dialog option or BEGIN, found " + option.Describe());
        }
    }
    if (hasCaption)
        dialog.style |= WS_CAPTION;
    if (hasFont)
        dialog.style |= DS_SETFONT;

    const Token begin = ExpectBegin("DIALOG " + NameText(name));
    while (MoreItems(begin))
        dialog.controls.push_back(Control(in_.Next(), dialog.extended));
    script_.dialogs.push_back(std::move(dialog));
}

ControlEntry Parser::Control(const Token& keyword, bool extended)
{
    ControlEntry control;
    auto textOrIcon = [&](const char* what) {
        if (in_.Peek().kind == TokenKind::String)
            control.text = ParseString(what);
        else
            control.textId = ParseWord(what);
    };
    auto id = [&] { control.id = static_cast<std::int32_t>(expr_.ParseNumber("a control id")); };

    if (keyword.IsKeyword("CONTROL")) {
        textOrIcon("the control's text");
        ExpectComma("the control's text");
        id();
        ExpectComma("the control id");
        const Token cls = in_.Next();
        if (cls.kind == TokenKind::String) {
            control.className = cls.str;
            const std::string upper = Upper(Utf16ToUtf8(cls.str));
            if (std::find(std::begin(kWindowClasses), std::end(kWindowClasses), upper) != std::end(kWindowClasses))
                control.className = Widen(upper);
        } else if (cls.kind == TokenKind::Identifier
                   && std::find(std::begin(kWindowClasses), std::end(kWindowClasses), Upper(cls.text))
                       != std::end(kWindowClasses)) {
            control.className = Widen(Upper(cls.text));
        } else {
            throw CompileError(cls.where, "expected a window class, found " + cls.Describe());
        }
        ExpectComma("the window class");
        control.style = expr_.ParseStyle().ApplyTo(WS_CHILD | WS_VISIBLE);
        ExpectComma("the style");
        control.x = ParseCoordinate("x");
        ExpectComma("x");
        control.y = ParseCoordinate("y");
        ExpectComma("y");
        control.cx = ParseCoordinate("width");
        ExpectComma("width");
        control.cy = ParseCoordinate("height");
        if (in_.Peek().IsPunct(',')) {
            in_.Next();
            control.exStyle = expr_.ParseStyle().ApplyTo(0);
            if (extended && in_.Peek().IsPunct(',')) {
                in_.Next();
                expr_.ParseNumber("a help id");
            }
        }
        return control;
    }

    if (keyword.IsKeyword("ICON")) {
        control.className = u"STATIC";
        control.style = WS_CHILD | WS_VISIBLE | SS_ICON;
        textOrIcon("the icon");
        ExpectComma("the icon");
        id();
        ExpectComma("the control id");
        control.x = ParseCoordinate("x");
        ExpectComma("x");
        control.y = ParseCoordinate("y");
        if (in_.Peek().IsPunct(',')) {
            in_.Next();
            control.cx = ParseCoordinate("width");
            ExpectComma("width");
            control.cy = ParseCoordinate("height");
            if (in_.Peek().IsPunct(',')) {
                in_.Next();
                const Value style = expr_.ParseStyle();
                control.style = style.ApplyTo(control.style & ~((style.set & SS_TYPEMASK) ? SS_TYPEMASK : 0));
                ControlTail(control, extended);
            }
        }
        return control;
    }

    const auto* kind = std::find_if(std::begin(kControls), std::end(kControls),
                                    [&keyword](const ControlKind& k) { return keyword.IsKeyword(k.keyword); });
    if (kind == std::end(kControls))
        throw CompileError(keyword.where, "expected a control statement or END, found " + keyword.Describe());

    control.className = kind->className;
    if (kind->hasText) {
        control.text = ParseString("the control's text");
        ExpectComma("the control's text");
    }
    id();
    ExpectComma("the control id");
    control.x = ParseCoordinate("x");
    ExpectComma("x");
    control.y = ParseCoordinate("y");
    ExpectComma("y");
    control.cx = ParseCoordinate("width");
    ExpectComma("width");
    control.cy = ParseCoordinate("height");
    control.style = WS_CHILD | WS_VISIBLE | kind->style;
    if (in_.Peek().IsPunct(',')) {
        in_.Next();
        const Value style = expr_.ParseStyle();
        if (style.set & kind->typeMask)
            control.style &= ~kind->typeMask;
        control.style = style.ApplyTo(control.style);
        ControlTail(control, extended);
    }
    return control;
}

// The optional extended style (and help id of DIALOGEX) after a style.
void Parser::ControlTail(ControlEntry& control, bool extended)
{
    if (!in_.Peek().IsPunct(','))
        return;
    in_.Next();
    control.exStyle = expr_.ParseStyle().ApplyTo(0);
    if (extended && in_.Peek().IsPunct(',')) {
        in_.Next();
        expr_.ParseNumber("a help id");
    }
}

void Parser::Toolbar(const ResourceName& name, const Token& type)
{
    ToolbarResource toolbar{NumericId(name, type), 0, 0, 0, {}};
    Register("TOOLBAR", NameText(name), type.where);
    SkipMemoryOptions();
    toolbar.width = ParseWord("a button width");
    ExpectComma("the button width");
    toolbar.height = ParseWord("a button height");
    toolbar.lang = ParseOptions(language_);
    const Token begin = ExpectBegin("TOOLBAR " + NameText(name));
    while (MoreItems(begin)) {
        const Token item = in_.Next();
        if (item.IsKeyword("BUTTON"))
            toolbar.items.push_back(ParseWord("a command id"));
        else if (item.IsKeyword("SEPARATOR"))
            toolbar.items.push_back(0);
        else
            throw CompileError(item.where, "expected BUTTON or SEPARATOR, found " + item.Describe());
    }
    script_.toolbars.push_back(std::move(toolbar));
}

std::vector<unsigned char> Parser::ReadEmbeddedFile(const Token& fileName)
{
    const std::string name = Utf16ToUtf8(fileName.str);
    const std::filesystem::path dir = std::filesystem::path(fileName.where.file).parent_path();
    auto found = files_.Find(name, &dir);
    if (!found)
        throw CompileError(fileName.where, "cannot find file '" + name + "'");
    const std::string bytes = files_.Read(*found, fileName.where);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

void Parser::FileResource(const ResourceName& name, const Token& type)
{
    const bool icon = type.IsKeyword("ICON");
    BlobResource blob{NumericId(name, type), 0, {}};
    Register(Upper(type.text), NameText(name), type.where);
    SkipMemoryOptions();
    blob.lang = ParseOptions(language_);
    const Token file = in_.Next();
    if (file.kind != TokenKind::String)
        throw CompileError(file.where, "expected a file name in quotes, found " + file.Describe());
    blob.bytes = ReadEmbeddedFile(file);
    if (icon && !LooksLikeIcon(blob.bytes))
        throw CompileError(file.where, "'" + Utf16ToUtf8(file.str) + "' is not an icon file");
    if (!icon && !LooksLikeBitmap(blob.bytes))
        throw CompileError(file.where, "'" + Utf16ToUtf8(file.str) + "' is not a BMP file");
    (icon ? script_.icons : script_.bitmaps).push_back(std::move(blob));
}

// Raw data: a file's bytes, or a block of numbers (16-bit words, 32-bit with
// an L suffix) and strings (their characters without a terminator: bytes for
// "...", 16-bit units for L"...").
void Parser::RCData(const ResourceName& name, const Token& type)
{
    BlobResource blob{NumericId(name, type), 0, {}};
    Register("RCDATA", NameText(name), type.where);
    SkipMemoryOptions();
    blob.lang = ParseOptions(language_);
    if (in_.Peek().kind == TokenKind::String) {
        blob.bytes = ReadEmbeddedFile(in_.Next());
        script_.rcdata.push_back(std::move(blob));
        return;
    }
    const Token begin = ExpectBegin("RCDATA " + NameText(name));
    while (MoreItems(begin)) {
        if (in_.Peek().kind == TokenKind::String) {
            const Token s = in_.Next();
            for (char16_t c : s.str) {
                if (s.wide) {
                    AppendWord(blob.bytes, c);
                } else if (c > 0xFF) {
                    char code[8];
                    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(c));
                    throw CompileError(s.where,
                                       std::string("character U+") + code
                                           + " does not fit in a byte; write the string as L\"...\"");
                } else {
                    blob.bytes.push_back(static_cast<unsigned char>(c));
                }
            }
        } else {
            const Value v = expr_.ParsePlain("a data value");
            AppendWord(blob.bytes, v.set);
            if (v.isLong)
                AppendWord(blob.bytes, v.set >> 16);
        }
        if (in_.Peek().IsPunct(','))
            in_.Next();
    }
    script_.rcdata.push_back(std::move(blob));
}

void Parser::VersionInfo(const ResourceName& name, const Token& type)
{
    VersionResource version;
    version.id = NumericId(name, type);
    version.lang = language_;
    Register("VERSIONINFO", NameText(name), type.where);
    SkipMemoryOptions();

    auto versionNumbers = [this](std::array<std::uint16_t, 4>& parts) {
        parts = {};
        parts[0] = ParseWord("a version number");
        for (std::size_t i = 1; i < parts.size() && in_.Peek().IsPunct(','); ++i) {
            in_.Next();
            parts[i] = ParseWord("a version number");
        }
    };
    for (;;) {
        const Token& t = in_.Peek();
        if (IsBlockBegin(t))
            break;
        const Token option = in_.Next();
        if (option.IsKeyword("FILEVERSION"))
            versionNumbers(version.fileVersion);
        else if (option.IsKeyword("PRODUCTVERSION"))
            versionNumbers(version.productVersion);
        else if (option.IsKeyword("FILEFLAGSMASK"))
            version.fileFlagsMask = expr_.ParseNumber("a flag mask");
        else if (option.IsKeyword("FILEFLAGS"))
            version.fileFlags = expr_.ParseNumber("file flags");
        else if (option.IsKeyword("FILEOS"))
            version.fileOS = expr_.ParseNumber("an operating system");
        else if (option.IsKeyword("FILETYPE"))
            version.fileType = expr_.ParseNumber("a file type");
        else if (option.IsKeyword("FILESUBTYPE"))
            version.fileSubtype = expr_.ParseNumber("a file subtype");
        else if (option.IsKeyword("LANGUAGE"))
            version.lang = ParseLanguage();
        else
            throw CompileError(option.where, "expected a version statement or BEGIN, found " + option.Describe());
    }

    const Token begin = ExpectBegin("VERSIONINFO");
    while (MoreItems(begin)) {
        const Token block = in_.Next();
        if (!block.IsKeyword("BLOCK"))
            throw CompileError(block.where, "expected BLOCK, found " + block.Describe());
        const Token blockName = in_.Peek();
        const std::u16string kind = ParseString("a block name");
        const Token inner = ExpectBegin("BLOCK");
        if (kind == u"StringFileInfo")
            VersionStringTables(version, inner);
        else if (kind == u"VarFileInfo")
            VersionTranslations(version, inner);
        else
            throw CompileError(blockName.where, "unknown version block " + blockName.Describe());
    }
    script_.versions.push_back(std::move(version));
}

void Parser::VersionStringTables(VersionResource& version, const Token& begin)
{
    while (MoreItems(begin)) {
        const Token block = in_.Next();
        if (!block.IsKeyword("BLOCK"))
            throw CompileError(block.where, "expected BLOCK, found " + block.Describe());
        VersionBlock table;
        table.name = ParseString("a language and code page");
        const Token inner = ExpectBegin("BLOCK");
        while (MoreItems(inner)) {
            const Token value = in_.Next();
            if (!value.IsKeyword("VALUE"))
                throw CompileError(value.where, "expected VALUE, found " + value.Describe());
            std::u16string key = ParseString("a key");
            ExpectComma("the key");
            std::u16string text = ParseString("a value");
            while (!text.empty() && text.back() == u'\0')  // a terminator written out adds nothing
                text.pop_back();
            table.values.emplace_back(std::move(key), std::move(text));
        }
        version.stringTables.push_back(std::move(table));
    }
}

void Parser::VersionTranslations(VersionResource& version, const Token& begin)
{
    while (MoreItems(begin)) {
        const Token value = in_.Next();
        if (!value.IsKeyword("VALUE"))
            throw CompileError(value.where, "expected VALUE, found " + value.Describe());
        const Token key = in_.Peek();
        if (ParseString("a key") != u"Translation")
            throw CompileError(key.where, "VarFileInfo holds only \"Translation\"");
        while (in_.Peek().IsPunct(',')) {
            in_.Next();
            const std::uint16_t lang = ParseWord("a language");
            ExpectComma("the language");
            const std::uint16_t codePage = ParseWord("a code page");
            version.translations.emplace_back(lang, codePage);
        }
    }
}

}  // namespace rc
