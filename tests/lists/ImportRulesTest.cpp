// The rules import reads someone else's word list by: column names, separators, column roles
// from content, and the Latin and meaning cells.
#include <gtest/gtest.h>

#include "ImportRules.h"

namespace {

using Roles = std::vector<ColumnRole>;
constexpr ColumnRole F = ColumnRole::kForm;
constexpr ColumnRole L = ColumnRole::kLatin;
constexpr ColumnRole M = ColumnRole::kMeaning;
constexpr ColumnRole S = ColumnRole::kSkip;

// The key a column name is looked up by: Latin-1 letters of either case as their plain letters.
struct HeaderKeyCase {
    const char* name;
    std::string header;
    std::string key;
};

class HeaderKeyOf : public ::testing::TestWithParam<HeaderKeyCase> {};

TEST_P(HeaderKeyOf, TakesLatin1LettersPlain) {
    EXPECT_EQ(HeaderKey(GetParam().header), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HeaderKeyOf,
    ::testing::Values(
        HeaderKeyCase{"Capitals", "\xC3\x80\xC3\x86\xC3\x87\xC3\x90\xC3\x91\xC3\x98\xC3\x9D",
                      "aaecdnoy"},
        HeaderKeyCase{"Small", "\xC3\xA0\xC3\xA6\xC3\xA7\xC3\xB0\xC3\xB1\xC3\xB8\xC3\xBD\xC3\xBF",
                      "aaecdnoyy"},
        HeaderKeyCase{"SharpS",
                      "Stra\xC3\x9F"
                      "e",
                      "strasse"},
        HeaderKeyCase{"ThornAndSignsLeftOut",
                      "a\xC3\x9E\xC3\xBE\xC3\x97\xC3\xB7"
                      "b",
                      "ab"},
        HeaderKeyCase{"CapitalInTextNotUtf8", "LAT\xC3\x8DN\xFF", "latin\xFF"}),
    [](const auto& info) { return std::string(info.param.name); });

struct HeaderCase {
    const char* name;
    std::vector<std::string> cells;
    std::optional<Roles> roles;  // nothing: not a header, the row is a word
};

class HeaderVocabulary : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderVocabulary, NamesSetTheRoles) {
    EXPECT_EQ(RolesOfHeader(GetParam().cells), GetParam().roles);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HeaderVocabulary,
    ::testing::Values(
        HeaderCase{"English", {"word", "translation", "category"}, Roles{L, M, S}},
        HeaderCase{"UnderscoresAndCapitals", {"PRINCIPAL_PARTS", "SHORT_DEFINITION"}, Roles{L, M}},
        HeaderCase{"NounFormsSpreadOverColumns",
                   {"nom_sg", "gen_sg", "english_translation", "declension", "gender", "chapter"},
                   Roles{L, L, M, S, S, S}},
        HeaderCase{"PartOfSpeechAndTest",
                   {"Latin", "Part of Speech", "English", "Test"},
                   Roles{L, S, M, S}},
        HeaderCase{"German", {"Latein", "Wortart", "Deutsch", "Lektion"}, Roles{L, S, M, S}},
        HeaderCase{"GermanUmlaut",
                   {"Vokabel",
                    "\xC3\x9C"
                    "bersetzung"},
                   Roles{L, M}},
        HeaderCase{"French", {"Mot latin", "Traduction", "Chapitre"}, Roles{L, M, S}},
        HeaderCase{"FrenchAccents",
                   {"LATIN",
                    "Fran\xC3\xA7"
                    "ais",
                    "Le\xC3\xA7on"},
                   Roles{L, M, S}},
        HeaderCase{"Italian", {"Latino", "Significato", "Genere"}, Roles{L, M, S}},
        HeaderCase{
            "Spanish", {"Lat\xC3\xADn", "Espa\xC3\xB1ol", "Declinaci\xC3\xB3n"}, Roles{L, M, S}},
        HeaderCase{"Dutch", {"Latijn", "Betekenis", "Hoofdstuk"}, Roles{L, M, S}},
        HeaderCase{"NumberedAndPunctuated",
                   {"Latin (1)", "latin-2", "Meaning #1", "meaning 2"},
                   Roles{L, L, M, M}},
        HeaderCase{
            "TextFormBesideLatin", {"Text form", "Dictionary form", "Meaning 1"}, Roles{F, L, M}},
        HeaderCase{"TextFormAloneIsTheLatin", {"form", "english"}, Roles{L, M}},
        HeaderCase{"AnUnknownNameIsSetAside", {"latin", "english", "mnemonic"}, Roles{L, M, S}},
        // Names as people write them: among other words, plural, in six languages.
        HeaderCase{"NameAmongOtherWords", {"The Latin", "My English translation"}, Roles{L, M}},
        HeaderCase{"GermanAdjectivesAndPlurals",
                   {"lateinische Vokabel", "deutsche Bedeutung", "Notizen"},
                   Roles{L, M, S}},
        HeaderCase{"FrenchPlurals", {"Vocables latins", "Traductions"}, Roles{L, M}},
        HeaderCase{"ItalianPlurals", {"Parole latine", "Significati"}, Roles{L, M}},
        HeaderCase{"SpanishPlurals", {"Palabras latinas", "Traducciones"}, Roles{L, M}},
        HeaderCase{"DutchPlurals", {"Latijnse woorden", "Betekenissen"}, Roles{L, M}},
        HeaderCase{"CamelCase", {"lemmaText", "glossEnglish"}, Roles{L, M}},
        HeaderCase{"FormsNamedByTheirGrammar",
                   {"first_sg_pres_act_ind", "pres_act_inf", "prf_pass_ptcp", "english"},
                   Roles{L, L, L, M}},
        HeaderCase{"OtherFormsAreNotTheForms", {"latin", "english", "other_forms"}, Roles{L, M, S}},
        HeaderCase{"AWordIsNotAHeader", {"amo", "to love"}, std::nullopt},
        HeaderCase{"NoMeaningColumn", {"latin", "chapter"}, std::nullopt},
        HeaderCase{"MostNamesUnknown", {"latin", "english", "amo", "amare", "love"}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct SeparatorCase {
    const char* name;
    std::string start;
    char delimiter;
    std::string lineList;
};

class SeparatorGuess : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(SeparatorGuess, IsTheOneMostLinesShare) {
    const Separator s = GuessSeparator(GetParam().start);
    EXPECT_EQ(s.lineList, GetParam().lineList);
    if (GetParam().lineList.empty()) {
        EXPECT_EQ(s.delimiter, GetParam().delimiter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Starts, SeparatorGuess,
    ::testing::Values(
        SeparatorCase{"Comma", "\"porto, portare\",carry\namo,love\n", ',', ""},
        SeparatorCase{"EuropeanSemicolon", "amo;to love, like\nporto;carry, bring\n", ';', ""},
        SeparatorCase{"Tab", "amo\tlove; like\nporto\tcarry\n", '\t', ""},
        SeparatorCase{"Pipe", "amo | love\nporto | carry\n", '|', ""},
        SeparatorCase{"SemicolonsInsideMeaningsOnly", "amo,love; like\nporto,carry\nsum,be\n", ',',
                      ""},
        SeparatorCase{"SpacedColon", "amo, amare : to love\nporto, portare : carry\n", ',', " : "},
        SeparatorCase{"Dash", "# Verbs\namo - to love\n\nporto - carry\n", ',', " - "},
        SeparatorCase{"EnDash", "amo \xE2\x80\x93 to love\nporto \xE2\x80\x93 carry\n", ',',
                      " \xE2\x80\x93 "},
        SeparatorCase{"Equals", "amo = to love\nporto = carry\n", ',', " = "},
        SeparatorCase{"ColonAfterTheWord", "amo: to love\nporto: carry\n", ',', ": "},
        SeparatorCase{"LastLineCutShortIsNotJudged", "amo;love\nporto;carry\nsum,es", ';', ""},
        SeparatorCase{"OneColumn", "amo\nporto\n", ',', ""},
        // Held the same number of times on most lines, not merely held on most.
        SeparatorCase{"ColonWithDashesInsideMeanings",
                      "amo: to love - dearly\nporto: carry - bear - bring\nsum: be\n", ',', ": "},
        SeparatorCase{"SemicolonListWithCommasInMeanings",
                      "amo;love, like, cherish\nporto;carry, bring\nsum;be\n", ';', ""},
        SeparatorCase{"TabWithPipesInsideSomeFields",
                      "amo\tlove | like\nporto\tcarry\nsum\tbe | exist | live\n", '\t', ""},
        SeparatorCase{"PrincipalPartsBeforeADash",
                      "amo, amare, amavi - to love\nporto, portare - carry\n", ',', " - "},
        SeparatorCase{"Slash", "amo / love, like\nporto / carry\n", '/', ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A first row that stands out from the rows below is a header, whatever its names.
struct ContrastCase {
    const char* name;
    std::vector<std::vector<std::string>> rows;
    bool header;
};

class HeaderByContrast : public ::testing::TestWithParam<ContrastCase> {};

TEST_P(HeaderByContrast, IsTakenOnlyWhereTheRowsBelowDiffer) {
    EXPECT_EQ(IsHeaderByContrast(GetParam().rows), GetParam().header);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeaderByContrast,
    ::testing::Values(
        ContrastCase{"NameOverNumbers",
                     {{"Ausdruck", "Sinn", "Seite"}, {"amo", "love", "12"}, {"sum", "be", "14"}},
                     true},
        ContrastCase{"ShortNameOverNumbers",
                     {{"Nr", "Ausdruck", "Sinn"}, {"1", "amo", "to love"}, {"2", "sum", "to be"}},
                     true},
        ContrastCase{"NameOverRepeatedCodes",
                     {{"Stichwort", "Geschl."}, {"rosa", "f"}, {"hortus", "m"}, {"via", "f"}},
                     true},
        ContrastCase{"NameOverEntriesBesideAKnownName",
                     {{"Eintrag", "English"},
                      {"rosa, rosae, f", "rose"},
                      {"porto, portare", "carry"},
                      {"agricola, -ae, m", "farmer"}},
                     true},
        ContrastCase{"EntriesAloneAreNoSign",
                     {{"Eintrag", "Sinn"}, {"rosa, rosae, f", "rose"}, {"porto, portare", "carry"}},
                     false},
        ContrastCase{"ShortWordsAreNoCodes", {{"amo", "love"}, {"a", ""}, {"b", ""}}, false},
        ContrastCase{
            "RepeatedBelow", {{"Seite", "x"}, {"12", "a"}, {"Seite", "x"}, {"14", "b"}}, false},
        ContrastCase{"NumberOverNumbers", {{"1", "amo"}, {"2", "sum"}, {"3", "do"}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ContentCase {
    const char* name;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::optional<ColumnRole>> roles;  // nothing where import must ask for --columns
};

class ContentRoles : public ::testing::TestWithParam<ContentCase> {};

TEST_P(ContentRoles, AreToldOnlyWithConfidence) {
    EXPECT_EQ(RolesOfContent(GetParam().rows), GetParam().roles);
}

const std::optional<ColumnRole> kUntold;

INSTANTIATE_TEST_SUITE_P(
    Lists, ContentRoles,
    ::testing::Values(
        ContentCase{"DictionaryEntryMeaningCategory",
                    {{"columba, columbae, f", "dove", "birds"},
                     {"porto, portare, portavi", "to carry", "verbs"},
                     {"agricola, -ae, m", "farmer", "people"}},
                    {L, M, kUntold}},
        // A dash between a meaning's words is no Latin ending given alone.
        ContentCase{"DashesInsideMeanings",
                    {{"amo", "to love - dearly"}, {"porto", "carry - bear - bring"}, {"sum", "be"}},
                    {L, M}},
        ContentCase{"RepeatedValuesAndCodesSetAside",
                    {{"columba, -ae", "f", "dove", "1"},
                     {"agricola, -ae", "m", "farmer", "1"},
                     {"hortus, -i", "m", "garden", "2"}},
                    {L, S, M, S}},
        ContentCase{
            "PartOfSpeechSetAside",
            {{"amo", "verb", "to love"}, {"rosa", "noun", "rose"}, {"bonus", "adj.", "good"}},
            {L, S, M}},
        ContentCase{"PrincipalPartsSpreadOverColumns",
                    {{"porto", "portare", "portavi", "portatum", "to carry"},
                     {"amo", "amare", "amavi", "amatum", "to love"}},
                    {L, L, L, L, M}},
        ContentCase{"TextFormBeforeDictionaryForm",
                    {{"portas", "porto portare", "carry"}, {"amat", "amo amare", "love"}},
                    {F, L, M}},
        ContentCase{"MeaningFirst",
                    {{"to love", "amo, amare", "3"}, {"the rose", "rosa, -ae", "3"}},
                    {M, L, S}},
        ContentCase{"ThreeColumnsOfPlainWordsAreRefused",
                    {{"amo", "love", "like"}, {"rosa", "rose", "flower"}},
                    {kUntold, kUntold, kUntold}}),
    [](const auto& info) { return std::string(info.param.name); });

struct LatinCase {
    const char* name;
    std::string latin;
    std::string form;
    std::string headword;
};

class LatinCell : public ::testing::TestWithParam<LatinCase> {};

TEST_P(LatinCell, BecomesAnAnswerableHeadwordLine) {
    EXPECT_EQ(HeadwordOfLatin(GetParam().latin, GetParam().form), GetParam().headword);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, LatinCell,
    ::testing::Values(
        LatinCase{"PrincipalParts", "porto, portare, portavi, portatus", "",
                  "porto porto portare portavi portatus"},
        LatinCase{"NounWithGender", "columba, columbae, f", "", "columba columba columbae f"},
        LatinCase{"SemicolonAfterTheWord", "m\xC4\xABlle;", "", "m\xC4\xABlle m\xC4\xABlle"},
        LatinCase{"ColonAfterTheWord", "amo: amare", "", "amo amo amare"},
        LatinCase{"MacronsAndFormsStay", "\xC4\x81 ab abs", "", "\xC4\x81 \xC4\x81 ab abs"},
        LatinCase{"NotesStayWithTheirCommas", "cum (+ abl., rare acc.)", "",
                  "cum cum (+ abl., rare acc.)"},
        LatinCase{"GenderWithSlash", "  civis,  civis, m./f. ", "", "civis civis civis m./f."},
        LatinCase{"EncliticDash", "\xE2\x80\x93ne", "", "ne ne"},
        LatinCase{"TextFormColumn", "porto, portare", "portas,", "portas porto portare"},
        LatinCase{"EmptyCell", " , ", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct MeaningCase {
    const char* name;
    std::string cell;
    bool html;
    std::vector<std::string> meanings;
};

class MeaningCell : public ::testing::TestWithParam<MeaningCase> {};

TEST_P(MeaningCell, BecomesMeaningsAStudentCanType) {
    EXPECT_EQ(MeaningsOfCell(GetParam().cell, GetParam().html), GetParam().meanings);
}

using Strings = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Cells, MeaningCell,
    ::testing::Values(
        MeaningCase{"CommaSemicolonSlash", "from, by; away/off", false,
                    Strings{"from", "by", "away", "off"}},
        MeaningCase{"NoteTakenOut", "with (prep. +abl.)", false, Strings{"with"}},
        MeaningCase{"CommaInsideANoteDoesNotSplit", "(adj.) good, kind [poet., rare]", false,
                    Strings{"good", "kind"}},
        MeaningCase{"NoteThatIsTheWholeMeaningKeepsItsWords", "(a kind of) ; [farewell]", false,
                    Strings{"a kind of", "farewell"}},
        MeaningCase{"BlanksTrimmedAndCollapsed", "  to   carry \t, ", false, Strings{"to carry"}},
        MeaningCase{"LineBreaksAndRepeats", "sing\ncelebrate\nsing", false,
                    Strings{"sing", "celebrate"}},
        MeaningCase{"AnkiBreakAndDiv", "to be<br>to exist<div>to live</div>", true,
                    Strings{"to be", "to exist", "to live"}},
        MeaningCase{"AnkiBreakWithoutHtmlMode", "to be<BR />to exist", false,
                    Strings{"to be", "to exist"}},
        MeaningCase{"AnkiEntitiesDecoded", "<b>salt</b>&nbsp;&amp; wit", true,
                    Strings{"salt & wit"}},
        MeaningCase{"Empty", " ; , ", false, Strings{}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
