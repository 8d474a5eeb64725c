#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "FakeWindow.h"
#include "LatinPage.h"
#include "TempDir.h"

namespace {

const char kSample[] =
    "cano cano canere cecini cantum\r\nsing\r\nplay\r\nchant\r\ncelebrate\r\npraise\r\n"
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n"
    "Troiae troia troiae\r\nTroy\r\n\r\n\r\n\r\n\r\n";

const RecordedBox kOpenFirst{"You Must open a vocabulary file first", "Error", MB_OKCANCEL};
const RecordedBox kSubmitFirst{"You Submit your answer before going on to the next word.", "Error",
                               MB_OKCANCEL};
const RecordedBox kNextFirst{"You go to the next word before you submit your answer.", "Error",
                             MB_OKCANCEL};
const RecordedBox kQuitFirst{"Quit the current test first", "Error", MB_OKCANCEL};

struct LatinPageTest : testing::Test {
    TempDir dir;
    CFakeWindow wnd{IDD_LATIN_PAGE};
    CLatinPage page;
    std::string sample = dir.Write("v.voc", kSample);

    LatinPageTest() { page.SetWindow(&wnd); }

    void Begin(const std::string& path) {
        wnd.choices.push_back(path);
        page.OnBeginTest();
    }
    void Answer(const std::string& text) {
        wnd.texts[IDC_LATIN_ANSWER] = text;
        page.OnSubmit();
    }
    std::string Mark() { return wnd.texts[IDC_LATIN_MARK]; }
    // Presses a button and returns the one box it showed (or an empty record).
    RecordedBox Press(int id) {
        std::size_t before = wnd.boxes.size();
        EXPECT_TRUE(page.OnCommand(id));
        return wnd.boxes.size() == before ? RecordedBox{"", "", -1} : wnd.boxes.back();
    }
    void ExpectInvariants() {
        EXPECT_NE(page.m_bSubmitted, page.m_bWordReady);
        EXPECT_LE(page.m_nCorrect, page.m_nAsked);
        EXPECT_EQ(page.m_bTestStarted, page.m_bFileOpen);
    }
};

TEST_F(LatinPageTest, ShowsTextFormAndJudgesAgainstAllFiveDefinitions) {
    Begin(sample);
    EXPECT_TRUE(wnd.boxes.empty());
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "cano");
    EXPECT_EQ(wnd.lastFilter, "Vocabulary files (*.voc)|*.voc|All files (*.*)|*.*||");
    EXPECT_EQ(wnd.lastDefaultExt, "voc");
    Answer("praise");  // the fifth definition counts, though it is never shown
    EXPECT_EQ(Mark(), "Correct Answer");
    EXPECT_EQ(wnd.texts[IDC_LATIN_SHOWN], "sing play chant");
    page.OnNextWord();
    EXPECT_EQ(wnd.texts[IDC_LATIN_ANSWER], "");
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "portas");
    EXPECT_EQ(Mark(), "Correct Answer");  // kept until the next Submit
    EXPECT_EQ(wnd.texts[IDC_LATIN_SHOWN], "sing play chant");
    Answer("bear ");  // no trimming
    EXPECT_EQ(Mark(), "Wrong Answer");
    EXPECT_EQ(wnd.texts[IDC_LATIN_SHOWN], "carry bring bear");
    page.OnNextWord();
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "Troiae");
    Answer("troy");  // a capital in a definition is lowered to meet the lowering answer box
    EXPECT_EQ(Mark(), "Correct Answer");
    EXPECT_EQ(wnd.texts[IDC_LATIN_SHOWN], "Troy  ");  // a single definition and two blanks
    ExpectInvariants();
    page.OnQuitTesting();
    EXPECT_EQ(wnd.LastBox(), (RecordedBox{"Score = 66.67%", "Score", MB_OKCANCEL}));
    EXPECT_EQ(wnd.endResult, 32771);
    EXPECT_TRUE(wnd.boxes.size() == 1);
}

TEST_F(LatinPageTest, EveryDefinitionMatchesWholeAndExactly) {
    struct Case {
        const char* answer;
        bool correct;
    };
    const Case cases[] = {{"sing", true},       {"play", true},   {"chant", true},
                          {"celebrate", true},  {"praise", true}, {"Sing", true},
                          {"sing ", false},     {" sing", false}, {"sin", false},
                          {"sing play", false}, {"", false}};
    for (const auto& c : cases) {
        CFakeWindow w{IDD_LATIN_PAGE};
        CLatinPage p;
        p.SetWindow(&w);
        w.choices.push_back(sample);
        p.OnBeginTest();
        w.texts[IDC_LATIN_ANSWER] = c.answer;
        p.OnSubmit();
        EXPECT_EQ(w.texts[IDC_LATIN_MARK], c.correct ? "Correct Answer" : "Wrong Answer")
            << '"' << c.answer << '"';
    }
}

TEST_F(LatinPageTest, EmptyAnswerIsCorrectWhereADefinitionIsEmpty) {
    Begin(sample);
    Answer("");
    EXPECT_EQ(Mark(), "Wrong Answer");  // all five lines filled
    page.OnNextWord();
    Answer("");
    EXPECT_EQ(Mark(), "Correct Answer");  // portas has two empty lines
}

TEST_F(LatinPageTest, PressesOutOfTurnAreRefusedAndChangeNothing) {
    EXPECT_EQ(Press(IDC_LATIN_NEXT), kOpenFirst);
    EXPECT_EQ(Press(IDC_LATIN_SUBMIT), kOpenFirst);
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "");
    EXPECT_EQ(wnd.texts[IDC_LATIN_SHOWN], "Answer");

    Begin(sample);
    EXPECT_EQ(Press(IDC_LATIN_NEXT), kSubmitFirst);  // reads nothing
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "cano");
    wnd.texts[IDC_LATIN_ANSWER] = "sing";
    EXPECT_EQ(Press(IDC_LATIN_SUBMIT).caption, "");
    EXPECT_EQ(Press(IDC_LATIN_SUBMIT), kNextFirst);
    EXPECT_EQ(page.m_nAsked, 1);
    EXPECT_EQ(page.m_nCorrect, 1);
    EXPECT_EQ(wnd.texts[IDC_LATIN_ANSWER], "sing");
    EXPECT_EQ(Press(IDC_LATIN_NEXT).caption, "");
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "portas");  // the second Submit read no line
    ExpectInvariants();
}

TEST_F(LatinPageTest, RefusedBeginTestRestartsCounters) {
    Begin(sample);
    for (const char* a : {"sing", "carry", "troy"}) {
        Answer(a);
        page.OnNextWord();
    }
    // Three answers, two right; the refused press restarts the count.
    EXPECT_EQ(Press(IDC_LATIN_BEGIN), kQuitFirst);
    EXPECT_EQ(wnd.fileDialogs, 1);
    EXPECT_EQ(page.m_nAsked, 0);
    EXPECT_EQ(page.m_nCorrect, 0);
    page.OnQuitTesting();
    EXPECT_EQ(wnd.LastBox(), (RecordedBox{"No answers were submitted", "Score", MB_OKCANCEL}));
    EXPECT_EQ(wnd.endResult, 32771);
}

TEST_F(LatinPageTest, CountersAfterARefusedBeginGiveFiftyPercent) {
    std::string words;
    for (int i = 0; i < 5; ++i) words += "w" + std::to_string(i) + " w\r\nyes\r\n\r\n\r\n\r\n\r\n";
    Begin(dir.Write("five.voc", words));
    for (int i = 0; i < 3; ++i) {
        Answer("yes");
        page.OnNextWord();
    }
    page.OnBeginTest();  // refused, counters to 0
    Answer("yes");
    page.OnNextWord();
    Answer("no");
    page.OnQuitTesting();
    EXPECT_EQ(wnd.LastBox().text, "Score = 50%");
}

TEST_F(LatinPageTest, CancelledDialogAndFailedOpenLeaveNoTest) {
    page.OnBeginTest();  // no choice scripted: cancelled
    EXPECT_TRUE(wnd.boxes.empty());
    EXPECT_EQ(page.m_bFileOpen, 0);

    Begin(dir.File("missing.voc"));
    EXPECT_EQ(wnd.LastBox(),
              (RecordedBox{"Error Opening file for reading, Code: 2", "Error", MB_OK}));
    EXPECT_EQ(Press(IDC_LATIN_SUBMIT), kOpenFirst);

    Begin(sample);  // can be tried again at once
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "cano");
}

TEST_F(LatinPageTest, FileHeldElsewhereFailsWithSharingCause) {
    CTextFile holder;
    ASSERT_TRUE(holder.Open(sample, CTextFile::modeRead, nullptr));
    Begin(sample);
    EXPECT_EQ(wnd.LastBox(),
              (RecordedBox{"Error Opening file for reading, Code: 11", "Error", MB_OK}));
    EXPECT_EQ(page.m_bFileOpen, 0);
}

TEST_F(LatinPageTest, QuitWithoutAFileSaysSoAndEndsTheSheet) {
    page.OnQuitTesting();
    EXPECT_EQ(wnd.LastBox(), (RecordedBox{"Exiting Latin test", "Score", MB_OKCANCEL}));
    EXPECT_EQ(wnd.endResult, 32771);
}

TEST_F(LatinPageTest, QuitReleasesTheFile) {
    Begin(sample);
    page.OnQuitTesting();
    CTextFile other;
    EXPECT_TRUE(other.Open(sample, CTextFile::modeRead, nullptr));
}

TEST_F(LatinPageTest, DestroyingThePageReleasesTheFile) {
    {
        CFakeWindow w{IDD_LATIN_PAGE};
        CLatinPage p;
        p.SetWindow(&w);
        w.choices.push_back(sample);
        p.OnBeginTest();
        CTextFile other;
        EXPECT_FALSE(other.Open(sample, CTextFile::modeRead, nullptr));
    }
    CTextFile other;
    EXPECT_TRUE(other.Open(sample, CTextFile::modeRead, nullptr));
}

TEST_F(LatinPageTest, EndOfFileStopsTheTestAndKeepsTheScore) {
    Begin(sample);
    for (const char* a : {"sing", "carry", "nothing"}) {
        Answer(a);
        page.OnNextWord();
    }
    const RecordedBox end{
        "There are no more words in this file. Press Quit Testing to see your score.",
        "End of Test", MB_OK};
    EXPECT_EQ(wnd.LastBox(), end);
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "Troiae");
    EXPECT_EQ(Mark(), "Wrong Answer");
    EXPECT_EQ(wnd.texts[IDC_LATIN_ANSWER], "nothing");
    EXPECT_EQ(Press(IDC_LATIN_SUBMIT), kNextFirst);  // nothing left to answer
    EXPECT_EQ(Press(IDC_LATIN_NEXT), end);
    ExpectInvariants();
    page.OnQuitTesting();
    EXPECT_EQ(wnd.LastBox().text, "Score = 66.67%");
}

TEST_F(LatinPageTest, EmptyFileSaysSoAndLetsAnotherFileBeChosen) {
    std::string empty = dir.Write("empty.voc", "");
    Begin(empty);
    EXPECT_EQ(wnd.LastBox(),
              (RecordedBox{"There are no words in this file.", "End of Test", MB_OK}));
    EXPECT_EQ(page.m_bFileOpen, 0);
    EXPECT_EQ(Press(IDC_LATIN_SUBMIT), kOpenFirst);
    CTextFile other;
    EXPECT_TRUE(other.Open(empty, CTextFile::modeRead, nullptr));
    other.Close();
    Begin(sample);
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "cano");
}

TEST_F(LatinPageTest, CutShortLastEntryCountsMissingDefinitionsAsEmpty) {
    Begin(dir.Write("cut.voc", "amo amo amare amavi amatum\r\nlove\r\nlike"));
    Answer("like");
    EXPECT_EQ(Mark(), "Correct Answer");
    EXPECT_EQ(wnd.texts[IDC_LATIN_SHOWN], "love like ");
}

TEST_F(LatinPageTest, HeadwordWithoutBlankShowsTheWholeLine) {
    Begin(dir.Write("noblank.voc", "rosa\nrose\n\n\n\n\n"));
    EXPECT_EQ(wnd.texts[IDC_LATIN_PROMPT], "rosa");
    Begin(sample);  // refused: one test at a time
    EXPECT_EQ(wnd.LastBox(), kQuitFirst);
}

TEST_F(LatinPageTest, BareLineFeedsReadLikeCrLf) {
    Begin(dir.Write("lf.voc", "portas porto portare\ncarry\nbring\nbear\n\n\n"));
    Answer("bring");
    EXPECT_EQ(Mark(), "Correct Answer");
    EXPECT_EQ(wnd.texts[IDC_LATIN_SHOWN], "carry bring bear");
}

TEST_F(LatinPageTest, ReadFailureIsReportedAndTheTestStaysOpen) {
    // Reading this file's first bytes fails with an I/O error.
    Begin("/proc/self/mem");
    if (page.m_bFileOpen == 0) GTEST_SKIP() << "this system does not let the file be opened";
    EXPECT_EQ(wnd.LastBox(), (RecordedBox{"Error Reading File", "Error", MB_OK}));
    EXPECT_EQ(page.m_bTestStarted, 1);
    Answer("sing");
    EXPECT_EQ(wnd.LastBox(), (RecordedBox{"Error Reading File", "Error", MB_OK}));
    page.OnQuitTesting();
    EXPECT_EQ(wnd.LastBox().text, "Score = 0%");
}

TEST_F(LatinPageTest, UnknownCommandIsNotHandled) {
    EXPECT_FALSE(page.OnCommand(IDC_ENGLISH_BEGIN));
}

struct ScoreCase {
    int correct, asked;
    const char* text;
};

void PrintTo(const ScoreCase& c, std::ostream* os) { *os << c.correct << " of " << c.asked; }

class ScoreText : public testing::TestWithParam<ScoreCase> {};

TEST_P(ScoreText, FourSignificantDigitsThenPercent) {
    EXPECT_EQ(ScoreNotice(GetParam().correct, GetParam().asked).English(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScoreText,
    testing::Values(ScoreCase{2, 3, "Score = 66.67%"}, ScoreCase{3, 3, "Score = 100%"},
                    ScoreCase{1, 8, "Score = 12.5%"}, ScoreCase{1, 12, "Score = 8.333%"},
                    ScoreCase{4, 7, "Score = 57.14%"}, ScoreCase{1, 7, "Score = 14.29%"},
                    ScoreCase{0, 4, "Score = 0%"}, ScoreCase{0, 5, "Score = 0%"},
                    ScoreCase{1, 300, "Score = 0.3333%"},
                    ScoreCase{0, 0, "No answers were submitted"}),
    [](const testing::TestParamInfo<ScoreCase>& info) {
        return std::to_string(info.param.correct) + "Of" + std::to_string(info.param.asked);
    });

TEST(ScoreNoticeAll, MatchesGeneralNotationForEveryPairUpToThreeHundred) {
    for (int asked = 1; asked <= 300; ++asked) {
        for (int correct = 0; correct <= asked; ++correct) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "Score = %.4g%%", correct * 100.0 / asked);
            ASSERT_EQ(ScoreNotice(correct, asked).English(), expected) << correct << "/" << asked;
        }
    }
}

}  // namespace
