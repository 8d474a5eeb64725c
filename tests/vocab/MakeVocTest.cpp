#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "FakeWindow.h"
#include "LatinPage.h"
#include "MakeVoc.h"
#include "TempDir.h"
#include "VocTestSupport.h"

namespace {

constexpr std::array<int, 7> kBoxes = {IDC_MAKE_TEXTFORM, IDC_MAKE_DICTFORM, IDC_MAKE_DEF1,
                                       IDC_MAKE_DEF2,     IDC_MAKE_DEF3,     IDC_MAKE_DEF4,
                                       IDC_MAKE_DEF5};

const char kPortas[] =
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n";

class MakeVocTest : public ::testing::Test {
protected:
    void SetUp() override { voc->SetWindow(&wnd); }

    void Type(const std::array<std::string, 7>& texts) {
        for (std::size_t i = 0; i < kBoxes.size(); ++i) wnd.texts[kBoxes[i]] = texts[i];
    }
    void TypePortas() {
        Type({"portas", "porto portare portavi portatum", "carry", "bring", "bear", "", ""});
    }
    void Create(const std::string& path) {
        wnd.choices.push_back(path);
        ASSERT_TRUE(voc->OnCommand(IDC_MAKE_CREATE));
    }
    void Submit() { ASSERT_TRUE(voc->OnCommand(IDC_MAKE_SUBMIT)); }
    void Finish() { ASSERT_TRUE(voc->OnCommand(IDC_MAKE_FINISH)); }

    TempDir dir;
    CFakeWindow wnd{IDD_MAKEVOC};
    std::unique_ptr<CMakeVoc> voc = std::make_unique<CMakeVoc>();
};

TEST_F(MakeVocTest, WorkedExampleIsOnDiskAsSixtyThreeBytesAtSubmit) {
    const std::string path = dir.File("new.voc");
    Create(path);
    TypePortas();
    Submit();
    // On disk before FINISH: a crash now would not cost the word.
    EXPECT_EQ(ReadBytes(path), kPortas);
    EXPECT_EQ(ReadBytes(path).size(), 63u);
    Finish();
    EXPECT_EQ(ReadBytes(path), kPortas);
    EXPECT_EQ(wnd.endResult, ID_OPTIONS_MAKEVOCFILE);
    EXPECT_TRUE(wnd.boxes.empty());
}

TEST_F(MakeVocTest, SubmitClearsEveryBox) {
    Create(dir.File("new.voc"));
    TypePortas();
    Submit();
    for (int box : kBoxes) EXPECT_EQ(wnd.texts[box], "") << box;
    EXPECT_TRUE(wnd.boxes.empty());
}

TEST_F(MakeVocTest, CreateAsksForAVocFileAndReplaceEmptiesAnExistingOneAtOnce) {
    const std::string path = dir.Write("old.voc", Entry("amo amare", "love"));
    wnd.answers.push_back(1);  // Replace
    Create(path);
    EXPECT_EQ(wnd.lastDefaultExt, "voc");
    EXPECT_EQ(wnd.lastFilter, "Vocabulary files (*.voc)|*.voc|All files (*.*)|*.*||");
    EXPECT_EQ(voc->m_bFileOpen, 1);
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_TRUE(wnd.boxes.empty());
}

TEST_F(MakeVocTest, CreateThenFinishLeavesAnEmptyFile) {
    const std::string path = dir.File("empty.voc");
    Create(path);
    Finish();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(wnd.endResult, ID_OPTIONS_MAKEVOCFILE);
    EXPECT_FALSE(voc->m_vocFile.IsOpen());
}

TEST_F(MakeVocTest, EntriesAreWrittenAsTyped) {
    struct Case {
        const char* name;
        std::array<std::string, 7> texts;
        std::string bytes;
    };
    const Case cases[] = {
        {"all empty", {"", "", "", "", "", "", ""}, " \r\n\r\n\r\n\r\n\r\n\r\n"},
        {"blank inside the text form",
         {"in urbe", "urbs", "city", "", "", "", ""},
         "in urbe urbs\r\ncity\r\n\r\n\r\n\r\n\r\n"},
        {"nothing trimmed",
         {" amo ", "amo amare ", " love", "", "", "", "x "},
         " amo  amo amare \r\n love\r\n\r\n\r\n\r\nx \r\n"},
        {"pasted line breaks become blanks",
         {"amo\r\n", "amo\namare", "to\rlove", "", "", "", ""},
         "amo   amo amare\r\nto love\r\n\r\n\r\n\r\n\r\n"},
        {"bytes kept as they are",
         {"fr\xe9mo", "fremo", "\xc3\xa9", "", "", "", ""},
         "fr\xe9mo fremo\r\n\xc3\xa9\r\n\r\n\r\n\r\n\r\n"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File(std::string(c.name) + ".voc");
        CFakeWindow window(IDD_MAKEVOC);
        CMakeVoc builder;
        builder.SetWindow(&window);
        window.choices.push_back(path);
        builder.OnCreateVocFile();
        for (std::size_t i = 0; i < kBoxes.size(); ++i) window.texts[kBoxes[i]] = c.texts[i];
        builder.OnSubmit();
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.name;
        EXPECT_TRUE(window.boxes.empty()) << c.name;
    }
}

TEST_F(MakeVocTest, TwoSubmitsOfOneWordWriteTwoIdenticalEntries) {
    const std::string path = dir.File("twice.voc");
    Create(path);
    TypePortas();
    Submit();
    TypePortas();
    Submit();
    Finish();
    EXPECT_EQ(ReadBytes(path), std::string(kPortas) + kPortas);
}

TEST_F(MakeVocTest, DestroyingTheDialogKeepsSubmittedEntriesButNotTheBoxes) {
    const std::string path = dir.File("esc.voc");
    Create(path);
    TypePortas();
    Submit();
    Type({"amo", "amo amare", "love", "", "", "", ""});  // typed, never submitted
    voc.reset();  // Esc or the close box: the caller destroys the dialog
    EXPECT_EQ(ReadBytes(path), kPortas);
    CTextFile again;
    EXPECT_TRUE(again.Open(path, CTextFile::modeRead, nullptr));  // released
}

TEST_F(MakeVocTest, RefusedPressesShowTheirTextAndChangeNothing) {
    // SUBMIT with no file: the boxes keep the word.
    TypePortas();
    Submit();
    EXPECT_EQ(wnd.LastBox(),
              (RecordedBox{"Open a .voc file first, Then sibmit a word", "Error", MB_OKCANCEL}));
    EXPECT_EQ(wnd.texts[IDC_MAKE_TEXTFORM], "portas");
    EXPECT_EQ(wnd.texts[IDC_MAKE_DEF3], "bear");

    // Create Voc File with a file open: no dialog, and the open file goes on.
    const std::string path = dir.File("first.voc");
    Create(path);
    const std::string other = dir.File("second.voc");
    wnd.choices.push_back(other);
    voc->OnCreateVocFile();
    EXPECT_EQ(wnd.LastBox(), (RecordedBox{"File already open. FINISH this .voc file first, "
                                          "then create another",
                                          "Error", MB_OKCANCEL}));
    EXPECT_EQ(wnd.fileDialogs, 1);
    EXPECT_FALSE(std::filesystem::exists(other));
    Submit();
    EXPECT_EQ(ReadBytes(path), kPortas);
    EXPECT_EQ(wnd.boxes.size(), 2u);
}

TEST_F(MakeVocTest, CancelledCreateChangesNothing) {
    voc->OnCreateVocFile();  // no choice scripted: the user cancels
    EXPECT_EQ(wnd.fileDialogs, 1);
    EXPECT_EQ(voc->m_bFileOpen, 0);
    EXPECT_TRUE(wnd.boxes.empty());
}

TEST_F(MakeVocTest, FailedCreateShowsItsCauseAndLeavesNoFileOpen) {
    struct Case {
        std::string path;
        const char* text;
    };
    const Case cases[] = {
        {dir.File("no folder/new.voc"), "Error opening file for wrinting. Code:2"},
        {dir.path().string(), "Error opening file for wrinting. Code:5"},
    };
    for (const auto& c : cases) {
        Create(c.path);
        EXPECT_EQ(wnd.LastBox(), (RecordedBox{c.text, "Error", MB_OK})) << c.path;
        EXPECT_EQ(voc->m_bFileOpen, 0);
        EXPECT_FALSE(voc->m_vocFile.IsOpen());
    }
    // The user may try again.
    const std::string path = dir.File("good.voc");
    Create(path);
    EXPECT_EQ(voc->m_bFileOpen, 1);
}

TEST_F(MakeVocTest, FinishWithNoFileEndsTheDialog) {
    Finish();
    EXPECT_EQ(wnd.endResult, ID_OPTIONS_MAKEVOCFILE);
    EXPECT_TRUE(wnd.boxes.empty());
}

TEST_F(MakeVocTest, OnlyTheThreeButtonsHaveHandlers) {
    EXPECT_FALSE(voc->OnCommand(IDOK));
    EXPECT_FALSE(voc->OnCommand(IDCANCEL));
    EXPECT_FALSE(voc->OnCommand(IDC_MAKE_TEXTFORM));
    EXPECT_EQ(voc->TemplateId(), IDD_MAKEVOC);
}

TEST_F(MakeVocTest, BuilderAndTestPageShutEachOtherOut) {
    // The builder holds its file: a test cannot begin on it.
    const std::string written = dir.File("written.voc");
    Create(written);
    TypePortas();
    Submit();
    {
        CFakeWindow pageWnd(IDD_LATIN_PAGE);
        CLatinPage page;
        page.SetWindow(&pageWnd);
        pageWnd.choices.push_back(written);
        page.OnBeginTest();
        EXPECT_EQ(pageWnd.LastBox(),
                  (RecordedBox{"Error Opening file for reading, Code: 11", "Error", MB_OK}));
    }
    Finish();

    // A test holds its file: the builder cannot empty it.
    const std::string tested = dir.Write("tested.voc", kPortas);
    CFakeWindow pageWnd(IDD_LATIN_PAGE);
    CLatinPage page;
    page.SetWindow(&pageWnd);
    pageWnd.choices.push_back(tested);
    page.OnBeginTest();
    ASSERT_EQ(page.m_bFileOpen, 1);

    CFakeWindow builderWnd(IDD_MAKEVOC);
    CMakeVoc builder;
    builder.SetWindow(&builderWnd);
    builderWnd.choices.push_back(tested);
    builder.OnCreateVocFile();
    EXPECT_TRUE(builderWnd.questions.empty());  // it could not be looked at: the open says why
    EXPECT_EQ(builderWnd.LastBox(),
              (RecordedBox{"Error opening file for wrinting. Code:11", "Error", MB_OK}));
    EXPECT_EQ(builder.m_bFileOpen, 0);
    EXPECT_EQ(ReadBytes(tested), kPortas);
}

TEST_F(MakeVocTest, FailedWriteLeavesWholeEntriesAndTheWordInTheBoxes) {
    const std::string path = dir.File("full.voc");
    const std::string small = Entry("a b");  // 15 bytes
    // Room for the first entry and part of a second: the second SUBMIT fails half way.
    const int rc = InChild([&] {
        LimitFileSize(100);
        Create(path);
        TypePortas();
        Submit();
        if (!wnd.boxes.empty()) return 1;
        TypePortas();
        Submit();
        const RecordedBox expected{
            "Error writing file. Code:13. The word was not added; it is still in the boxes.",
            "Error", MB_OK};
        if (wnd.boxes.size() != 1 || wnd.LastBox() != expected) return 2;
        if (wnd.texts[IDC_MAKE_TEXTFORM] != "portas" || wnd.texts[IDC_MAKE_DEF3] != "bear") {
            return 3;
        }
        if (ReadBytes(path) != kPortas) return 4;
        // The file stays open for another try, which fits.
        if (voc->m_bFileOpen != 1) return 5;
        Type({"a", "b", "", "", "", "", ""});
        Submit();
        if (wnd.boxes.size() != 1 || wnd.texts[IDC_MAKE_TEXTFORM] != "") return 6;
        Finish();
        return wnd.boxes.size() == 1 ? 0 : 7;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadBytes(path), kPortas + small);
}

}  // namespace
