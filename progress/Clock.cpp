#include "Clock.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace progress {

namespace {

std::mutex g_clockLock;
std::function<Seconds()>& TestClock() {
    static std::function<Seconds()> clock;
    return clock;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (Howard Hinnant's algorithms):
// the C library offers only timegm's global state for this.
int DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int>(doe) - 719468;
}

void CivilFromDays(int z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yoe) + era * 400 + (m <= 2);
}

}  // namespace

Seconds Now() {
    {
        std::lock_guard<std::mutex> hold(g_clockLock);
        if (TestClock()) return TestClock()();
    }
    return static_cast<Seconds>(std::time(nullptr));
}

void SetClockForTesting(std::function<Seconds()> clock) {
    std::lock_guard<std::mutex> hold(g_clockLock);
    TestClock() = std::move(clock);
}

int StudyDay(Seconds t) {
    const std::time_t shifted = static_cast<std::time_t>(t - kDayStartHour * 3600);
    std::tm local = {};
    if (!::localtime_r(&shifted, &local)) return static_cast<int>(shifted / 86400);
    return DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                         static_cast<unsigned>(local.tm_mday));
}

std::string DayText(int day) {
    int y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(day, y, m, d);
    if (y < 0 || y > 9999) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02u-%02u", y, m, d);
        return text;
    }
    // Written for every card of a report: by hand, as snprintf costs more than the rest.
    std::string text = "0000-00-00";
    const unsigned year = static_cast<unsigned>(y);
    text[0] = static_cast<char>('0' + year / 1000);
    text[1] = static_cast<char>('0' + year / 100 % 10);
    text[2] = static_cast<char>('0' + year / 10 % 10);
    text[3] = static_cast<char>('0' + year % 10);
    text[5] = static_cast<char>('0' + m / 10);
    text[6] = static_cast<char>('0' + m % 10);
    text[8] = static_cast<char>('0' + d / 10);
    text[9] = static_cast<char>('0' + d % 10);
    return text;
}

std::optional<int> ParseDay(std::string_view text) {
    // Read for every card and answer of a report: by hand, as sscanf costs a fifth of one.
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    auto digit = [&](std::size_t i) { return static_cast<unsigned>(text[i]) - '0'; };
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (digit(i) > 9) return std::nullopt;
    }
    const int y = static_cast<int>(digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3));
    const unsigned m = digit(5) * 10 + digit(6);
    const unsigned d = digit(8) * 10 + digit(9);
    if (m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
    return DaysFromCivil(y, m, d);
}

std::string TimeText(Seconds t) {
    const Seconds day = t >= 0 ? t / 86400 : (t - 86399) / 86400;
    const Seconds rest = t - day * 86400;
    char text[48];
    std::snprintf(text, sizeof text, "%sT%02d:%02d:%02dZ", DayText(static_cast<int>(day)).c_str(),
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                  static_cast<int>(rest % 60));
    return text;
}

}  // namespace progress
