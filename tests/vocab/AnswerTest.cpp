// The one comparison of answers, and the lowering of the answer boxes that it meets.
#include <gtest/gtest.h>

#include "Answer.h"
#include "Lowercase.h"

namespace {

constexpr auto kLowered = LetterCase::kLowered;
constexpr auto kKept = LetterCase::kKept;

struct MatchCase {
    const char* name;
    const char* answer;    // as the answer box holds it
    const char* expected;  // as the file holds it
    LetterCase letters;
    bool right;
};

class AnswerMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(AnswerMatch, IsJudgedAsAStudentExpects) {
    const auto& c = GetParam();
    EXPECT_EQ(AnswerMatches(c.answer, c.expected, c.letters), c.right)
        << '"' << c.answer << "\" for \"" << c.expected << '"';
    if (c.letters == kLowered) {
        // A lowering box lowers its whole text again at each key: whatever it makes of the
        // file's text, typed key by key, is right.
        std::string box;
        for (const char key : std::string(c.expected)) box = LowerAsTyped(box + key);
        EXPECT_TRUE(AnswerMatches(box, c.expected, kLowered)) << box;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerMatch,
    ::testing::Values(MatchCase{"CapitalInTheFile", "gaul", "Gaul", kLowered, true},
                      MatchCase{"TypedCapitals", "PORTO", "porto", kLowered, true},
                      MatchCase{"SharpS", "straße", "Straße", kLowered, true},
                      MatchCase{"CapitalSharpS", "straße", "STRAẞE", kLowered, true},
                      MatchCase{"SharpSIsNotDoubleS", "strasse", "Straße", kLowered, false},
                      MatchCase{"UmlautCapital", "über", "Über", kLowered, true},
                      MatchCase{"UmlautStillCounts", "uber", "über", kLowered, false},
                      MatchCase{"AccentedCapital", "école", "École", kLowered, true},
                      MatchCase{"AccentStillCounts", "ecole", "école", kLowered, false},
                      MatchCase{"MacronLeftOut", "amo", "amō", kKept, true},
                      MatchCase{"MacronOnlyInTheAnswer", "amō", "amo", kKept, true},
                      MatchCase{"CombiningMacron", "amo", "amo\u0304", kKept, true},
                      MatchCase{"CapitalWithMacron", "amo", "AMŌ", kLowered, true},
                      MatchCase{"CombiningMacronOnCapital", "ire", "I\u0304re", kLowered, true},
                      MatchCase{"BreveLeftOut", "malum", "mălum", kKept, true},
                      MatchCase{"CombiningBreve", "malum", "ma\u0306lum", kKept, true},
                      MatchCase{"MacronOverUmlautKeepsTheUmlaut", "ü", "ǖ", kKept, true},
                      MatchCase{"BreveMakesACyrillicLetter", "мои", "мой", kLowered, false},
                      MatchCase{"DecomposedFile", "café", "cafe\u0301", kKept, true},
                      MatchCase{"DecomposedAccentStillCounts", "cafe", "cafe\u0301", kKept, false},
                      MatchCase{"GreekFinalSigma", "λόγος", "ΛΌΓΟΣ", kLowered, true},
                      MatchCase{"DottedCapitalI", "istanbul", "İstanbul", kLowered, true},
                      MatchCase{"EmptyMeaning", "", "", kLowered, true},
                      MatchCase{"EmptyAnswerForAWord", "", "amo", kLowered, false},
                      MatchCase{"TrailingBlankInTheFile", "bear", "bear ", kLowered, false},
                      MatchCase{"CaseKept", "Roma", "Roma", kKept, true},
                      MatchCase{"CaseKeptLowerAnswer", "roma", "Roma", kKept, false},
                      MatchCase{"CaseKeptMacronOnCapital", "Amo", "Āmo", kKept, true},
                      MatchCase{"CaseKeptUmlautCapital", "über", "Über", kKept, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
