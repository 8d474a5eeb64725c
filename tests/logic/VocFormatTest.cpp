#include <gtest/gtest.h>

#include <string>

#include "VocFormat.h"

namespace {

struct SplitCase {
    const char* line;
    const char* textForm;
    const char* dictionaryForm;
    const char* baseWord;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class HeadwordSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(HeadwordSplit, SplitsAtTheFirstBlankOnly) {
    const auto& c = GetParam();
    Headword h = SplitHeadword(c.line);
    EXPECT_EQ(h.textForm, c.textForm);
    EXPECT_EQ(h.dictionaryForm, c.dictionaryForm);
    EXPECT_EQ(BaseWord(h.dictionaryForm), c.baseWord);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HeadwordSplit,
    testing::Values(
        SplitCase{"portas porto portare portavi portatum", "portas", "porto portare portavi portatum", "porto"},
        SplitCase{"cano cano canere cecini cantum", "cano", "cano canere cecini cantum", "cano"},
        SplitCase{"arma arma", "arma", "arma", "arma"},                // a noun given alone
        SplitCase{"rosa", "rosa", "rosa", "rosa"},                      // no blank at all
        SplitCase{"in ora ora oris", "in", "ora ora oris", "ora"},      // text form typed with a blank
        SplitCase{" ", "", "", ""},                                     // both parts empty
        SplitCase{" amo amare", "", "amo amare", "amo"},                // empty text form
        SplitCase{"amat ", "amat", "", ""},                             // empty dictionary form
        SplitCase{"", "", "", ""},
        SplitCase{"virum vir  viri", "virum", "vir  viri", "vir"}),
    // The line itself, each blank an underscore: "amat_" and "_amo_amare" show where it is.
    [](const testing::TestParamInfo<SplitCase>& info) {
        std::string name = info.param.line;
        for (char& c : name) {
            if (c == ' ') c = '_';
        }
        return name.empty() ? std::string("EmptyLine") : name;
    });

}  // namespace
