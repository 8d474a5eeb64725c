// tavrin-voc run as a program: exit statuses, help, and outputs that exist.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "VocRun.h"

namespace {

const std::string kWord = "cano cano canere\r\nsing\r\nchant\r\n\r\n\r\n\r\n";

struct ProcessCase {
    const char* name;
    std::string args;   // "$D" stands for the temporary folder
    std::string input;  // standard input
    int status;
    std::string outStart;  // "": nothing on standard output
    // Where given, the lines of standard error, each whole and in order ("$D" the folder).
    std::optional<std::vector<std::string>> errLines = std::nullopt;
};

const char kRoughSummary[] =
    "$D/rough.csv: rows read: 4; words written: 3; rows left out: 1 (cannot be used: 1, Anki "
    "cloze notes: 0, blank or not words: 0); words that can never be answered right: 0";

class TavrinVocProcess : public ::testing::TestWithParam<ProcessCase> {};

TEST_P(TavrinVocProcess, ExitsWithItsStatus) {
    const auto& c = GetParam();
    TempDir dir;
    dir.Write("good.voc", kWord);
    dir.Write("bad.voc", "cano  cano\r\nsing\r\n\r\n\r\n\r\n\r\n");
    dir.Write("list.csv", "Latin;English\n\"cano, canere\";sing, chant\n");
    // A row without Latin and a text form given twice: an error and a warning.
    dir.Write("rough.csv", "Latin;English\n\"cano, canere\";sing\n;x\namo;love\namo;like\n");
    dir.Write("unusable.csv", "Latin;English\n;x\n");
    const std::vector<std::string> before = Listing(dir.path());
    const VocRun run = RunVocProcess(dir, c.args, c.input);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.outStart.empty()) {
        EXPECT_EQ(run.out, "");
    } else {
        EXPECT_TRUE(run.out.starts_with(c.outStart)) << run.out;
    }
    if (c.errLines) {
        std::vector<std::string> expected;
        for (const std::string& line : *c.errLines) expected.push_back(InFolder(line, dir));
        std::vector<std::string> lines;
        std::istringstream err(run.err);
        for (std::string line; std::getline(err, line);) lines.push_back(line);
        EXPECT_EQ(lines, expected);
    }
    // No command here writes a file: none is left, not even a temporary one.
    std::vector<std::string> after = Listing(dir.path());
    std::erase_if(after,
                  [](const std::string& name) { return name == "stdin" || name == "stderr"; });
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TavrinVocProcess,
    ::testing::Values(
        ProcessCase{"Help", "--help", "", 0, "Checks, converts"},
        ProcessCase{"CommandHelp", "import --help", "", 0, "Makes a vocabulary file"},
        ProcessCase{"Version", "--version", "", 0, "tavrin-voc"},
        ProcessCase{"NoCommand", "", "", 2, ""},
        ProcessCase{"UnknownOption", "check --frobnicate $D/good.voc", "", 2, ""},
        ProcessCase{"BadFormat", "import --format xls $D/good.voc -o -", "", 2, ""},
        ProcessCase{"CheckClean", "check $D/good.voc", "", 0, "/"},
        ProcessCase{"CheckFindsError", "check $D/good.voc $D/bad.voc", "", 1, "/"},
        ProcessCase{"CheckStandardInput", "check -", kWord, 0, "<stdin>: 1 word, 0 errors"},
        ProcessCase{"CheckMissingFile", "check $D/missing.voc", "", 1, ""},
        ProcessCase{"ExportToStandardOutput", "export $D/good.voc -o -", "", 0, "text form,"},
        ProcessCase{"ImportFromStandardInput", "import - -o -", "amo,love\n", 0, "amo amo\r\nlove"},
        ProcessCase{"ImportWithRowsLeftOut", "import - -o -", "amo,love\n,x\n", 1, "amo amo"},
        ProcessCase{"ImportColumnsGiven", "import --columns skip,latin,meaning - -o -",
                    "1,amo,love\n", 0, "amo amo\r\nlove"},
        ProcessCase{"ImportBadColumns", "import --columns latin,chapter - -o -", "", 2, ""},
        ProcessCase{"ImportRefusedWritesNothing", "import - -o -", "amo,love,like\nrosa,rose,x\n",
                    1, ""},
        ProcessCase{"ImportRefusedWritesNoFile", "import - -o $D/out.voc",
                    "amo,love,like\nrosa,rose,x\n", 1, ""},
        ProcessCase{"QuizImportsAWordList", "quiz $D/list.csv", "sing\n", 0,
                    "Quizzing the word imported from"},
        // A quiz of a word list tells import's summary and the count of its findings; each
        // finding only with --verbose, or when nothing can be quizzed, since they say why.
        ProcessCase{"QuizCountsTheFindings", "quiz $D/rough.csv", "sing\n", 0,
                    "Quizzing the 3 words imported from",
                    std::vector<std::string>{
                        kRoughSummary,
                        "$D/rough.csv: the import found 1 error and 1 warning; --verbose shows "
                        "each one"}},
        ProcessCase{"QuizVerboseShowsEachFinding", "quiz --verbose $D/rough.csv", "sing\n", 0,
                    "Quizzing the 3 words imported from",
                    std::vector<std::string>{"$D/rough.csv:3: error: no Latin in this row; row "
                                             "left out",
                                             "$D/rough.csv:5: warning: same text form as line 4",
                                             kRoughSummary}},
        ProcessCase{"QuizOfACleanList", "quiz $D/list.csv", "", 0,
                    "Quizzing the word imported from",
                    std::vector<std::string>{
                        "$D/list.csv: rows read: 1; words written: 1; rows left out: 0 (cannot "
                        "be used: 0, Anki cloze notes: 0, blank or not words: 0); words that can "
                        "never be answered right: 0",
                        "$D/list.csv: the import found 0 errors and 0 warnings"}},
        ProcessCase{"QuizReviewCountsTheFindings", "quiz --review $D/rough.csv", "", 0,
                    "Latin to English",
                    std::vector<std::string>{
                        kRoughSummary,
                        "$D/rough.csv: the import found 1 error and 1 warning; --verbose shows "
                        "each one"}},
        ProcessCase{"QuizOfNothingUsableShowsWhy", "quiz $D/unusable.csv", "", 1, "",
                    std::vector<std::string>{
                        "$D/unusable.csv:2: error: no Latin in this row; row left out",
                        "$D/unusable.csv: rows read: 1; words written: 0; rows left out: 1 "
                        "(cannot be used: 1, Anki cloze notes: 0, blank or not words: 0); words "
                        "that can never be answered right: 0",
                        "tavrin-voc: $D/unusable.csv: no row could be used, so there is nothing "
                        "to quiz"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TavrinVocProcess, ExistingOutputIsReplacedOnlyWithForce) {
    TempDir dir;
    const std::string voc = dir.Write("w.voc", kWord);
    const std::string csv = dir.Write("w.csv", "keep me\n");
    for (const std::string& command :
         {"export " + voc + " -o " + csv, "import " + csv + " -o " + voc}) {
        const std::string before = ReadBytes(command.starts_with("export") ? csv : voc);
        EXPECT_EQ(RunVocProcess(dir, command).status, 1) << command;
        EXPECT_EQ(ReadBytes(command.starts_with("export") ? csv : voc), before) << command;
        EXPECT_NE(ReadBytes(dir.File("stderr")).find("--force"), std::string::npos);
    }
    EXPECT_EQ(RunVocProcess(dir, "export --force " + voc + " -o " + csv).status, 0);
    EXPECT_EQ(ReadBytes(csv).rfind("text form,", 0), 0u);
    EXPECT_EQ(RunVocProcess(dir, "import --force " + csv + " -o " + voc).status, 0);
    EXPECT_EQ(ReadBytes(voc), kWord);
}

// tavrin-voc --help gives each command one line of at most 80 columns, in every language, as
// git and cargo do; a command's own --help still opens with its whole description.
TEST(TavrinVocProcess, HelpGivesEachCommandOneLine) {
    TempDir dir;
    for (const char* language : {"", "de", "es", "fr", "it", "nl"}) {
        const VocRun run =
            RunVocProcess(dir, "--help", "", std::string("LC_ALL=C.UTF-8 LANGUAGE=") + language);
        EXPECT_EQ(run.status, 0) << language;
        const std::vector<std::string> lines = run.Lines();
        for (const std::string command :
             {"check", "import", "export", "reorder", "quiz", "progress", "due"}) {
            const auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
                return l.starts_with("  " + command + ' ');
            });
            ASSERT_NE(line, lines.end()) << language << ' ' << command << '\n' << run.out;
            // Counted in characters: every byte but a UTF-8 continuation byte starts one.
            const auto columns = std::count_if(line->begin(), line->end(),
                                               [](char c) { return (c & 0xC0) != 0x80; });
            EXPECT_LE(columns, 80) << language << ": " << *line;
            EXPECT_TRUE(line + 1 == lines.end() || !line[1].starts_with("   "))
                << language << ": " << *line << '\n'
                << line[1];
        }
    }
    const VocRun import = RunVocProcess(dir, "import --help", "", "LC_ALL=C LANGUAGE=");
    const std::string first = import.out.substr(0, import.out.find('\n'));
    EXPECT_TRUE(
        first.starts_with("Makes a vocabulary file from a word list ('-' for standard "
                          "input): CSV or other delimited text"))
        << first;
    EXPECT_TRUE(first.ends_with("when no row can be used, nothing is written.")) << first;
}

// A write to standard output that fails says why, as one to a file does; what the import found
// before it is told first.
struct FullDiskCase {
    const char* name;
    std::string args;
    std::string input;
    std::vector<std::string> errLines;  // the lines of standard error, in order
};

class StandardOutputOnAFullDisk : public ::testing::TestWithParam<FullDiskCase> {};

TEST_P(StandardOutputOnAFullDisk, SaysTheDiskIsFull) {
    const auto& c = GetParam();
    TempDir dir;
    dir.Write("good.voc", kWord);
    const VocRun run = RunVocProcess(dir, c.args + " >/dev/full", c.input);
    EXPECT_EQ(run.status, 1);
    std::vector<std::string> lines;
    std::istringstream err(run.err);
    for (std::string line; std::getline(err, line);) lines.push_back(line);
    EXPECT_EQ(lines, c.errLines);
}

std::string ManyRows() {
    std::string rows = "x,\n";  // no meaning: left out
    for (int i = 0; i < 200; ++i) rows += "amo" + std::to_string(i) + ",love\n";
    return rows;
}

const char kFull[] = "the disk is full (code 13); free some space, then try again";

INSTANTIATE_TEST_SUITE_P(
    Commands, StandardOutputOnAFullDisk,
    ::testing::Values(
        FullDiskCase{"ImportOfAFewRows",
                     "import - -o -",
                     "amo,love\n",
                     {"<stdin>: rows read: 1; words written: 1; rows left out: 0 (cannot be used: "
                      "0, Anki cloze notes: 0, blank or not words: 0); words that can never be "
                      "answered right: 0",
                      std::string("tavrin-voc: standard output: cannot be written: ") + kFull}},
        FullDiskCase{"ImportOfManyRows",
                     "import - -o -",
                     ManyRows(),
                     {"<stdin>:1: error: no meaning in this row; row left out",
                      std::string("tavrin-voc: - -> -: the import failed: ") + kFull +
                          "; nothing was written"}},
        FullDiskCase{"Export",
                     "export $D/good.voc -o -",
                     "",
                     {std::string("tavrin-voc: standard output: cannot be written: ") + kFull}}),
    [](const auto& info) { return std::string(info.param.name); });

// A list that gives no word leaves an existing output as it was, even with --force.
TEST(TavrinVocProcess, NothingUsableWritesNothing) {
    TempDir dir;
    const std::string voc = dir.Write("w.voc", kWord);
    const std::string list = dir.Write("w.txt", "# Chapter 1\nVerbs\n\n");
    EXPECT_EQ(RunVocProcess(dir, "import --force " + list + " -o " + voc).status, 1);
    EXPECT_EQ(ReadBytes(voc), kWord);
    EXPECT_NE(ReadBytes(dir.File("stderr")).find("no row could be used, so nothing was written"),
              std::string::npos);
}

}  // namespace
