// tavrin-voc progress and due, over a store that each test fills answer by answer at moments of
// its choosing, with the clock held at noon of one day (UTC, so study days start at 04:00).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Clock.h"
#include "Store.h"
#include "TavrinVoc.h"
#include "TempDir.h"
#include "VocRun.h"

namespace {

constexpr progress::Seconds kDay = 86400;
const progress::Seconds kNow = *progress::ParseDay("2026-03-10") * kDay + 12 * 3600;

std::string Entry(const std::string& headword) {
    return headword + "\r\nmeaning\r\n\r\n\r\n\r\n\r\n";
}

std::string Entries(const std::vector<std::string>& headwords) {
    std::string bytes;
    for (const auto& headword : headwords) bytes += Entry(headword);
    return bytes;
}

struct Said {
    std::string headword;
    std::string page;
    int daysAgo;
    bool correct;
    std::string typed = "x";
    std::string file = "w.voc";
};

// A folder holding a store, with the clock held at kNow for as long as it lives.
class CStudy {
public:
    CStudy() {
        // The test runner turns recording off for every test; these name a store of their own.
        ::unsetenv("TAVRIN_NO_PROGRESS");
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        progress::SetClockForTesting([] { return kNow; });
    }
    ~CStudy() { progress::SetClockForTesting({}); }

    // Records `answers` in their order, each a minute before noon of its day.
    void Record(const std::vector<Said>& answers) const {
        progress::CProgressStore store;
        progress::StoreProblem problem;
        ASSERT_TRUE(store.OpenToRecord(m_store, problem)) << problem.detail;
        for (const Said& said : answers) {
            progress::Answer answer;
            answer.time = kNow - said.daysAgo * kDay - 60;
            answer.word = progress::WordKey(said.headword);
            answer.headword = said.headword;
            answer.page = said.page;
            answer.correct = said.correct;
            answer.typed = said.typed;
            answer.file = said.file;
            ASSERT_TRUE(store.Record(answer, problem)) << problem.detail;
        }
    }

    // Runs tavrin-voc in this process on this store; "$D" in `args` stands for the folder.
    VocRun Run(std::vector<std::string> args) const {
        for (auto& arg : args) arg = InFolder(arg, m_dir);
        args.insert(args.begin(), {"tavrin-voc", "--progress", m_store});
        std::vector<const char*> argv;
        for (const auto& a : args) argv.push_back(a.c_str());
        std::istringstream in;
        std::ostringstream out, err;
        const int status = RunTavrinVoc(static_cast<int>(argv.size()), argv.data(), {in, out, err});
        return {status, out.str(), err.str()};
    }

    const TempDir& Dir() const { return m_dir; }
    const std::string& StorePath() const { return m_store; }

private:
    TempDir m_dir;
    std::string m_store = m_dir.File("progress.sqlite");
};

// The words of the report's files, and a history of them: porto right three times, spaced out
// until it is kept for weeks and not due for 15 days; amo right long ago, then wrong within the
// month; rosa and video begun today, right and wrong; rosa also on the English page; and a word
// that no file holds.
void FillReportStudy(const CStudy& study) {
    study.Dir().Write("a.voc", Entries({"amo amare", "rosa rosae", "porto portare", "video videre",
                                        "canto cantare"}));
    study.Dir().Write("b.voc", Entries({"canto cantare", "rosa rosae", "canto cantare"}));
    study.Record({{"porto portare", "latin", 45, true},
                  {"porto portare", "latin", 42, true},
                  {"porto portare", "latin", 32, true},
                  {"amo amare", "latin", 40, true},
                  {"amo amare", "latin", 10, false},
                  {"sum esse", "latin", 2, true},
                  {"rosa rosae", "latin", 0, true},
                  {"video videre", "latin", 0, false},
                  {"rosa rosae", "english", 0, true}});
}

// Output lines with runs of blanks made one and the ends trimmed: the table's alignment follows
// the width of translated headings, its numbers do not.
std::vector<std::string> Squeezed(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string squeezed;
        for (std::string word; words >> word;) squeezed += (squeezed.empty() ? "" : " ") + word;
        lines.push_back(squeezed);
    }
    return lines;
}

bool Holds(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct ReportCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> lines;   // each a whole line of the output, blanks squeezed
    std::vector<std::string> absent;  // lines that must not be there
};

class ProgressReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ProgressReport, CountsEachFilesWordsPageByPage) {
    const ReportCase& c = GetParam();
    CStudy study;
    FillReportStudy(study);
    const VocRun run = study.Run(c.args);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Squeezed(run.out);
    for (const auto& line : c.lines) {
        EXPECT_TRUE(Holds(lines, InFolder(line, study.Dir()))) << line << "\nin:\n" << run.out;
    }
    for (const auto& line : c.absent) {
        EXPECT_FALSE(Holds(lines, line)) << line << "\nin:\n" << run.out;
    }
}

// Columns: page, new, learning, known (21 days or more), due today, due in the next 7 days,
// answers of the last 30 days, share right (rounded down).
INSTANTIATE_TEST_SUITE_P(
    Stores, ProgressReport,
    ::testing::Values(
        ReportCase{"EveryPage",
                   {"progress", "--ascii", "$D/a.voc"},
                   {"$D/a.voc: 5 words", "latin 1 3 1 1 2 3 33%", "english 4 1 0 0 1 1 100%",
                    "parts 5 0 0 0 0 0 -", "Due in the next 14 days:", "2026-03-11 1 #",
                    "2026-03-12 2 ##", "2026-03-13 0"},
                   {}},
        ReportCase{"OnePage",
                   {"progress", "--page", "latin", "--ascii", "$D/a.voc"},
                   {"latin 1 3 1 1 2 3 33%", "2026-03-11 1 #", "2026-03-12 1 #"},
                   {"english 4 1 0 0 1 1 100%", "parts 5 0 0 0 0 0 -"}},
        // A word in two files counts in each; a word twice in one file counts once.
        ReportCase{"TwoFiles",
                   {"progress", "--page", "latin", "$D/a.voc", "$D/b.voc"},
                   {"$D/a.voc: 5 words", "$D/b.voc: 2 words", "latin 1 1 0 0 1 1 100%"},
                   {}},
        ReportCase{"NothingComing",
                   {"progress", "--page", "parts", "$D/b.voc"},
                   {"parts 2 0 0 0 0 0 -", "Nothing falls due in the next 14 days."},
                   {"Due in the next 14 days:"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgressJson, GivesTheCountsAndEachAnsweredCard) {
    CStudy study;
    FillReportStudy(study);
    const std::string quoted = study.Dir().Write("say \"ave\"\\.voc", Entry("rosa rosae"));
    const VocRun run = study.Run({"progress", "--json", "--page", "latin", "$D/a.voc", quoted});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> pieces = {
        "\"today\": \"2026-03-10\"",
        "{\"page\": \"latin\", \"new\": 1, \"learning\": 3, \"known\": 1, \"due_today\": 1, "
        "\"due_next_7_days\": 2, \"answers_30_days\": 3, \"right_30_days\": 1, "
        "\"forecast\": [1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0], \"cards\": [",
        "{\"word\": \"rosa rosae\", \"key\": \"rosa rosae\", \"stability\": 2.3065, "
        "\"difficulty\": 2.1181, \"due\": \"2026-03-12\", \"answers\": 1, \"lapses\": 0}",
        // A wrong answer on a later day is a lapse.
        "{\"word\": \"amo amare\", \"key\": \"amo amare\", \"stability\": ",
        "\"answers\": 2, \"lapses\": 1}",
        InFolder("{\"file\": \"$D/say \\\"ave\\\"\\\\.voc\", \"words\": 1", study.Dir())};
    for (const std::string& piece : pieces) {
        EXPECT_NE(run.out.find(piece), std::string::npos) << piece << "\nin:\n" << run.out;
    }
    // Never answered: no card.
    EXPECT_EQ(run.out.find("canto"), std::string::npos) << run.out;
}

TEST(ProgressExportLog, WritesEveryAnswerAsQuotedCsv) {
    CStudy study;
    study.Record({{"Rōma Rōmae", "parts", 3, true, "Roma", "/home/me/my, list.voc"},
                  {"amo amare", "latin", 0, false, "he said \"hi\", twice\nthen left", "w.voc"}});
    const std::string expected =
        "time,word,headword,page,correct,typed,file\r\n"
        "2026-03-07T11:59:00Z,roma romae,Rōma Rōmae,parts,1,Roma,\"/home/me/my, list.voc\"\r\n"
        "2026-03-10T11:59:00Z,amo amare,amo amare,latin,0,"
        "\"he said \"\"hi\"\", twice\nthen left\",w.voc\r\n";
    const std::string log = study.Dir().File("log.csv");

    VocRun run = study.Run({"progress", "--export-log", log});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(log), expected);

    study.Record({{"amo amare", "latin", 0, true}});
    run = study.Run({"progress", "--export-log", log});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tavrin-voc: " + log + ": already exists; add --force to replace it\n");
    EXPECT_EQ(ReadBytes(log), expected);

    run = study.Run({"progress", "--export-log", "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected + "2026-03-10T11:59:00Z,amo amare,amo amare,latin,1,x,w.voc\r\n");
}

struct DueCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> words;  // the headwords written, in order; none: no file
    std::string lastLine;            // OUT for the file's name
};

class DueWords : public ::testing::TestWithParam<DueCase> {};

TEST_P(DueWords, ComeMostForgottenFirstThenNewOnesUpToTheDaysShare) {
    const DueCase& c = GetParam();
    CStudy study;
    study.Dir().Write("d.voc", Entries({"amo amare", "rosa rosae", "porto portare", "video videre",
                                        "canto cantare", "laudo laudare"}));
    // Due today: amo (right 20 days ago), porto (first answer wrong yesterday), rosa (right
    // 3 days ago), most forgotten first. Video was begun today on the Latin page.
    study.Record({{"amo amare", "latin", 20, true},
                  {"sum esse", "latin", 20, true},
                  {"rosa rosae", "latin", 3, true},
                  {"porto portare", "latin", 1, false},
                  {"video videre", "latin", 0, true}});
    const std::string out = study.Dir().File("today.voc");
    std::vector<std::string> args = {"due", "$D/d.voc", "-o", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const VocRun run = study.Run(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::string last = run.Lines().empty() ? "" : run.Lines().back();
    if (const auto at = last.find(out); at != std::string::npos)
        last.replace(at, out.size(), "OUT");
    EXPECT_EQ(last, c.lastLine);
    if (c.words.empty()) {
        EXPECT_FALSE(std::filesystem::exists(out));
    } else {
        EXPECT_EQ(ReadBytes(out), Entries(c.words));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stores, DueWords,
    ::testing::Values(
        DueCase{"DueThenNew",
                {},
                {"amo amare", "porto portare", "rosa rosae", "canto cantare", "laudo laudare"},
                "5 words written to OUT: 3 due, 2 new."},
        // Video, begun today, takes one of the two.
        DueCase{"NewCountsThoseBegunToday",
                {"--new", "2"},
                {"amo amare", "porto portare", "rosa rosae", "canto cantare"},
                "4 words written to OUT: 3 due, 1 new."},
        DueCase{"NoNewLeft",
                {"--new", "1"},
                {"amo amare", "porto portare", "rosa rosae"},
                "3 words written to OUT: 3 due, 0 new."},
        // Each page keeps its own cards and its own new words.
        DueCase{"OtherPage",
                {"--page", "parts", "--new", "2"},
                {"amo amare", "rosa rosae"},
                "2 words written to OUT: 0 due, 2 new."},
        DueCase{"NothingDue",
                {"--page", "english", "--new", "0"},
                {},
                "No words are due and no new ones are left for today; OUT was not written."}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::vector<std::string> args;
    bool damage;  // the store is a file that is not a store
    int status;
    std::string err;  // "$S" for the store's path
};

class StoreRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(StoreRefused, SaysWhyAndLeavesTheStoreAsItWas) {
    const RefusedCase& c = GetParam();
    CStudy study;
    study.Dir().Write("a.voc", Entry("amo amare"));
    const std::string notAStore = "these are my notes, not a store\n";
    if (c.damage) study.Dir().Write("progress.sqlite", notAStore);
    const VocRun run = study.Run(c.args);
    EXPECT_EQ(run.status, c.status);
    std::string err = InFolder(c.err, study.Dir());
    if (const auto at = err.find("$S"); at != std::string::npos) {
        err.replace(at, 2, study.StorePath());
    }
    EXPECT_EQ(run.err, err);
    EXPECT_TRUE(run.out.empty()) << run.out;
    if (c.damage) {
        EXPECT_EQ(ReadBytes(study.StorePath()), notAStore);
    }
    EXPECT_FALSE(std::filesystem::exists(study.Dir().File("today.voc")));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, StoreRefused,
    ::testing::Values(
        RefusedCase{"ProgressDamaged",
                    {"progress", "$D/a.voc"},
                    true,
                    1,
                    "tavrin-voc: $S is damaged or is not a progress store; it is left as it is\n"},
        RefusedCase{"DueDamaged",
                    {"due", "$D/a.voc", "-o", "$D/today.voc"},
                    true,
                    1,
                    "tavrin-voc: $S is damaged or is not a progress store; it is left as it is\n"},
        RefusedCase{"DueWithoutStore",
                    {"--no-progress", "due", "$D/a.voc", "-o", "$D/today.voc"},
                    false,
                    1,
                    "tavrin-voc: no progress store is in use (--no-progress or "
                    "TAVRIN_NO_PROGRESS), so there is nothing to read\n"},
        RefusedCase{"ExportLogWithFile",
                    {"progress", "--export-log", "$D/log.csv", "$D/a.voc"},
                    false,
                    2,
                    "tavrin-voc: --export-log writes every answer; give it no FILE\n"},
        RefusedCase{"ProgressWithoutFile",
                    {"progress"},
                    false,
                    2,
                    "tavrin-voc: progress needs a FILE to report on, or --export-log\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
