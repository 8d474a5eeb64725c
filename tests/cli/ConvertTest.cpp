// Import of delimited text, and the export-import round trip.
#include <gtest/gtest.h>

#include <sstream>

#include "Convert.h"
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
    ImportFormat format;
    std::string expected;
    std::uint64_t errors;
    std::string diagnostic;  // the start of a line in the diagnostics, or ""
};

class Import : public ::testing::TestWithParam<ImportCase> {};

TEST_P(Import, WritesTheWordsItCanUse) {
    const auto& c = GetParam();
    std::istringstream in(c.input);
    std::string written;
    std::ostringstream diagnostics;
    const ConvertTotals totals = ImportDelimitedStream(
        in, "in", c.format, [&](std::string_view bytes) { written += bytes; }, diagnostics);
    EXPECT_EQ(written, c.expected);
    EXPECT_EQ(totals.errors, c.errors) << diagnostics.str();
    if (!c.diagnostic.empty()) {
        EXPECT_NE(diagnostics.str().find("in:" + c.diagnostic), std::string::npos)
            << diagnostics.str();
    }
}

const auto kAuto = ImportFormat::kAuto;

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
        ImportCase{"MoreThanFiveMeaningsKeepsFive", "x,a;b;c;d;e;f\n", kAuto,
                   Word("x x", "a", "b", "c", "d", "e"), 0, "1: warning: 6 meanings"},
        ImportCase{"TabSeparated", "amo\tamo amare\tlove\n", kAuto, Word("amo amo amare", "love"),
                   0, ""},
        ImportCase{"HeaderRowSkipped", "Front,Back\namo,love\n", kAuto, Word("amo amo", "love"), 0,
                   ""},
        ImportCase{"EmptyFrontLeftOut", "amo,love\n,x\nsum,\n", kAuto, Word("amo amo", "love"), 2,
                   "2: error: the front is empty"},
        ImportCase{"TooManyColumnsLeftOut", "a,b,c,d,e,f,g,h\n", kAuto, "", 1,
                   "1: error: 8 columns"},
        ImportCase{"TrailingEmptyColumnsAreFine", "a,b,c,,,,,,,\n", kAuto, Word("a b", "c"), 0, ""},
        ImportCase{"OneColumnLeftOut", "amo\n", ImportFormat::kCsv, "", 1, "1: error: one column"},
        ImportCase{"BlankLinesAndRowsSkipped", "\r\namo,love\r\n,,\r\n", kAuto,
                   Word("amo amo", "love"), 0, "3: warning: empty row left out"},
        ImportCase{"UnclosedQuoteRunsToTheEnd", "amo,\"love\n", kAuto, Word("amo amo", "love"), 0,
                   ""},
        ImportCase{"Windows1252Field", "caf\xE9,coffee\n", kAuto,
                   Word("caf\xC3\xA9 caf\xC3\xA9", "coffee"), 0, ""},
        ImportCase{"ByteOrderMarkDropped",
                   "\xEF\xBB\xBF"
                   "amo,love\n",
                   kAuto, Word("amo amo", "love"), 0, ""},
        ImportCase{"AnkiHtmlDecoded",
                   "#separator:tab\n#html:true\n#tags column:3\n"
                   "<b>amo</b>\tlove<br>like &amp; &lt;3&gt; &#233;&#xE9;&nbsp;x\tmytag\n",
                   kAuto, Word("amo amo", "love like & <3> \xC3\xA9\xC3\xA9 x"), 0, ""},
        ImportCase{"AnkiSemicolonSeparatorAndColumns",
                   "#separator:semicolon\n#html:false\n#columns:Back;Front\nlove;<i>amo</i>\n",
                   kAuto, Word("<i>amo</i> <i>amo</i>", "love"), 0, ""},
        ImportCase{"AnkiWithoutHtmlKeepsTags", "#separator:Comma\n<b>x</b>,y\n", kAuto,
                   Word("<b>x</b> <b>x</b>", "y"), 0, ""},
        ImportCase{"LoneCrInsideAFieldKept", "a,b,\"c\rd\",,,,\n", kAuto, Word("a b", "c\rd"), 0,
                   ""},
        ImportCase{"NarrowerRowAfterAWiderOne", "a,b,c,d,e\nx,y\n", kAuto,
                   Word("a b", "c", "d", "e") + Word("x x", "y"), 0, ""},
        ImportCase{"AnkiLineBreakEntityBecomesBlank",
                   "#html:true\nporta\tgate&#10;door&#13;&#10;x\n", kAuto,
                   Word("porta porta", "gate door x"), 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

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
        ImportDelimitedStream(stream, "in", ImportFormat::kAuto, sink, diagnostics);
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
        RoundTripCase{"LargerThanTheReadAndWriteBlocks", ManyWords(6000), false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
