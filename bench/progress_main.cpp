// Driver for bench/progress.sh: what recording answers costs a test page, and a big store for
// tavrin-voc progress to read.
//
//   progress_bench submit STORE FILE          times every Submit of the Latin page over FILE,
//                                             without an answer log and then recording to STORE
//                                             (new, or one filled already)
//   progress_bench fill STORE FILE ANSWERS    fills STORE (made new) with ANSWERS answers to the
//                                             words of FILE over the last 60 days
//
// submit prints "KIND presses N  median_ms M  p95_ms P  max_ms X  over_5ms S" for each run, the
// first Submit that recorded (it opens the store) on a line of its own, and the difference of
// the medians. fill prints how many answers and cards it wrote.
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "Clock.h"
#include "FakeWindow.h"
#include "LatinPage.h"
#include "Recorder.h"
#include "Store.h"
#include "TextFile.h"
#include "VocText.h"

namespace {

// One test is this many answers: enough for a stable median and a 95th percentile of 50 presses.
constexpr int kSubmits = 1000;
// Lines of one word entry: the headword line and five of definitions.
constexpr int kEntryLines = 6;
constexpr int kFillDays = 60;
constexpr progress::Seconds kDaySeconds = 86400;
const char* const kPages[] = {"latin", "english", "parts"};

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The value below which `share` of `times` lie, by the nearest rank.
double Percentile(std::vector<double> times, double share) {
    if (times.empty()) return 0;
    std::sort(times.begin(), times.end());
    const auto rank = static_cast<std::size_t>(share * static_cast<double>(times.size()) + 0.5);
    return times[std::min(times.size() - 1, rank == 0 ? 0 : rank - 1)];
}

// Times each Submit of one Latin test over `file`, `log` receiving the answers (none: null).
// Every fifth answer is wrong, so that both marks and both card paths are taken.
std::vector<double> TimeSubmits(const std::string& file, IAnswerLog* log) {
    CLatinPage page;
    CFakeWindow wnd(page.TemplateId());
    page.SetWindow(&wnd);
    page.SetAnswerLog(log);
    wnd.choices.push_back(file);
    const auto& ids = page.Controls();
    page.OnCommand(ids.begin);
    if (!wnd.boxes.empty()) {
        std::fprintf(stderr, "cannot begin a test on %s: %s\n", file.c_str(),
                     wnd.LastBox().text.c_str());
        std::exit(1);
    }
    std::vector<double> times;
    times.reserve(kSubmits);
    for (int word = 0; word < kSubmits; ++word) {
        wnd.texts[ids.answer] = word % 5 == 4 ? "ferre" : "carry";
        const auto start = std::chrono::steady_clock::now();
        page.OnCommand(ids.submit);
        times.push_back(MsSince(start));
        page.OnCommand(ids.next);
        if (!wnd.boxes.empty()) {
            std::fprintf(stderr, "%s ended after %d words; it needs %d\n", file.c_str(), word + 1,
                         kSubmits);
            std::exit(1);
        }
    }
    page.OnCommand(ids.quit);
    return times;
}

void PrintRun(const char* kind, const std::vector<double>& times) {
    const auto slow = std::count_if(times.begin(), times.end(), [](double ms) { return ms > 5; });
    std::printf("%-9s presses %zu  median_ms %.4f  p95_ms %.4f  max_ms %.3f  over_5ms %td\n", kind,
                times.size(), Percentile(times, 0.5), Percentile(times, 0.95),
                Percentile(times, 1.0), slow);
}

// `store` may be new, or one that holds years of answers already.
int Submit(const std::string& store, const std::string& file) {
    // A first run unmeasured, so that both measured runs find the file in the page cache and
    // the code paged in.
    TimeSubmits(file, nullptr);
    const std::vector<double> plain = TimeSubmits(file, nullptr);

    progress::StoreChoice choice;
    choice.path = store;
    progress::CAnswerRecorder recorder(choice, "progress_bench", std::cerr);
    std::vector<double> recorded = TimeSubmits(file, &recorder);
    if (!recorder.Saving()) return 1;  // the recorder said why on stderr
    // The first recording Submit also opens the store (and makes it and its schema where new): a
    // cost paid once a session, not on every answer, so it is shown apart from the others.
    const double first = recorded.front();
    recorded.erase(recorded.begin());

    PrintRun("plain", plain);
    PrintRun("recording", recorded);
    std::printf("first_recording_submit_ms %.3f\n", first);
    std::printf("median_difference_ms %.4f\n", Percentile(recorded, 0.5) - Percentile(plain, 0.5));
    return 0;
}

// The headword lines of the entries of `file`, as the pages read them.
bool ReadHeadwords(const std::string& file, std::vector<std::string>& headwords) {
    CTextFile in;
    CFileException error;
    if (!in.Open(file, CTextFile::modeRead, &error)) {
        std::fprintf(stderr, "cannot open %s: cause %d\n", file.c_str(), error.m_cause);
        return false;
    }
    std::string line;
    for (long n = 0; ReadVocLine(in, line); ++n) {
        if (n % kEntryLines == 0) headwords.push_back(line);
    }
    in.Abort();
    return true;
}

bool Exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    std::fprintf(stderr, "%s: %s\n", sql, message ? message : "?");
    sqlite3_free(message);
    return false;
}

// Fills the store as years of study would leave it, in minutes rather than years: the schema is
// made by the store itself, the rows are written here in one transaction, and each card is the
// one NextCard gives after the same answers in the same order.
int Fill(const std::string& store, const std::string& file, long count) {
    std::vector<std::string> headwords;
    if (!ReadHeadwords(file, headwords)) return 1;
    if (headwords.empty() || count <= 0) {
        std::fprintf(stderr, "nothing to fill: %zu words, %ld answers\n", headwords.size(), count);
        return 1;
    }
    struct stat st = {};
    if (::stat(store.c_str(), &st) == 0) {
        std::fprintf(stderr, "%s exists; give a store path that does not\n", store.c_str());
        return 1;
    }
    {
        progress::CProgressStore made;
        progress::StoreProblem problem;
        if (!made.OpenToRecord(store, problem)) {
            std::fprintf(stderr, "%s\n", progress::DescribeProblem(problem, true).c_str());
            return 1;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> keys;
    keys.reserve(headwords.size());
    for (const std::string& headword : headwords) keys.push_back(progress::WordKey(headword));

    // Answer times spread evenly over the last 60 days, in order; each answer to a word drawn at
    // random on a page drawn at random, right three times in four.
    const progress::Seconds now = progress::Now();
    const progress::Seconds first = now - kFillDays * kDaySeconds;
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<std::size_t> pickWord(0, headwords.size() - 1);
    std::uniform_int_distribution<int> pickPage(0, 2);
    std::uniform_int_distribution<int> pickRight(0, 3);

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s: %s\n", store.c_str(), sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        return 1;
    }
    // The store is thrown away if this fails, so no journal is needed while filling it.
    if (!Exec(db, "PRAGMA synchronous = OFF; PRAGMA cache_size = -65536; BEGIN")) return 1;
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO answers (time, word, headword, page, correct, typed, file) "
                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                       -1, &insert, nullptr);

    // Cards by page and word index, kept here as the answers are replayed and written once.
    std::vector<std::optional<progress::Card>> cards(3 * headwords.size());
    progress::Answer answer;
    answer.file = file;
    for (long i = 0; i < count; ++i) {
        const std::size_t word = pickWord(random);
        const int page = pickPage(random);
        answer.time = first + static_cast<progress::Seconds>(
                                  static_cast<double>(kFillDays * kDaySeconds) *
                                  static_cast<double>(i) / static_cast<double>(count));
        answer.word = keys[word];
        answer.headword = headwords[word];
        answer.page = kPages[page];
        answer.correct = pickRight(random) != 0;
        answer.typed = answer.correct ? "carry" : "ferre";

        const std::string time = progress::TimeText(answer.time);
        sqlite3_bind_text(insert, 1, time.data(), static_cast<int>(time.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, answer.word.data(), static_cast<int>(answer.word.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, answer.headword.data(),
                          static_cast<int>(answer.headword.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, answer.page.data(), static_cast<int>(answer.page.size()),
                          SQLITE_STATIC);
        sqlite3_bind_int(insert, 5, answer.correct ? 1 : 0);
        sqlite3_bind_text(insert, 6, answer.typed.data(), static_cast<int>(answer.typed.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 7, answer.file.data(), static_cast<int>(answer.file.size()),
                          SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            std::fprintf(stderr, "insert: %s\n", sqlite3_errmsg(db));
            return 1;
        }
        sqlite3_reset(insert);

        auto& card = cards[static_cast<std::size_t>(page) * headwords.size() + word];
        card = progress::NextCard(card, answer);
    }
    sqlite3_finalize(insert);

    sqlite3_stmt* upsert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO cards (page, word, headword, stability, difficulty, "
                       "first_answer, first_day, last_answer, last_day, due, answers, lapses) "
                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)",
                       -1, &upsert, nullptr);
    long written = 0;
    for (const auto& card : cards) {
        if (!card) continue;
        const std::string texts[] = {
            card->page,
            card->word,
            card->headword,
            progress::TimeText(card->firstAnswer),
            progress::DayText(progress::StudyDay(card->firstAnswer)),
            progress::TimeText(card->lastAnswer),
            progress::DayText(card->lastDay),
            progress::DayText(card->dueDay),
        };
        const int textColumns[] = {1, 2, 3, 6, 7, 8, 9, 10};
        for (int t = 0; t < 8; ++t) {
            sqlite3_bind_text(upsert, textColumns[t], texts[t].data(),
                              static_cast<int>(texts[t].size()), SQLITE_STATIC);
        }
        sqlite3_bind_double(upsert, 4, card->stability);
        sqlite3_bind_double(upsert, 5, card->difficulty);
        sqlite3_bind_int(upsert, 11, card->answers);
        sqlite3_bind_int(upsert, 12, card->lapses);
        if (sqlite3_step(upsert) != SQLITE_DONE) {
            std::fprintf(stderr, "card: %s\n", sqlite3_errmsg(db));
            return 1;
        }
        sqlite3_reset(upsert);
        ++written;
    }
    sqlite3_finalize(upsert);
    if (!Exec(db, "COMMIT")) return 1;
    sqlite3_close_v2(db);
    std::printf("filled %ld answers, %ld cards, %zu words in %.1f s\n", count, written,
                headwords.size(), MsSince(start) / 1000);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "submit") == 0) return Submit(argv[2], argv[3]);
    if (argc == 5 && std::strcmp(argv[1], "fill") == 0) {
        return Fill(argv[2], argv[3], std::atol(argv[4]));
    }
    std::fprintf(stderr, "usage: %s submit STORE FILE | fill STORE FILE ANSWERS\n", argv[0]);
    return 2;
}
