// --missed: the words answered wrong, whole and byte for byte, in a vocabulary file of their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "QuizSupport.h"
#include "TempDir.h"

namespace {

const std::string kOut = "OUT";  // stands for the file's name in the last line

struct MissedCase {
    const char* name;
    std::string file;
    std::vector<std::string> args;
    std::string input;
    std::optional<std::string> out;  // the bytes of OUT; nothing when no file may be written
    std::string lastLine;
};

// The last line names OUT by its path; the table says OUT.
std::string Named(const std::string& line, const std::string& path) {
    std::string text = line;
    const auto at = text.find(path);
    if (at != std::string::npos) text.replace(at, path.size(), kOut);
    return text;
}

class MissedWords : public ::testing::TestWithParam<MissedCase> {};

TEST_P(MissedWords, AreWrittenWholeInTheOrderAsked) {
    const MissedCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.Write("w.voc", c.file);
    const std::string out = dir.File("missed.voc");
    std::vector<std::string> args = {"quiz", "--missed", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back(path);
    const VocRun run = RunVoc(args, c.input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Named(run.Lines().back(), out), c.lastLine);
    if (c.out) {
        EXPECT_EQ(ReadBytes(out), *c.out);
    } else {
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    // Nothing but OUT is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), c.out ? 2 : 1);
    EXPECT_EQ(ReadBytes(path), c.file);
}

INSTANTIATE_TEST_SUITE_P(
    Quizzes, MissedWords,
    ::testing::Values(MissedCase{"SomeMissed",
                                 kThreeWords,
                                 {},
                                 "x\nlove\ny\n",
                                 kPortas + kRosa,
                                 "2 missed words written to OUT."},
                      MissedCase{"NoneMissed",
                                 kThreeWords,
                                 {},
                                 "carry\nlike\nrose\n",
                                 std::nullopt,
                                 "No words were missed; OUT was not written."},
                      MissedCase{"QuitBeforeTheEnd",
                                 kThreeWords,
                                 {"--page", "parts"},
                                 "x\n:q\n",
                                 kPortas,
                                 "1 missed word written to OUT."},
                      MissedCase{"CutShortLastEntryIsCompleted",
                                 kPortas + "amat amo amare amavi amatum\r\nlove",
                                 {},
                                 "x\nx\n",
                                 kPortas + Entry("amat amo amare amavi amatum", "love"),
                                 "2 missed words written to OUT."},
                      MissedCase{"OriginalBytesWithLineEndsMadeCrLf",
                                 "c\xe6lum c\xe6lum\nsky\nheaven\n\n\n\n",
                                 {"--page", "english"},
                                 "caelum\n",
                                 Entry("c\xe6lum c\xe6lum", "sky", "heaven"),
                                 "1 missed word written to OUT."},
                      MissedCase{"InterleavedOrderMapsBackToTheEntries",
                                 kThreeWords,
                                 {"--order", "interleaved"},
                                 "x\ncarry\nx\n",
                                 kRosa + kAmat,
                                 "2 missed words written to OUT."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MissedFile, IsQuizzedAgainLikeAnyVocabularyFile) {
    TempDir dir;
    const std::string out = dir.File("missed.voc");
    ASSERT_EQ(
        RunVoc({"quiz", "--missed", out, dir.Write("w.voc", kThreeWords)}, "x\nlove\nx\n").status,
        0);
    const VocRun again = RunVoc({"quiz", "--missed", dir.File("still.voc"), out}, "bear\nrose\n");
    EXPECT_EQ(again.Lines(),
              (std::vector<std::string>{
                  kLatinIntro, "Latin Word: portas", "bear", "Correct Answer", "carry bring bear",
                  "Latin Word: rosa", "rose", "Correct Answer", "rose  ",
                  "End of Test: There are no more words in this file. "
                  "Press Quit Testing to see your score.",
                  "Score = 100%",
                  "No words were missed; " + dir.File("still.voc") + " was not written."}));
}

TEST(MissedFile, AnExistingFileIsRefusedBeforeTheQuizUnlessForced) {
    TempDir dir;
    const std::string path = dir.Write("w.voc", kThreeWords);
    const std::string out = dir.Write("missed.voc", "last week\r\n");

    const VocRun refused = RunVoc({"quiz", "--missed", out, path}, "x\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "tavrin-voc: " + out + ": already exists; add --force to replace it\n");
    EXPECT_EQ(ReadBytes(out), "last week\r\n");

    const VocRun sameFile = RunVoc({"quiz", "--missed", path, "--force", path}, "x\n");
    EXPECT_EQ(sameFile.status, 1);
    EXPECT_EQ(sameFile.out, "");
    EXPECT_EQ(ReadBytes(path), kThreeWords);

    const VocRun forced = RunVoc({"quiz", "--missed", out, "--force", path}, "x\n");
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(ReadBytes(out), kPortas);

    // Nothing missed: the old file stays as it was, even with --force.
    const VocRun none = RunVoc({"quiz", "--missed", out, "--force", path}, "carry\n");
    EXPECT_EQ(Named(none.Lines().back(), out), "No words were missed; OUT was not written.");
    EXPECT_EQ(ReadBytes(out), kPortas);
}

}  // namespace
