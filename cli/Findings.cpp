#include "Findings.h"

#include <algorithm>
#include <cstdio>
#include <istream>
#include <ostream>

#include "Tr.h"

namespace {

// Lines named for a finding that many rows share.
constexpr std::size_t kLinesNamed = 5;

// The text of each rule, as the catalog knows it: a format whose values are the finding's in
// order, or a singular and plural pair whose count is the finding's first value.
struct RuleText {
    Rule rule;
    const char* format;
    const char* plural = nullptr;
};

constexpr RuleText kRuleTexts[] = {
    {Rule::kLineTooLong,
     N_("line of %s bytes: the tests read only the first %s, so this word can never be answered "
        "right; shorten it")},
    {Rule::kNotUtf8, N_("not UTF-8: read as Windows-1252; save the file as UTF-8")},
    {Rule::kByteOrderMark,
     N_("the file starts with a byte-order mark, which becomes part of the first text form; save "
        "the file as UTF-8 without one")},
    {Rule::kLongLine, N_("line of %s characters: far longer than a word or a short phrase")},
    {Rule::kEmptyHeadword,
     N_("empty headword line: there is no word to ask; write the text form, a blank and the "
        "dictionary form")},
    {Rule::kNoBlank,
     N_("no blank in the headword line: the whole line is taken as both the text form and the "
        "dictionary form")},
    {Rule::kEmptyTextForm,
     N_("the text form is empty (the line starts with a blank): Latin to English and Word Parts "
        "show nothing to answer")},
    {Rule::kEmptyDictionaryForm,
     N_("the dictionary form is empty: English to Latin and Word Parts take only an empty answer "
        "as right")},
    {Rule::kEmptyBaseWord,
     N_("two blanks after the text form: the base word is empty, so English to Latin and Word "
        "Parts take only an empty answer as right")},
    {Rule::kCapitalInBase,
     N_("the base word \"%s\" holds a capital letter: Word Parts keeps what is typed, so it is "
        "right there only when typed with the capital")},
    {Rule::kControlInBase, N_("the base word holds %s, which cannot be typed")},
    {Rule::kControlInHeadword, N_("the headword line holds %s")},
    {Rule::kHeadwordEndsInBlank, N_("the headword line ends with a blank")},
    {Rule::kDoubledBlank, N_("doubled blank in the dictionary form")},
    {Rule::kTextFormPunctuation,
     N_("the text form \"%s\" ends in ',', ';' or ':', left over from a list; remove it")},
    {Rule::kBasePunctuation,
     N_("the base word \"%s\" ends in ',', ';' or ':', so only an answer with it is right")},
    {Rule::kSameTextForm, N_("same text form as line %s")},
    {Rule::kMeaningControl,
     N_("meaning %s holds %s, which cannot be typed, so it can never be matched")},
    {Rule::kMeaningStartsBlank,
     N_("meaning %s starts with a blank: only an answer that starts with the same blank is "
        "right")},
    {Rule::kMeaningEndsBlank,
     N_("meaning %s ends with a blank: only an answer that ends with the same blank is right")},
    {Rule::kMeaningDoubledBlank,
     N_("meaning %s holds a doubled blank: only an answer with the same two blanks is right")},
    {Rule::kMeaningNote,
     N_("meaning %s holds a note in brackets, which the answer would have to repeat; move the "
        "note out of the meaning")},
    {Rule::kMeaningComma,
     N_("meaning %s holds ',' or ';': likely several meanings in one line, each of which would "
        "have to be typed with the others")},
    {Rule::kMeaningGap,
     N_("meaning %s is empty before a filled one: the tests show the gap as blanks; move the "
        "meanings up")},
    {Rule::kEmptyAtEnd,
     N_("empty line after the last word: the tests would ask an empty word; remove the empty "
        "lines at the end")},
    {Rule::kCutShort,
     N_("the last word is cut short: it has %s of its 6 lines; add the missing meaning lines "
        "(empty lines will do)")},
    {Rule::kNoMeaning, N_("no meaning: all five meaning lines are empty")},
    {Rule::kNoTypableMeaning,
     N_("no meaning can be answered: each one holds a character that cannot be typed")},
    {Rule::kFirstMeaningsEmpty,
     N_("meanings 1 to 3 are empty: English to Latin shows only those three, so it asks this "
        "word with nothing to read; move the meanings up")},
    {Rule::kNoLineEnd, N_("the last line has no line end")},
    {Rule::kLfOnly, NP_("%lu line ends in LF alone, the first here; the program writes CR LF",
                        "%lu lines end in LF alone, the first here; the program writes CR LF")},
    {Rule::kQuoteNotClosed,
     N_("a quote opened on this line is not closed within %s lines or %s bytes; row left out, "
        "and reading goes on at the next line")},
    {Rule::kColumnsUntold,
     N_("the role of each column cannot be told from the content; give it with --columns, one "
        "of form, latin, meaning or skip for each column in order. The first row, column by "
        "column:")},
    {Rule::kClozeLeftOut,
     NP_("an Anki cloze note was left out: it is not a word with its meanings",
         "%lu Anki cloze notes were left out, the first here: they are not words with their "
         "meanings")},
    {Rule::kTooManyColumns, N_("the row has %s columns, more than the %s named; row left out")},
    {Rule::kLatinOnlyPicture,
     N_("the Latin is only a picture, which cannot be asked; row left out")},
    {Rule::kNoLatin, N_("no Latin in this row; row left out")},
    {Rule::kMeaningOnlyPicture,
     N_("the meaning is only a picture, which cannot be typed; row left out")},
    {Rule::kNoMeaningInRow, N_("no meaning in this row; row left out")},
    {Rule::kTooManyMeanings,
     N_("%s meanings, more than the five a word holds: the first five were kept, and these left "
        "out: %s")},
    {Rule::kColumnSetAside,
     N_("column %s (%s) was set aside: what it holds cannot be told; to use it, give each "
        "column's role with --columns (form, latin, meaning or skip, in order)")},
    {Rule::kUnnamedColumnSetAside,
     N_("column %s was set aside: what it holds cannot be told; to use it, give each column's "
        "role with --columns (form, latin, meaning or skip, in order)")},
    {Rule::kRolesGuessed,
     N_("the role of a column was guessed from the others: --columns %s; if that is not right, "
        "give each column's role with --columns")},
    {Rule::kLinesWithoutSeparator,
     N_("%s of %s lines do not hold the separator \"%s\" and were left out as not words; if the "
        "list parts its words otherwise, give the separator with --separator")},
    {Rule::kConvertedFromCp1252, N_("not UTF-8: converted from Windows-1252")},
    {Rule::kMissingMeanings,
     N_("the last word is cut short: its missing meanings were taken as empty")},
    {Rule::kEmptyLinesLeftOut, N_("empty lines after the last word were left out")},
};

const RuleText& TextOf(Rule rule) {
    const auto it = std::find_if(std::begin(kRuleTexts), std::end(kRuleTexts),
                                 [rule](const RuleText& t) { return t.rule == rule; });
    return *it;  // every rule has its text: a test goes through them all
}

// A character that cannot be typed, as the object of "... holds %s": translators give the
// form that fits there.
std::string NameOf(char32_t c) {
    switch (c) {
        case 0x00:
            return _("a NUL byte");
        case 0x09:
            return _("a tab");
        case 0x0D:
            return _("a carriage return (CR)");
        default: {
            char code[16];
            std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(c));
            return tr::Format(_("the control character U+%s"), {code});
        }
    }
}

std::string ValueText(const FindingValue& value) {
    switch (value.kind) {
        case FindingValue::Kind::kNumber:
            return std::to_string(value.number);
        case FindingValue::Kind::kCharacter:
            return NameOf(static_cast<char32_t>(value.number));
        case FindingValue::Kind::kText:
            break;
    }
    return value.text;
}

// Which findings are the same: the rule, and every value, told apart whatever they hold.
std::string GroupKey(const Finding& f) {
    std::string key{f.error ? 'e' : 'w', static_cast<char>(f.rule)};
    for (const auto& v : f.values) {
        key += static_cast<char>(v.kind);
        key += std::to_string(v.kind == FindingValue::Kind::kText ? v.text.size() : v.number);
        key += ':';
        key += v.text;
    }
    return key;
}

void PrintFrame(std::ostream& out, const std::string& name, const Finding& f) {
    out << name << ':' << f.line << (f.error ? ": error: " : ": warning: ");
}

// What follows the first line of a finding that brings more: the first row, column by column,
// and the roles told of it.
void PrintMore(std::ostream& out, const Finding& f) {
    if (f.rule != Rule::kColumnsUntold || f.values.empty()) return;
    for (std::size_t i = 0; i + 1 < f.values.size(); ++i) {
        out << "  " << (i + 1) << ": " << f.values[i].text << '\n';
    }
    out << tr::Format(_("Told so far (? where it cannot be told): --columns %s"),
                      {f.values.back().text})
        << '\n';
}

}  // namespace

std::string FindingText(const Finding& f) {
    const RuleText& text = TextOf(f.rule);
    if (f.rule == Rule::kColumnsUntold) return _(text.format);  // its values come after it
    std::vector<std::string> values;
    for (const auto& v : f.values) values.push_back(ValueText(v));
    if (text.plural) {
        const unsigned long count = f.values.empty() ? 0 : f.values[0].number;
        return tr::Plural(text.format, text.plural, count);
    }
    return tr::Format(_(text.format), values);
}

void PrintFinding(std::ostream& out, const std::string& name, const Finding& f) {
    PrintFrame(out, name, f);
    out << FindingText(f) << '\n';
    PrintMore(out, f);
}

void CFindingGroups::Take(Finding&& finding) {
    std::string key = GroupKey(finding);
    auto it = m_index.find(key);
    if (it == m_index.end()) {
        it = m_index.emplace(std::move(key), m_groups.size()).first;
        m_groups.push_back({std::move(finding), 0, {}});
    }
    Group& group = m_groups[it->second];
    if (group.lines.size() < kLinesNamed) group.lines.push_back(finding.line);
    ++group.count;
}

void CFindingGroups::Finish() {
    std::stable_sort(m_groups.begin(), m_groups.end(), [](const Group& a, const Group& b) {
        return a.finding.line < b.finding.line;
    });
    for (const auto& group : m_groups) Print(group);
    m_groups.clear();
    m_index.clear();
}

void CFindingGroups::Print(const Group& group) {
    std::string text = FindingText(group.finding);
    if (group.count > 1) {
        std::string lines;
        for (std::size_t i = 0; i < group.lines.size(); ++i) {
            if (i > 0) lines += ", ";
            lines += std::to_string(group.lines[i]);
        }
        const std::vector<std::string> values{text, std::to_string(group.count), lines};
        text = group.count > group.lines.size()
                   ? P_("%s (the same on %s row, the first on lines %s, ...)",
                        "%s (the same on %s rows, the first on lines %s, ...)", group.count, values)
                   : P_("%s (the same on %s row, on lines %s)",
                        "%s (the same on %s rows, on lines %s)", group.count, values);
    }
    PrintFrame(m_out, m_name, group.finding);
    m_out << text << '\n';
    PrintMore(m_out, group.finding);
}

CheckTotals CheckVoc(std::streambuf& in, const std::string& name, std::ostream& out) {
    CFindingPrinter printer(out, name);
    const CheckTotals totals = CheckWords(in, printer);
    // Three counts, each with its own plural form: no language can put three in one format.
    out << name << ": " << P_("%lu word", "%lu words", totals.words) << ", "
        << P_("%lu error", "%lu errors", totals.errors) << ", "
        << P_("%lu warning", "%lu warnings", totals.warnings) << '\n';
    return totals;
}

CheckTotals CheckVocStream(std::istream& in, const std::string& name, std::ostream& out) {
    return CheckVoc(*in.rdbuf(), name, out);
}

ConvertTotals ExportVoc(std::streambuf& in, const std::string& name, bool anki,
                        const ByteSink& sink, std::ostream& diagnostics) {
    CFindingPrinter printer(diagnostics, name);
    return ExportWords(in, anki, sink, printer);
}

ConvertTotals ImportDelimitedStream(std::istream& in, const std::string& name,
                                    const ImportOptions& options, const ByteSink& sink,
                                    std::ostream& diagnostics) {
    return ImportDelimited(*in.rdbuf(), name, options, sink, diagnostics);
}
