#include "Fsrs.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace fsrs {

namespace {

// The bounds within which ts-fsrs keeps its numbers, kept here too so that both give one schedule.
constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;
constexpr double kMinDifficulty = 1;
constexpr double kMaxDifficulty = 10;

double W(const Parameters& p, int i) { return p.w[static_cast<std::size_t>(i)]; }

int Number(Grade grade) { return static_cast<int>(grade); }

double ClampStability(double s) { return std::clamp(s, kMinStability, kMaxStability); }

// The forgetting curve is R = (1 + factor * t / S)^-decay, with the factor chosen so that R is
// exactly 0.9 when t equals S, whatever the decay.
double Decay(const Parameters& p) { return W(p, 20); }

double Factor(const Parameters& p) { return std::pow(0.9, -1 / Decay(p)) - 1; }

double InitialStability(const Parameters& p, Grade grade) {
    return std::max(W(p, Number(grade) - 1), 0.1);
}

// Left unclamped: the mean reversion below aims at Easy's value, which the defaults put below 1.
double InitialDifficulty(const Parameters& p, Grade grade) {
    return W(p, 4) - std::exp((Number(grade) - 1) * W(p, 5)) + 1;
}

double NextDifficulty(const Parameters& p, double d, Grade grade) {
    const double delta = -W(p, 6) * (Number(grade) - 3);
    // Damped so that difficulty nears 10 without overshooting it.
    const double damped = d + delta * (kMaxDifficulty - d) / 9;
    // A little of the way back towards an easy word's difficulty at each answer, so that a word
    // missed long ago does not stay hard for ever.
    const double reverted = W(p, 7) * InitialDifficulty(p, Grade::kEasy) + (1 - W(p, 7)) * damped;
    return std::clamp(reverted, kMinDifficulty, kMaxDifficulty);
}

double SameDayStability(const Parameters& p, double s, Grade grade) {
    double growth = std::pow(s, -W(p, 19)) * std::exp(W(p, 17) * (Number(grade) - 3 + W(p, 18)));
    // A right answer on the same day never lowers stability, however high it already is.
    if (grade >= Grade::kHard) growth = std::max(growth, 1.0);
    return ClampStability(s * growth);
}

double StabilityAfterRecall(const Parameters& p, double d, double s, double r, Grade grade) {
    const double hard = grade == Grade::kHard ? W(p, 15) : 1;
    const double easy = grade == Grade::kEasy ? W(p, 16) : 1;
    const double growth = std::exp(W(p, 8)) * (11 - d) * std::pow(s, -W(p, 9)) *
                          (std::exp((1 - r) * W(p, 10)) - 1) * hard * easy;
    return ClampStability(s * (1 + growth));
}

double StabilityAfterLapse(const Parameters& p, double d, double s, double r) {
    const double forgotten =
        ClampStability(W(p, 11) * std::pow(d, -W(p, 12)) * (std::pow(s + 1, W(p, 13)) - 1) *
                       std::exp((1 - r) * W(p, 14)));
    // Capped so that a lapse followed by a right answer the same day cannot leave the word more
    // stable than it was before the lapse.
    const double sameDayCap = std::max(s / std::exp(W(p, 17) * W(p, 18)), kMinStability);
    return std::min(forgotten, sameDayCap);
}

}  // namespace

const Parameters& DefaultParameters() {
    static const Parameters kDefaults;
    return kDefaults;
}

MemoryState NextState(const std::optional<MemoryState>& previous, int elapsedDays, Grade grade,
                      const Parameters& p) {
    if (!previous) {
        return {InitialStability(p, grade),
                std::clamp(InitialDifficulty(p, grade), kMinDifficulty, kMaxDifficulty)};
    }
    // Bounded so that a damaged progress file yields a schedule rather than NaN.
    const double s = ClampStability(previous->stability);
    const double d = std::clamp(previous->difficulty, kMinDifficulty, kMaxDifficulty);

    double next = 0;
    if (elapsedDays <= 0) {
        next = SameDayStability(p, s, grade);
    } else {
        const double r = Retrievability(elapsedDays, s, p);
        next = grade == Grade::kAgain ? StabilityAfterLapse(p, d, s, r)
                                      : StabilityAfterRecall(p, d, s, r, grade);
    }
    return {next, NextDifficulty(p, d, grade)};
}

double Retrievability(double elapsedDays, double stability, const Parameters& p) {
    return std::pow(1 + Factor(p) * elapsedDays / stability, -Decay(p));
}

int IntervalDays(double stability, const Parameters& p) {
    // The forgetting curve solved for t at R = desiredRetention.
    const double days = stability / Factor(p) * (std::pow(p.desiredRetention, -1 / Decay(p)) - 1);
    return static_cast<int>(
        std::clamp(std::round(days), 1.0, static_cast<double>(p.maximumInterval)));
}

}  // namespace fsrs
