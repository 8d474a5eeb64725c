#include <gtest/gtest.h>

#include "FakeWindow.h"
#include "LatinPage.h"
#include "TempDir.h"

namespace {

const char kSample[] =
    "cano cano canere cecini cantum\r\nsing\r\nplay\r\nchant\r\ncelebrate\r\npraise\r\n"
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n";

struct LatinFixture : testing::Test {
    TempDir dir;
    CFakeWindow wnd{IDD_LATIN_PAGE};
    CLatinPage page;
    LatinFixture() { page.SetWindow(&wnd); }

    void Begin(const std::string& path) {
        wnd.choices.push_back(path);
        page.OnBeginTest();
    }
    void Answer(const std::string& text) {
        wnd.texts[IDC_LATIN_ANSWER] = text;
        page.OnSubmit();
    }
};

TEST_F(LatinFixture, ShowsTextFormAndJudgesAgainstAllFiveDefinitions) {
    std::string path = dir.Write("v.voc", kSample);
    Begin(path);
    EXPECT_TRUE(wnd.boxes.empty());
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "cano");
    EXPECT_EQ(wnd.lastFilter, "Vocabulary files (*.voc)|*.voc|All files (*.*)|*.*||");
    EXPECT_EQ(wnd.lastDefaultExt, "voc");
    Answer("praise");
    EXPECT_EQ(wnd.texts[IDC_LATIN_MARK], "Correct Answer");
    EXPECT_EQ(wnd.texts[IDC_LATIN_SHOWN], "sing play chant");
    page.OnNextWord();
    EXPECT_EQ(wnd.texts[IDC_LATIN_ANSWER], "");
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "portas");
    EXPECT_EQ(wnd.texts[IDC_LATIN_MARK], "Correct Answer");  // kept until the next Submit
    Answer("bear ");
    EXPECT_EQ(wnd.texts[IDC_LATIN_MARK], "Wrong Answer");
    page.OnQuitTesting();
    EXPECT_EQ(wnd.LastBox(), (RecordedBox{"Score = 50%", "Score", MB_OKCANCEL}));
    EXPECT_EQ(wnd.endResult, 32771);
}

}  // namespace
