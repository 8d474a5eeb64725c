// The terminal window: what it shows of a page, and answer boxes that lower as the template says.
#include <gtest/gtest.h>

#include <sstream>

#include "Resource.h"
#include "TermWindow.h"

namespace {

struct TypedCase {
    const char* name;
    int templateId;
    int box;
    std::string typed;
    std::string inBox;
};

class TypedAnswer : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedAnswer, IsLoweredWhereTheTemplatesBoxLowers) {
    const TypedCase& c = GetParam();
    std::ostringstream out;
    CTermWindow window(c.templateId, out, std::nullopt);
    window.Type(c.box, c.typed);
    EXPECT_EQ(window.GetDlgItemText(c.box), c.inBox);
    EXPECT_EQ(out.str(), "");  // the terminal already showed what was typed
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, TypedAnswer,
    ::testing::Values(
        TypedCase{"LatinLowersEveryAlphabet", IDD_LATIN_PAGE, IDC_LATIN_ANSWER,
                  "\xc3\x87"
                  "A VA \xce\xa9\xce\x9c\xce\x88\xce\x93\xce\x91 \xd0\x96\xd0\xa3\xd0\x9a",
                  "\xc3\xa7"
                  "a va \xcf\x89\xce\xbc\xce\xad\xce\xb3\xce\xb1 \xd0\xb6\xd1\x83\xd0\xba"},
        TypedCase{"EnglishLowers", IDD_ENGLISH_PAGE, IDC_ENGLISH_ANSWER, "Porto", "porto"},
        TypedCase{"WordPartsKeepsCapitals", IDD_WORD_PAGE, IDC_WORD_ANSWER, "Porto \xc3\x87",
                  "Porto \xc3\x87"},
        TypedCase{"BytesThatAreNotUtf8StayAsTheyAre", IDD_LATIN_PAGE, IDC_LATIN_ANSWER, "A\xff\xc3",
                  "a\xff\xc3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TermWindow, ShowsEachTextSetOnceInTabOrderWithItsLabelAndBoxesAsTheyCome) {
    std::ostringstream out;
    CTermWindow window(IDD_LATIN_PAGE, out, "w.voc");
    EXPECT_EQ(window.ChooseFileToOpen("voc", ""), "w.voc");
    EXPECT_EQ(window.ChooseFileToOpen("voc", ""), std::nullopt);  // a second choice is cancelled
    window.SetDlgItemText(IDC_LATIN_SHOWN, "carry bring bear");
    window.SetDlgItemText(IDC_LATIN_MARK, "Wrong Answer");
    window.SetDlgItemText(IDC_LATIN_MARK, "Correct Answer");
    window.SetDlgItemText(IDC_LATIN_ANSWER, "");
    window.ShowChanges();
    window.SetDlgItemText(IDC_LATIN_PROMPT, "amat");
    window.MessageBox("You go to the next word before you submit your answer.", "Error", 1);
    window.MessageBox("Score = 50%", "Score", 1);
    window.ShowChanges();
    EXPECT_EQ(out.str(),
              "Correct Answer\ncarry bring bear\nLatin Word: amat\n"
              "Error: You go to the next word before you submit your answer.\nScore = 50%\n");
}

}  // namespace
