// Each kind of finding of `tavrin-voc check`, with the line it names.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Findings.h"
#include "Input.h"
#include "TempDir.h"

namespace {

std::string Entry(const std::string& headword, const std::string& m1 = "sing",
                  const std::string& m2 = "", const std::string& m3 = "",
                  const std::string& m4 = "", const std::string& m5 = "") {
    return headword + "\r\n" + m1 + "\r\n" + m2 + "\r\n" + m3 + "\r\n" + m4 + "\r\n" + m5 + "\r\n";
}

const std::string kGood = Entry("cano cano canere", "sing", "chant");

struct FindingCase {
    const char* name;
    std::string file;
    std::string expected;  // the one finding, "LINE: error|warning: TEXT-START"; "" for none
};

class CheckFinding : public ::testing::TestWithParam<FindingCase> {};

TEST_P(CheckFinding, IsReportedOnItsLine) {
    const auto& c = GetParam();
    TempDir dir;
    const std::string path = dir.Write("w.voc", c.file);
    CTextFile file;
    ASSERT_TRUE(file.Open(path, CTextFile::modeRead, nullptr));
    CTextFileBuf buf(file);
    std::ostringstream out;
    const CheckTotals totals = CheckVoc(buf, "w.voc", out);

    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_FALSE(lines.empty());
    lines.pop_back();  // the summary
    if (c.expected.empty()) {
        EXPECT_TRUE(lines.empty()) << out.str();
        return;
    }
    ASSERT_EQ(lines.size(), 1u) << out.str();
    EXPECT_EQ(lines[0].rfind("w.voc:" + c.expected, 0), 0u) << lines[0];
    const bool error = c.expected.find(": error: ") != std::string::npos;
    EXPECT_EQ(totals.errors, error ? 1u : 0u);
    EXPECT_EQ(totals.warnings, error ? 0u : 1u);
}

// The quick look at plain words and lines finds what the rules find line by line, on every
// shape of the table, between words and after them.
TEST_P(CheckFinding, QuickLookFindsWhatTheRulesFind) {
    const auto found = [](const std::string& file, bool lineByLine) {
        std::istringstream in(file);
        CFindingList sink;
        CheckOptions options;
        options.lineByLine = lineByLine;
        const CheckTotals totals = CheckWords(*in.rdbuf(), sink, options);
        return std::make_tuple(sink.findings, totals.words, totals.errors, totals.warnings);
    };
    const std::string file = kGood + GetParam().file + kGood + GetParam().file;
    EXPECT_EQ(found(file, false), found(file, true));
}

// Every rule has its text in the catalog.
TEST(CheckFindingText, EveryRuleHasOne) {
    for (int r = 0; r <= static_cast<int>(Rule::kEmptyLinesLeftOut); ++r) {
        EXPECT_FALSE(FindingText({1, false, static_cast<Rule>(r), {}}).empty()) << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Findings, CheckFinding,
    ::testing::Values(
        FindingCase{"Clean", kGood + Entry("canis canis canis", "dog"), ""},
        FindingCase{"ProperNounTextFormIsFine", Entry("Troiae troia troiae", "troy"), ""},
        FindingCase{"CutShortLastWord", kGood + "arma arma\r\narms\r\n",
                    "7: error: the last word is cut short: it has 2 of its 6"},
        FindingCase{"EmptyLineAfterLastWord", kGood + "\r\n",
                    "7: error: empty line after the last word"},
        FindingCase{"CapitalInBaseWordMattersOnWordParts", kGood + Entry("Cano Cano canere"),
                    "7: warning: the base word \"Cano\" holds a capital letter: Word Parts"},
        FindingCase{"NonAsciiCapitalInBaseWord", Entry("e \xC3\x89rato"),
                    "1: warning: the base word \"\xC3\x89rato\" holds a capital"},
        FindingCase{"CapitalInDecomposedBaseWord", Entry("ama A\xCC\x84mo amare"),
                    "1: warning: the base word \"A\xCC\x84mo\" holds a capital"},
        FindingCase{"VowelLengthMarksAndDecomposedLettersAreFine",
                    Entry("am\xC4\x81s am\xC5\x8D am\xC4\x81"
                          "re",
                          "lo\xCC\x84ve",
                          "L\xC3\xBC"
                          "be"),
                    ""},
        FindingCase{"NoMeaning", Entry("cano cano", ""), "1: error: no meaning: all five"},
        FindingCase{"CapitalsInMeaningsAreFine", Entry("gallia gallia", "Gaul", "Krieg"), ""},
        FindingCase{"EmptyHeadwordLine", Entry(""), "1: error: empty headword line"},
        FindingCase{"EmptyTextForm", Entry(" cano"), "1: error: the text form is empty"},
        FindingCase{"EmptyDictionaryForm", Entry("cano "),
                    "1: error: the dictionary form is empty"},
        FindingCase{"TwoBlanksLeaveNoBaseWord", Entry("cano  cano"),
                    "1: error: two blanks after the text form"},
        FindingCase{"TabInBaseWord", Entry("cano ca\tno"), "1: error: the base word holds a tab"},
        FindingCase{"NulInBaseWord", Entry(std::string("cano ca\0no", 10)),
                    "1: error: the base word holds a NUL byte"},
        FindingCase{"MeaningsOneToThreeEmpty", Entry("cano cano", "", "", "", "sing"),
                    "1: error: meanings 1 to 3 are empty"},
        FindingCase{"LineLongerThanTheTestsRead", Entry("cano cano", std::string(5000, 'a')),
                    "2: error: line of 5000 bytes"},
        FindingCase{"NoBlankInHeadword", Entry("et"), "1: warning: no blank in the headword line"},
        FindingCase{"TrailingBlankInMeaning", Entry("cano cano", "sing "),
                    "2: warning: meaning 1 ends with a blank"},
        FindingCase{"LeadingBlankInMeaning", Entry("cano cano", " sing"),
                    "2: warning: meaning 1 starts with a blank"},
        FindingCase{"DoubledBlankInMeaning", Entry("cano cano", "sing  of"),
                    "2: warning: meaning 1 holds a doubled blank"},
        FindingCase{"DoubledBlankInDictionaryForm", Entry("cano cano  canere"),
                    "1: warning: doubled blank in the dictionary form"},
        FindingCase{"TrailingBlankInHeadword", Entry("cano cano canere "),
                    "1: warning: the headword line ends with a blank"},
        FindingCase{"SameTextFormTwice", kGood + Entry("canis canis", "dog") + kGood,
                    "13: warning: same text form as line 1"},
        FindingCase{"Windows1252Line", Entry("cano cano", "caf\xE9"),
                    "2: warning: not UTF-8: read as Windows-1252"},
        FindingCase{"BareLfLineEnds", "cano cano\nsing\n\n\n\n\n",
                    "1: warning: 6 lines end in LF alone"},
        FindingCase{"NoLineEndAtTheEnd", "cano cano\r\na\r\nb\r\nc\r\nd\r\ne",
                    "6: warning: the last line has no line end"},
        FindingCase{"ControlCharacterInMeaning",
                    Entry("cano cano", "sing",
                          "ch\x01"
                          "ant"),
                    "3: warning: meaning 2 holds the control character U+0001"},
        FindingCase{"TabInHeadwordOutsideBaseWord", Entry("ca\tno cano"),
                    "1: warning: the headword line holds a tab"},
        FindingCase{"LongLine", Entry("cano cano", std::string(1001, 'a')),
                    "2: warning: line of 1001 characters"},
        FindingCase{"GapBeforeFilledMeaning", Entry("cano cano", "sing", "", "chant"),
                    "3: warning: meaning 2 is empty before a filled one"},
        FindingCase{"TextFormEndsInComma", Entry("porto, porto portare"),
                    "1: warning: the text form \"porto,\" ends in ','"},
        FindingCase{"BaseWordEndsInSemicolon", Entry("mille mille;"),
                    "1: warning: the base word \"mille;\" ends in ','"},
        FindingCase{"NoteInBracketsInMeaning", Entry("cum cum", "with (+ abl.)"),
                    "2: warning: meaning 1 holds a note in brackets"},
        FindingCase{"SeveralMeaningsInOneLine", Entry("a a", "from; by"),
                    "2: warning: meaning 1 holds ',' or ';'"},
        // A plain word is judged whole, by its ends and lengths: each of these is one.
        FindingCase{"TextFormEndsInColon", Entry("et: et"),
                    "1: warning: the text form \"et:\" ends in ','"},
        FindingCase{"BaseWordEndsInColon", Entry("et et: que"),
                    "1: warning: the base word \"et:\" ends in ','"},
        FindingCase{"BlankMeaning", Entry("cano cano", " "),
                    "2: warning: meaning 1 starts with a blank"},
        FindingCase{"GapBeforeLastMeaning", Entry("cano cano", "a", "b", "c", "", "e"),
                    "5: warning: meaning 4 is empty before a filled one"},
        FindingCase{"LongHeadwordLine", Entry("cano " + std::string(996, 'a')),
                    "1: warning: line of 1001 characters"},
        FindingCase{"OneLfAloneInAWord", kGood + "et et\r\nand\n\r\n\r\n\r\n\r\n",
                    "8: warning: 1 line ends in LF alone"},
        FindingCase{"ByteOrderMark",
                    Entry("\xEF\xBB\xBF"
                          "cano cano"),
                    "1: warning: the file starts with a byte-order mark"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Check, SummaryCountsWordsErrorsAndWarnings) {
    std::istringstream in(kGood + Entry("roma roma", "R\tome") + Entry("et", "and "));
    std::ostringstream out;
    CheckVocStream(in, "v.voc", out);
    const std::string text = out.str();
    EXPECT_NE(text.find("v.voc:7: error: no meaning can be answered"), std::string::npos) << text;
    EXPECT_NE(text.find("v.voc: 3 words, 1 error, 3 warnings\n"), std::string::npos) << text;
}

// The table for "same text form" holds kCheckedForms forms; past them a new form is not held,
// yet a repeat of a held one is still found, and the check says from which line.
TEST(Check, TextFormsPastTheTableStillFindRepeatsOfHeldOnes) {
    std::string file;
    file.reserve(kCheckedForms * 24 + 100);
    for (std::size_t i = 0; i < kCheckedForms; ++i) {
        std::string form = "w";  // not "w" + ...: a false -Wrestrict of GCC 12 at -O3
        form += std::to_string(i);
        file += form + " " + form + "\r\nm\r\n\r\n\r\n\r\n\r\n";
    }
    file += Entry("novum novum") + Entry("novum novum") + Entry("w0 w0");
    std::istringstream in(file);
    std::ostringstream out;
    const CheckTotals totals = CheckVocStream(in, "v.voc", out);
    const std::uint64_t past = kCheckedForms * 6 + 1;
    EXPECT_EQ(totals.formsUnheldFrom, past);
    EXPECT_EQ(out.str(), "v.voc:" + std::to_string(past + 12) +
                             ": warning: same text form as line 1\nv.voc: " +
                             std::to_string(kCheckedForms + 3) + " words, 0 errors, 1 warning\n");
}

// Every form held is found again, also those placed past a full bucket; and forms that
// differ in one byte, wherever it is, are never taken for the same (short forms are hashed in
// a way of their own, so the lengths go past it).
TEST(Check, RepeatsAreFoundAndOnlyRepeats) {
    std::string file;
    std::size_t words = 0;
    for (std::size_t n = 1; n <= 20; ++n) {
        for (std::size_t at = 0; at <= n; ++at) {
            std::string form(n, 'a');
            if (at < n) form[at] = 'b';
            form += " x";  // not form + " x": a false -Wrestrict of GCC 12 at -O3
            file += Entry(form);
            ++words;
        }
    }
    for (std::size_t i = 0; words < kCheckedForms; ++i, ++words) {
        std::string form = "w";
        form += std::to_string(i);
        form += " x";
        file += Entry(form);
    }
    const std::string held = file;
    file += held;
    std::istringstream in(file);
    std::ostringstream out;
    const CheckTotals totals = CheckVocStream(in, "v.voc", out);
    EXPECT_EQ(totals.warnings, kCheckedForms);
    EXPECT_EQ(totals.formsUnheldFrom, 0u);
    const std::string first =
        "v.voc:" + std::to_string(kCheckedForms * 6 + 1) + ": warning: same text form as line 1\n";
    EXPECT_EQ(out.str().substr(0, first.size()), first);  // no repeat among the first
}

}  // namespace
