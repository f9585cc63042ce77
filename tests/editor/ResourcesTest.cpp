// The editor's resources as the program ships them: menu, accelerators,
// toolbar and bitmap, menu-bar record, strings, dialogs, icon and version.
#include "tests/support/EditorTest.h"

#include <cstdint>

#include "framework/app/DocTemplate.h"
#include "framework/res/ResourceDefs.h"
#include "framework/res/Resources.h"

namespace {

const res::Module& Editor() { return TesselResources(); }
constexpr res::LangId kEnglishUS = 1033;
constexpr res::LangId kGermanSwiss = 2055;

std::u16string StringOf(UINT id)
{
    auto s = res::FindString(Editor(), id);
    return s ? std::u16string(*s) : u"<missing>";
}

std::uint32_t Dword(std::span<const unsigned char> b, size_t at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16
        | std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t Word(std::span<const unsigned char> b, size_t at) { return std::uint16_t(b[at] | b[at + 1] << 8); }

}  // namespace

TEST(EditorResources, MenuHasThreeDropDownsInOrderWithoutMnemonics)
{
    const res::Menu* menu = res::FindMenu(Editor(), IDR_MAINFRAME);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->lang, kEnglishUS);
    struct Item {
        std::u16string_view text;
        UINT id;  // 0: separator
    };
    const std::vector<std::pair<std::u16string_view, std::vector<Item>>> expected = {
        {u"File",
         {{u"New", ID_FILE_NEW},
          {u"Open", ID_FILE_OPEN},
          {u"Save", ID_FILE_SAVE},
          {u"Save As", ID_FILE_SAVE_AS},
          {u"", 0},
          {u"Exit", ID_APP_EXIT}}},
        {u"Edit",
         {{u"Undo", ID_EDIT_UNDO},
          {u"", 0},
          {u"Cut", ID_EDIT_CUT},
          {u"Copy", ID_EDIT_COPY},
          {u"Paste", ID_EDIT_PASTE}}},
        {u"Tools", {{u"Find/Replace...", 32776}, {u"Goto...", 32775}, {u"", 0}, {u"About Tessera...", ID_APP_ABOUT}}},
    };
    ASSERT_EQ(menu->items.size(), expected.size());
    for (size_t m = 0; m < expected.size(); ++m) {
        const res::MenuItem& popup = menu->items[m];
        SCOPED_TRACE(CString(popup.text).ToUtf8());
        EXPECT_EQ(popup.text, expected[m].first);
        EXPECT_TRUE(popup.flags & MF_POPUP);
        ASSERT_EQ(popup.children.size(), expected[m].second.size());
        for (size_t i = 0; i < popup.children.size(); ++i) {
            const res::MenuItem& item = popup.children[i];
            const Item& want = expected[m].second[i];
            SCOPED_TRACE(i);
            if (want.id == 0) {
                EXPECT_TRUE(item.flags & MF_SEPARATOR);
                continue;
            }
            EXPECT_EQ(item.text, want.text);
            EXPECT_EQ(item.id, want.id);
            EXPECT_EQ(item.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP), 0u);
        }
    }
    EXPECT_EQ(ID_TOOLS_FIND_REPLACE, 32776);
    EXPECT_EQ(ID_TOOLS_GOTO, 32775);
}

TEST(EditorResources, EightCtrlAcceleratorsEndWithTheEndFlag)
{
    const res::AcceleratorTable* table = res::FindAccelerators(Editor(), IDR_MAINFRAME);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->lang, kEnglishUS);
    const std::pair<char, UINT> expected[]
        = {{'N', ID_FILE_NEW},  {'O', ID_FILE_OPEN}, {'S', ID_FILE_SAVE}, {'Q', ID_APP_EXIT},
           {'Z', ID_EDIT_UNDO}, {'X', ID_EDIT_CUT},  {'C', ID_EDIT_COPY}, {'V', ID_EDIT_PASTE}};
    ASSERT_EQ(table->entries.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const res::AccelEntry& e = table->entries[i];
        SCOPED_TRACE(expected[i].first);
        EXPECT_EQ(e.key, WORD(expected[i].first));
        EXPECT_EQ(e.cmd, expected[i].second);
        BYTE flags = FVIRTKEY | FCONTROL | (i == 7 ? FACCEL_END : 0);
        EXPECT_EQ(e.flags, flags);
    }
}

TEST(EditorResources, ToolbarHasNineButtonsAndAStripOfNineImages)
{
    const res::Toolbar* bar = res::FindToolbar(Editor(), IDR_MAINFRAME);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->version, 1);
    EXPECT_EQ(bar->width, 16);
    EXPECT_EQ(bar->height, 16);
    const std::vector<WORD> order = {ID_FILE_NEW,   ID_FILE_OPEN, ID_FILE_SAVE,          ID_EDIT_CUT,  ID_EDIT_COPY,
                                     ID_EDIT_PASTE, ID_APP_ABOUT, ID_TOOLS_FIND_REPLACE, ID_TOOLS_GOTO};
    EXPECT_EQ(std::vector<WORD>(bar->items.begin(), bar->items.end()), order);

    // Bitmap 128: a .bmp of 144 x 16 pixels at 4 bits a pixel.
    const res::Blob* bmp = res::FindBitmap(Editor(), IDR_MAINFRAME);
    ASSERT_NE(bmp, nullptr);
    auto b = bmp->Bytes();
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Dword(b, 18), 144u);
    EXPECT_EQ(Dword(b, 22), 16u);
    EXPECT_EQ(Word(b, 28), 4);
}

TEST(EditorResources, MenuBarRecordIs46BytesWordByWord)
{
    const res::Blob* record = res::FindRCData(Editor(), IDR_MAINFRAME);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->size, 46u);
    const WORD expected[23] = {
        128,    3,                          //
        0xFFFE, 32771, 4, 24, 32773, 0, 0,  // File
        0xFFFE, 105,   4, 24, 102,   0, 1,  // Edit
        0xFFFE, 106,   4, 24, 103,   0, 2,  // Tools
    };
    for (size_t i = 0; i < 23; ++i)
        EXPECT_EQ(record->Word(i), expected[i]) << "word " << i;
    // The labels the record names.
    EXPECT_EQ(StringOf(32773), u"File");
    EXPECT_EQ(StringOf(102), u"Edit");
    EXPECT_EQ(StringOf(103), u"Tools");
}

TEST_F(EditorTest, DocumentStringHasSevenFieldsInTheFrameworksOrder)
{
    EXPECT_EQ(StringOf(IDR_MAINFRAME), u"Tessel\n\nTessel\n\n\nTessel.Document\nTessel Document");
    ASSERT_TRUE(Start());
    CDocTemplate* tmpl = Doc()->GetDocTemplate();
    ASSERT_NE(tmpl, nullptr);
    const std::pair<CDocTemplate::DocStringIndex, std::u16string_view> fields[] = {
        {CDocTemplate::windowTitle, u"Tessel"},
        {CDocTemplate::docName, u""},
        {CDocTemplate::fileNewName, u"Tessel"},
        {CDocTemplate::filterName, u""},
        {CDocTemplate::filterExt, u""},
        {CDocTemplate::regFileTypeId, u"Tessel.Document"},
        {CDocTemplate::regFileTypeName, u"Tessel Document"},
    };
    for (auto [index, text] : fields) {
        CString value;
        tmpl->GetDocString(value, index);
        EXPECT_EQ(value, CString(text)) << "field " << int(index);
    }
    // Field 0 is the caption; the empty field 1 makes a new text "Untitled".
    EXPECT_EQ(Frame()->GetWindowText(), u"Tessel");
    EXPECT_EQ(Doc()->GetTitle(), u"Untitled");
}

TEST(EditorResources, StringsAndCommandPrompts)
{
    const std::pair<UINT, std::u16string_view> strings[] = {
        {65000, u"New"},
        {65001, u"File"},
        {65002, u"Help"},
        {65003, u"Save"},
        {65004, u"Cut"},
        {65005, u"Copy"},
        {65006, u"Paste"},
        {65007, u"About"},
        {65008, u"Line number is less than zero."},
        {65009, u"Line number is too big."},
        {ID_FILE_SAVE_AS, u"Save the active document with a new name\nSave As"},
        {ID_EDIT_UNDO, u"Undo the last action\nUndo"},
        {ID_EDIT_CUT, u"Cut the selection and put it on the Clipboard\nCut"},
        {ID_EDIT_COPY, u"Copy the selection and put it on the Clipboard\nCopy"},
        {ID_EDIT_PASTE, u"Insert Clipboard contents\nPaste"},
        {ID_APP_ABOUT, u"Display program information, version number and copyright\nAbout"},
        {ID_APP_EXIT, u"Quit the application; prompts to save documents\nExit"},
    };
    for (auto [id, text] : strings)
        EXPECT_EQ(StringOf(id), text) << "string " << id;
    // Commands that carry no prompt of the editor's own.
    for (UINT id :
         {UINT(ID_FILE_NEW), UINT(ID_FILE_OPEN), UINT(ID_FILE_SAVE), UINT(ID_TOOLS_FIND_REPLACE), UINT(ID_TOOLS_GOTO)})
        EXPECT_FALSE(res::FindString(Editor(), id).has_value()) << "string " << id;
    // The framework's idle prompt.
    EXPECT_EQ(res::FindString(57345).value_or(u""), u"Ready");
}

TEST(EditorResources, AboutBoxTemplate)
{
    const res::DialogTemplate* d = res::FindDialog(Editor(), IDD_ABOUTBOX);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->lang, kEnglishUS);
    EXPECT_EQ(d->caption, u"About Tessel");
    EXPECT_EQ(d->fontFace, u"System");
    EXPECT_EQ(d->pointSize, 8);
    EXPECT_EQ(d->cx, 139);
    EXPECT_EQ(d->cy, 89);
    EXPECT_EQ(d->style & (WS_POPUP | WS_CAPTION | DS_SETFONT), WS_POPUP | WS_CAPTION | DS_SETFONT);
    EXPECT_EQ(d->exStyle & WS_EX_CAPTIONOKBTN, WS_EX_CAPTIONOKBTN);
    ASSERT_EQ(d->items.size(), 3u);

    const res::DialogItem& icon = d->items[0];
    EXPECT_EQ(icon.className, u"STATIC");
    EXPECT_EQ(icon.style & 0x1F, SS_ICON);
    EXPECT_EQ(icon.textId, UINT(IDR_MAINFRAME));
    EXPECT_EQ(icon.id, -1);
    EXPECT_EQ((std::array{icon.x, icon.y, icon.cx, icon.cy}), (std::array{11, 17, 20, 20}));

    const res::DialogItem& version = d->items[1];
    EXPECT_EQ(version.text, u"Tessel Version 1.0");
    EXPECT_EQ(version.id, -1);
    EXPECT_EQ(version.style & (SS_NOPREFIX | WS_GROUP), SS_NOPREFIX | WS_GROUP);
    EXPECT_EQ((std::array{version.x, version.y, version.cx, version.cy}), (std::array{40, 10, 75, 8}));

    const res::DialogItem& build = d->items[2];
    EXPECT_EQ(build.text, u"Build: 57.0");
    EXPECT_EQ(build.id, -1);
    EXPECT_TRUE(build.style & WS_GROUP);
    EXPECT_EQ((std::array{build.x, build.y, build.cx, build.cy}), (std::array{7, 40, 78, 10}));
    // No buttons: the caption's OK button closes the box.
    for (const res::DialogItem& item : d->items)
        EXPECT_NE(item.className, u"BUTTON");
}

TEST(EditorResources, ToolPaneFormTemplate)
{
    const res::DialogTemplate* d = res::FindDialog(Editor(), IDD_TOOLVIEW);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->lang, kGermanSwiss);
    EXPECT_EQ(d->style & (WS_CHILD | DS_CONTROL | DS_SETFONT), WS_CHILD | DS_CONTROL | DS_SETFONT);
    EXPECT_EQ(d->style & WS_CAPTION, 0u);
    EXPECT_EQ(d->cx, 125);
    EXPECT_EQ(d->cy, 55);
    EXPECT_EQ(d->fontFace, u"System");
    EXPECT_EQ(d->pointSize, 8);

    struct Item {
        int id;
        std::u16string_view cls;
        std::u16string_view text;
        DWORD style;  // bits that must be set
        std::array<int, 4> rect;
    };
    const DWORD edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    const Item expected[] = {
        {1013, u"EDIT", u"", edit, {46, 15, 75, 12}},
        {1001, u"BUTTON", u"Find", WS_TABSTOP, {0, 29, 41, 12}},
        {1011, u"BUTTON", u"Replace", WS_TABSTOP, {41, 29, 41, 12}},
        {1012, u"BUTTON", u"Replace all", WS_TABSTOP, {82, 29, 41, 12}},
        {1002, u"COMBOBOX", u"", CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP, {46, 0, 75, 41}},
        {1010, u"BUTTON", u"Cancel", WS_TABSTOP, {82, 42, 41, 12}},
        {1007, u"STATIC", u"Find What:", WS_GROUP, {0, 0, 44, 8}},
        {1008, u"STATIC", u"Go to line:", WS_GROUP, {0, 0, 35, 8}},
        {1000, u"EDIT", u"", edit | ES_NUMBER, {39, 0, 32, 14}},
        {1006, u"BUTTON", u"Go to", WS_TABSTOP, {75, 0, 24, 14}},
        {1003, u"BUTTON", u"Match case", WS_TABSTOP | BS_AUTOCHECKBOX, {1, 43, 52, 10}},
        {1009, u"STATIC", u"Line numer", WS_GROUP, {0, 1, 98, 8}},
        {1014, u"STATIC", u"Relpace with:", WS_GROUP, {1, 17, 44, 8}},
    };
    ASSERT_EQ(d->items.size(), std::size(expected));
    for (size_t i = 0; i < d->items.size(); ++i) {
        const res::DialogItem& item = d->items[i];
        const Item& want = expected[i];
        SCOPED_TRACE(want.id);
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.className, want.cls);
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.style & (want.style | WS_CHILD | WS_VISIBLE), want.style | WS_CHILD | WS_VISIBLE);
        EXPECT_EQ((std::array{item.x, item.y, item.cx, item.cy}), want.rect);
        if (want.cls == u"BUTTON" && want.id != 1003) {
            EXPECT_EQ(item.style & 0x0F, DWORD(BS_PUSHBUTTON)) << "no default push button";
        }
    }
    // The find text cannot scroll beyond the field.
    EXPECT_EQ(d->items[4].style & CBS_AUTOHSCROLL, 0u);
}

TEST(EditorResources, IconHasTwoSixteenColourImages)
{
    const res::Blob* ico = res::FindIcon(Editor(), IDR_MAINFRAME);
    ASSERT_NE(ico, nullptr);
    auto b = ico->Bytes();
    ASSERT_GE(b.size(), 6u + 2 * 16);
    EXPECT_EQ(Word(b, 0), 0);
    EXPECT_EQ(Word(b, 2), 1);  // an icon
    ASSERT_EQ(Word(b, 4), 2);
    std::vector<int> sizes;
    for (size_t i = 0; i < 2; ++i) {
        size_t entry = 6 + 16 * i;
        sizes.push_back(b[entry]);
        EXPECT_EQ(b[entry], b[entry + 1]) << "square";
        EXPECT_EQ(b[entry + 2], 16) << "16 colours";
        EXPECT_EQ(Word(b, entry + 6), 4) << "4 bits a pixel";
        EXPECT_LE(size_t(Dword(b, entry + 12)) + Dword(b, entry + 8), b.size());
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32}));
}

TEST(EditorResources, VersionRecord)
{
    const res::VersionInfo* v = res::FindVersionInfo(Editor(), 1);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->fileVersion, (std::array<WORD, 4>{1, 0, 0, 1}));
    EXPECT_EQ(v->productVersion, (std::array<WORD, 4>{1, 0, 0, 1}));
    EXPECT_EQ(v->fileType, VFT_APP);
    const std::pair<std::u16string_view, std::u16string_view> values[] = {
        {u"FileDescription", u"Tessera WCE MFC Application"},
        {u"FileVersion", u"1, 0, 0, 1"},
        {u"InternalName", u"Tessera"},
        {u"OriginalFilename", u"Tessera.EXE"},
        {u"ProductName", u"Tessera Application"},
        {u"ProductVersion", u"1, 0, 0, 1"},
    };
    for (auto [key, value] : values)
        EXPECT_EQ(v->Value(key).value_or(u"<missing>"), value) << CString(key).ToUtf8();
}

// --- what the frame builds from them ---

TEST_F(EditorTest, CommandBarAndToolbarShowTheResourcesInOrder)
{
    ASSERT_TRUE(Start());
    CCeCommandBar& bar = Frame()->m_wndCommandBar;
    ASSERT_EQ(bar.GetMenuCount(), 3);
    EXPECT_EQ(bar.GetMenu(0).text, u"File");
    EXPECT_EQ(bar.GetMenu(1).text, u"Edit");
    EXPECT_EQ(bar.GetMenu(2).text, u"Tools");
    std::vector<std::u16string> tools;
    for (auto& [text, enabled] : bar.GetMenuItems(2))
        tools.push_back(text.Str());
    EXPECT_EQ(tools, (std::vector<std::u16string>{u"Find/Replace...", u"Goto...", u"", u"About Tessera..."}));

    // The screen: menu titles and close button on the first row, the nine
    // buttons on the second, in the resource's order.
    std::string top = host.Row(0);
    EXPECT_LT(top.find("File"), top.find("Edit"));
    EXPECT_LT(top.find("Edit"), top.find("Tools"));
    EXPECT_EQ(top.substr(top.size() - 3), "[x]");
    CToolBar& tb = Frame()->m_wndToolBar;
    ASSERT_EQ(tb.GetCount(), 9);
    const UINT order[] = {ID_FILE_NEW,   ID_FILE_OPEN, ID_FILE_SAVE,          ID_EDIT_CUT,  ID_EDIT_COPY,
                          ID_EDIT_PASTE, ID_APP_ABOUT, ID_TOOLS_FIND_REPLACE, ID_TOOLS_GOTO};
    std::string row = host.Row(1);
    size_t at = 0;
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(tb.GetItemID(i), order[i]);
        std::string label = std::string("[").append(tb.GetButton(i).label.ToUtf8()).append("]");
        size_t found = row.find(label, at);
        EXPECT_NE(found, std::string::npos) << label;
        at = found + label.size();
    }
    // Both bars carry the toolbar identifier; the command bar has the added styles.
    EXPECT_EQ(bar.GetDlgCtrlID(), int(AFX_IDW_TOOLBAR));
    EXPECT_EQ(tb.GetDlgCtrlID(), int(AFX_IDW_TOOLBAR));
    EXPECT_EQ(bar.GetBarStyle() & 0x32u, 0x32u);
    EXPECT_EQ(tb.GetBarStyle() & (CBRS_TOOLTIPS | CBRS_FLYBY), 0u);
    // Accelerator 128 and the 16 x 16 icon belong to the frame.
    EXPECT_EQ(Frame()->m_hWnd->iconSmall, reinterpret_cast<HICON>(UINT_PTR(IDR_MAINFRAME)));
}
