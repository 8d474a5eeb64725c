// The store of answers against what a student's machine does to it: files that are not stores of
// ours (left byte for byte), folders that may not be written, two programs recording at once, a
// program killed mid-answer, a full disk, and the store made only by the first answer. Real
// files and real processes throughout; children report through pipes, never through timing.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Clock.h"
#include "Recorder.h"
#include "Store.h"
#include "TempDir.h"

namespace fs = std::filesystem;
using progress::StoreProblem;

namespace {

constexpr progress::Seconds kHour = 3600;
// 22:00 UTC: two hours before midnight, six before the study day ends.
const progress::Seconds kStart = *progress::ParseDay("2026-03-10") * 86400 + 22 * kHour;
constexpr uid_t kNobody = 65534;

// Answer `n` of a run: twenty words in turn, each row telling which answer it was.
progress::Answer Numbered(int n, std::string word = {}) {
    progress::Answer a;
    a.time = kStart + n;
    a.word = word.empty() ? "verbum " + std::to_string(n % 20) : std::move(word);
    a.headword = a.word + ", -i";
    a.page = "latin";
    a.correct = n % 3 != 0;
    a.typed = "typed " + std::to_string(n);
    a.file = "f.voc";
    return a;
}

const AnsweredWord kAnswered{"latin", "rosa, rosae", "rose", true, "f.voc"};

void FillStore(const std::string& path, int answers) {
    progress::CProgressStore store;
    StoreProblem problem;
    ASSERT_TRUE(store.OpenToRecord(path, problem)) << problem.detail;
    for (int n = 0; n < answers; ++n) ASSERT_TRUE(store.Record(Numbered(n), problem));
}

void Sql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::vector<progress::Answer> Answers(const std::string& path) {
    std::vector<progress::Answer> answers;
    progress::CProgressStore store;
    StoreProblem problem;
    EXPECT_TRUE(store.OpenToRead(path, problem) &&
                store.ForEachAnswer([&](const auto& a) { answers.push_back(a); }, problem))
        << problem.detail;
    return answers;
}

int CardAnswers(const std::string& path) {
    int sum = 0;
    progress::CProgressStore store;
    StoreProblem problem;
    EXPECT_TRUE(store.OpenToRead(path, problem) &&
                store.ForEachCard(
                    "", [&](const auto& c) { sum += c.answers; }, problem));
    return sum;
}

// The line the recorder owes the student for `kind`; the detail shows only in other kinds.
std::string LineFor(StoreProblem::Kind kind, const std::string& path) {
    return "tavrin-voc: " + progress::DescribeProblem({kind, path, {}}, true) + "\n";
}

// Records `count` answers through a recorder of `path` (the default place where empty) and
// returns what it wrote on its error stream.
std::string RecordThrough(const std::string& path, int count) {
    std::ostringstream err;
    progress::CAnswerRecorder recorder({path, false}, "tavrin-voc", err);
    for (int n = 0; n < count; ++n) recorder.Record(kAnswered);
    return err.str();
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Sets an environment variable (unsets it for nullptr) for one scope.
class CEnv {
public:
    CEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~CEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

void WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

struct Child {
    pid_t pid;
    int out;  // what the child writes on its end
};

// Forks a child that runs `body` (as nobody where asked) and writes what it returns on the pipe;
// it may also write there as it goes. A child that cannot become nobody says so.
Child Start(const std::function<std::string(int out)>& body, bool asNobody = false) {
    int fds[2] = {-1, -1};
    if (::pipe(fds) != 0) return {-1, -1};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string said = "cannot become nobody";
        try {
            if (!asNobody || (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 &&
                              ::setuid(kNobody) == 0)) {
                said = body(fds[1]);
            }
        } catch (const std::exception& e) {
            said = std::string("threw: ") + e.what();
        }
        WriteAll(fds[1], said);
        ::_exit(0);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

// What the child wrote that was not read yet, once it has ended; its wait status in `status`.
std::string Finish(Child child, int* status = nullptr) {
    std::string said;
    char buffer[4096];
    for (ssize_t n; (n = ::read(child.out, buffer, sizeof buffer)) > 0;) said.append(buffer, n);
    ::close(child.out);
    int ended = 0;
    ::waitpid(child.pid, &ended, 0);
    if (status) *status = ended;
    return said;
}

// --- Files that are not stores of ours, or not whole, are left byte for byte. ---

void MakeNoise(const std::string& path) {
    std::mt19937 bytes(7);
    std::string noise(8192, '\0');
    for (char& c : noise) c = static_cast<char>(bytes());
    std::ofstream(path, std::ios::binary) << noise;
}

// Closing the store copied its log back, so the file alone is the whole store until it is cut.
void MakeCutShort(const std::string& path) {
    FillStore(path, 300);
    ASSERT_FALSE(fs::exists(path + "-wal"));
    fs::resize_file(path, fs::file_size(path) / 2);
}

void MakeHeaderOnly(const std::string& path) {
    FillStore(path, 1);
    fs::resize_file(path, 100);
}

void MakeNewer(const std::string& path) {
    FillStore(path, 3);
    Sql(path, ("PRAGMA user_version = " + std::to_string(progress::kSchemaVersion + 1)).c_str());
}

void MakeOthers(const std::string& path) {
    Sql(path,
        "CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT);"
        "INSERT INTO notes (text) VALUES ('mine');");
}

struct LeftAloneCase {
    const char* name;
    void (*make)(const std::string& path);
    StoreProblem::Kind kind;
};

class StoreLeftAlone : public ::testing::TestWithParam<LeftAloneCase> {};

TEST_P(StoreLeftAlone, FailsToOpenAndNothingChanges) {
    TempDir dir;
    const std::string path = dir.File("progress.sqlite");
    GetParam().make(path);
    const std::string before = ReadBytes(path);
    const auto listing = Listing(dir.path());

    progress::CProgressStore store;
    StoreProblem problem;
    EXPECT_FALSE(store.OpenToRecord(path, problem));
    EXPECT_EQ(problem.kind, GetParam().kind);
    EXPECT_EQ(problem.path, path);
    EXPECT_EQ(ReadBytes(path), before);

    std::string err;
    EXPECT_NO_THROW(err = RecordThrough(path, 3));
    EXPECT_EQ(err, LineFor(GetParam().kind, path));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(Listing(dir.path()), listing);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StoreLeftAlone,
    ::testing::Values(LeftAloneCase{"RandomBytes", MakeNoise, StoreProblem::kDamaged},
                      LeftAloneCase{"CutShort", MakeCutShort, StoreProblem::kDamaged},
                      LeftAloneCase{"HeaderOnly", MakeHeaderOnly, StoreProblem::kDamaged},
                      LeftAloneCase{"Newer", MakeNewer, StoreProblem::kNewer},
                      LeftAloneCase{"AnotherProgramsDatabase", MakeOthers, StoreProblem::kDamaged}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Where the student may not write, recording fails once, says so, and makes nothing. ---

struct ReadOnlyCase {
    const char* name;
    int storeAnswers;   // a store of ours there already, read-only to its user; -1: none
    fs::perms folder;   // as the recording user meets it
    bool defaultPlace;  // XDG_DATA_HOME names the folder
};

class StoreReadOnly : public ::testing::TestWithParam<ReadOnlyCase> {};

TEST_P(StoreReadOnly, RecordingFailsOnceAndMakesNothing) {
    const ReadOnlyCase& c = GetParam();
    TempDir dir;
    // Root passes every permission bit: the recording is done by nobody, who must reach the
    // folder through the test's own.
    const bool root = ::geteuid() == 0;
    fs::permissions(dir.path(),
                    fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const fs::path folder = dir.path() / "data";
    fs::create_directory(folder);
    const std::string path =
        (c.defaultPlace ? folder / "tavrin" / "progress.sqlite" : folder / "progress.sqlite")
            .string();
    if (c.storeAnswers >= 0) {
        FillStore(path, c.storeAnswers);
        fs::permissions(path,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    fs::permissions(folder, c.folder);
    const std::string before = c.storeAnswers >= 0 ? ReadBytes(path) : std::string();
    const auto listing = Listing(folder);

    auto record = [&](int) {
        CEnv xdg("XDG_DATA_HOME", folder.c_str());
        progress::CProgressStore store;
        StoreProblem problem;
        const bool recorded =
            store.OpenToRecord(path, problem) && store.Record(Numbered(0), problem);
        return std::to_string(recorded) + " " + std::to_string(problem.kind) + "\n" +
               RecordThrough(c.defaultPlace ? "" : path, 3);
    };
    std::istringstream said(root ? Finish(Start(record, true)) : record(-1));
    int recorded = -1, kind = -1;
    said >> recorded >> kind;
    said.ignore();
    const std::string err(std::istreambuf_iterator<char>(said), {});
    EXPECT_EQ(recorded, 0) << said.str();
    EXPECT_TRUE(kind == StoreProblem::kReadOnly || kind == StoreProblem::kCannotOpen) << said.str();
    EXPECT_EQ(Lines(err), 1) << err;
    EXPECT_NE(err.find(c.defaultPlace ? folder.string() : path), std::string::npos) << err;
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(Listing(folder), listing);
    if (c.storeAnswers >= 0) {
        EXPECT_EQ(ReadBytes(path), before);
    }
}

constexpr fs::perms kReadAndSearch = fs::perms::owner_read | fs::perms::owner_exec |
                                     fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec;

INSTANTIATE_TEST_SUITE_P(
    Folders, StoreReadOnly,
    ::testing::Values(ReadOnlyCase{"NewStoreInReadOnlyFolder", -1, kReadAndSearch, false},
                      ReadOnlyCase{"DefaultPlaceUnderReadOnlyFolder", -1, kReadAndSearch, true},
                      ReadOnlyCase{"ReadOnlyStoreInReadOnlyFolder", 5, kReadAndSearch, false},
                      ReadOnlyCase{"ReadOnlyStoreInWritableFolder", 5, fs::perms::all, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Two programs recording into one store at once lose nothing. ---

class StoreTwoWriters : public ::testing::TestWithParam<int> {};  // answers in the store before

TEST_P(StoreTwoWriters, EveryAnswerOfBothIsThere) {
    TempDir dir;
    const std::string path = dir.File("progress.sqlite");
    if (GetParam() > 0) FillStore(path, GetParam());
    // Both wait for the pipe to close, so that they make and fill the store at the same moment.
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<Child> children;
    for (int child = 0; child < 2; ++child) {
        children.push_back(Start([&, child](int) {
            ::close(go[1]);
            char c;
            (void)!::read(go[0], &c, 1);
            progress::CProgressStore store;
            StoreProblem problem;
            if (!store.OpenToRecord(path, problem)) return "open: " + problem.detail;
            for (int n = 0; n < 500; ++n) {
                // Every third answer is a word both record, the rest a child's own.
                progress::Answer a = Numbered(n, n % 3 == 0 ? "commune"
                                                            : "proprium " + std::to_string(child) +
                                                                  " " + std::to_string(n % 40));
                a.file = std::to_string(child);
                if (!store.Record(a, problem)) return "record: " + problem.detail;
            }
            return std::string("ok");
        }));
    }
    ::close(go[0]);
    ::close(go[1]);
    for (const Child& child : children) EXPECT_EQ(Finish(child), "ok");

    const auto answers = Answers(path);
    EXPECT_EQ(answers.size(), 1000u + GetParam());
    EXPECT_EQ(
        std::count_if(answers.begin(), answers.end(), [](const auto& a) { return a.file == "1"; }),
        500);
    EXPECT_EQ(CardAnswers(path), 1000 + GetParam());
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreTwoWriters, ::testing::Values(0, 50),
                         [](const auto& info) { return info.param ? "Existing" : "MadeByBoth"; });

// --- A program killed while recording loses no answer it had committed. ---

TEST(StoreKilled, KeepsEveryCommittedAnswerWhole) {
    TempDir dir;
    const std::string path = dir.File("progress.sqlite");
    // Past the first automatic checkpoint (a thousand pages of log), so the kill may also land
    // in the copying of the log into the store.
    constexpr int kSeen = 400;
    Child child = Start([&](int out) {
        progress::CProgressStore store;
        StoreProblem problem;
        if (!store.OpenToRecord(path, problem)) return std::string("open failed");
        for (int n = 1; store.Record(Numbered(n - 1), problem); ++n) {
            if (::write(out, &n, sizeof n) != sizeof n) break;
        }
        return std::string("record failed");
    });
    int last = 0;
    while (last < kSeen && ::read(child.out, &last, sizeof last) == sizeof last) {
    }
    ASSERT_EQ(last, kSeen);
    ::kill(child.pid, SIGKILL);
    int status = 0;
    const std::string rest = Finish(child, &status);
    ASSERT_TRUE(WIFSIGNALED(status));
    // Whole numbers the child wrote before it died; a torn one at the end does not count.
    for (std::size_t at = 0; at + sizeof last <= rest.size(); at += sizeof last) {
        std::memcpy(&last, rest.data() + at, sizeof last);
    }

    progress::CProgressStore store;
    StoreProblem problem;
    ASSERT_TRUE(store.OpenToRecord(path, problem)) << problem.detail;
    const auto answers = Answers(path);
    ASSERT_GE(static_cast<int>(answers.size()), last);
    for (int n = 0; n < static_cast<int>(answers.size()); ++n) {
        const progress::Answer want = Numbered(n);
        ASSERT_TRUE(answers[n].time == want.time && answers[n].word == want.word &&
                    answers[n].typed == want.typed && answers[n].correct == want.correct &&
                    answers[n].file == want.file)
            << "answer " << n;
    }
    EXPECT_EQ(CardAnswers(path), static_cast<int>(answers.size()));
    EXPECT_TRUE(store.Record(Numbered(0), problem)) << problem.detail;
}

// --- A full disk: recording stops cleanly, says so once, and what was committed stays. ---

// Records through a recorder of `path` until it gives up, then three answers more; says how many
// it saved, how many the store holds afterwards, and what the recorder wrote.
std::string FillTheDisk(const std::string& path) {
    std::ostringstream err;
    int saved = 0;
    {
        progress::CAnswerRecorder recorder({path, false}, "tavrin-voc", err);
        while (saved < 100000 && recorder.Saving()) {
            recorder.Record(kAnswered);
            saved += recorder.Saving();
        }
        for (int n = 0; n < 3; ++n) recorder.Record(kAnswered);
    }
    progress::CProgressStore store;
    StoreProblem problem;
    int kept = -1;
    if (store.OpenToRead(path, problem)) {
        kept = 0;
        store.ForEachAnswer([&](const auto&) { ++kept; }, problem);
    }
    return std::to_string(saved) + " " + std::to_string(kept) + "\n" + err.str();
}

TEST(StoreOnFullDisk, StopsCleanlyAndKeepsWhatWasCommitted) {
    TempDir dir;
    const fs::path disk = dir.path() / "disk";
    fs::create_directory(disk);
    const std::string path = (disk / "progress.sqlite").string();
    // A disk of its own: a small tmpfs in a mount namespace of the child's, gone with it.
    std::string said = Finish(Start([&](int) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=128k") != 0) {
            return std::string("no tmpfs: ") + std::strerror(errno);
        }
        return FillTheDisk(path);
    }));
    const bool tmpfs = said.rfind("no tmpfs", 0) != 0;
    if (!tmpfs) {
        // Where mounting is not allowed, a limit on the size of files stands in for the disk:
        // writes fail with EFBIG rather than ENOSPC, so only a clean failure is asked for.
        said = Finish(Start([&](int) {
            const rlimit limit{64 * 1024, 64 * 1024};
            if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                return std::string("no limit: ") + std::strerror(errno);
            }
            return FillTheDisk(path);
        }));
        if (said.rfind("no limit", 0) == 0)
            GTEST_SKIP() << "neither a tmpfs nor a file size limit could be set up";
    }
    std::istringstream in(said);
    int saved = -1, kept = -1;
    in >> saved >> kept;
    in.ignore();
    const std::string err(std::istreambuf_iterator<char>(in), {});
    EXPECT_GT(saved, 0) << said;
    EXPECT_LT(saved, 100000) << said;
    EXPECT_EQ(kept, saved) << said;
    if (tmpfs) {
        EXPECT_EQ(err, LineFor(StoreProblem::kDiskFull, path));
    } else {
        EXPECT_EQ(Lines(err), 1) << err;
    }
}

// --- The store is made by the first answer, in the place the environment names. ---

TEST(StoreMadeByFirstAnswer, NotBeforeAndOnlyForTheStudent) {
    TempDir dir;
    CEnv on("TAVRIN_NO_PROGRESS", nullptr);
    CEnv xdg("XDG_DATA_HOME", dir.path().c_str());
    std::ostringstream err;
    progress::CAnswerRecorder recorder(progress::StoreChoice::FromEnvironment(), "tavrin", err);
    EXPECT_TRUE(recorder.Saving());
    EXPECT_TRUE(Listing(dir.path()).empty());

    recorder.Record(kAnswered);
    EXPECT_EQ(err.str(), "");
    const fs::path folder = dir.path() / "tavrin";
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(folder / "progress.sqlite").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    const auto answers = Answers((folder / "progress.sqlite").string());
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].word, progress::WordKey(kAnswered.headword));
    EXPECT_EQ(answers[0].typed, kAnswered.typed);
}

struct PlaceCase {
    const char* name;
    const char* noProgress;  // nullptr: unset
    const char* xdg;
    bool off;
    const char* path;  // below $HOME where relative
};

class StorePlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(StorePlace, FollowsTheEnvironment) {
    const PlaceCase& c = GetParam();
    CEnv noProgress("TAVRIN_NO_PROGRESS", c.noProgress);
    CEnv xdg("XDG_DATA_HOME", c.xdg);
    CEnv home("HOME", "/home/discipula");
    const auto choice = progress::StoreChoice::FromEnvironment();
    EXPECT_EQ(choice.off, c.off);
    EXPECT_EQ(choice.Path(), c.path[0] == '/' ? c.path : "/home/discipula/" + std::string(c.path));
    EXPECT_EQ(progress::DefaultStorePath(), choice.Path());
}

INSTANTIATE_TEST_SUITE_P(
    Environments, StorePlace,
    ::testing::Values(
        PlaceCase{"Unset", nullptr, nullptr, false, ".local/share/tavrin/progress.sqlite"},
        PlaceCase{"Off", "1", "/data", true, "/data/tavrin/progress.sqlite"},
        PlaceCase{"OffByAnyWord", "yes", nullptr, true, ".local/share/tavrin/progress.sqlite"},
        PlaceCase{"ZeroIsOn", "0", "/data/", false, "/data/tavrin/progress.sqlite"},
        PlaceCase{"EmptyIsOn", "", "", false, ".local/share/tavrin/progress.sqlite"},
        PlaceCase{"RelativeDataHome", nullptr, "data", false,
                  ".local/share/tavrin/progress.sqlite"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- A card moves on with each answer; a lapse is a wrong answer on a later study day. ---

struct CardCase {
    const char* name;
    std::vector<std::pair<int, bool>> answers;  // hours after kStart, correct
    int lapses;
};

class StoreCard : public ::testing::TestWithParam<CardCase> {};

TEST_P(StoreCard, AnswersMoveItOn) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    std::optional<progress::Card> card;
    progress::Answer last;
    for (const auto& [hours, correct] : GetParam().answers) {
        last.time = kStart + hours * kHour;
        last.word = "rosa";
        last.page = "english";
        last.headword = "rosa, rosae " + std::to_string(hours);
        last.correct = correct;
        card = progress::NextCard(card, last);
    }
    EXPECT_EQ(card->lapses, GetParam().lapses);
    EXPECT_EQ(card->answers, static_cast<int>(GetParam().answers.size()));
    EXPECT_EQ(card->firstAnswer, kStart + GetParam().answers[0].first * kHour);
    EXPECT_EQ(card->lastAnswer, last.time);
    EXPECT_EQ(card->headword, last.headword);
    EXPECT_EQ(card->page, "english");
    EXPECT_GT(card->dueDay, card->lastDay);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, StoreCard,
    ::testing::Values(CardCase{"FirstAnswerWrong", {{0, false}}, 0},
                      CardCase{"WrongSameDay", {{0, true}, {1, false}}, 0},
                      CardCase{"WrongAfterMidnightBeforeFour", {{0, true}, {5, false}}, 0},
                      CardCase{"WrongAfterFour", {{0, true}, {7, false}}, 1},
                      CardCase{"RightLaterDay", {{0, false}, {48, true}}, 0},
                      CardCase{"ClockPutBack", {{48, true}, {0, false}}, 0},
                      CardCase{
                          "OnePerLaterDay", {{0, true}, {24, false}, {25, false}, {72, false}}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
