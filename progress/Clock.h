// Time for the store of answers: the moment of an answer, and the study day it falls on.
//
// Every moment comes from one seam, Now(), which reads the C library's clock (so that faketime
// moves it) unless a test has put a clock of its own there. Answers are kept in UTC; days are the
// student's own: a study day runs from 04:00 to 04:00 local time, so that a session past midnight
// still counts for the evening it began in, and "tomorrow" is after a night's sleep.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace progress {

// Seconds since 1970-01-01 00:00 UTC.
using Seconds = std::int64_t;

Seconds Now();

// Puts `clock` behind Now() (tests); an empty function gives the C library's clock back.
void SetClockForTesting(std::function<Seconds()> clock);

// The hour of local time at which one study day ends and the next begins.
constexpr int kDayStartHour = 4;

// The study day of moment `t`, as days since 1970-01-01 of its local date.
int StudyDay(Seconds t);

// "2026-12-09" for a day number, and back.
std::string DayText(int day);
std::optional<int> ParseDay(std::string_view text);

// "2026-12-09T08:15:00Z": a moment as the store keeps it (text that sorts as time does).
std::string TimeText(Seconds t);

}  // namespace progress
