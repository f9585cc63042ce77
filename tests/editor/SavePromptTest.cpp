// The save prompt before New, Open and closing the frame: every answer, and
// every way the save a Yes starts can end, decides whether the command goes
// on, what is written and what the document shows afterwards.
#include "tests/support/EditorTest.h"

#include <cerrno>

namespace {

enum class Trigger { New, Open, Close };

// What the person does once the prompt shows.
enum class Answer {
    Yes,                // and, for a document without a file, names "saved.txt" in Save As
    YesThenCancel,      // Yes, then Cancel in the Save As dialog
    YesThenDiskFull,    // Yes, and the save fails
    YesThenRefuse8Bit,  // Yes, then No when asked about characters above 8 bits
    No,
    Cancel,
};

struct Case {
    std::string name;
    Trigger trigger;
    bool named;  // the document was opened from "named.txt"
    Answer answer;
    bool goesOn;
    // The folder's files afterwards, "name=content" each, sorted.
    std::vector<std::string> files;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.name; }

}  // namespace

class SavePromptTest : public EditorFolderTest, public ::testing::WithParamInterface<Case> {
protected:
    SavePromptTest()
    {
        Put("named.txt", "named");
        Put("other.txt", "other");
    }

    // The folder's files, "name=content" each, sorted.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> files;
        for (const std::string& name : Listing())
            files.push_back(name + "=" + Get(name).value_or("<unreadable>"));
        return files;
    }
};

TEST_P(SavePromptTest, AnswerDecidesWhatHappens)
{
    const Case& c = GetParam();
    ASSERT_TRUE(c.named ? Start({P("named.txt")}) : Start());
    Type(c.answer == Answer::YesThenRefuse8Bit ? u"\u20AC " : u"draft ");
    const std::string before = State();
    const std::string shownName = c.named ? P("named.txt") : "Untitled";

    std::vector<std::string> expectedBoxes;
    std::string dialogs;  // the titles of the file dialogs that showed, in turn
    auto noteDialog = [&] {
        CPoint p = host.Find(u"File name:");
        if (p.y < 1)
            return;
        std::string caption = host.Row(p.y - 1);
        dialogs += caption.find("Save As") != std::string::npos ? "[Save As]"
            : caption.find("Open") != std::string::npos         ? "[Open]"
                                                                : "[?]";
    };

    if (c.trigger == Trigger::Open)
        host.OnModal([&] {
            noteDialog();
            host.Type(u"other.txt\r");
        });
    expectedBoxes.push_back("Save changes to " + shownName + "?");
    switch (c.answer) {
    case Answer::Yes:
        host.OnModal([&] { host.ClickButton(u"Yes"); });
        if (!c.named)
            host.OnModal([&] {
                noteDialog();
                host.Type(u"saved.txt\r");
            });
        break;
    case Answer::YesThenCancel:
        host.OnModal([&] { host.ClickButton(u"Yes"); });
        host.OnModal([&] {
            noteDialog();
            host.ClickButton(u"Cancel");
        });
        break;
    case Answer::YesThenDiskFull:
        host.OnModal([&] {
            FaultInjection::Fail(FaultInjection::kWrite, 0, ENOSPC);
            host.ClickButton(u"Yes");
        });
        host.OnModal([&] { host.ClickButton(u"OK"); });
        expectedBoxes.push_back("Disk full while accessing " + P("named.txt") + ".");
        break;
    case Answer::YesThenRefuse8Bit:
        host.OnModal([&] { host.ClickButton(u"Yes"); });
        host.OnModal([&] { host.ClickButton(u"No"); });
        expectedBoxes.push_back(kUnsavablePrompt);
        break;
    case Answer::No: host.OnModal([&] { host.ClickButton(u"No"); }); break;
    case Answer::Cancel: host.OnModal([&] { host.ClickButton(u"Cancel"); }); break;
    }

    switch (c.trigger) {
    case Trigger::New: host.Ctrl('N'); break;
    case Trigger::Open: host.Ctrl('O'); break;
    case Trigger::Close: host.Ctrl('Q'); break;
    }
    host.Run();
    FaultInjection::Reset();

    EXPECT_EQ(Boxes(), expectedBoxes);
    EXPECT_EQ(host.MessageBoxes().at(0).type & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    std::string expectedDialogs = c.trigger == Trigger::Open ? "[Open]" : "";
    if (!c.named && (c.answer == Answer::Yes || c.answer == Answer::YesThenCancel))
        expectedDialogs += "[Save As]";
    EXPECT_EQ(dialogs, expectedDialogs);
    EXPECT_EQ(Files(), c.files);

    if (!c.goesOn) {
        ASSERT_NE(AfxGetMainWnd(), nullptr);
        EXPECT_EQ(State(), before);
        return;
    }
    switch (c.trigger) {
    case Trigger::New: EXPECT_EQ(State(), "title=Untitled path= unchanged text=\"\""); break;
    case Trigger::Open:
        EXPECT_EQ(State(), "title=other.txt path=" + P("other.txt") + " unchanged text=\"other\"");
        break;
    case Trigger::Close: EXPECT_EQ(AfxGetMainWnd(), nullptr); break;
    }
}

namespace {
const std::vector<std::string> kUntouched = {"named.txt=named", "other.txt=other"};
const std::vector<std::string> kSavedNamed = {"named.txt=draft named", "other.txt=other"};
const std::vector<std::string> kSavedNew = {"named.txt=named", "other.txt=other", "saved.txt=draft "};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    struct T {
        const char* name;
        Trigger trigger;
    } triggers[] = {{"New", Trigger::New}, {"Open", Trigger::Open}, {"Close", Trigger::Close}};
    for (const auto& t : triggers) {
        auto add = [&](const char* what, bool named, Answer answer, bool goesOn, std::vector<std::string> files) {
            cases.push_back({std::string(t.name) + "_" + what, t.trigger, named, answer, goesOn, std::move(files)});
        };
        add("UntitledYesNamesTheFile", false, Answer::Yes, true, kSavedNew);
        add("UntitledYesThenCancelInSaveAs", false, Answer::YesThenCancel, false, kUntouched);
        add("UntitledNo", false, Answer::No, true, kUntouched);
        add("UntitledCancel", false, Answer::Cancel, false, kUntouched);
        add("NamedYesSavesInPlace", true, Answer::Yes, true, kSavedNamed);
        add("NamedYesButDiskFull", true, Answer::YesThenDiskFull, false, kUntouched);
        add("NamedYesButRefused8Bit", true, Answer::YesThenRefuse8Bit, false, kUntouched);
        add("NamedNo", true, Answer::No, true, kUntouched);
        add("NamedCancel", true, Answer::Cancel, false, kUntouched);
    }
    return cases;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(EveryAnswer, SavePromptTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

using SavePromptFlowTest = SavePromptTest;

TEST_F(SavePromptFlowTest, UnchangedTextAsksNothing)
{
    ASSERT_TRUE(Start({P("named.txt")}));
    Open("other.txt");
    EXPECT_EQ(State(), "title=other.txt path=" + P("other.txt") + " unchanged text=\"other\"");
    Ctrl('N');
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
    EXPECT_EQ(State(), "title=Untitled path= unchanged text=\"\"");
    Ctrl('Q');
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(SavePromptFlowTest, OwnFileInAnotherLetterCaseKeepsTheChangesAndAsksNothing)
{
    ASSERT_TRUE(Start({P("named.txt")}));
    Type(u"draft ");
    auto openAndCheck = [&](const std::string& name) {
        SCOPED_TRACE(name);
        Open(name);
        EXPECT_EQ(Boxes(), std::vector<std::string>{});
        EXPECT_EQ(State(), "title=named.txt path=" + P("named.txt") + " changed text=\"draft named\"");
    };
    // The dialog takes a name in another case for the file it names.
    for (const char* name : {"NAMED.TXT", "Named.Txt", "named.txt"})
        openAndCheck(name);
    // A second spelling on disk is, for the platform, the same file again.
    Put("NAMED.TXT", "the other spelling");
    openAndCheck("NAMED.TXT");
    openAndCheck(P("NAMED.TXT"));

    // The text still has the keyboard.
    Type(u"more ");
    EXPECT_EQ(Text(), "draft more named");
}

TEST_F(SavePromptFlowTest, ClosingAfterSavingAsksNothing)
{
    ASSERT_TRUE(Start());
    Type(u"abc");
    SaveAs("abc.txt");
    EXPECT_EQ(State(), "title=abc.txt path=" + P("abc.txt") + " unchanged text=\"abc\"");
    Ctrl('Q');
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}
