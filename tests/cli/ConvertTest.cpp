// Import of delimited text, and the export-import round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <string_view>
#include <vector>

#include "Findings.h"
#include "Input.h"
#include "TempDir.h"

namespace {

std::string Word(const std::string& headword, const std::string& m1 = "",
                 const std::string& m2 = "", const std::string& m3 = "", const std::string& m4 = "",
                 const std::string& m5 = "") {
    return headword + "\r\n" + m1 + "\r\n" + m2 + "\r\n" + m3 + "\r\n" + m4 + "\r\n" + m5 + "\r\n";
}

struct ImportCase {
    const char* name;
    std::string input;
    ImportOptions options;
    std::string expected;
    std::uint64_t errors;    // rows left out, and words check finds unanswerable
    std::string diagnostic;  // a line of the diagnostics, or its start; "" for none
};

// Imports the case's input as the command does, with check's rules.
ConvertTotals RunImport(const ImportCase& c, std::string& written,
                        std::ostringstream& diagnostics) {
    std::istringstream in(c.input);
    ImportOptions options = c.options;
    return ImportDelimitedStream(
        in, "in", options, [&](std::string_view bytes) { written += bytes; }, diagnostics);
}

class Import : public ::testing::TestWithParam<ImportCase> {};

TEST_P(Import, WritesTheWordsItCanUse) {
    const auto& c = GetParam();
    std::string written;
    std::ostringstream diagnostics;
    const ConvertTotals totals = RunImport(c, written, diagnostics);
    EXPECT_EQ(written, c.expected);
    EXPECT_EQ(totals.errors, c.errors) << diagnostics.str();
    if (!c.diagnostic.empty()) {
        // Built by appending: "\n" + ... trips GCC 12's false -Wrestrict at -O3.
        std::string lines = "\n";
        lines += diagnostics.str();
        std::string wanted = "\nin";
        wanted += c.diagnostic;
        EXPECT_NE(lines.find(wanted), std::string::npos) << lines;
    }
}

ImportOptions With(ImportFormat format, std::string separator = "", std::string columns = "") {
    return {format, std::move(separator), std::move(columns)};
}

const ImportOptions kAuto;

INSTANTIATE_TEST_SUITE_P(
    Cases, Import,
    ::testing::Values(
        ImportCase{"SevenColumns", "portas,porto portare,carry,bring,bear,,\r\n", kAuto,
                   Word("portas porto portare", "carry", "bring", "bear"), 0, ""},
        ImportCase{"QuotedCommaQuoteAndLineBreak",
                   "portas,porto,\"carry, bring\",\"say \"\"hi\"\"\",\"two\r\nlines\",,\n", kAuto,
                   Word("portas porto", "carry, bring", "say \"hi\"", "two lines"), 0, ""},
        ImportCase{"TwoColumnsFrontAndBack", "cano canere,\" sing ; chant;;celebrate \"\n", kAuto,
                   Word("cano cano canere", "sing", "chant", "celebrate"), 0, ""},
        ImportCase{"MoreThanFiveMeaningsKeepsFive", "x,a;b;c;d;e;f\n", With(ImportFormat::kCsv),
                   Word("x x", "a", "b", "c", "d", "e"), 0,
                   ":1: warning: 6 meanings, more than the five a word holds: the first five were "
                   "kept, and these left out: f"},
        // Long enough for the reading of plain rows sixteen bytes at a time, which must still
        // tell a byte past ASCII so that the row is read as Windows-1252.
        ImportCase{"Windows1252InAPlainRow",
                   "b\xE9llum belli,w\xE4r and fight\nporto portare,carry\n", kAuto,
                   Word("b\xC3\xA9llum b\xC3\xA9llum belli", "w\xC3\xA4r and fight") +
                       Word("porto porto portare", "carry"),
                   0, ""},
        ImportCase{"TabSeparatedTextFormFirst", "amo\tamo amare\tlove\n", kAuto,
                   Word("amo amo amare", "love"), 0, ""},
        ImportCase{"HeaderNamesAndEuropeanSemicolons",
                   "Latin;Part of Speech;English;Test\n\"porto, portare\";verb;carry, bring;1\n",
                   kAuto, Word("porto porto portare", "carry", "bring"), 0, ""},
        ImportCase{"HeaderOfSpreadFormsDropsDashes",
                   "nom_sg,gen_sg,english_translation,gender\nagricola,agricolae,farmer,m\n"
                   "vis,-,force,f\n",
                   kAuto, Word("agricola agricola agricolae", "farmer") + Word("vis vis", "force"),
                   0, ""},
        ImportCase{"ColumnsOverrideTheHeader", "Latin,English,Stem\nporto,carry,portare\n",
                   With(ImportFormat::kAuto, "", "latin,meaning,latin"),
                   Word("porto porto portare", "carry"), 0, ""},
        ImportCase{"ColumnsNameTheTextForm", "portas;porto, portare;carry\n",
                   With(ImportFormat::kAuto, "semicolon", "form,latin,meaning"),
                   Word("portas porto portare", "carry"), 0, ""},
        ImportCase{"RefusedWhenColumnsCannotBeTold", "amo,love,like\nrosa,rose,flower\n", kAuto, "",
                   1, ":1: error: the role of each column cannot be told"},
        ImportCase{"RowsWithoutLatinOrMeaningLeftOut", "amo,love\n,x\nsum,\n", kAuto,
                   Word("amo amo", "love"), 2, ":2: error: no Latin in this row; row left out"},
        // A header whose names are unknown, told by the numbers below it, is no word.
        ImportCase{"HeaderOverNumbers", "Eintrag,English,Seite\nrosa,rose,12\nporto,carry,13\n",
                   kAuto, Word("rosa rosa", "rose") + Word("porto porto", "carry"), 0, ""},
        // Where the Latin and a meaning are known, a column that cannot be told is set aside.
        ImportCase{"PartlyKnownHeaderGoesOn",
                   "latin,english,other_forms\namo,love,amas\nporto,carry,\nsum,be,es\n", kAuto,
                   Word("amo amo", "love") + Word("porto porto", "carry") + Word("sum sum", "be"),
                   0,
                   ":1: warning: column 3 (other_forms) was set aside: what it holds cannot be "
                   "told; to use it, give each column's role with --columns"},
        ImportCase{"ContentGoesOnPastAnUntoldColumn",
                   "columba, -ae, f;dove;alpha\nporto, portare;to carry;beta\n"
                   "agricola, -ae, m;farmer;gamma\n",
                   kAuto,
                   Word("columba columba -ae f", "dove") + Word("porto porto portare", "to carry") +
                       Word("agricola agricola -ae m", "farmer"),
                   0, ":1: warning: column 3 was set aside"},
        // A list that ends its meanings with a full stop: the stop is no part of the answer,
        // but for the abbreviations it uses inside its meanings.
        ImportCase{"StopsEndingEveryMeaning",
                   "canis : dog.\nfelis : cat.\namo : to love etc., like.\nsum : be, etc.\n", kAuto,
                   Word("canis canis", "dog") + Word("felis felis", "cat") +
                       Word("amo amo", "to love etc.", "like") + Word("sum sum", "be", "etc."),
                   0, ""},
        ImportCase{"StopInOneMeaningOfManyKept", "canis : dog\nfelis : cat\nvia : road, way etc.\n",
                   kAuto,
                   Word("canis canis", "dog") + Word("felis felis", "cat") +
                       Word("via via", "road", "way etc."),
                   0, ""},
        ImportCase{"MarkdownEmphasisTakenOut",
                   "- **amo** - *to love*\n- _porto_ - __carry__, bring_back\n", kAuto,
                   Word("amo amo", "to love") + Word("porto porto", "carry", "bring_back"), 0, ""},
        // Nothing written on a guess goes unsaid: a line list whose lines mostly lack its
        // separator is an error; a role given by elimination is named with the way to give it.
        ImportCase{"LineListMostlyWithoutItsSeparator",
                   "amo - to love\nporto: carry\nsum: be\n\n# Verbs\n",
                   With(ImportFormat::kLines, " - "), Word("amo amo", "to love"), 1,
                   ":2: error: 2 of 4 lines do not hold the separator \" - \" and were left out"},
        ImportCase{
            "FewLinesWithoutTheSeparatorAreFine",
            "amo - to love\nporto - carry\nsum - be\nChapter 2\n", kAuto,
            Word("amo amo", "to love") + Word("porto porto", "carry") + Word("sum sum", "be"), 0,
            ""},
        ImportCase{"RoleByEliminationNamed", "amo\tamo amare\tlove\n", kAuto,
                   Word("amo amo amare", "love"), 0,
                   ":1: warning: the role of a column was guessed from the others: --columns "
                   "form,latin,meaning"},
        ImportCase{"SameProblemOnManyRowsToldOnce", "amo,love\na,\nb,\nc,\nd,\ne,\nf,\n", kAuto,
                   Word("amo amo", "love"), 6,
                   ":2: error: no meaning in this row; row left out (the same on 6 rows, the "
                   "first on lines 2, 3, 4, 5, 6, ...)"},
        ImportCase{"CheckRunsOnWhatIsWritten", "Roma,Rome\n", kAuto, Word("Roma Roma", "Rome"), 0,
                   ":1: warning: the base word \"Roma\" holds a capital letter"},
        ImportCase{"SevenColumnsOfAListAreToldByContent",
                   "porto,portare,portavi,portatum,to carry,1,verb\n"
                   "amo,amare,amavi,amatum,to love,1,verb\n",
                   kAuto,
                   Word("porto porto portare portavi portatum", "to carry") +
                       Word("amo amo amare amavi amatum", "to love"),
                   0, ""},
        ImportCase{"MeaningThenLatin", "to love,\"amo, amare\"\n", kAuto,
                   Word("amo amo amare", "to love"), 0, ""},
        ImportCase{"TrailingEmptyColumnsAreFine", "amo,love,,,,,,,,\n", kAuto,
                   Word("amo amo", "love"), 0, ""},
        ImportCase{"BlankRowsCounted", "\r\namo,love\r\n,,\r\n", kAuto, Word("amo amo", "love"), 0,
                   ": rows read: 3; words written: 1; rows left out: 2 (cannot be used: 0, Anki "
                   "cloze notes: 0, blank or not words: 2)"},
        ImportCase{"LineListWithFrontMatterHeadingsAndComments",
                   "---\ntitle: verbs\n---\n# Verbs\nChapter 1\n\n- amo, amare - to love, like\n"
                   "porto - carry\n***\n",
                   kAuto, Word("amo amo amare", "to love", "like") + Word("porto porto", "carry"),
                   0, ": rows read: 9; words written: 2; rows left out: 7"},
        ImportCase{"LineListSeparatorGiven", "amo ~ love\nporto ~ carry\n",
                   With(ImportFormat::kAuto, " ~ "),
                   Word("amo amo", "love") + Word("porto porto", "carry"), 0, ""},
        ImportCase{"UnclosedQuoteRunsToTheEnd", "amo,\"love\n", kAuto, Word("amo amo", "love"), 0,
                   ""},
        ImportCase{"Windows1252Field", "caf\xE9,coffee\n", kAuto,
                   Word("caf\xC3\xA9 caf\xC3\xA9", "coffee"), 0, ""},
        ImportCase{"ByteOrderMarkDropped",
                   "\xEF\xBB\xBF"
                   "amo,love\n",
                   kAuto, Word("amo amo", "love"), 0, ""},
        ImportCase{"AnkiHtmlDecodedAndBreaksSplitMeanings",
                   "#separator:tab\n#html:true\n#tags column:3\n"
                   "<b>amo</b>\tlove<br>like &amp; &lt;3&gt; &#233;&#xE9;&nbsp;x\tmytag\n",
                   kAuto, Word("amo amo", "love", "like & <3> \xC3\xA9\xC3\xA9 x"), 0, ""},
        ImportCase{"AnkiClozeNotesLeftOutWithOneWarning",
                   "#separator:tab\n#html:true\n{{c1::amo}} is love\t\nsum\tbe\n{{c2::est}}\t\n",
                   kAuto, Word("sum sum", "be"), 0,
                   ":3: warning: 2 Anki cloze notes were left out, the first here"},
        ImportCase{"AnkiClozeNoteType",
                   "#separator:tab\n#notetype column:1\nCloze\tamo\tx\nBasic\tsum\tbe\n", kAuto,
                   Word("sum sum", "be"), 0, ":3: warning: an Anki cloze note was left out"},
        ImportCase{"AnkiPictureOnly",
                   "#separator:tab\n#html:true\nrosa\t<img src=\"rose.jpg\">\n"
                   "<img src=\"a.png\"> \tlove\n",
                   kAuto, "", 2, ":3: error: the meaning is only a picture"},
        ImportCase{"AnkiSemicolonSeparatorAndColumns",
                   "#separator:semicolon\n#html:false\n#columns:Back;Front\nlove;<i>amo</i>\n",
                   kAuto, Word("<i>amo</i> <i>amo</i>", "love"), 0, ""},
        ImportCase{"AnkiWithoutHtmlKeepsTags", "#separator:Comma\n<b>x</b>,y\n", kAuto,
                   Word("<b>x</b> <b>x</b>", "y"), 0, ""},
        ImportCase{"LoneCrInsideAFieldKept", "a,b,\"c\rd\",,,,\n", kAuto, Word("a b", "c\rd"), 1,
                   ""},
        ImportCase{"AnkiLineBreakEntitySplitsMeanings",
                   "#html:true\nporta\tgate&#10;door&#13;&#10;x\n", kAuto,
                   Word("porta porta", "gate", "door", "x"), 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The number of an Anki "#... column:" line: one out of range, however far, is as one that is
// no number, and the line is passed over.
struct AnkiColumnCase {
    const char* name;
    std::string number;
    std::string expected;
};

class AnkiColumnNumber : public ::testing::TestWithParam<AnkiColumnCase> {};

TEST_P(AnkiColumnNumber, OutOfRangeIsPassedOver) {
    const auto& c = GetParam();
    for (const char* key : {"tags", "notetype", "deck", "guid"}) {
        std::istringstream in(std::string("#separator:tab\n#") + key + " column:" + c.number +
                              "\nportas\tporto portare\tcarry\n");
        std::string written;
        std::ostringstream diagnostics;
        ImportDelimitedStream(
            in, "in", With(ImportFormat::kAuto, "", ""),
            [&](std::string_view bytes) { written += bytes; }, diagnostics);
        EXPECT_EQ(written, c.expected) << key;
    }
}

const std::string kThirdColumnSetAside = Word("portas portas", "porto portare");
const std::string kNoColumnSetAside = Word("portas porto portare", "carry");

INSTANTIATE_TEST_SUITE_P(
    Numbers, AnkiColumnNumber,
    ::testing::Values(AnkiColumnCase{"InRange", "3", kThirdColumnSetAside},
                      AnkiColumnCase{"Blanks", " 3 ", kThirdColumnSetAside},
                      AnkiColumnCase{"NoNumber", "x", kNoColumnSetAside},
                      AnkiColumnCase{"Zero", "0", kNoColumnSetAside},
                      AnkiColumnCase{"PastTheLastColumn", "1001", kNoColumnSetAside},
                      AnkiColumnCase{"PastTheLongest", "99999999999999999999", kNoColumnSetAside},
                      AnkiColumnCase{"BelowTheShortest", "-99999999999999999999",
                                     kNoColumnSetAside},
                      AnkiColumnCase{"SmallestLong", "-9223372036854775808", kNoColumnSetAside},
                      AnkiColumnCase{"LargestLong", "9223372036854775807", kNoColumnSetAside}),
    [](const auto& info) { return std::string(info.param.name); });

// A quote left open spoils its own row only: the rows after it are read as if it had been
// closed at its line's end. A quoted field within the bounds still holds line breaks.
const char kQuoteLeftOpen[] =
    ":1: error: a quote opened on this line is not closed within 64 lines or 4096 bytes; row "
    "left out, and reading goes on at the next line";

std::string Lines(const std::string& line, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += line;
    return out;
}

std::string Words(const std::string& headword, const std::string& meaning, int count) {
    return Lines(Word(headword, meaning), count);
}

// Rows that fill the reader's first block but for a few bytes, so that an open quote after
// them reaches into the next block.
std::string FillerRows() { return Lines("amo,love\n", (1 << 16) / 9 - 2); }

class QuoteLeftOpen : public ::testing::TestWithParam<ImportCase> {};

TEST_P(QuoteLeftOpen, SpoilsItsRowOnly) {
    const auto& c = GetParam();
    std::string written;
    std::ostringstream diagnostics;
    const ConvertTotals totals = RunImport(c, written, diagnostics);
    EXPECT_TRUE(written == c.expected) << written.size() << " bytes, not " << c.expected.size();
    EXPECT_EQ(totals.errors, c.errors) << diagnostics.str();
    const std::string lines = "\n" + diagnostics.str();
    EXPECT_EQ(lines.find("\nin" + c.diagnostic) != std::string::npos, c.errors > 0) << lines;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuoteLeftOpen,
    ::testing::Values(
        ImportCase{"NeverClosed", "amo,\"love\nrosa,rose\nporto,carry\nsum,be\n", kAuto,
                   Word("rosa rosa", "rose") + Word("porto porto", "carry") + Word("sum sum", "be"),
                   1, kQuoteLeftOpen},
        ImportCase{"NeverClosedLastLineWithoutEnd", "amo,\"love\nrosa,rose", kAuto,
                   Word("rosa rosa", "rose"), 1, kQuoteLeftOpen},
        ImportCase{"OnTheLastLineRunsToTheEnd", "sum,be\namo,\"love\n", kAuto,
                   Word("sum sum", "be") + Word("amo amo", "love"), 0, kQuoteLeftOpen},
        ImportCase{"WithinTheLineBound", "amo,\"love" + Lines("\nx", 62) + "\ny\"\nsum,be\n", kAuto,
                   Word("amo amo", "love" + Lines(" x", 62) + " y") + Word("sum sum", "be"), 0,
                   kQuoteLeftOpen},
        ImportCase{"PastTheLineBound", "amo,\"love" + Lines("\nrosa,rose", 64) + "\nsum,be\"\n",
                   kAuto, Words("rosa rosa", "rose", 64) + Word("sum sum", "be\""), 1,
                   kQuoteLeftOpen},
        ImportCase{"WithinTheByteBound", "amo,\"" + std::string(4095, 'a') + "\"\"\"\nsum,be\n",
                   kAuto, Word("amo amo", std::string(4095, 'a') + "\"") + Word("sum sum", "be"), 0,
                   kQuoteLeftOpen},
        ImportCase{"PastTheByteBound", "amo,\"" + std::string(5000, 'a') + "\"\nsum,be\n", kAuto,
                   Word("sum sum", "be"), 1, kQuoteLeftOpen},
        ImportCase{"PastTheByteBoundOnLaterLines",
                   "amo,\"love" + Lines("\nr," + std::string(1000, 'a'), 5) + "\"\nsum,be\n", kAuto,
                   Words("r r", std::string(1000, 'a'), 4) +
                       Word("r r", std::string(1000, 'a') + "\"") + Word("sum sum", "be"),
                   1, kQuoteLeftOpen},
        ImportCase{"AcrossTheReadBlock", FillerRows() + "amo,\"love\nrosa,rose\nsum,be\n", kAuto,
                   Words("amo amo", "love", (1 << 16) / 9 - 2) + Word("rosa rosa", "rose") +
                       Word("sum sum", "be"),
                   1, ":" + std::to_string((1 << 16) / 9 - 1) + ": error: a quote opened"}),
    [](const auto& info) { return std::string(info.param.name); });

// A write that fails stops the import, but what it found in the rows before is told first.
TEST(FailedWrite, TellsWhatWasFoundFirst) {
    std::istringstream in("amo,love\nx,\nsum,be\n");
    std::ostringstream diagnostics;
    ImportOptions options;
    EXPECT_THROW(
        ImportDelimitedStream(
            in, "in", options,
            [](std::string_view) { throw CFileException(CFileException::diskFull, ENOSPC); },
            diagnostics),
        CFileException);
    EXPECT_EQ(diagnostics.str(), "in:2: error: no meaning in this row; row left out\n");
}

// Findings come out in line order however many different ones there are: more than the groups
// held for their count, from the import's rows and from check's rules alike.
TEST(ImportFindings, ComeInLineOrderPastTheGroupsHeld) {
    std::string input = "latin,english\n";
    constexpr int kRows = 20000;  // several of the blocks the check takes at a time
    for (int i = 1; i <= kRows; ++i) {
        // Appended piece by piece: a sum of temporaries trips GCC 12's false -Wrestrict at -O3.
        input += "Roma";
        input += std::to_string(i);
        input += ",rome\n";
        if (i % 7 == 0) {  // no meaning
            input += 'x';
            input += std::to_string(i);
            input += ",\n";
        }
    }
    std::string written;
    std::ostringstream diagnostics;
    RunImport({"", input, {}, "", 0, ""}, written, diagnostics);
    std::istringstream in(diagnostics.str());
    std::uint64_t last = 0, told = 0;
    for (std::string line; std::getline(in, line) && !line.starts_with("in: ");) {
        const std::uint64_t at = std::stoull(line.substr(3));
        ASSERT_LE(last, at) << line;
        last = at;
        told += line.find("capital") != std::string::npos;
    }
    EXPECT_EQ(told, std::uint64_t{kRows});
}

// Whole files of every shape: each comes back byte for byte through CSV, and through Anki's
// text where no meaning holds ';', none has a blank at either end and no gap stands before a
// filled one.
struct RoundTripCase {
    const char* name;
    std::string file;
    bool anki;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

std::string Convert(const std::string& in, bool exportIt, bool anki) {
    std::istringstream stream(in);
    std::string out;
    std::ostringstream diagnostics;
    const ByteSink sink = [&](std::string_view bytes) { out += bytes; };
    if (exportIt) {
        ExportVoc(*stream.rdbuf(), "in", anki, sink, diagnostics);
    } else {
        ImportDelimitedStream(stream, "in", ImportOptions{}, sink, diagnostics);
    }
    return out;
}

TEST_P(RoundTrip, ImportOfAnExportGivesTheSameFile) {
    const auto& c = GetParam();
    EXPECT_EQ(Convert(Convert(c.file, true, false), false, false), c.file);
    if (c.anki) {
        EXPECT_EQ(Convert(Convert(c.file, true, true), false, false), c.file);
    }
}

// Rows of our own CSV layout in every shape, over many of the reader's blocks. The CSV's plain
// rows are taken where they lie; the same rows as Anki text go the general way. Both must give
// the same words. (A row of blanks only is an empty word in our CSV export but no word in
// Anki's, so every row has a first field or a second.)
TEST(OurLayout, PlainRowsAreReadAsTheGeneralReadingReadsThem) {
    const std::vector<std::string> plain{"amo", "", " x", "y ", "p q", std::string(40, 'l'),
                                         "a\rb"};
    // One of these in every fourth row sends it the general way.
    const std::vector<std::string> special{"caf\xC3\xA9", "caf\xE9", "\"quoted\""};
    const std::size_t widths[] = {7, 7, 7, 6, 8, 7, 1};
    std::string csv = kCsvHeader;
    csv += "\r\n";
    std::string anki = "#separator:tab\n#columns:";
    for (const char c : std::string_view(kCsvHeader)) anki += c == ',' ? '\t' : c;
    anki += '\n';
    for (std::size_t i = 0; i < 6000; ++i) {
        const std::size_t width = widths[i % std::size(widths)];
        std::string head = i % 9 == 0 ? " " : "w";
        head += std::to_string(i);
        for (std::size_t k = 0; k < width; ++k) {
            const std::string& cell = k == 0                             ? head
                                      : i % 4 == 0 && k == i / 4 % width ? special[i / 4 % 3]
                                                                         : plain[(i + k * 3) % 7];
            if (k > 0) {
                csv += ',';
                anki += '\t';
            }
            csv += cell;
            anki += cell;
        }
        csv += i / 3 % 2 ? "\r\n" : "\n";
        anki += i / 3 % 2 ? "\r\n" : "\n";
    }
    const std::string words = Convert(csv, false, false);
    EXPECT_GT(words.size(), 100000u);
    const std::string general = Convert(anki, false, false);
    // Not EXPECT_EQ: a diff of a megabyte takes half a minute.
    const auto at = std::mismatch(words.begin(), words.end(), general.begin(), general.end());
    EXPECT_TRUE(words == general) << "first difference at byte " << (at.first - words.begin());
}

// Words of every length with no quote, some with letters beyond ASCII or a tab, so that plain
// rows and their fields fall across the reader's block boundaries.
std::string PlainWords(int count) {
    std::string file;
    for (int i = 0; i < count; ++i) {
        const std::string pad(static_cast<std::size_t>(i % 41), static_cast<char>('a' + i % 26));
        std::string head = "p";
        head += std::to_string(i);
        file += Word(head + " d" + pad, pad + (i % 3 ? "" : "\t"),
                     i % 5 ? "x" : "\xC3\xA9t\xC3\xA9", "", pad);
    }
    return file;
}

// Words of every length with quotes, separators and letters beyond ASCII, so that fields and
// doubled quotes fall across the reader's and the writer's block boundaries.
std::string ManyWords(int count) {
    std::string file;
    for (int i = 0; i < count; ++i) {
        const std::string pad(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26));
        std::string head = "w";  // appended: "w" + std::to_string(i) trips GCC 12's -Wrestrict
        head += std::to_string(i);
        file += Word(head + pad + " d\"" + pad + "\"", pad + ",x", "caf\xC3\xA9" + pad,
                     std::string(static_cast<std::size_t>(i % 11), '"'));
    }
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RoundTrip,
    ::testing::Values(
        RoundTripCase{"Sample", ReadBytes(TAVRIN_SAMPLES "/aeneid.voc"), true},
        RoundTripCase{"Empty", "", true},
        RoundTripCase{"HeadwordWithoutBlank", Word("et", "and"), true},
        RoundTripCase{"EmptyDictionaryForm", Word("et ", "and"), true},
        RoundTripCase{"EmptyTextForm", Word(" porto", "carry"), true},
        RoundTripCase{"SingleBlankHeadword", Word(" ", "x"), true},
        RoundTripCase{"EmptyHeadword", Word("", "x"), true},
        RoundTripCase{"AllLinesEmpty", Word("") + Word("a b", "c"), false},
        RoundTripCase{"BlanksEverywhere", Word("a  b c ", " x", "y ", "", "z  w"), false},
        RoundTripCase{"QuotesCommasSemicolons", Word("#a \"b\",c", "x;y", "\"q\"", "1,2"), false},
        RoundTripCase{"TabsAndControls",
                      Word(std::string("a b\tc", 5), std::string("x\0y", 3), "\x01"), false},
        RoundTripCase{"HeaderLikeFirstWord",
                      Word("text form,dictionary form,meaning 1", "meaning 2") + Word("a b", "c"),
                      false},
        RoundTripCase{"Utf8", Word("caf\xC3\xA9 caf\xC3\xA9", "coffee \xE2\x80\x94 drink"), true},
        RoundTripCase{"LargerThanTheReadAndWriteBlocks", ManyWords(6000), false},
        RoundTripCase{"PlainRowsLargerThanTheReadBlocks", PlainWords(6000), false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
