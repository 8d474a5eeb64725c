// tavrin-voc run as a program: exit statuses, help, and outputs that exist.
#include <gtest/gtest.h>

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
};

class TavrinVocProcess : public ::testing::TestWithParam<ProcessCase> {};

TEST_P(TavrinVocProcess, ExitsWithItsStatus) {
    const auto& c = GetParam();
    TempDir dir;
    dir.Write("good.voc", kWord);
    dir.Write("bad.voc", "cano  cano\r\nsing\r\n\r\n\r\n\r\n\r\n");
    dir.Write("list.csv", "Latin;English\n\"cano, canere\";sing, chant\n");
    const std::vector<std::string> before = Listing(dir.path());
    const VocRun run = RunVocProcess(dir, c.args, c.input);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.outStart.empty()) {
        EXPECT_EQ(run.out, "");
    } else {
        EXPECT_TRUE(run.out.starts_with(c.outStart)) << run.out;
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
                    "Quizzing the word imported from"}),
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
