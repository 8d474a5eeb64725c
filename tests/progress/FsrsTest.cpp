// The FSRS-6 scheduler, held answer by answer to ts-fsrs, the reference implementation of the
// model, so that our schedule is the model's own.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Fsrs.h"

namespace {

using fsrs::Grade;
constexpr Grade kAgain = Grade::kAgain;
constexpr Grade kGood = Grade::kGood;

struct ReferenceAnswer {
    int card;
    int elapsedDays;
    Grade grade;
    double stability;
    double difficulty;
    int interval;           // ts-fsrs's next_interval
    int schedulerInterval;  // its full scheduler, which keeps Good a day past Hard
};

const ReferenceAnswer kReference[] = {
#include "fsrs_reference.inc"
};

// Our own state is carried from answer to answer, as the program stores it, so that a drift
// that grows over a card's life shows too.
TEST(Fsrs, FollowsTsFsrsAnswerByAnswer) {
    std::optional<fsrs::MemoryState> state;
    int card = -1;
    int step = 0;
    for (const auto& a : kReference) {
        if (a.card != card) {
            state.reset();
            card = a.card;
            step = 0;
        }
        SCOPED_TRACE(::testing::Message() << "card " << card << ", answer " << step++);
        state = fsrs::NextState(state, a.elapsedDays, a.grade);
        ASSERT_NEAR(state->stability, a.stability, 1e-3 * a.stability);
        ASSERT_NEAR(state->difficulty, a.difficulty, 1e-3 * a.difficulty);
        const int days = fsrs::IntervalDays(state->stability);
        ASSERT_NEAR(days, a.interval, 1);
        ASSERT_NEAR(days, a.schedulerInterval, 1);
    }
}

struct IntervalCase {
    const char* name;
    double stability;
    double retention;
    int maximumInterval;
};

class Interval : public ::testing::TestWithParam<IntervalCase> {};

// The cards above ask only for 90%, where the interval is the stability itself. At any retention
// the review falls on the whole day nearest to where recall drops to it, within the bounds.
TEST_P(Interval, FallsWhereRecallReachesTheRetention) {
    const auto& c = GetParam();
    fsrs::Parameters p;
    p.desiredRetention = c.retention;
    p.maximumInterval = c.maximumInterval;
    const int days = fsrs::IntervalDays(c.stability, p);
    EXPECT_GE(days, 1);
    EXPECT_LE(days, c.maximumInterval);
    if (days > 1) {
        EXPECT_GE(fsrs::Retrievability(days - 0.5, c.stability, p), c.retention);
    }
    if (days < c.maximumInterval) {
        EXPECT_LE(fsrs::Retrievability(days + 0.5, c.stability, p), c.retention);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Retentions, Interval,
    ::testing::Values(IntervalCase{"LowerRetentionWaitsLonger", 10, 0.8, 36500},
                      IntervalCase{"HigherRetentionComesSooner", 10, 0.95, 36500},
                      IntervalCase{"AlmostCertainRecall", 1000, 0.99, 36500},
                      IntervalCase{"NeverSoonerThanTomorrow", 0.05, 0.9, 36500},
                      IntervalCase{"CappedByTheMaximum", 500, 0.7, 365}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
