// When a word is due again: the FSRS-6 model of memory, as the scheduler of Anki and ts-fsrs
// use it, kept free of dates, files and Qt so that it can be held to ts-fsrs's own numbers.
//
// A word's memory has two numbers. Its stability is the number of days after which it is
// recalled nine times in ten; its difficulty, from 1 to 10, is how slowly stability grows. Each
// answer moves both, by how much the word had been forgotten since the last answer (its
// retrievability, from the days gone by) and by the grade. The next review falls on the day when
// retrievability is expected to drop to the retention that the learner asks for.
//
// The program grades only Again (a wrong answer) and Good (a right one), with no learning steps
// and no random spread of due days. A second answer on the same day goes through the model's
// short-term formula (w17-w19) rather than the one for reviews a day or more apart.
#pragma once

#include <array>
#include <optional>

namespace fsrs {

enum class Grade { kAgain = 1, kHard = 2, kGood = 3, kEasy = 4 };

struct MemoryState {
    double stability = 0;   // days until recall falls to 90%
    double difficulty = 0;  // 1 (easiest) to 10
};

struct Parameters {
    // The FSRS-6 defaults, fitted by its authors on many Anki collections: w0-w3 the first
    // stability of each grade, w4-w7 difficulty, w8-w10 stability after a recall, w11-w14 after
    // a lapse, w15-w16 the Hard and Easy factors, w17-w19 same-day answers, w20 the decay of the
    // forgetting curve.
    std::array<double, 21> w = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    double desiredRetention = 0.9;
    int maximumInterval = 36500;  // days
};

const Parameters& DefaultParameters();

// The memory state after an answer graded `grade`, given `elapsedDays` whole days since the last
// answer (0: the same day, which goes through the model's same-day formula; a negative count,
// from a clock put back, counts as the same day); `previous` empty for the first answer.
MemoryState NextState(const std::optional<MemoryState>& previous, int elapsedDays, Grade grade,
                      const Parameters& p = DefaultParameters());

// Probability of recall after `elapsedDays` (may be fractional) at `stability` (above 0).
double Retrievability(double elapsedDays, double stability,
                      const Parameters& p = DefaultParameters());

// Days until the next review for `stability` at the desired retention: rounded to whole days, at
// least 1, at most maximumInterval.
int IntervalDays(double stability, const Parameters& p = DefaultParameters());

}  // namespace fsrs
