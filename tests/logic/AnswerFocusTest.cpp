// Where the keys go and what a screen reader hears: every page puts the focus in its answer box
// when a word is shown, names that word there, and reports the verdict after Submit.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "EnglishPage.h"
#include "FakeWindow.h"
#include "LatinPage.h"
#include "TempDir.h"
#include "WordPage.h"

namespace {

const char kTwoWords[] =
    "portas porto portare portavi portatum\r\ncarry\r\nbring\r\nbear\r\n\r\n\r\n"
    "amat amo amare\r\nlove\r\n\r\n\r\n\r\n\r\n";

struct FlowCase {
    const char* name;
    std::function<std::unique_ptr<CTestPage>()> make;
    const char* answer;     // typed for the first word
    const char* firstAsked;
    const char* verdict;    // after Submit of `answer`
    const char* secondAsked;
};

void PrintTo(const FlowCase& c, std::ostream* os) { *os << c.name; }

class AnswerFocus : public testing::TestWithParam<FlowCase> {};

TEST_P(AnswerFocus, FollowsEachWordAndCarriesTheVerdict) {
    const FlowCase& c = GetParam();
    TempDir dir;
    auto page = c.make();
    CFakeWindow wnd(page->TemplateId());
    page->SetWindow(&wnd);
    const TestPageControls& ids = page->Controls();

    wnd.choices.push_back(dir.Write("two.voc", kTwoWords));
    page->OnBeginTest();
    EXPECT_EQ(wnd.focus, ids.answer);
    EXPECT_EQ(wnd.descriptions[ids.answer], c.firstAsked);

    wnd.texts[ids.answer] = c.answer;
    wnd.focus.reset();
    page->OnSubmit();
    EXPECT_EQ(wnd.descriptions[ids.answer], c.verdict);
    EXPECT_EQ(wnd.descriptions[ids.submit], c.verdict);
    EXPECT_FALSE(wnd.focus.has_value());  // Submit leaves the focus where the user put it

    page->OnNextWord();
    EXPECT_EQ(wnd.focus, ids.answer);
    EXPECT_EQ(wnd.descriptions[ids.answer], c.secondAsked);
    EXPECT_EQ(wnd.descriptions[ids.submit], "");
}

INSTANTIATE_TEST_SUITE_P(
    Pages, AnswerFocus,
    testing::Values(
        FlowCase{"Latin", [] { return std::make_unique<CLatinPage>(); }, "bear",
                 "Latin Word: portas", "Correct Answer. Answer: carry bring bear. Latin Word: portas",
                 "Latin Word: amat"},
        FlowCase{"English", [] { return std::make_unique<CEnglishPage>(); }, "portas",
                 "English Word: carry bring bear",
                 "Wrong Answer. Answer: porto portare portavi portatum. English Word: carry bring bear",
                 "English Word: love  "},
        FlowCase{"WordParts", [] { return std::make_unique<CWordPage>(); }, "porto",
                 "Latin Word: portas", "Correct Answer. Answer: porto. Latin Word: portas",
                 "Latin Word: amat"}),
    [](const testing::TestParamInfo<FlowCase>& info) { return std::string(info.param.name); });

// Presses that show no new word leave the focus alone, wherever the user has it.
struct StayCase {
    const char* name;
    const char* file;  // contents of the file chosen, or nullptr for a missing file
    bool cancel;       // the file dialog is cancelled
    int answered;      // words answered and moved past before the press under test
};

void PrintTo(const StayCase& c, std::ostream* os) { *os << c.name; }

class FocusStays : public testing::TestWithParam<StayCase> {};

TEST_P(FocusStays, WhenNoWordIsShown) {
    const StayCase& c = GetParam();
    TempDir dir;
    CLatinPage page;
    CFakeWindow wnd(page.TemplateId());
    page.SetWindow(&wnd);
    const std::string path = c.file ? dir.Write("v.voc", c.file) : dir.File("missing.voc");
    wnd.choices.push_back(c.cancel ? std::nullopt : std::optional<std::string>(path));
    page.OnBeginTest();
    for (int i = 0; i < c.answered; ++i) {
        page.OnSubmit();
        if (i + 1 < c.answered) page.OnNextWord();
    }
    if (c.answered > 0) {
        wnd.focus.reset();
        page.OnNextWord();  // past the last word
        EXPECT_EQ(wnd.LastBox().caption, "End of Test");
    }
    EXPECT_FALSE(wnd.focus.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Presses, FocusStays,
    testing::Values(StayCase{"DialogCancelled", kTwoWords, true, 0},
                    StayCase{"OpenFailed", nullptr, false, 0},
                    StayCase{"EmptyFile", "", false, 0},
                    StayCase{"NextWordAtTheEnd", kTwoWords, false, 2}),
    [](const testing::TestParamInfo<StayCase>& info) { return std::string(info.param.name); });

}  // namespace
