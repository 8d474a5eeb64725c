// Each page on a list with capitals and vowel-length marks: what a student types without
// special keys is right, while the expected answer keeps the file's own text.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "EnglishPage.h"
#include "FakeWindow.h"
#include "LatinPage.h"
#include "MarkedWords.h"
#include "TempDir.h"
#include "WordPage.h"

namespace {

struct PageCase {
    const char* name;
    std::unique_ptr<CTestPage> (*make)();
    std::vector<std::string> answers;  // as the page's answer box holds them
    std::vector<std::string> marks;
    std::vector<std::string> shown;
};

class MarkedWordsPage : public ::testing::TestWithParam<PageCase> {};

TEST_P(MarkedWordsPage, TakesWhatIsTypedWithoutSpecialKeys) {
    const auto& c = GetParam();
    TempDir dir;
    const auto page = c.make();
    CFakeWindow wnd(page->TemplateId());
    page->SetWindow(&wnd);
    const TestPageControls& ids = page->Controls();
    wnd.choices.push_back(dir.Write("marked.voc", kMarkedWords));
    page->OnBeginTest();
    std::vector<std::string> marks, shown;
    for (const auto& answer : c.answers) {
        wnd.texts[ids.answer] = answer;
        page->OnSubmit();
        marks.push_back(wnd.texts[ids.mark]);
        shown.push_back(wnd.texts[ids.shown]);
        page->OnNextWord();
    }
    EXPECT_EQ(marks, c.marks);
    EXPECT_EQ(shown, c.shown);
    page->OnQuitTesting();
    EXPECT_EQ(wnd.LastBox().text, "Score = 75%");
}

template <class Page>
std::unique_ptr<CTestPage> Make() {
    return std::make_unique<Page>();
}

const std::string kRight = "Correct Answer";
const std::string kWrong = "Wrong Answer";

INSTANTIATE_TEST_SUITE_P(
    Pages, MarkedWordsPage,
    ::testing::Values(PageCase{"LatinToEnglishLowersTheMeanings",
                               Make<CLatinPage>,
                               {"gaul", "i love", "krieg", "cesar"},
                               {kRight, kRight, kRight, kWrong},
                               {"Gaul  ", "I love like ", "Krieg war ", "Caesar  "}},
                      PageCase{"EnglishToLatinLowersTheBaseWord",
                               Make<CEnglishPage>,
                               {"gallia", "amo", "bello", "caesar"},
                               {kRight, kRight, kWrong, kRight},
                               {"Gallia Galliae", "amo\u0304 amāre amāvī amātum", "bellum bellī",
                                "Caesar Caesaris"}},
                      PageCase{"WordPartsKeepsCapitals",
                               Make<CWordPage>,
                               {"Gallia", "amo", "bellum", "caesar"},
                               {kRight, kRight, kRight, kWrong},
                               {"Gallia", "amo\u0304", "bellum", "Caesar"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
