// The resource compiler, driven as the build drives it: tessel-rc runs on
// small scripts, and its --list output shows what it made of them. Then the
// look-ups over the compiled framework module, and the image decoders.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "framework/base/AfxRes.h"
#include "framework/base/WinUser.h"
#include "framework/res/Image.h"
#include "framework/res/Resources.h"

namespace fs = std::filesystem;

namespace {

// Not from __FILE__: a compiler cache may hand the compiler a relative path,
// which would then depend on the folder the test runs in.
const fs::path kRepoRoot = TESSEL_SOURCE_DIR;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// One temporary folder per test, holding the script and whatever it uses.
class ResourceCompiler : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        dir_ = fs::temp_directory_path()
            / ("tessel-rc-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return dir_ / name;
    }

    RunResult Run(const std::string& arguments)
    {
        const std::string command = std::string("'") + TESSEL_RC_PATH + "' " + arguments + " -I " + Quote(kRepoRoot)
            + " >" + Quote(dir_ / "stdout") + " 2>" + Quote(dir_ / "stderr");
        const int status = std::system(command.c_str());
        RunResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadText(dir_ / "stdout");
        result.err = ReadText(dir_ / "stderr");
        return result;
    }

    // The listing of a script; fails the test if the script does not compile.
    std::string List(const std::string& script)
    {
        const RunResult r = Run(Quote(Write("test.rc", script)) + " --list");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

    fs::path ScriptPath() const { return dir_ / "test.rc"; }

    fs::path dir_;
};

bool HasLine(const std::string& listing, const std::string& line)
{
    std::istringstream in(listing);
    for (std::string l; std::getline(in, l);)
        if (l == line)
            return true;
    return false;
}

std::string Hex8(DWORD v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

// One control line of a listing.
struct ListedControl {
    std::string className;
    std::string text;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

std::vector<ListedControl> Controls(const std::string& listing)
{
    static const std::regex line(
        R"re(^  "(\w+)" ("(?:[^"\\]|\\.)*"|#\d+) id (-?\d+) style 0x([0-9A-F]{8}) exstyle 0x([0-9A-F]{8}) at (-?\d+),(-?\d+) size (-?\d+)x(-?\d+)$)re");
    std::vector<ListedControl> controls;
    std::istringstream in(listing);
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (!std::regex_match(l, m, line))
            continue;
        controls.push_back({m[1], m[2], std::stoi(m[3]), static_cast<DWORD>(std::stoul(m[4], nullptr, 16)),
                            static_cast<DWORD>(std::stoul(m[5], nullptr, 16)), std::stoi(m[6]), std::stoi(m[7]),
                            std::stoi(m[8]), std::stoi(m[9])});
    }
    return controls;
}

// --- Errors ---------------------------------------------------------------

struct ErrorCase {
    const char* what;
    const char* script;
    int line;
    const char* message;
};

const ErrorCase kErrorCases[] = {
    {"undefined name", "1 MENU\nBEGIN\n  MENUITEM \"x\", ID_NOPE\nEND\n", 3, "undefined symbol 'ID_NOPE'"},
    {"unterminated string", "STRINGTABLE\nBEGIN\n  1 \"abc\n  2 \"d\"\nEND\n", 3, "unterminated string"},
    {"unknown escape", "STRINGTABLE\nBEGIN\n  1 \"a\\qb\"\nEND\n", 3, "unknown escape sequence '\\q'"},
    {"missing END", "1 MENU\nBEGIN\n  MENUITEM \"x\", 5\n", 2, "block has no END"},
    {"unknown type", "\n1 CURSOR \"x.cur\"\n", 2, "unsupported resource type 'CURSOR'"},
    {"unknown control", "1 DIALOG 0, 0, 9, 9\nBEGIN\n  SLIDER 5, 0, 0, 1, 1\nEND\n", 3,
     "expected a control statement or END, found 'SLIDER'"},
    {"missing comma", "1 DIALOG 0, 0, 9, 9\nBEGIN\n  LTEXT \"a\" 5, 0, 0, 1, 1\nEND\n", 3,
     "expected ',' after the control's text, found '5'"},
    {"duplicate string", "STRINGTABLE\nBEGIN\n  7 \"a\"\nEND\nSTRINGTABLE\nBEGIN\n  7 \"b\"\nEND\n", 7,
     "string 7 is already defined at {script}:3"},
    {"NOT outside a style", "STRINGTABLE\nBEGIN\n  NOT 5 \"a\"\nEND\n", 3,
     "NOT is only allowed in styles, not in a string id"},
    {"NOT with +", "1 DIALOG 0, 0, 9, 9\nBEGIN\n  LTEXT \"a\", 1, 0, 0, 1, 1, NOT 4 + 1\nEND\n", 3,
     "NOT can only be combined with '|', not with '+'"},
    {"id out of range", "70000 MENU\nBEGIN\nEND\n", 1, "resource id 70000 is not between 1 and 65535"},
    {"misspelt id", "IDR_MAINFAME MENU\nBEGIN\nEND\n", 1,
     "MENU \"IDR_MAINFAME\": this resource type is looked up by number, and 'IDR_MAINFAME' is not a defined number"},
    {"long accelerator key", "1 ACCELERATORS\nBEGIN\n  \"AB\", 5, VIRTKEY\nEND\n", 3,
     "accelerator key \"AB\" must be a single character"},
    {"control key without VIRTKEY", "1 ACCELERATORS\nBEGIN\n  \"A\", 5, CONTROL\nEND\n", 3,
     "SHIFT and CONTROL need VIRTKEY"},
    {"missing include", "#include \"nowhere.h\"\n", 1, "cannot find include file 'nowhere.h'"},
    {"missing bitmap", "\n\n1 BITMAP \"missing.bmp\"\n", 3, "cannot find file 'missing.bmp'"},
    {"not a bitmap", "1 BITMAP \"test.rc\"\n", 1, "'test.rc' is not a BMP file"},
    {"else without if", "// text\n#else\n", 2, "#else without #if"},
    {"unclosed ifdef", "#ifdef X\n1 MENU BEGIN END\n", 1, "conditional without #endif"},
    {"number too large", "STRINGTABLE BEGIN 0x100000000 \"a\" END\n", 1,
     "number '0x100000000' does not fit in 32 bits"},
    {"malformed number", "STRINGTABLE BEGIN 12ab \"a\" END\n", 1, "malformed number '12ab'"},
    {"self-referring macro", "#define LOOP LOOP + 1\nSTRINGTABLE BEGIN LOOP \"a\" END\n", 2, "undefined symbol 'LOOP'"},
    {"wide character in narrow data", "1 RCDATA { \"\xE2\x82\xAC\" }\n", 1,
     "character U+20AC does not fit in a byte; write the string as L\"...\""},
    {"bad UTF-8", "STRINGTABLE BEGIN 1 \"\xC3(\" END\n", 1, "string is not valid UTF-8"},
    {"unknown menu option", "1 MENU { MENUITEM \"a\", 5, BOLD }\n", 1, "unknown menu option 'BOLD'"},
    {"include cycle", "#include \"test.rc\"\n", 1, "#include nested too deeply"},
    {"line after block comment", "/* one\ntwo\nthree */\nSTRINGTABLE BEGIN 1 \"a\" 2 END\n", 4,
     "expected the text of a string in quotes, found 'END'"},
};

TEST_F(ResourceCompiler, ReportsErrorsWithFileAndLine)
{
    for (const ErrorCase& c : kErrorCases) {
        SCOPED_TRACE(c.what);
        const fs::path script = Write("test.rc", c.script);
        const fs::path output = dir_ / "out.cpp";
        Write("out.cpp", "stale");  // a result of an earlier run must not survive
        const RunResult r = Run(Quote(script) + " -o " + Quote(output) + " --symbol Test");

        std::string message = c.message;
        if (auto at = message.find("{script}"); at != std::string::npos)
            message.replace(at, 8, script.string());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, script.string() + ":" + std::to_string(c.line) + ": error: " + message + "\n");
        EXPECT_FALSE(fs::exists(output));
    }
}

TEST_F(ResourceCompiler, NamesTheIncludedFileAnErrorIsIn)
{
    const fs::path inner = Write("inner.rc", "\nSTRINGTABLE\nBEGIN\n  UNKNOWN \"x\"\nEND\n");
    const RunResult r = Run(Quote(Write("test.rc", "#include \"inner.rc\"\n")) + " --list");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, inner.string() + ":4: error: undefined symbol 'UNKNOWN'\n");
}

TEST_F(ResourceCompiler, RefusesBadArguments)
{
    EXPECT_EQ(Run("").exitCode, 2);
    EXPECT_EQ(Run(Quote(Write("test.rc", "")) + " -o x.cpp --symbol 1bad").exitCode, 2);
}

// --- Dialog styles --------------------------------------------------------

struct StyleCase {
    const char* statement;
    const char* className;
    DWORD style;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const StyleCase kStyleCases[] = {
    {"LTEXT \"a\", 1, 0, 0, 9, 9", "STATIC", kChild | SS_LEFT | WS_GROUP},
    {"LTEXT \"a\", 1, 0, 0, 9, 9, SS_NOPREFIX", "STATIC", kChild | SS_LEFT | WS_GROUP | SS_NOPREFIX},
    {"CTEXT \"a\", 1, 0, 0, 9, 9", "STATIC", kChild | SS_CENTER | WS_GROUP},
    {"RTEXT \"a\", 1, 0, 0, 9, 9, NOT WS_GROUP", "STATIC", kChild | SS_RIGHT},
    {"PUSHBUTTON \"a\", 1, 0, 0, 9, 9", "BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP},
    {"DEFPUSHBUTTON \"a\", 1, 0, 0, 9, 9, WS_DISABLED", "BUTTON", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED},
    {"AUTOCHECKBOX \"a\", 1, 0, 0, 9, 9", "BUTTON", kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
    {"CHECKBOX \"a\", 1, 0, 0, 9, 9", "BUTTON", kChild | BS_CHECKBOX | WS_TABSTOP},
    {"GROUPBOX \"a\", 1, 0, 0, 9, 9", "BUTTON", kChild | BS_GROUPBOX},
    {"EDITTEXT 1, 0, 0, 9, 9", "EDIT", kChild | ES_LEFT | WS_BORDER | WS_TABSTOP},
    {"EDITTEXT 1, 0, 0, 9, 9, ES_NUMBER | ES_AUTOHSCROLL", "EDIT",
     kChild | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL},
    {"EDITTEXT 1, 0, 0, 9, 9, ES_MULTILINE | NOT WS_BORDER", "EDIT", kChild | WS_TABSTOP | ES_MULTILINE},
    {"EDITTEXT 1, 0, 0, 9, 9, NOT WS_TABSTOP | WS_TABSTOP", "EDIT", kChild | WS_BORDER | WS_TABSTOP},
    {"EDITTEXT 1, 0, 0, 9, 9, WS_VSCROLL | NOT WS_TABSTOP", "EDIT", kChild | WS_BORDER | WS_VSCROLL},
    {"COMBOBOX 1, 0, 0, 9, 9", "COMBOBOX", kChild | CBS_SIMPLE | WS_TABSTOP},
    {"COMBOBOX 1, 0, 0, 9, 9, CBS_DROPDOWN | CBS_SORT | WS_VSCROLL", "COMBOBOX",
     kChild | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP},
    {"COMBOBOX 1, 0, 0, 9, 9, CBS_DROPDOWNLIST", "COMBOBOX", kChild | CBS_DROPDOWNLIST | WS_TABSTOP},
    {"LISTBOX 1, 0, 0, 9, 9", "LISTBOX", kChild | LBS_NOTIFY | WS_BORDER},
    {"ICON 128, 1, 0, 0", "STATIC", kChild | SS_ICON},
    {"CONTROL \"a\", 1, \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0, 9, 9", "BUTTON",
     kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
    {"CONTROL \"a\", 1, STATIC, SS_CENTER | NOT WS_VISIBLE, 0, 0, 9, 9", "STATIC", WS_CHILD | SS_CENTER},
    {"CONTROL \"a\", 1, \"MyClass\", (0x10 | 0x20) & ~0x10, 0, 0, 9, 9", "MyClass", kChild | 0x20},
};

TEST_F(ResourceCompiler, GivesControlsTheStylesTheirStatementsImply)
{
    for (const StyleCase& c : kStyleCases) {
        SCOPED_TRACE(c.statement);
        const auto controls
            = Controls(List("#include \"framework/base/WinUser.h\"\n"
                            "1 DIALOG 0, 0, 100, 100\nBEGIN\n    "
                            + std::string(c.statement) + "\nEND\n"));
        ASSERT_EQ(controls.size(), 1u);
        EXPECT_EQ(controls[0].className, c.className);
        EXPECT_EQ(Hex8(controls[0].style), Hex8(c.style));
    }
}

TEST_F(ResourceCompiler, KeepsControlOrderTextIdsAndPositions)
{
    const auto controls
        = Controls(List("#define IDC_STATIC (-1)\n"
                        "1 DIALOGEX 0, 0, 100, 100\nBEGIN\n"
                        "  ICON 128, IDC_STATIC, 11, 17, 20, 20\n"
                        "  LTEXT \"Line\", 1009, 0, 1, 98, 8\n"
                        "  EDITTEXT 1000, 39, -2, 32, 14, 0, 0x200\n"
                        "END\n"));
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0].text, "#128");
    EXPECT_EQ(controls[0].id, -1);
    EXPECT_EQ((std::vector<int>{controls[0].x, controls[0].y, controls[0].cx, controls[0].cy}),
              (std::vector<int>{11, 17, 20, 20}));
    EXPECT_EQ(controls[1].text, "\"Line\"");
    EXPECT_EQ(controls[1].id, 1009);
    EXPECT_EQ(controls[2].y, -2);
    EXPECT_EQ(controls[2].exStyle, 0x200u);
}

TEST_F(ResourceCompiler, DerivesDialogStylesFromCaptionAndFont)
{
    const std::string listing = List(
        "#include \"framework/base/WinUser.h\"\n"
        "1 DIALOG 0, 0, 139, 89\n"
        "STYLE WS_POPUP\nEXSTYLE WS_EX_CAPTIONOKBTN\n"
        "CAPTION \"About\"\nFONT 8, \"System\"\nBEGIN\nEND\n"
        "2 DIALOG 1, 2, 3, 4\nBEGIN\nEND\n"
        "\"find\" DIALOG 0, 0, 9, 9\nBEGIN\nEND\n");
    EXPECT_TRUE(HasLine(listing,
                        "dialog 1 lang 0 style " + Hex8(WS_POPUP | WS_CAPTION | DS_SETFONT) + " exstyle "
                            + Hex8(WS_EX_CAPTIONOKBTN) + " at 0,0 size 139x89 caption \"About\" font 8 \"System\""))
        << listing;
    EXPECT_TRUE(HasLine(listing,
                        "dialog 2 lang 0 style " + Hex8(WS_POPUP | WS_BORDER | WS_SYSMENU)
                            + " exstyle 0x00000000 at 1,2 size 3x4 caption \"\" font 0 \"\""))
        << listing;
    EXPECT_NE(listing.find("dialog \"FIND\" lang 0"), std::string::npos) << listing;
}

TEST_F(ResourceCompiler, OrdersResourcesForLookUp)
{
    const std::string listing = List(
        "\"zeta\" DIALOG 0, 0, 1, 1 {}\n"
        "30 DIALOG 0, 0, 1, 1 {}\n"
        "Alpha DIALOG 0, 0, 1, 1 {}\n"
        "4 DIALOG 0, 0, 1, 1 {}\n"
        "STRINGTABLE { 9 \"nine\" 2 \"two\" }\n"
        "STRINGTABLE { 5 \"five\" }\n");
    std::vector<std::string> heads;
    std::istringstream in(listing);
    for (std::string l; std::getline(in, l);)
        heads.push_back(l.substr(0, l.find(" lang")));
    EXPECT_EQ(heads,
              (std::vector<std::string>{"string 2", "string 5", "string 9", "dialog 4", "dialog 30", "dialog \"ALPHA\"",
                                        "dialog \"ZETA\""}));
}

// --- Strings --------------------------------------------------------------

struct EscapeCase {
    const char* literal;
    const char* listed;
};

const EscapeCase kEscapeCases[] = {
    {R"("plain %1")", R"("plain %1")"},
    {R"("a\nb")", R"("a\nb")"},
    {R"("tab\there")", R"("tab\there")"},
    {R"("cr\r")", R"("cr\r")"},
    {R"("back\\slash")", R"("back\\slash")"},
    {R"("say \"hi\"")", R"("say \"hi\"")"},
    {R"("say ""hi""")", R"("say \"hi\"")"},
    {R"("\x41\x7e")", R"("A~")"},
    {R"(L"\x20AC")", R"("\u20AC")"},
    {R"("\x20AC")", R"(" AC")"},  // a narrow string takes two hex digits
    {R"("caf)"
     "\xC3\xA9"
     R"(")",
     R"("caf\u00E9")"},
    {R"("\101")", R"("A")"},
    {R"("joined " "parts")", R"("joined parts")"},
    {R"("")", R"("")"},
};

TEST_F(ResourceCompiler, ResolvesStringEscapes)
{
    for (const EscapeCase& c : kEscapeCases) {
        SCOPED_TRACE(c.literal);
        const std::string listing = List("STRINGTABLE\nBEGIN\n  5 " + std::string(c.literal) + "\nEND\n");
        EXPECT_TRUE(HasLine(listing, std::string("string 5 lang 0 ") + c.listed)) << listing;
    }
}

TEST_F(ResourceCompiler, RecordsLanguagesPerResource)
{
    const std::string listing = List(
        "#include \"framework/res/ResourceDefs.h\"\n"
        "STRINGTABLE BEGIN 1 \"neutral\" END\n"
        "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
        "STRINGTABLE BEGIN 2 \"english\" END\n"
        "STRINGTABLE LANGUAGE LANG_GERMAN, SUBLANG_GERMAN_SWISS BEGIN 3 \"swiss\" END\n"
        "132 DIALOG 0, 0, 9, 9\nLANGUAGE 0x07, 0x02\nBEGIN\nEND\n"
        "STRINGTABLE BEGIN 4 \"english again\" END\n");
    EXPECT_TRUE(HasLine(listing, "string 1 lang 0 \"neutral\""));
    EXPECT_TRUE(HasLine(listing, "string 2 lang 1033 \"english\""));
    EXPECT_TRUE(HasLine(listing, "string 3 lang 2055 \"swiss\""));
    EXPECT_TRUE(HasLine(listing, "string 4 lang 1033 \"english again\""));
    EXPECT_NE(listing.find("dialog 132 lang 2055 "), std::string::npos) << listing;
}

struct ExpressionCase {
    const char* expression;
    int value;
};

const ExpressionCase kExpressionCases[] = {
    {"1 + 2 * 3", 7},      {"(1 + 2) * 3", 9},          {"7 / 2", 3}, {"0x10 | 3 & 1", 17},
    {"(0x10 | 3) & 1", 1}, {"10 - 4 - 3", 3},           {"-1", -1},   {"~0", -1},
    {"~0xF & 0x3F", 0x30}, {"WS_GROUP / 0x100", 0x200}, {"+5", 5},    {"0x7fffffffL", 0x7fffffff},
};

TEST_F(ResourceCompiler, EvaluatesExpressionsWithCPrecedence)
{
    for (const ExpressionCase& c : kExpressionCases) {
        SCOPED_TRACE(c.expression);
        const auto controls
            = Controls(List("#include \"framework/base/WinUser.h\"\n"
                            "1 DIALOG 0, 0, 9, 9\nBEGIN\n  LTEXT \"\", "
                            + std::string(c.expression) + ", 0, 0, 1, 1\nEND\n"));
        ASSERT_EQ(controls.size(), 1u);
        EXPECT_EQ(controls[0].id, c.value);
    }
}

// --- Menus, accelerators, toolbars, data ---------------------------------

TEST_F(ResourceCompiler, BuildsMenuTreesInOrder)
{
    const std::string listing = List(
        "1 MENU\nBEGIN\n"
        "  POPUP \"File\"\n  BEGIN\n"
        "    MENUITEM \"New\", 10\n    MENUITEM SEPARATOR\n"
        "    POPUP \"More\" { MENUITEM \"Deep\", 11, GRAYED CHECKED }\n"
        "  END\n"
        "  MENUITEM \"Top\", 12, INACTIVE\n"
        "END\n");
    EXPECT_EQ(listing,
              "menu 1 lang 0\n"
              "  popup \"File\" flags 0x10\n"
              "    item \"New\" id 10 flags 0x0\n"
              "    separator\n"
              "    popup \"More\" flags 0x10\n"
              "      item \"Deep\" id 11 flags 0x9\n"
              "  item \"Top\" id 12 flags 0x2\n");
}

TEST_F(ResourceCompiler, MarksTheLastAcceleratorAsTheEndOfItsTable)
{
    const std::string listing = List(
        "#include \"framework/base/WinUser.h\"\n"
        "1 ACCELERATORS\nBEGIN\n"
        "  \"N\", 57600, VIRTKEY, CONTROL\n"
        "  \"q\", 57665, VIRTKEY, CONTROL, SHIFT\n"
        "  \"^C\", 3\n"
        "  VK_F1, 4, VIRTKEY, ALT, NOINVERT\n"
        "END\n"
        "2 ACCELERATORS { \"a\", 5 }\n");
    EXPECT_EQ(listing,
              "accelerators 1 lang 0\n"
              "  key 0x4E cmd 57600 flags 0x09\n"
              "  key 0x51 cmd 57665 flags 0x0D\n"
              "  key 0x03 cmd 3 flags 0x00\n"
              "  key 0x70 cmd 4 flags 0x93\n"
              "accelerators 2 lang 0\n"
              "  key 0x61 cmd 5 flags 0x80\n");
}

TEST_F(ResourceCompiler, ListsToolbarButtonsAndSeparators)
{
    const std::string listing = List("7 TOOLBAR 16, 15\nBEGIN\n  BUTTON 100\n  SEPARATOR\n  BUTTON 101\nEND\n");
    EXPECT_EQ(listing, "toolbar 7 lang 0 size 16x15 items 100 0 101\n");
}

TEST_F(ResourceCompiler, WritesRCDataAsWordsLongsAndBytes)
{
    const std::string listing = List(
        "#define MARK 0xFFFE\n"
        "1 RCDATA\nBEGIN\n  128, 3, MARK, 1L, 0x12345678L, -2, \"ab\", L\"c\"\nEND\n");
    EXPECT_EQ(listing, "rcdata 1 lang 0 bytes 20: 80 00 03 00 FE FF 01 00 00 00 78 56 34 12 FE FF 61 62 63 00\n");
}

TEST_F(ResourceCompiler, ReadsVersionRecords)
{
    const std::string listing = List(
        "1 VERSIONINFO\n FILEVERSION 1,2,3,4\n PRODUCTVERSION 1,0\n"
        " FILEOS 0x4L\n FILETYPE 0x1L\nBEGIN\n"
        "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904b0\"\n    BEGIN\n"
        "      VALUE \"ProductName\", \"Tool\\0\"\n"
        "    END\n  END\n"
        "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\n"
        "END\n");
    EXPECT_EQ(listing,
              "versioninfo 1 lang 0 file 1.2.3.4 product 1.0.0.0 flagsmask 0x0 flags 0x0 os 0x4 type 0x1 "
              "subtype 0x0\n"
              "  block \"040904b0\" \"ProductName\" = \"Tool\"\n"
              "  translation 0x0409 1200\n");
}

// --- Preprocessing and files ---------------------------------------------

TEST_F(ResourceCompiler, ReadsConstantsFromHeadersAndSkipsTheRest)
{
    Write("ids.h",
          "#pragma once\n"
          "#include <cstdint>\n"
          "#define IDS_ONE 1  // a comment\n"
          "#define IDS_TWO (IDS_ONE + 1)\n"
          "#define MAX(a, b) ((a) > (b) ? (a) : (b))\n"
          "/* #define IDS_HIDDEN 9 */\n"
          "inline constexpr unsigned IDS_THREE = 0x3;\n"
          "inline constexpr int Twice(int v) { return 2 * v; }\n"
          "struct Anything { int x; };\n");
    const std::string listing = List(
        "#include \"ids.h\"\n"
        "#define IDS_FOUR IDS_THREE + 1\n"
        "#ifdef IDS_HIDDEN\nSTRINGTABLE BEGIN 9 \"hidden\" END\n#endif\n"
        "#ifndef IDS_ONE\nSTRINGTABLE BEGIN 8 \"skipped\" END\n#else\n"
        "STRINGTABLE BEGIN IDS_ONE \"one\" IDS_TWO \"two\" IDS_THREE \"three\" "
        "IDS_FOUR \"four\" END\n#endif\n"
        "#if 0\nthis is not read\n#endif\n");
    EXPECT_EQ(listing,
              "string 1 lang 0 \"one\"\nstring 2 lang 0 \"two\"\nstring 3 lang 0 \"three\"\n"
              "string 4 lang 0 \"four\"\n");
}

TEST_F(ResourceCompiler, WritesSourceAndDependencies)
{
    Write("ids.h", "#define IDR_MAIN 128\n");
    const std::string bmp = std::string("BM") + std::string(60, '\0');
    Write("image.bmp", bmp);
    const fs::path script = Write("test.rc",
                                  "#include \"ids.h\"\nIDR_MAIN BITMAP \"image.bmp\"\n"
                                  "STRINGTABLE BEGIN IDR_MAIN \"Main\" END\n");
    const fs::path output = dir_ / "Out.cpp";
    const RunResult r = Run(Quote(script) + " -o " + Quote(output) + " --symbol ScriptResources --depfile "
                            + Quote(dir_ / "Out.cpp.d"));
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const std::string source = ReadText(output);
    EXPECT_NE(source.find("const res::Module& ScriptResources()"), std::string::npos);
    EXPECT_NE(source.find("{128, 0, u\"Main\"sv}"), std::string::npos) << source;
    EXPECT_NE(source.find("0x42, 0x4D, 0x00"), std::string::npos) << source;

    EXPECT_EQ(ReadText(dir_ / "Out.cpp.d"),
              output.string() + ": \\\n  " + script.string() + " \\\n  " + (dir_ / "ids.h").string() + " \\\n  "
                  + (dir_ / "image.bmp").string() + "\n");
}

// --- Look-ups -------------------------------------------------------------

TEST(ResourceLookup, FindsTheFrameworkFileErrorTexts)
{
    const char16_t* const texts[] = {
        u"No error occurred.",
        u"An unknown error occurred while accessing %1.",
        u"%1 was not found.",
        u"%1 contains an invalid path.",
        u"%1 could not be opened because there are too many open files.",
        u"Access to %1 was denied.",
        u"An invalid file handle was associated with %1.",
        u"%1 could not be removed because it is the current directory.",
        u"%1 could not be created because the directory is full.",
        u"Seek failed on %1",
        u"A hardware I/O error was reported while accessing %1.",
        u"A sharing violation occurred while accessing %1.",
        u"A locking violation occurred while accessing %1.",
        u"Disk full while accessing %1.",
        u"An attempt was made to access %1 past its end.",
    };
    for (UINT cause = 0; cause < std::size(texts); ++cause) {
        SCOPED_TRACE(cause);
        EXPECT_EQ(res::FindString(FrameworkResources(), AFX_IDP_FILE_NONE + cause), std::u16string_view(texts[cause]));
    }
    EXPECT_FALSE(res::FindString(FrameworkResources(), AFX_IDP_FILE_NONE + 15));
}

TEST(ResourceLookup, FindsTheFrameworkMessages)
{
    const std::pair<UINT, const char16_t*> strings[] = {
        {AFX_IDS_IDLEMESSAGE, u"Ready"},
        {AFX_IDS_OPENFILE, u"Open"},
        {AFX_IDS_SAVEFILE, u"Save As"},
        {AFX_IDS_ALLFILTER, u"All Files (*.*)"},
        {AFX_IDS_UNTITLED, u"Untitled"},
        {AFX_IDS_UNNAMED_FILE, u"an unnamed file"},
        {AFX_IDP_ASK_TO_SAVE, u"Save changes to %1?"},
        {AFX_IDP_FILE_TOO_LARGE, u"The file is too large to open."},
        {AFX_IDP_PARSE_INT, u"Please enter an integer."},
        {AFX_IDP_FILE_EXISTS_REPLACE, u"%1 already exists.\nDo you want to replace it?"},
        {AFX_IDP_PATH_NOT_FOUND_CHECK, u"%1\nPath does not exist.\nCheck the path and try again."},
        {AFX_IDP_REPLACE_PAST_LIMIT,
         u"The text would pass its size limit; %1 replacements would be cut short. Replace all anyway?"},
    };
    for (const auto& [id, text] : strings) {
        SCOPED_TRACE(id);
        EXPECT_EQ(res::FindString(id), std::u16string_view(text));
    }
}

// A program module written by hand, as the compiler would write it.
using namespace std::string_view_literals;
constexpr res::StringResource kProgramStrings[] = {{5, 1033, u"five"sv}, {AFX_IDS_IDLEMESSAGE, 1033, u"Idle"sv}};
constexpr res::DialogTemplate kProgramNamed[] = {
    {0, u"ALPHA"sv, 1033, false, 0, 0, 0, 0, 10, 10, {}, {}, 0, 0, 0, 0, {}},
    {0, u"WCE_FINDDLG"sv, 1033, false, 0, 0, 0, 0, 20, 20, {}, {}, 0, 0, 0, 0, {}},
};
constexpr res::Module kProgram = {.strings = kProgramStrings, .namedDialogs = kProgramNamed};

constexpr res::MenuItem kMenuItems[] = {{u"File"sv, 0, MF_POPUP, {}}};
constexpr res::Menu kMenus[] = {{3, 1033, kMenuItems}, {128, 1033, {}}, {200, 1033, {}}};
constexpr WORD kButtons[] = {ID_FILE_NEW, 0, ID_FILE_OPEN};
constexpr res::Toolbar kToolbars[] = {{128, 1033, 1, 16, 16, kButtons}};
constexpr unsigned char kRecord[] = {0x80, 0x00, 0xFE, 0xFF, 0x07};
constexpr res::Blob kBlobs[] = {{128, 1033, kRecord, sizeof kRecord}};

TEST(ResourceLookup, FindsEachKindByNumberInOneModule)
{
    constexpr res::Module module = {.menus = kMenus, .toolbars = kToolbars, .rcdata = kBlobs};
    for (UINT id : {3u, 128u, 200u})
        EXPECT_EQ(res::FindMenu(module, id)->id, id);
    for (UINT id : {0u, 2u, 4u, 127u, 129u, 201u})
        EXPECT_EQ(res::FindMenu(module, id), nullptr) << id;
    EXPECT_EQ(res::FindToolbar(module, 128)->items[2], ID_FILE_OPEN);
    EXPECT_EQ(res::FindRCData(module, 128)->Word(0), 128);
    EXPECT_EQ(res::FindRCData(module, 128)->Word(1), 0xFFFE);
    EXPECT_EQ(res::FindRCData(module, 128)->Word(2), 0);  // half a word at the end reads as nothing
    EXPECT_EQ(res::FindBitmap(module, 128), nullptr);
    EXPECT_EQ(res::FindIcon(module, 128), nullptr);
    EXPECT_EQ(res::FindAccelerators(module, 128), nullptr);
    EXPECT_EQ(res::FindVersionInfo(module, 1), nullptr);
}

class ProgramModule : public ::testing::Test {
protected:
    void SetUp() override { AfxSetResourceHandle(&kProgram); }
    void TearDown() override { AfxSetResourceHandle(nullptr); }
};

TEST_F(ProgramModule, IsSearchedBeforeTheFramework)
{
    EXPECT_EQ(AfxGetResourceHandle(), &kProgram);
    EXPECT_EQ(res::FindString(AFX_IDS_IDLEMESSAGE), u"Idle"sv);
    EXPECT_EQ(res::FindString(5), u"five"sv);
    EXPECT_EQ(res::FindString(AFX_IDS_UNTITLED), u"Untitled"sv);
    EXPECT_FALSE(res::FindString(6));
    EXPECT_EQ(res::FindMenu(1), nullptr);
}

TEST_F(ProgramModule, FindsNamedDialogsInAnyCase)
{
    const res::DialogTemplate* find = res::FindDialog(u"wce_FindDlg"sv);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->cx, 20);
    EXPECT_EQ(res::FindDialog(u"alpha"sv), &kProgramNamed[0]);
    EXPECT_EQ(res::FindDialog(u"ALPH"sv), nullptr);
    EXPECT_EQ(res::FindDialog(u"BETA"sv), nullptr);
}

// --- Images ---------------------------------------------------------------

// Little-endian writers for making image files in the tests.
void Put16(std::vector<unsigned char>& b, unsigned v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<unsigned char>& b, unsigned v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// An info header and a 16-colour palette whose entry i is (i, 2i, 3i).
std::vector<unsigned char> DibHeader(int width, int height)
{
    std::vector<unsigned char> b;
    for (unsigned v : {40u, unsigned(width), unsigned(height)})
        Put32(b, v);
    Put16(b, 1);
    Put16(b, 4);
    for (int i = 0; i < 6; ++i)
        Put32(b, i == 4 ? 16 : 0);  // compression, size, resolution x/y, colours used, important
    for (unsigned i = 0; i < 16; ++i)
        Put32(b, (i * 3) | ((i * 2) << 8) | (i << 16));
    return b;
}

// A 4-bit row of palette indices, padded to 32 bits.
void PutRow(std::vector<unsigned char>& b, const std::vector<int>& indices)
{
    const std::size_t start = b.size();
    for (std::size_t x = 0; x < indices.size(); x += 2)
        b.push_back(static_cast<unsigned char>((indices[x] << 4) | (x + 1 < indices.size() ? indices[x + 1] : 0)));
    while ((b.size() - start) % 4)
        b.push_back(0);
}

std::vector<unsigned char> Bitmap3x2()
{
    std::vector<unsigned char> dib = DibHeader(3, 2);
    PutRow(dib, {7, 8, 9});  // bottom row first
    PutRow(dib, {1, 2, 3});
    std::vector<unsigned char> file = {'B', 'M'};
    Put32(file, 14 + dib.size());
    Put32(file, 0);
    Put32(file, 14 + 40 + 64);
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

// An icon image of size x size pixels, every pixel colour `fill`, the mask
// leaving out the left column.
std::vector<unsigned char> IconImage(int size, int fill)
{
    std::vector<unsigned char> b = DibHeader(size, 2 * size);
    for (int y = 0; y < size; ++y)
        PutRow(b, std::vector<int>(size, fill));
    for (int y = 0; y < size; ++y) {
        Put32(b, 0x80);  // first byte 0x80: the leftmost pixel is transparent
    }
    return b;
}

std::vector<unsigned char> Icon(const std::vector<std::pair<int, int>>& images)
{
    std::vector<unsigned char> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, images.size());
    std::vector<std::vector<unsigned char>> data;
    std::size_t offset = 6 + 16 * images.size();
    for (const auto& [size, fill] : images) {
        data.push_back(IconImage(size, fill));
        file.push_back(size);
        file.push_back(size);
        file.push_back(16);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 4);
        Put32(file, data.back().size());
        Put32(file, offset);
        offset += data.back().size();
    }
    for (const auto& d : data)
        file.insert(file.end(), d.begin(), d.end());
    return file;
}

TEST(Image, DecodesA16ColourBitmapTopRowFirst)
{
    const auto image = res::DecodeBitmap(Bitmap3x2());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->pixels, (std::vector<signed char>{1, 2, 3, 7, 8, 9}));
    EXPECT_EQ(image->palette[5].r, 5);
    EXPECT_EQ(image->palette[5].g, 10);
    EXPECT_EQ(image->palette[5].b, 15);

    const res::Image part = res::CropImage(*image, 1, 0, 5, 1);
    EXPECT_EQ(part.width, 2);
    EXPECT_EQ(part.pixels, (std::vector<signed char>{2, 3}));
}

TEST(Image, DecodesTopDownAndTwoColourBitmaps)
{
    std::vector<unsigned char> file = Bitmap3x2();
    file[14 + 8] = 0xFE;  // height -2: rows run top-down
    file[14 + 9] = file[14 + 10] = file[14 + 11] = 0xFF;
    auto image = res::DecodeBitmap(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (std::vector<signed char>{7, 8, 9, 1, 2, 3}));

    file = Bitmap3x2();
    file[14 + 14] = 1;          // one bit a pixel
    file[14 + 32] = 2;          // two colours
    file[14 + 40 + 8] = 0x40;   // the bottom row, after the two-colour palette: 010
    file[14 + 40 + 12] = 0xA0;  // the top row: 101
    file[10] = 14 + 40 + 8;     // pixels start after the shorter palette
    image = res::DecodeBitmap(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (std::vector<signed char>{1, 0, 1, 0, 1, 0}));
}

TEST(Image, RefusesDamagedFiles)
{
    std::vector<unsigned char> bmp = Bitmap3x2();
    bmp.resize(bmp.size() - 1);
    EXPECT_FALSE(res::DecodeBitmap(bmp));
    EXPECT_FALSE(res::DecodeBitmap(std::vector<unsigned char>(80, 0)));
    std::vector<unsigned char> ico = Icon({{16, 1}});
    ico.resize(ico.size() - 10);
    EXPECT_FALSE(res::DecodeIcon(ico, 16));
}

TEST(Image, PicksTheIconImageNearestInSize)
{
    const std::vector<unsigned char> ico = Icon({{32, 3}, {16, 5}});
    struct Case {
        int wanted;
        int width;
        int colour;
    } cases[] = {{16, 16, 5}, {32, 32, 3}, {8, 16, 5}, {48, 32, 3}, {24, 32, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wanted);
        const auto image = res::DecodeIcon(ico, c.wanted);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.width);
        EXPECT_EQ(image->At(0, 0), -1);  // masked out
        EXPECT_EQ(image->At(1, 0), c.colour);
        EXPECT_EQ(image->At(c.width - 1, c.width - 1), c.colour);
    }
}

}  // namespace
