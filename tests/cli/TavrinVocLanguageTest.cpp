// tavrin-voc in the user's language: German from the catalog the build compiles, and C letter
// for letter as before. The frame that editors and scripts parse ("FILE:LINE: error: ",
// "tavrin-voc: ") stays English in every language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VocRun.h"

namespace {

constexpr const char* kGerman = "LANGUAGE=de LC_ALL=C.UTF-8";
constexpr const char* kC = "LANGUAGE= LC_ALL=C";

struct LanguageCase {
    const char* name;
    const char* locale;
    std::string args;   // "$D" stands for the temporary folder
    std::string input;  // standard input
    int status;
    std::vector<std::string> lines;  // each a whole line of standard output or error
};

class TavrinVocLanguage : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(TavrinVocLanguage, SpeaksTheLocalesLanguage) {
    const auto& c = GetParam();
    TempDir dir;
    // No blank in the headword and no meaning: one warning, one error.
    dir.Write("one.voc", "amo\r\n\r\n\r\n\r\n\r\n\r\n");
    // A doubled blank, a repeated text form and a line ending in LF alone: three warnings.
    dir.Write("two.voc",
              "amo amare\r\nto  love\r\n\r\n\r\n\r\n\r\namo amare\nlove\r\n\r\n\r\n\r\n\r\n");
    dir.Write("list.csv", "Latin;English\n\"cano, canere\";sing\n");
    // Two rows without Latin and a text form given twice: two errors and a warning.
    dir.Write("rough.csv", "Latin;English\n\"cano, canere\";sing\n;x\n;y\namo;love\namo;like\n");
    const VocRun run = RunVocProcess(dir, c.args, c.input, c.locale);
    // Built by appending: GCC 12 at -O3 warns falsely on concatenations here.
    std::string shown = "\n";
    shown += run.out;
    shown += run.err;
    EXPECT_EQ(run.status, c.status) << shown;
    for (const auto& line : c.lines) {
        std::string whole = "\n";
        whole += InFolder(line, dir);
        whole += '\n';
        EXPECT_NE(shown.find(whole), std::string::npos) << whole << "not in:" << shown;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TavrinVocLanguage,
    ::testing::Values(
        // A German desktop whose locale was never generated on this system still reads German.
        LanguageCase{"LocaleNotInstalled",
                     "LANGUAGE= LC_ALL= LC_MESSAGES= LANG=de_ZZ.UTF-8",
                     "check $D/missing.voc",
                     "",
                     1,
                     {"tavrin-voc: $D/missing.voc: lässt sich nicht zum Lesen öffnen: die Datei "
                      "wurde nicht gefunden (Code 2); prüfe den Namen"}},
        LanguageCase{"CheckGerman",
                     kGerman,
                     "check $D/one.voc $D/two.voc",
                     "",
                     1,
                     {"$D/one.voc:1: warning: kein Leerzeichen in der Kopfzeile: Die ganze Zeile "
                      "gilt als Textform und zugleich als Wörterbuchform",
                      "$D/one.voc:1: error: keine Bedeutung: Alle fünf Zeilen für Bedeutungen "
                      "sind leer",
                      "$D/one.voc: 1 Wort, 1 Fehler, 1 Warnung",
                      "$D/two.voc:2: warning: Bedeutung 1 enthält ein doppeltes Leerzeichen: Nur "
                      "eine Antwort mit denselben zwei Leerzeichen ist richtig",
                      "$D/two.voc:7: warning: gleiche Textform wie in Zeile 1",
                      "$D/two.voc:7: warning: 1 Zeile endet nur mit LF, die erste hier; das "
                      "Programm schreibt CR LF",
                      "$D/two.voc: 2 Wörter, 0 Fehler, 3 Warnungen"}},
        LanguageCase{"CheckC",
                     kC,
                     "check $D/one.voc $D/two.voc",
                     "",
                     1,
                     {"$D/one.voc:1: warning: no blank in the headword line: the whole line is "
                      "taken as both the text form and the dictionary form",
                      "$D/one.voc:1: error: no meaning: all five meaning lines are empty",
                      "$D/one.voc: 1 word, 1 error, 1 warning",
                      "$D/two.voc:2: warning: meaning 1 holds a doubled blank: only an answer "
                      "with the same two blanks is right",
                      "$D/two.voc:7: warning: same text form as line 1",
                      "$D/two.voc:7: warning: 1 line ends in LF alone, the first here; the "
                      "program writes CR LF",
                      "$D/two.voc: 2 words, 0 errors, 3 warnings"}},
        LanguageCase{"MessageGerman",
                     kGerman,
                     "check $D/missing.voc",
                     "",
                     1,
                     {"tavrin-voc: $D/missing.voc: lässt sich nicht zum Lesen öffnen: die Datei "
                      "wurde nicht gefunden (Code 2); prüfe den Namen"}},
        LanguageCase{"MessageC",
                     kC,
                     "check $D/missing.voc",
                     "",
                     1,
                     {"tavrin-voc: $D/missing.voc: cannot be opened for reading: the file could "
                      "not be found (code 2); check the name"}},
        // The repeat names the input's line, found in the translated finding.
        LanguageCase{"ImportGerman",
                     kGerman,
                     "import - -o -",
                     "Latin,English\namo,love\namo,love\n,x\n,y\n",
                     1,
                     {"<stdin>:3: warning: gleiche Textform wie in Zeile 2",
                      "<stdin>:4: error: kein Latein in dieser Zeile; Zeile ausgelassen (das "
                      "Gleiche in 2 Zeilen, in den Zeilen 4, 5)"}},
        LanguageCase{"ImportC",
                     kC,
                     "import - -o -",
                     "Latin,English\namo,love\namo,love\n,x\n,y\n",
                     1,
                     {"<stdin>:3: warning: same text form as line 2",
                      "<stdin>:4: error: no Latin in this row; row left out (the same on 2 rows, "
                      "on lines 4, 5)",
                      "<stdin>: rows read: 4; words written: 2; rows left out: 2 (cannot be "
                      "used: 2, Anki cloze notes: 0, blank or not words: 0); words that can "
                      "never be answered right: 0"}},
        LanguageCase{"QuizGerman",
                     kGerman,
                     "quiz $D/list.csv",
                     "sing\n",
                     0,
                     {"Abgefragt wird das Wort aus $D/list.csv, bis zum Ende der Abfrage in einer "
                      "vorläufigen Datei gehalten.",
                      "Latein – Deutsch: Tippe jede Antwort und drücke die Eingabetaste; eine "
                      "Zeile :q oder Strg+D beendet mit dem Ergebnis."}},
        LanguageCase{"QuizC",
                     kC,
                     "quiz $D/list.csv",
                     "sing\n",
                     0,
                     {"Quizzing the word imported from $D/list.csv, kept in a temporary file "
                      "until the quiz ends.",
                      "Latin to English: type each answer and press Enter; a line :q or Ctrl+D "
                      "quits with the score."}},
        // Each count takes its own plural form ("Fehler" is both).
        LanguageCase{"QuizCountGerman",
                     kGerman,
                     "quiz $D/rough.csv",
                     "",
                     0,
                     {"$D/rough.csv: der Import fand 2 Fehler und 1 Warnung; --verbose zeigt sie "
                      "einzeln"}},
        LanguageCase{"MissedGerman",
                     kGerman,
                     "quiz --missed $D/m.voc $D/two.voc",
                     "x\nx\n",
                     0,
                     {"2 falsch beantwortete Wörter in $D/m.voc gespeichert."}},
        LanguageCase{"MissedC",
                     kC,
                     "quiz --missed $D/m.voc $D/two.voc",
                     "x\nx\n",
                     0,
                     {"2 missed words written to $D/m.voc."}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
