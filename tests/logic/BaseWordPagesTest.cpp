// The English-to-Latin and Word Parts pages: both expect the base word of each entry.
#include <gtest/gtest.h>

#include "EnglishPage.h"
#include "FakeWindow.h"
#include "LatinPage.h"
#include "MarkedWords.h"
#include "TempDir.h"
#include "WordPage.h"

namespace {

const char kSample[] =
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n"
    "virum vir viri\r\nman\r\nhero\r\nhusband\r\n\r\n\r\n"
    "arma arma\r\narms\r\n\r\n\r\n\r\n\r\n"
    "in oris ora orae\r\nshore\r\ncoast\r\nregion\r\n\r\n\r\n"
    "Troiae Troia Troiae\r\nTroy\r\n\r\n\r\n\r\n\r\n";

template <class Page>
struct PageDriver {
    Page page;
    CFakeWindow wnd;
    explicit PageDriver(const std::string& path) : wnd(page.TemplateId()) {
        page.SetWindow(&wnd);
        wnd.choices.push_back(path);
        page.OnBeginTest();
    }
    const TestPageControls& ids() const { return page.Controls(); }
    std::string Text(int id) { return wnd.texts[id]; }
    std::string Prompt() { return Text(ids().prompt); }
    std::string Mark() { return Text(ids().mark); }
    std::string Shown() { return Text(ids().shown); }
    void Answer(const std::string& a) {
        wnd.texts[ids().answer] = a;
        page.OnSubmit();
    }
    void Next() { page.OnNextWord(); }
};

struct EnglishPageTest : testing::Test {
    TempDir dir;
    std::string sample = dir.Write("v.voc", kSample);
};

TEST_F(EnglishPageTest, ShowsThreeMeaningsAndExpectsTheBaseWord) {
    PageDriver<CEnglishPage> d(sample);
    EXPECT_EQ(d.Prompt(), "carry bring bear");
    EXPECT_EQ(d.Shown(), "Answer");
    d.Answer("porto");
    EXPECT_EQ(d.Mark(), "Correct Answer");
    EXPECT_EQ(d.Shown(), "porto portare portavi portatum");
    d.Next();
    EXPECT_EQ(d.Text(IDC_ENGLISH_ANSWER), "");
    EXPECT_EQ(d.Prompt(), "man hero husband");
    EXPECT_EQ(d.Mark(), "Correct Answer");  // kept until the next Submit
    d.Answer("vir");
    EXPECT_EQ(d.Shown(), "vir viri");
    d.Next();
    EXPECT_EQ(d.Prompt(), "arms  ");  // one meaning, two blanks
    d.Answer("arma");                 // a one-word dictionary form is its own base word
    EXPECT_EQ(d.Mark(), "Correct Answer");
    d.Next();
    d.Answer("oris");  // a text form typed with a blank: the line's second word is expected
    EXPECT_EQ(d.Mark(), "Correct Answer");
    EXPECT_EQ(d.Shown(), "oris ora orae");
    d.Next();
    d.Answer("troia");  // the base word is lowered to meet the lowering answer box
    EXPECT_EQ(d.Mark(), "Correct Answer");
    d.page.OnQuitTesting();
    EXPECT_EQ(d.wnd.LastBox(), (RecordedBox{"Score = 100%", "Score", MB_OKCANCEL}));
    EXPECT_EQ(d.wnd.endResult, 32771);
}

TEST_F(EnglishPageTest, OnlyTheExactBaseWordIsCorrect) {
    for (const char* wrong :
         {"portas", "portare", "porto portare portavi portatum", "porto ", ""}) {
        PageDriver<CEnglishPage> d(sample);
        d.Answer(wrong);
        EXPECT_EQ(d.Mark(), "Wrong Answer") << '"' << wrong << '"';
        EXPECT_EQ(d.Shown(), "porto portare portavi portatum");
    }
}

TEST_F(EnglishPageTest, SubmitReadsNothingSoEveryEntryIsReadInOneCommand) {
    PageDriver<CEnglishPage> d(sample);
    d.Answer("porto");
    d.page.OnSubmit();  // refused
    EXPECT_EQ(d.wnd.LastBox().text, "You go to the next word before you submit your answer.");
    d.Next();
    EXPECT_EQ(d.Prompt(), "man hero husband");
}

TEST_F(EnglishPageTest, NoticesAndEndOfFile) {
    {
        CFakeWindow w{IDD_ENGLISH_PAGE};
        CEnglishPage p;
        p.SetWindow(&w);
        p.OnQuitTesting();
        EXPECT_EQ(w.LastBox(), (RecordedBox{"Exiting English test", "Score", MB_OKCANCEL}));
    }
    PageDriver<CEnglishPage> d(dir.Write("one.voc", "amo amo amare\nlove\n\n\n\n\n"));
    d.Answer("amo");
    d.Next();
    EXPECT_EQ(
        d.wnd.LastBox(),
        (RecordedBox{"There are no more words in this file. Press Quit Testing to see your score.",
                     "End of Test", MB_OK}));
    EXPECT_EQ(d.Prompt(), "love  ");
    d.page.OnQuitTesting();
    EXPECT_EQ(d.wnd.LastBox().text, "Score = 100%");
}

struct WordPageTest : testing::Test {
    TempDir dir;
    std::string sample = dir.Write("v.voc", kSample);
};

TEST_F(WordPageTest, ShowsTheTextFormAndExpectsTheBaseWord) {
    PageDriver<CWordPage> d(sample);
    EXPECT_EQ(d.Prompt(), "portas");
    EXPECT_EQ(d.Mark(), "Amswer");
    d.Answer("porto");
    EXPECT_EQ(d.Mark(), "Correct Answer");
    EXPECT_EQ(d.Shown(), "porto");
    d.Next();
    EXPECT_EQ(d.Text(IDC_WORD_ANSWER), "");
    EXPECT_EQ(d.Prompt(), "virum");
    EXPECT_EQ(d.Shown(), "porto");  // the previous verdict and base word stay
    d.Answer("Vir");
    EXPECT_EQ(d.Mark(), "Wrong Answer");
    d.Next();
    d.Answer("arma");
    EXPECT_EQ(d.Mark(), "Correct Answer");
    d.Next();
    EXPECT_EQ(d.Prompt(), "in");
    d.Answer("oris");
    EXPECT_EQ(d.Shown(), "oris");
    d.Next();
    EXPECT_EQ(d.Prompt(), "Troiae");
    d.Answer("Troia");  // this page keeps capitals
    EXPECT_EQ(d.Mark(), "Correct Answer");
    d.Next();
    EXPECT_EQ(
        d.wnd.LastBox(),
        (RecordedBox{"There are no more words in this file. Press Quit Test to see your score.",
                     "End of Test", MB_OK}));
    d.page.OnQuitTesting();
    EXPECT_EQ(d.wnd.LastBox(), (RecordedBox{"Score = 80%", "Score", MB_OKCANCEL}));
}

TEST_F(WordPageTest, WrongFormsOfTheBaseWord) {
    for (const char* wrong : {"Porto", "porto ", "porto portare", "portas"}) {
        PageDriver<CWordPage> d(sample);
        d.Answer(wrong);
        EXPECT_EQ(d.Mark(), "Wrong Answer") << '"' << wrong << '"';
        EXPECT_EQ(d.Shown(), "porto");
    }
}

TEST_F(WordPageTest, RefusedBeginKeepsTheWordAndRestartsTheCount) {
    std::string words;
    for (int i = 0; i < 8; ++i) {
        // Piece by piece: "literal" + std::string&& makes GCC 12 at -O3 warn falsely (-Wrestrict).
        words += 'w';
        words += std::to_string(i);
        words += " b\r\n\r\n\r\n\r\n\r\n\r\n";
    }
    PageDriver<CWordPage> d(dir.Write("eight.voc", words));
    for (const char* a : {"b", "b", "b", "b", "x"}) {
        d.Answer(a);
        d.Next();
    }
    d.page.OnBeginTest();
    EXPECT_EQ(d.wnd.LastBox(), (RecordedBox{"Quit the current test first", "Error", MB_OKCANCEL}));
    EXPECT_EQ(d.Prompt(), "w5");
    d.Answer("b");
    d.Next();
    EXPECT_EQ(d.Prompt(), "w6");  // the file position stayed
    d.Answer("x");
    d.page.OnQuitTesting();
    EXPECT_EQ(d.wnd.LastBox().text, "Score = 50%");
}

TEST_F(WordPageTest, QuitWithoutAFile) {
    CFakeWindow w{IDD_WORD_PAGE};
    CWordPage p;
    p.SetWindow(&w);
    w.choices.push_back(dir.File("missing.voc"));
    p.OnBeginTest();
    EXPECT_EQ(w.LastBox(),
              (RecordedBox{"Error Opening file for reading, Code: 2", "Error", MB_OK}));
    p.OnQuitTesting();
    EXPECT_EQ(w.LastBox(), (RecordedBox{"Exiting Word Parts test", "Score", MB_OKCANCEL}));
    EXPECT_EQ(w.endResult, 32771);
}

// Each answer's mark and the expected answer shown after it.
template <class Page>
std::vector<std::string> MarksAndShown(const std::string& path,
                                       const std::vector<std::string>& answers) {
    PageDriver<Page> d(path);
    std::vector<std::string> seen;
    for (const auto& answer : answers) {
        d.Answer(answer);
        seen.push_back(d.Mark() + " | " + d.Shown());
        d.Next();
    }
    return seen;
}

// A list with capitals and marks of vowel length: on every page, what is typed without special
// keys is right, a wrong answer stays wrong, and the expected answer keeps the file's text.
TEST(SheetPages, CapitalsAndVowelLengthMarksAsTyped) {
    TempDir dir;
    const std::string path = dir.Write("marked.voc", kMarkedWords);
    using Seen = std::vector<std::string>;
    EXPECT_EQ(MarksAndShown<CLatinPage>(path, {"gaul", "i love", "krieg", "cesar"}),
              (Seen{"Correct Answer | Gaul  ", "Correct Answer | I love like ",
                    "Correct Answer | Krieg war ", "Wrong Answer | Caesar  "}));
    EXPECT_EQ(
        MarksAndShown<CEnglishPage>(path, {"gallia", "amo", "bello", "caesar"}),
        (Seen{"Correct Answer | Gallia Galliae", "Correct Answer | amo\u0304 amāre amāvī amātum",
              "Wrong Answer | bellum bellī", "Correct Answer | Caesar Caesaris"}));
    EXPECT_EQ(MarksAndShown<CWordPage>(path, {"Gallia", "amo", "bellum", "caesar"}),
              (Seen{"Correct Answer | Gallia", "Correct Answer | amo\u0304",
                    "Correct Answer | bellum", "Wrong Answer | Caesar"}));
}

TEST(SheetPages, TwoPagesCannotTestTheSameFile) {
    TempDir dir;
    std::string path = dir.Write("v.voc", kSample);
    PageDriver<CLatinPage> latin(path);
    PageDriver<CWordPage> word(path);
    EXPECT_EQ(word.wnd.LastBox(),
              (RecordedBox{"Error Opening file for reading, Code: 11", "Error", MB_OK}));
    EXPECT_EQ(word.page.m_bFileOpen, 0);
    latin.page.OnQuitTesting();
    word.page.OnBeginTest();
    word.wnd.choices.push_back(path);
    word.page.OnBeginTest();
    EXPECT_EQ(word.Prompt(), "portas");
}

}  // namespace
