// The program's texts in the user's language: German from the catalog, and C exactly as the
// sources write it. Texts with values are translated as formats, the values put in after; a
// file's words are never translated.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <cstdio>
#include <sstream>

#include "QuizSupport.h"
#include "Resource.h"
#include "TempDir.h"
#include "TermWindow.h"
#include "Tr.h"
#include "VocRun.h"

namespace {

// Switches this process to German (as LANGUAGE=de in a UTF-8 locale) or to C.
void UseLanguage(const char* language) {
    tr::BindDir(TAVRIN_BUILD_LOCALEDIR);
    if (language) {
        ::setenv("LANGUAGE", language, 1);
        std::setlocale(LC_ALL, "C.UTF-8");
    } else {
        ::unsetenv("LANGUAGE");
        std::setlocale(LC_ALL, "C");
    }
}

struct ShownCase {
    const char* name;
    tr::Message message;
    std::string english;
    std::string german;
};

void PrintTo(const ShownCase& c, std::ostream* os) { *os << c.name; }

class ShownText : public ::testing::TestWithParam<ShownCase> {
protected:
    void TearDown() override { UseLanguage(nullptr); }
};

TEST_P(ShownText, IsGermanUnderGermanAndUnchangedUnderC) {
    const ShownCase& c = GetParam();
    UseLanguage("de");
    EXPECT_EQ(c.message.Shown(), c.german);
    EXPECT_EQ(c.message.English(), c.english);
    UseLanguage(nullptr);
    EXPECT_EQ(c.message.Shown(), c.english);
}

const char kAddOrReplace[] = "Add the new words at its end, or replace it with an empty file?";
const std::string kAddOrReplaceDe =
    "\nWillst du die neuen Wörter am Ende anhängen oder die Datei durch eine leere ersetzen?";

tr::Message Question(const char* name, unsigned long words) {
    return tr::Message::Lines({tr::Message("%s already holds %lu word.",
                                           "%s already holds %lu words.", words, {name, words}),
                               kAddOrReplace});
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ShownText,
    ::testing::Values(
        ShownCase{"Whole", "Correct Answer", "Correct Answer", "Richtige Antwort"},
        ShownCase{"AcceleratorKept", "&Quit Testing", "&Quit Testing", "Test &beenden"},
        ShownCase{"ScoreWhole", {"Score = %.4g%%", {75.0}}, "Score = 75%", "Ergebnis = 75 %"},
        ShownCase{"ScoreFraction",
                  {"Score = %.4g%%", {200.0 / 3}},
                  "Score = 66.67%",
                  "Ergebnis = 66.67 %"},
        ShownCase{"CodeKept",
                  {"Error Opening file for reading, Code: %d", {11}},
                  "Error Opening file for reading, Code: 11",
                  "Fehler beim Öffnen der Datei zum Lesen, Code: 11"},
        ShownCase{"OwnTextInsideAFormat",
                  {"Error writing file. Code:%d. %s",
                   {13, tr::Message("The word was not added; it is still in the boxes.")}},
                  "Error writing file. Code:13. The word was not added; it is still in the boxes.",
                  "Fehler beim Schreiben der Datei. Code: 13. Das Wort wurde nicht eingetragen; es "
                  "steht noch in den Feldern."},
        ShownCase{"CauseInsideAFormat",
                  {"The command could not be completed: %s", {tr::Message("the disk is full")}},
                  "The command could not be completed: the disk is full",
                  "Der Befehl ließ sich nicht ausführen: der Datenträger ist voll"},
        ShownCase{"QuestionOneWord", Question("week 1.voc", 1),
                  "week 1.voc already holds 1 word.\n" + std::string(kAddOrReplace),
                  "week 1.voc enthält schon 1 Wort." + kAddOrReplaceDe},
        ShownCase{"QuestionManyWords", Question("Error.voc", 46),
                  "Error.voc already holds 46 words.\n" + std::string(kAddOrReplace),
                  "Error.voc enthält schon 46 Wörter." + kAddOrReplaceDe},
        ShownCase{"NameInAFormatStaysAsItIs",
                  {"Cannot open %s.", {"Score = 5%"}},
                  "Cannot open Score = 5%.",
                  "Score = 5% lässt sich nicht öffnen."},
        ShownCase{"ScreenReadersVerdict",
                  {"%s. Answer: %s. %s",
                   {tr::Message("Correct Answer"), "arms weapons",
                    tr::Message("Latin Word: %s", {"Arma"})}},
                  "Correct Answer. Answer: arms weapons. Latin Word: Arma",
                  "Richtige Antwort. Antwort: arms weapons. Lateinisches Wort: Arma"},
        ShownCase{"ScreenReadersEmptyPrompt",
                  {"English Word: %s", {""}},
                  "English Word: ",
                  "Deutsches Wort: "},
        // A file's words given as a value are never taken for a text of ours, nor for a format.
        ShownCase{"FileWordsAsAValue",
                  {"Latin Word: %s", {"Error %d%%"}},
                  "Latin Word: Error %d%%",
                  "Lateinisches Wort: Error %d%%"},
        ShownCase{"UnknownText", "arms weapons armour", "arms weapons armour",
                  "arms weapons armour"},
        ShownCase{"AlmostAFormat", "Score = many%", "Score = many%", "Score = many%"},
        ShownCase{"Empty", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Plural, ChoosesTheFormForTheCountAndPutsTheValuesIn) {
    UseLanguage(nullptr);
    EXPECT_EQ(P_("%lu word", "%lu words", 1), "1 word");
    EXPECT_EQ(P_("%lu word", "%lu words", 0), "0 words");
    EXPECT_EQ(P_("%lu%% done", "%lu%% done", 7), "7% done");
    EXPECT_EQ(tr::Format("%s: %s%%", {"a.voc", "5"}), "a.voc: 5%");
    EXPECT_EQ(tr::Format("%2$s (%1$s)", {"a.voc", "5"}), "5 (a.voc)");
}

TEST(TermWindow, ShowsTheProgramsWordsInGermanAndTheFilesAsTheyAre) {
    UseLanguage("de");
    std::ostringstream out;
    CTermWindow window(IDD_LATIN_PAGE, out, std::nullopt);
    window.SetDlgItemText(IDC_LATIN_PROMPT, "Error");  // a file's word that is also a text of ours
    window.SetDlgItemText(IDC_LATIN_MARK, "Correct Answer");
    window.SetDlgItemText(IDC_LATIN_SHOWN, "Score");
    window.ShowChanges();
    window.MessageBox({"Score = %.4g%%", {50.0}}, "Score", 1);
    window.MessageBox("Quit the current test first", "Error", 1);
    UseLanguage(nullptr);
    EXPECT_EQ(out.str(),
              "Lateinisches Wort: Error\nRichtige Antwort\nScore\nErgebnis = 50 %\n"
              "Fehler: Beende zuerst den laufenden Test\n");
}

struct QuizCase {
    const char* name;
    const char* environment;
    std::string output;
};

class QuizProcess : public ::testing::TestWithParam<QuizCase> {};

TEST_P(QuizProcess, SpeaksTheLanguageOfTheEnvironment) {
    const QuizCase& c = GetParam();
    TempDir dir;
    const std::string voc =
        dir.Write("w.voc", Entry("amat amo", "loves") + Entry("Error est", "is"));
    const VocRun run = RunVocProcess(dir, "quiz '" + voc + "'", "likes\nError\n",
                                     std::string("env -u LC_MESSAGES ") + c.environment);
    const std::string& output = run.out;
    EXPECT_EQ(run.status, 0) << run.err;
    // The first line is the quiz's own greeting, which is not the terminal window's to show.
    EXPECT_EQ(output.substr(output.find('\n') + 1), c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, QuizProcess,
    ::testing::Values(
        QuizCase{
            "German", "LANGUAGE=de LC_ALL=C.UTF-8",
            "Lateinisches Wort: amat\nlikes\nFalsche Antwort\nloves  \nLateinisches Wort: Error\n"
            "error\nFalsche Antwort\nis  \nEnde des Tests: In dieser Datei gibt es keine Wörter "
            "mehr. "
            "Klicke auf „Test beenden“, um dein Ergebnis zu sehen.\nErgebnis = 0 %\n"},
        QuizCase{"C", "LANGUAGE=de LC_ALL=C",
                 "Latin Word: amat\nlikes\nWrong Answer\nloves  \nLatin Word: Error\nerror\nWrong "
                 "Answer\n"
                 "is  \n"
                 "End of Test: There are no more words in this file. Press Quit Testing to see "
                 "your score.\nScore = 0%\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
