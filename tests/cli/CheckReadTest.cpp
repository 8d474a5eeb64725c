// check reads a file in large blocks: a line that a block's end cuts in two, even between its
// CR and its LF, is judged as any other line.
#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>

#include "Findings.h"

namespace {

constexpr std::size_t kBlock = 256 * 1024;  // what check reads at once

// Strings joined by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on chains of '+'.
std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts) out += part;
    return out;
}

std::string Word(int n, const std::string& meaning = "sing") {
    return Cat({"w", std::to_string(n), " w\r\n", meaning, "\r\n\r\n\r\n\r\n\r\n"});
}

struct SplitCase {
    const char* name;
    std::size_t before;  // bytes of the cut line in the first block
    std::size_t length;  // of the cut line (its text: "sing", or that many x)
};

class LineAcrossBlocks : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineAcrossBlocks, IsJudgedWhole) {
    const SplitCase& c = GetParam();
    const std::string cut = c.length == 4 ? "sing" : std::string(c.length, 'x');
    std::string middle;
    int n = 1;
    while (middle.size() < kBlock - c.before - 100) middle += Word(n++);
    const std::string head = Cat({"w", std::to_string(n), " w\r\n"});
    // The first word's meaning pads, so that the cut line starts where it must.
    const std::size_t pad = kBlock - c.before - middle.size() - head.size() - Word(0, "").size();
    const std::string text =
        Cat({Word(0, std::string(pad, 's')), middle, head, cut, "\r\n\r\n\r\n\r\n\r\n"});
    ASSERT_EQ(text.substr(kBlock - c.before, 2), cut.substr(0, 2));

    std::istringstream in(text);
    std::ostringstream out;
    CheckVocStream(in, "w.voc", out);
    std::string expected;
    if (c.length > kLongestReadLine) {
        expected =
            Cat({"w.voc:", std::to_string(6 * n + 2), ": error: line of ", std::to_string(c.length),
                 " bytes: the tests read only the first ", std::to_string(kLongestReadLine),
                 ", so this word can never be answered right; shorten it\n"});
    }
    expected += Cat({"w.voc: ", std::to_string(n + 1), " words, ",
                     expected.empty() ? "0 errors" : "1 error", ", 0 warnings\n"});
    EXPECT_EQ(out.str(), expected);
}

INSTANTIATE_TEST_SUITE_P(Splits, LineAcrossBlocks,
                         ::testing::Values(SplitCase{"InItsText", 2, 4},
                                           SplitCase{"BetweenCrAndLf", 5, 4},
                                           SplitCase{"OverThreeBlocks", 7000, 600000}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// check marks 64 bytes at a time and takes most lines from the marks: a blank pair, a bracket,
// a comma, a capital or a CR that falls on any byte of those 64, or across two of them, is
// found as anywhere else.
struct MarkCase {
    const char* name;
    const char* meaning;   // meaning 1, after the padding
    const char* headword;  // after the padding of the text form
    std::size_t warnings;  // per word
    std::size_t errors;
};

class MarksAtEveryByte : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarksAtEveryByte, FindTheSameAsAnywhere) {
    const MarkCase& c = GetParam();
    std::string text;
    constexpr std::size_t kWords = 140;  // every offset of a line in 64 bytes, and more
    for (std::size_t pad = 0; pad < kWords; ++pad) {
        text += Cat({"w", std::to_string(pad), std::string(pad % 7, 'w'), c.headword, "\r\n",
                     std::string(pad, 'x'), c.meaning, "\r\n\r\n\r\n\r\n\r\n"});
    }
    std::istringstream in(text);
    std::ostringstream out;
    const CheckTotals totals = CheckVocStream(in, "m.voc", out);
    EXPECT_EQ(totals.warnings, kWords * c.warnings) << out.str();
    EXPECT_EQ(totals.errors, kWords * c.errors) << out.str();
}

INSTANTIATE_TEST_SUITE_P(Features, MarksAtEveryByte,
                         ::testing::Values(MarkCase{"Plain", "y z", " w", 0, 0},
                                           MarkCase{"DoubledBlank", "y  z", " w", 1, 0},
                                           MarkCase{"Bracket", "(y)", " w", 1, 0},
                                           MarkCase{"Comma", ";y", " w", 1, 0},
                                           MarkCase{"EndsInBlank", "y ", " w", 1, 0},
                                           MarkCase{"DoubledInDictionaryForm", "y", " w  w", 1, 0},
                                           MarkCase{"CapitalBase", "y", " Wx", 1, 0},
                                           MarkCase{"CapitalsInMeaning", "Y Z", " w", 0, 0},
                                           MarkCase{"CapitalAndBracket", "Y[z", " w", 1, 0},
                                           MarkCase{"ColonAfterBase", "y", " w:", 1, 0},
                                           MarkCase{"ColonAfterTextForm", "y", ": w", 1, 0},
                                           MarkCase{"TabInBase", "y", " w\tw", 0, 1},
                                           MarkCase{"TabAfterBase", "y", " w w\tw", 1, 0},
                                           MarkCase{"CrInOnlyMeaning", "y\r", " w", 1, 1},
                                           MarkCase{"NotAscii", "\xC3\xA9 (y)", " w", 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
