// Whole quizzes through tavrin-voc quiz, in this process, with the output compared line by line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "QuizSupport.h"
#include "TempDir.h"

namespace {

struct QuizCase {
    const char* name;
    std::vector<std::string> args;  // before FILE
    std::string file;               // its bytes; nullopt-like "<missing>" names no file
    std::string input;
    std::vector<std::string> lines;
    int status;
};

const std::string kNoFile = "<missing>";

class WholeQuiz : public ::testing::TestWithParam<QuizCase> {};

TEST_P(WholeQuiz, ShowsThePagesPromptsMarksAnswersAndScore) {
    const QuizCase& c = GetParam();
    TempDir dir;
    const std::string path = c.file == kNoFile ? dir.File("none.voc") : dir.Write("w.voc", c.file);
    auto args = std::vector<std::string>{"quiz"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back(path);
    const VocRun run = RunVoc(args, c.input);
    EXPECT_EQ(run.Lines(), c.lines);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err.empty(), c.status == 0) << run.err;
}

const char kEnd[] =
    "End of Test: There are no more words in this file. Press Quit Testing to see your score.";

INSTANTIATE_TEST_SUITE_P(
    Pages, WholeQuiz,
    ::testing::Values(
        QuizCase{"LatinLowersAnswersAndStopsAtTheEndOfTheFile",
                 {},
                 kThreeWords,
                 "CARRY\nhate\nRose\n",
                 {kLatinIntro, "Latin Word: portas", "carry", "Correct Answer", "carry bring bear",
                  "Latin Word: amat", "hate", "Wrong Answer", "love like ", "Latin Word: rosa",
                  "rose", "Correct Answer", "rose  ", kEnd, "Score = 66.67%"},
                 0},
        QuizCase{"EnglishEndsAtEndOfInput",
                 {"--page", "english"},
                 kThreeWords,
                 "PORTO\nx",
                 {"English to Latin: type each answer and press Enter; a line :q or Ctrl+D "
                  "quits with the score.",
                  "English Word: carry bring bear", "porto", "Correct Answer",
                  "porto portare portavi portatum", "English Word: love like ", "x", "Wrong Answer",
                  "amo amare amavi amatum", "English Word: rose  ", "Score = 50%"},
                 0},
        QuizCase{"WordPartsKeepsCapitalsAndQuitsOnALine",
                 {"--page", "parts"},
                 kThreeWords,
                 "Porto\namo\n:q\nrosa\n",
                 {"Word Parts: type each answer and press Enter; a line :q or Ctrl+D quits "
                  "with the score.",
                  "Latin Word: portas", "Porto", "Wrong Answer", "porto", "Latin Word: amat", "amo",
                  "Correct Answer", "amo", "Latin Word: rosa", "Score = 50%"},
                 0},
        QuizCase{"WordPartsEndOfFileNamesItsOwnButton",
                 {"--page", "parts"},
                 kRosa,
                 "rosa\n",
                 {"Word Parts: type each answer and press Enter; a line :q or Ctrl+D quits "
                  "with the score.",
                  "Latin Word: rosa", "rosa", "Correct Answer", "rosa",
                  "End of Test: There are no more words in this file. Press Quit Test to see "
                  "your score.",
                  "Score = 100%"},
                 0},
        QuizCase{"NothingAnswered",
                 {},
                 kThreeWords,
                 "",
                 {kLatinIntro, "Latin Word: portas", "Score: No answers were submitted"},
                 0},
        QuizCase{"AnswersWithCrLfFromAWindowsScript",
                 {},
                 kRosa,
                 "rose\r\n",
                 {kLatinIntro, "Latin Word: rosa", "rose", "Correct Answer", "rose  ", kEnd,
                  "Score = 100%"},
                 0},
        QuizCase{
            "Windows1252FileAndUtf8Answers",
            {"--page", "english"},
            Entry("c\xe6lum c\xe6lum", "sky", "heaven") + Entry("fr\xe8re fr\xe8re", "brother"),
            "C\xc3\x86LUM\nfr\xe8re\n",
            {"English to Latin: type each answer and press Enter; a line :q or Ctrl+D "
             "quits with the score.",
             "English Word: sky heaven ", "c\xc3\xa6lum", "Correct Answer", "c\xc3\xa6lum",
             "English Word: brother  ", "fr\xc3\xa8re", "Correct Answer", "fr\xc3\xa8re", kEnd,
             "Score = 100%"},
            0},
        QuizCase{"EmptyFile",
                 {},
                 "",
                 "carry\n",
                 {kLatinIntro, "End of Test: There are no words in this file."},
                 1},
        QuizCase{"EmptyFileInterleaved",
                 {"--order", "interleaved"},
                 "",
                 "carry\n",
                 {kLatinIntro, "End of Test: There are no words in this file."},
                 1},
        QuizCase{"MissingFile",
                 {},
                 kNoFile,
                 "carry\n",
                 {kLatinIntro, "Error Opening file for reading, Code: 2"},
                 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Another program holds the file, as the windows hold the file they test.
TEST(QuizRefusals, FileHeldByAnotherProgramIsRefusedWithTheSharingCause) {
    TempDir dir;
    const std::string path = dir.Write("w.voc", kThreeWords);
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    for (const char* order : {"file", "interleaved", "shuffle"}) {
        const VocRun run = RunVoc({"quiz", "--order", order, path}, "carry\n");
        EXPECT_EQ(run.Lines(), (std::vector<std::string>{
                                   kLatinIntro, "Error Opening file for reading, Code: 11"}))
            << order;
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("(code 11)"), std::string::npos) << run.err;
    }
    ::close(fd);
}

std::vector<std::string> Prompts(const VocRun& run) {
    std::vector<std::string> prompts;
    for (const auto& line : run.Lines()) {
        if (line.rfind("Latin Word: ", 0) == 0) prompts.push_back(line.substr(12));
    }
    return prompts;
}

TEST(QuizOrder, ShuffleAsksEveryWordOnceAndASeedRepeatsIt) {
    TempDir dir;
    std::string text;
    std::vector<std::string> inFileOrder;
    for (int i = 0; i < 20; ++i) {
        // Appended, not "w" + std::to_string(i): GCC 12 at -O3 warns falsely on that (-Wrestrict).
        inFileOrder.emplace_back("w");
        inFileOrder.back() += std::to_string(i);
        text += Entry(inFileOrder.back() + " x", "d");
    }
    const std::string path = dir.Write("w.voc", text);
    const std::string answers(20, '\n');
    const VocRun first = RunVoc({"quiz", "--order", "shuffle", "--seed", "42", path}, answers);
    const VocRun again = RunVoc({"quiz", "--order", "shuffle", "--seed", "42", path}, answers);
    const VocRun other = RunVoc({"quiz", "--order", "shuffle", "--seed", "43", path}, answers);
    EXPECT_EQ(Prompts(first), Prompts(again));
    EXPECT_NE(Prompts(first), Prompts(other));
    EXPECT_NE(Prompts(first), inFileOrder);
    auto sorted = Prompts(first);
    std::sort(sorted.begin(), sorted.end());
    auto expected = inFileOrder;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);

    // Without a seed the one drawn is printed, and giving it repeats the order.
    const VocRun drawn = RunVoc({"quiz", "--order", "shuffle", path}, answers);
    const std::string seed = drawn.Lines()[0].substr(std::string("Shuffled with --seed ").size());
    const VocRun repeated = RunVoc(
        {"quiz", "--order", "shuffle", "--seed", seed.substr(0, seed.find(' ')), path}, answers);
    EXPECT_EQ(Prompts(drawn), Prompts(repeated));
    EXPECT_EQ(ReadBytes(path), text);
}

}  // namespace
