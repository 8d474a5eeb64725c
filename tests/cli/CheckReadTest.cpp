// check reads a file in large blocks: a line that a block's end cuts in two, even between its
// CR and its LF, is judged as any other line.
#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>

#include "Check.h"

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
