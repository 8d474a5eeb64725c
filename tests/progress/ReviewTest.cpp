// Review sessions across days, on a clock the test sets: which words tavrin-voc quiz --review
// asks, in which order, and what it says at the end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "Clock.h"
#include "TavrinVoc.h"
#include "TempDir.h"

namespace {

std::string Entry(const std::string& headword, const std::string& meaning) {
    return headword + "\r\n" + meaning + "\r\n\r\n\r\n\r\n\r\n";
}

// Five words whose meaning is their text form's first letter, doubled.
const std::string kWords = Entry("alpha alpha", "aa") + Entry("beta beta", "bb") +
                           Entry("gamma gamma", "gg") + Entry("delta delta", "dd") +
                           Entry("epsilon epsilon", "ee");

struct Session {
    int day;                        // after the first session's
    std::vector<std::string> args;  // after "quiz --review"
    std::string answers;
    std::vector<std::string> asked;  // the words shown, in order
    std::string last;                // the last line of the output
};

struct ReviewCase {
    const char* name;
    std::vector<Session> sessions;
};

class ReviewDays : public ::testing::TestWithParam<ReviewCase> {
protected:
    void SetUp() override {
        // Study days begin at 04:00 local time; the sessions are at noon UTC.
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override {
        progress::SetClockForTesting(nullptr);
        ::unsetenv("TZ");
        ::tzset();
    }
};

TEST_P(ReviewDays, AsksTheWordsDueThatDayAndNoOthers) {
    TempDir dir;
    const std::string store = dir.File("progress.sqlite");
    const std::string list = dir.Write("words.voc", kWords);
    const progress::Seconds firstNoon = 1772452800;  // 2026-03-02 12:00 UTC
    for (const Session& session : GetParam().sessions) {
        SCOPED_TRACE("day " + std::to_string(session.day));
        progress::SetClockForTesting([&] { return firstNoon + session.day * 86400; });
        std::vector<std::string> args = {"tavrin-voc", "--progress", store, "quiz", "--review"};
        args.insert(args.end(), session.args.begin(), session.args.end());
        args.push_back(list);
        std::vector<const char*> argv;
        for (const auto& a : args) argv.push_back(a.c_str());
        std::istringstream in(session.answers);
        std::ostringstream out, err;
        EXPECT_EQ(RunTavrinVoc(static_cast<int>(argv.size()), argv.data(), {in, out, err}), 0);
        EXPECT_EQ(err.str(), "");

        std::vector<std::string> asked;
        std::string line, last;
        std::istringstream lines(out.str());
        while (std::getline(lines, line)) {
            if (line.rfind("Latin Word: ", 0) == 0) asked.push_back(line.substr(12));
            last = line;
        }
        EXPECT_EQ(asked, session.asked);
        EXPECT_EQ(last, session.last);
    }
}

const char kNothing[] =
    "Nothing to review: no word is due today, and no new word is left for today. Due tomorrow: ";

INSTANTIATE_TEST_SUITE_P(
    Sessions, ReviewDays,
    ::testing::Values(
        // A first right answer gives a stability of 2.3 days: due on day 2.
        ReviewCase{
            "RightOnDayZeroIsAskedOnItsDueDayOnly",
            {{0, {"--new", "1"}, "aa\n", {"alpha"}, "Reviewed: 0; new: 1; due tomorrow: 0."},
             {1, {"--new", "0"}, "", {}, std::string(kNothing) + "1."},
             {2, {"--new", "0"}, "aa\n", {"alpha"}, "Reviewed: 1; new: 0; due tomorrow: 0."}}},
        // Asked again three words later, and again until it is right.
        ReviewCase{"MissedComesBackInTheSameSessionUntilRight",
                   {{0,
                     {},
                     "x\nbb\ngg\ndd\nx\nee\nx\naa\n",
                     {"alpha", "beta", "gamma", "delta", "alpha", "epsilon", "alpha", "alpha"},
                     "Reviewed: 0; new: 5; due tomorrow: 1."}}},
        // Words started in the first session count against the second one's new words.
        ReviewCase{
            "NewWordsPerDayHoldAcrossSessions",
            {{0,
              {"--new", "2"},
              "aa\nbb\n",
              {"alpha", "beta"},
              "Reviewed: 0; new: 2; due tomorrow: 0."},
             {0, {"--new", "2"}, "", {}, std::string(kNothing) + "0."},
             {0, {"--new", "3"}, "gg\n", {"gamma"}, "Reviewed: 0; new: 1; due tomorrow: 0."},
             {1, {"--new", "1"}, "dd\n", {"delta"}, "Reviewed: 0; new: 1; due tomorrow: 3."}}},
        // Missed on day 0 (due day 1) is less likely remembered on day 3 than a word right on
        // day 0 (due day 2): it comes first, and the new words after both.
        ReviewCase{"DueWordsLeastLikelyRememberedFirstThenNew",
                   {{0,
                     {"--new", "2"},
                     "aa\nx\nbb\n",
                     {"alpha", "beta", "beta"},
                     "Reviewed: 0; new: 2; due tomorrow: 1."},
                    {3,
                     {"--new", "1"},
                     "bb\naa\ngg\n",
                     {"beta", "alpha", "gamma"},
                     "Reviewed: 2; new: 1; due tomorrow: 0."}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
