// Import in its steps: records (delimited rows, or the lines of a line list) -> the role of
// each column -> a word (the Latin into a headword line, the meaning cells into meanings) ->
// the writer, which hands the words on block by block with what was found in making them.
// Only the first rows are held, to judge the separator and the columns; the rest stream
// through.
#include "Import.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
#include <emmintrin.h>
#endif

#include "Delimited.h"
#include "ImportRules.h"
#include "Text.h"
#include "VocFormat.h"
#include "VocText.h"

namespace {

// The columns of our own exports. Meaning columns are kMeaning1 + 0 to 4.
enum Role : int { kIgnore = -1, kText = 0, kDictionary = 1, kMeaning1 = 2, kBack = 7 };

constexpr std::size_t kMostColumns = 2 + kDefinitionLines;
// Rows looked at before any is written, to judge the separator and the columns.
constexpr std::size_t kSampleRows = 50;
constexpr std::size_t kSampleBytes = 1 << 20;

// The layouts our own exports write, whose columns are taken as they are, so that the round
// trip is exact: the CSV header, and the Anki export's "#columns:" line.
std::optional<std::vector<Role>> RolesOfOurNames(const std::vector<std::string>& names) {
    std::vector<Role> roles;
    for (const auto& name : names) {
        const std::string n = AsciiLower(Trim(name));
        if (n == "text form" || n == "front") {
            roles.push_back(kText);
        } else if (n == "dictionary form") {
            roles.push_back(kDictionary);
        } else if (n == "back") {
            roles.push_back(kBack);
        } else if (n.size() == 9 && n.starts_with("meaning ") && n[8] >= '1' && n[8] <= '5') {
            roles.push_back(static_cast<Role>(kMeaning1 + (n[8] - '1')));
        } else {
            return std::nullopt;
        }
    }
    return roles;
}

bool IsOurHeader(const std::vector<std::string>& fields) {
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) joined += ',';
        joined += fields[i];
    }
    return joined == kCsvHeader;
}

char SeparatorOfName(std::string_view value) {
    const std::string v = AsciiLower(Trim(value));
    if (v == "tab") return '\t';
    if (v == "comma") return ',';
    if (v == "semicolon") return ';';
    if (v == "space") return ' ';
    if (v == "pipe") return '|';
    if (v == "colon") return ':';
    return v.size() == 1 ? v[0] : '\t';
}

bool IsAnkiHeaderLine(std::string_view line) {
    for (std::string_view key : {"#separator:", "#html:", "#columns:", "#notetype", "#deck",
                                 "#tags", "#guid", "#if matches:"}) {
        if (line.starts_with(key)) return true;
    }
    return false;
}

// A field with each line break (CR LF or LF) turned into one blank, as the reader turns those
// inside quotes: a character reference such as "&#10;" must not split a word's line in two,
// which would shift every later line into the wrong word.
std::string BreaksAsBlanks(std::string text) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        text[out++] = text[i] == '\n' ? ' ' : text[i];
    }
    text.resize(out);
    return text;
}

// Copies `n` bytes; inlined for the few bytes of a word or a meaning, for which a call to
// memcpy costs more than the copy.
[[gnu::always_inline]] inline void CopyShort(char* to, const char* from, std::size_t n) {
    const auto move = [&](auto chunk) {
        decltype(chunk) head, tail;  // first and last bytes, overlapping where n is short
        std::memcpy(&head, from, sizeof head);
        std::memcpy(&tail, from + n - sizeof tail, sizeof tail);
        std::memcpy(to, &head, sizeof head);
        std::memcpy(to + n - sizeof tail, &tail, sizeof tail);
    };
    if (n > 16) {
        std::memcpy(to, from, n);
    } else if (n >= 8) {
        move(std::uint64_t{});
    } else if (n >= 4) {
        move(std::uint32_t{});
    } else {
        for (std::size_t i = 0; i < n; ++i) to[i] = from[i];  // a default view's data is null
    }
}

static_assert(kOverread == CDelimitedReader::kOverread);

// Copies `n` bytes 16 at a time, from bytes that may be read, and to bytes that may be written,
// up to 16 past the `n`: a field of the reader's buffer to the bytes written.
[[gnu::always_inline]] inline void CopyOverreading(char* to, const char* from, std::size_t n) {
    static_assert(kOverread == 16);
    for (std::size_t i = 0; i < n; i += 16) {
#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
        // Not memcpy: the compiler saw the loop as one call to it, the call this avoids.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
#else
        std::memcpy(to + i, from + i, 16);
#endif
    }
}

// One row of the input and the line it starts on.
struct Record {
    std::uint64_t line = 0;
    std::vector<std::string> fields;
    bool ascii = false;  // every byte of the row: its fields need no UTF-8 check
};

class CImporter {
public:
    CImporter(const ImportOptions& options, const BlockSink& sink)
        : m_options(options), m_sink(sink) {}

    // Reads the start of the input and settles the separator and the columns. Returns false
    // when the columns cannot be told, having said so: nothing is then read or written.
    bool Start(CDelimitedReader& reader);
    // Takes rows until a block of words has gone to the sink. Returns false at the end.
    bool Step();
    ConvertTotals& Totals() { return m_totals; }
    std::vector<Finding> TakeUnsent() { return std::exchange(m_block.findings, {}); }

private:
    void Report(bool error, Rule rule, std::vector<FindingValue> values = {}) {
        ++(error ? m_totals.errors : m_totals.warnings);
        m_block.findings.push_back({m_line, error, rule, std::move(values)});
    }
    void ReadAnkiHeaders();
    // Takes the next row into m_row (and m_line, m_rowAscii); false at the end of the input.
    bool NextRow();
    bool SettleColumns();
    void Refuse(const std::vector<std::optional<ColumnRole>>& guess);
    // The fields are views, into the reader's buffer where a row is taken as it lies, so that
    // a field is copied only where it must be. A field that must be rewritten (UTF-8 repaired,
    // HTML made text) is rewritten into m_owned, and its view moved there.
    void Row(std::vector<std::string_view>& fields, bool ascii);
    void OurRow(std::vector<std::string_view>& fields);
    void ListRow(std::vector<std::string_view>& fields);
    void Own(std::vector<std::string_view>& fields, std::size_t i, std::string text) {
        m_owned[i] = std::move(text);
        fields[i] = m_owned[i];
        m_rowOverreadable = false;
    }
    // Writes a word whose headword line is `headword`, then a blank and `more` where `more` is
    // not empty, so that the two parts of a row's headword need no joining first. The meanings
    // are views, as the fields are; with `overreadable`, views that may be read past their end
    // (see CDelimitedReader::RowOverreadable).
    template <bool overreadable = false>
    void Write(std::string_view headword, std::string_view more,
               const std::array<std::string_view, kDefinitionLines>& meanings);
    void Flush();

    const ImportOptions& m_options;
    const BlockSink& m_sink;
    ConvertTotals m_totals;
    CDelimitedReader* m_reader = nullptr;
    std::uint64_t m_line = 0;

    Separator m_separator;
    bool m_anki = false;
    bool m_html = false;
    bool m_frontMatter = false;    // inside a line list's front matter
    std::vector<Record> m_sample;  // the first rows, until they are written
    std::size_t m_sampleNext = 0;
    bool m_headerTaken = false;
    // Our layouts (m_ours): the columns of our exports. Every other list: m_columns.
    bool m_ours = false;
    bool m_exact = false;  // our CSV export: every row a word, even an empty one
    std::optional<std::vector<Role>> m_ourRoles;
    // Our layout's seven columns in their order, as text: a row of seven fields is the word's
    // lines as they stand.
    bool m_sevenAsTheyStand = false;
    std::vector<ColumnRole> m_columns;
    MeaningStops m_stops;  // how the list ends its meanings
    // A line list's lines that are not blank, and those without the separator (not headings,
    // comments or rules), with the first of them.
    std::uint64_t m_listLines = 0;
    std::uint64_t m_listUnparted = 0;
    std::uint64_t m_firstUnparted = 0;
    std::vector<std::size_t> m_ignored;  // columns that Anki's header lines set aside
    std::optional<std::size_t> m_notetype;
    std::uint64_t m_firstCloze = 0;
    std::optional<std::vector<ColumnRole>> m_ankiColumns;
    std::optional<std::uint64_t> m_lineOffset;  // of the last word written
    // Kept from row to row so that a row allocates nothing.
    std::vector<std::string_view> m_row;
    bool m_rowAscii = false;
    bool m_rowOverreadable = false;
    std::vector<std::string> m_listFields;  // a line list's fields, which m_row points into
    std::vector<std::string> m_owned;
    std::vector<Role> m_rowRoles;
    std::array<std::string, kDefinitionLines> m_meanings;
    std::string m_headword;
    std::string m_latin;
    // Words are handed to the sink in blocks, so that a word costs no call of its own.
    WordBlock m_block;
    CBytes& m_out = m_block.bytes;
};

// The highest column an Anki header line may name; no note has more fields.
constexpr long kMostAnkiColumn = 1000;

// As many bytes as the file layer writes as they are given.
constexpr std::size_t kOutBlock = 1 << 18;

void CImporter::ReadAnkiHeaders() {
    std::string line;
    std::string columns;
    while (m_reader->NextLineStartsWith('#') && m_reader->ReadRawLine(line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = AsciiLower(Trim(std::string_view(line).substr(1, colon - 1)));
        const std::string_view value = std::string_view(line).substr(colon + 1);
        if (key == "separator") {
            m_separator.delimiter = SeparatorOfName(value);
        } else if (key == "html") {
            m_html = AsciiLower(Trim(value)) == "true";
        } else if (key == "columns") {
            columns = value;
        } else if (key.ends_with(" column")) {
            // A number past what strtol holds comes back as its largest or smallest value;
            // the range is checked before any sum, so such a number is as one that is no
            // number: the line is passed over.
            const std::string number(Trim(value));
            const long n = std::strtol(number.c_str(), nullptr, 10);
            if (n < 1 || n > kMostAnkiColumn) continue;
            const auto column = static_cast<std::size_t>(n) - 1;
            if (std::find(m_ignored.begin(), m_ignored.end(), column) == m_ignored.end()) {
                m_ignored.push_back(column);
                if (key == "notetype column") m_notetype = column;
            }
        }
    }
    if (!columns.empty()) {
        std::vector<std::string> names;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = columns.find(m_separator.delimiter, start);
            names.emplace_back(columns.substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
        m_ourRoles = RolesOfOurNames(names);
        m_ours = m_ourRoles.has_value();
        if (!m_ours) m_ankiColumns = RolesOfHeader(names);
    }
}

bool CImporter::NextRow() {
    if (m_separator.lineList.empty()) {
        if (!m_reader->Next(m_row)) return false;
        while (const std::uint64_t quote = m_reader->QuoteLeftOpen()) {
            m_line = quote;
            ++m_totals.rows;
            Report(true, Rule::kQuoteNotClosed,
                   {FindingValue::Number(CDelimitedReader::kQuotedLines),
                    FindingValue::Number(CDelimitedReader::kQuotedBytes)});
            if (!m_reader->Next(m_row)) return false;
        }
        m_line = m_reader->RowLine();
        m_rowAscii = m_reader->RowAscii();
        m_rowOverreadable = m_reader->RowOverreadable();
        return true;
    }
    m_rowAscii = false;
    m_rowOverreadable = false;
    std::string line;
    while (m_reader->ReadRawLine(line)) {
        m_line = m_reader->RowLine();
        const std::string_view trimmed = Trim(line);
        // Front matter: a "---" fence on the first line, up to the next fence.
        if (trimmed == "---" && (m_line == 1 || m_frontMatter)) {
            m_frontMatter = !m_frontMatter;
            ++m_totals.rows;
            ++m_totals.notWords;
            continue;
        }
        if (!m_frontMatter && !trimmed.empty()) ++m_listLines;
        if (m_frontMatter || IsNonWordLine(trimmed) ||
            trimmed.find(m_separator.lineList) == std::string_view::npos) {
            if (!m_frontMatter && !IsNonWordLine(trimmed) && m_listUnparted++ == 0) {
                m_firstUnparted = m_line;
            }
            ++m_totals.rows;
            ++m_totals.notWords;
            continue;
        }
        std::string_view text = trimmed;
        for (std::string_view bullet : {"- ", "* ", "+ ", "\xE2\x80\xA2 "}) {
            if (text.starts_with(bullet)) text.remove_prefix(bullet.size());
        }
        SplitLine(text, m_separator.lineList, m_listFields);
        for (std::string& field : m_listFields) {
            if (field.find_first_of("*_") != std::string::npos) {
                field = std::string(Trim(WithoutEmphasis(field)));
            }
        }
        m_row.assign(m_listFields.begin(), m_listFields.end());
        return true;
    }
    return false;
}

bool CImporter::Start(CDelimitedReader& reader) {
    m_reader = &reader;
    m_out.Reserve(kOutBlock + 4 * kVocLineBytes);
    reader.SkipPrefix("\xEF\xBB\xBF");
    ImportFormat format = m_options.format;
    if (format == ImportFormat::kAnki ||
        (format == ImportFormat::kAuto && IsAnkiHeaderLine(reader.PeekLine()))) {
        m_anki = true;
        m_separator.delimiter = '\t';
        ReadAnkiHeaders();
    } else if (format == ImportFormat::kAuto && m_options.separator.empty() &&
               reader.PeekLine().starts_with(kCsvHeader) &&
               Trim(reader.PeekLine().substr(sizeof kCsvHeader - 1)).find_first_not_of('\r') ==
                   std::string_view::npos) {
        m_separator.delimiter = ',';  // our export, whatever its words hold
    } else if (!m_options.separator.empty()) {
        const std::string& s = m_options.separator;
        const std::string named = AsciiLower(s);
        if (s.size() == 1 || named == "tab" || named == "comma" || named == "semicolon" ||
            named == "pipe" || named == "space" || named == "colon") {
            m_separator.delimiter = SeparatorOfName(s);
        } else {
            m_separator.lineList = s;
        }
    } else if (format == ImportFormat::kTsv) {
        m_separator.delimiter = '\t';
    } else if (format == ImportFormat::kCsv) {
        m_separator.delimiter = ',';
    } else {
        m_separator = GuessSeparator(reader.PeekStart());
        if (format == ImportFormat::kLines && m_separator.lineList.empty()) {
            m_separator.lineList = " - ";
        }
    }
    reader.SetSeparator(m_separator.delimiter);

    std::size_t bytes = 0;
    while (m_sample.size() < kSampleRows && bytes < kSampleBytes && NextRow()) {
        for (const auto& field : m_row) bytes += field.size() + 16;
        m_sample.push_back({m_line, {m_row.begin(), m_row.end()}, m_rowAscii});
    }
    if (!SettleColumns()) return false;
    if (!m_ours) {
        std::vector<std::string_view> meaningCells;
        for (const auto& r : m_sample) {
            for (std::size_t i = 0; i < r.fields.size() && i < m_columns.size(); ++i) {
                if (m_columns[i] == ColumnRole::kMeaning) meaningCells.push_back(r.fields[i]);
            }
        }
        m_stops = StopsOfMeanings(meaningCells);
    }
    const std::vector<Role> seven{kText,
                                  kDictionary,
                                  kMeaning1,
                                  Role(kMeaning1 + 1),
                                  Role(kMeaning1 + 2),
                                  Role(kMeaning1 + 3),
                                  Role(kMeaning1 + 4)};
    m_sevenAsTheyStand =
        m_ours && !m_html && (m_ourRoles ? *m_ourRoles == seven : m_ignored.empty());
    return true;
}

bool CImporter::SettleColumns() {
    if (m_ours) return true;
    const std::vector<std::string>* first = m_sample.empty() ? nullptr : &m_sample[0].fields;
    if (first && IsOurHeader(*first)) {
        m_ours = m_exact = m_headerTaken = true;
        m_ourRoles = RolesOfOurNames(*first);
        return true;
    }
    // The rows as their content is judged: the columns Anki sets aside left out.
    std::vector<std::vector<std::string>> rows;
    std::size_t width = 0;
    bool sevenWide = !m_sample.empty();
    for (const auto& r : m_sample) {
        std::vector<std::string> kept;
        for (std::size_t i = 0; i < r.fields.size(); ++i) {
            if (std::find(m_ignored.begin(), m_ignored.end(), i) == m_ignored.end()) {
                kept.push_back(r.fields[i]);
            }
        }
        width = std::max(width, kept.size());
        // Our seven columns without their header: a text form of one word, then the rest.
        sevenWide =
            sevenWide && kept.size() == kMostColumns && kept[0].find(' ') == std::string::npos;
        rows.push_back(std::move(kept));
    }
    const auto header = first ? RolesOfHeader(*first) : std::nullopt;
    // A first row that stands out from the rows below (a name over numbers or codes, or over
    // dictionary entries beside a known name) is a header too, whatever its names.
    const bool contrast =
        !header && !m_ankiColumns && m_ignored.empty() && IsHeaderByContrast(rows);
    m_headerTaken = header.has_value() || contrast;
    if (!m_options.columns.empty()) {
        m_columns = ParseColumnRoles(m_options.columns).value_or(std::vector<ColumnRole>{});
        return true;
    }
    if (m_ankiColumns) {
        m_columns = *m_ankiColumns;
        return true;
    }
    std::vector<std::optional<ColumnRole>> guess;
    bool guessed = false;  // a role given by elimination, not by what the column holds
    if (m_headerTaken) {
        // The names that tell a role; the columns they do not, by the content below them.
        const std::vector<std::vector<std::string>> below(rows.begin() + 1, rows.end());
        const std::vector<std::optional<ColumnRole>> content = RolesOfContent(below);
        for (std::size_t i = 0; i < first->size(); ++i) {
            const std::string_view name = Trim((*first)[i]);
            std::optional<ColumnRole> role = name.empty() ? std::nullopt : RoleOfHeaderName(name);
            if (!role && i < content.size()) role = content[i];
            guess.push_back(role);
        }
        for (std::size_t i = first->size(); i < content.size(); ++i) guess.push_back(content[i]);
    } else {
        guess = RolesOfContent(rows, &guessed);
        if (width <= 2) {
            // A card: Latin, then meanings, unless the content plainly says the other way round.
            const std::vector<std::optional<ColumnRole>> reversed{ColumnRole::kMeaning,
                                                                  ColumnRole::kLatin};
            if (guess != reversed) guess = {ColumnRole::kLatin, ColumnRole::kMeaning};
        }
    }
    const bool latin = std::count(guess.begin(), guess.end(), ColumnRole::kLatin) > 0 ||
                       std::count(guess.begin(), guess.end(), ColumnRole::kForm) > 0;
    const bool meaning = std::count(guess.begin(), guess.end(), ColumnRole::kMeaning) > 0;
    const bool untold = std::count(guess.begin(), guess.end(), std::nullopt) > 0;
    if (!m_headerTaken && !(latin && meaning && !untold) && sevenWide &&
        m_separator.lineList.empty()) {
        m_ours = true;
        return true;
    }
    if (!latin || !meaning) {
        Refuse(guess);
        return false;
    }
    if (std::count(guess.begin(), guess.end(), ColumnRole::kLatin) == 0) {
        // A text form and meanings only: the form is all the Latin there is.
        std::replace(guess.begin(), guess.end(), std::optional(ColumnRole::kForm),
                     std::optional(ColumnRole::kLatin));
    }
    // Where the Latin and a meaning are known, a column whose role cannot be told is set
    // aside, and the user told which and how to take it in.
    m_line = m_sample.empty() ? 1 : m_sample[0].line;
    for (std::size_t i = 0; i < guess.size(); ++i) {
        if (guess[i]) continue;
        const std::string name(m_headerTaken && i < first->size() ? Trim((*first)[i]) : "");
        if (name.empty()) {
            Report(false, Rule::kUnnamedColumnSetAside, {FindingValue::Number(i + 1)});
        } else {
            Report(false, Rule::kColumnSetAside,
                   {FindingValue::Number(i + 1), FindingValue::Text(name)});
        }
    }
    if (guessed) {
        // A role given by elimination: said in one line, with the roles used to give instead.
        std::string told;
        for (const auto& role : guess) {
            if (!told.empty()) told += ',';
            told += RoleName(role.value_or(ColumnRole::kSkip));
        }
        Report(false, Rule::kRolesGuessed, {FindingValue::Text(told)});
    }
    for (std::size_t i = 0, kept = 0; kept < guess.size(); ++i) {
        if (std::find(m_ignored.begin(), m_ignored.end(), i) != m_ignored.end()) {
            m_columns.push_back(ColumnRole::kSkip);
        } else {
            m_columns.push_back(guess[kept++].value_or(ColumnRole::kSkip));
        }
    }
    return true;
}

void CImporter::Refuse(const std::vector<std::optional<ColumnRole>>& guess) {
    m_totals.refused = true;
    m_line = m_sample.empty() ? 1 : m_sample[0].line;
    // The first row's fields, then what could be told of their roles.
    std::vector<FindingValue> values;
    std::string told;
    const std::vector<std::string> none;
    const auto& fields = m_sample.empty() ? none : m_sample[0].fields;
    for (std::size_t i = 0; i < fields.size() && i < kMostJudgedColumns; ++i) {
        values.push_back(FindingValue::Text(fields[i]));
        if (i > 0) told += ',';
        told += i < guess.size() && guess[i] ? RoleName(*guess[i]) : "?";
    }
    values.push_back(FindingValue::Text(told));
    Report(true, Rule::kColumnsUntold, std::move(values));
}

bool CImporter::Step() {
    while (m_out.size() < kOutBlock) {
        if (m_sampleNext < m_sample.size()) {
            Record& r = m_sample[m_sampleNext++];
            m_line = r.line;
            const bool header = m_sampleNext == 1 && m_headerTaken;
            if (!header) {
                m_row.assign(r.fields.begin(), r.fields.end());
                m_rowOverreadable = false;
                Row(m_row, r.ascii);
            }
            if (m_sampleNext == m_sample.size()) m_sample = {};  // held no longer than needed
            continue;
        }
        if (m_sevenAsTheyStand && !m_anki && m_separator.lineList.empty()) {
            // The plain rows of our own layout, taken where they lie, as Row would take them;
            // a row whose first field is blank (perhaps all are) is left to Row.
            m_reader->TakePlainRows<kMostColumns>([this](const auto& f, std::uint64_t line) {
                if (m_out.size() >= kOutBlock || f[0].empty() || f[0][0] == ' ' ||
                    f[0][0] == '\t') {
                    return false;
                }
                m_line = line;
                ++m_totals.rows;
                Write<true>(f[0], f[1], {f[2], f[3], f[4], f[5], f[6]});
                return true;
            });
            if (m_out.size() >= kOutBlock) break;
        }
        if (!NextRow()) {
            if (m_totals.cloze > 0) {
                m_line = m_firstCloze;
                Report(false, Rule::kClozeLeftOut, {FindingValue::Number(m_totals.cloze)});
            }
            if (m_totals.words > 0 && m_listUnparted * 4 > m_listLines) {
                // Most likely not a line list parted so: what was written is not sure.
                m_line = m_firstUnparted;
                Report(true, Rule::kLinesWithoutSeparator,
                       {FindingValue::Number(m_listUnparted), FindingValue::Number(m_listLines),
                        FindingValue::Text(m_separator.lineList)});
            }
            Flush();
            return false;
        }
        Row(m_row, m_rowAscii);
    }
    Flush();
    return true;
}

void CImporter::Row(std::vector<std::string_view>& fields, bool ascii) {
    ++m_totals.rows;
    if (m_owned.size() < fields.size()) m_owned.resize(fields.size());
    for (std::size_t i = 0; i < fields.size() && !ascii; ++i) {
        if (!IsValidUtf8(fields[i])) Own(fields, i, TextAsUtf8(fields[i]));
    }
    if (m_anki) {
        const bool cloze = std::any_of(fields.begin(), fields.end(),
                                       [](std::string_view f) { return IsCloze(f); }) ||
                           (m_notetype && *m_notetype < fields.size() &&
                            AsciiLower(fields[*m_notetype]).find("cloze") != std::string::npos);
        if (cloze) {
            if (m_totals.cloze++ == 0) m_firstCloze = m_line;
            return;
        }
    }
    if (std::all_of(fields.begin(), fields.end(), IsBlankText)) {
        if (m_exact) {
            // In an export of ours, a word whose lines are all empty.
            Write("", "", {});
        } else {
            ++m_totals.notWords;
        }
        return;
    }
    if (m_ours) return OurRow(fields);
    ListRow(fields);
}

void CImporter::ListRow(std::vector<std::string_view>& fields) {
    for (std::size_t i = m_columns.size(); i < fields.size(); ++i) {
        if (!Trim(fields[i]).empty() &&
            std::find(m_ignored.begin(), m_ignored.end(), i) == m_ignored.end()) {
            return Report(
                true, Rule::kTooManyColumns,
                {FindingValue::Number(fields.size()), FindingValue::Number(m_columns.size())});
        }
    }
    std::string& latin = m_latin;
    latin.clear();
    std::string_view form;
    bool picture = false;
    bool meaningPicture = false;
    std::vector<std::string> meanings;
    for (std::size_t i = 0; i < fields.size() && i < m_columns.size(); ++i) {
        const ColumnRole role = m_columns[i];
        if (role == ColumnRole::kSkip) continue;
        const bool onlyPicture = m_html && IsOnlyPicture(fields[i]);
        if (role == ColumnRole::kMeaning) {
            meaningPicture = meaningPicture || onlyPicture;
            for (auto& m : MeaningsOfCell(fields[i], m_html)) meanings.push_back(std::move(m));
            continue;
        }
        picture = picture || onlyPicture;
        if (m_html) Own(fields, i, BreaksAsBlanks(HtmlToText(fields[i])));
        const std::string_view cell = Trim(fields[i]);
        if (cell.empty() || cell == "-" || cell == "--") continue;
        if (role == ColumnRole::kForm) {
            if (form.empty()) form = cell;
            continue;
        }
        if (!latin.empty()) latin += ", ";
        latin += cell;
    }
    if (latin.empty()) latin = form;
    const std::string headword = HeadwordOfLatin(latin, form);
    if (headword.empty()) {
        return Report(true, picture ? Rule::kLatinOnlyPicture : Rule::kNoLatin);
    }
    if (meanings.empty()) {
        return Report(true, meaningPicture ? Rule::kMeaningOnlyPicture : Rule::kNoMeaningInRow);
    }
    if (m_stops.dropped) {
        for (auto& m : meanings) DropEndingStop(m, m_stops);
        for (std::size_t i = 1; i < meanings.size();) {
            if (std::find(meanings.begin(), meanings.begin() + static_cast<std::ptrdiff_t>(i),
                          meanings[i]) != meanings.begin() + static_cast<std::ptrdiff_t>(i)) {
                meanings.erase(meanings.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
    }
    if (meanings.size() > kDefinitionLines) {
        std::string rest;
        for (std::size_t i = kDefinitionLines; i < meanings.size() && rest.size() < 200; ++i) {
            if (!rest.empty()) rest += "; ";
            rest += meanings[i];
        }
        if (rest.size() > 200) {
            std::size_t cut = 200;  // at a character's start
            while (cut > 0 && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) --cut;
            rest.resize(cut);
            rest += "...";
        }
        Report(false, Rule::kTooManyMeanings,
               {FindingValue::Number(meanings.size()), FindingValue::Text(std::move(rest))});
    }
    for (std::size_t i = 0; i < kDefinitionLines; ++i) {
        m_meanings[i] = i < meanings.size() ? std::move(meanings[i]) : std::string();
    }
    std::array<std::string_view, kDefinitionLines> views;
    std::copy(m_meanings.begin(), m_meanings.end(), views.begin());
    Write(headword, "", views);
}

// The columns of our own exports, taken as they are.
void CImporter::OurRow(std::vector<std::string_view>& fields) {
    if (m_sevenAsTheyStand && fields.size() == kMostColumns) {
        static_assert(kMostColumns == 7);
        const std::array<std::string_view, kDefinitionLines> meanings{
            fields[2], fields[3], fields[4], fields[5], fields[6]};
        return m_rowOverreadable ? Write<true>(fields[0], fields[1], meanings)
                                 : Write(fields[0], fields[1], meanings);
    }
    if (m_html) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            Own(fields, i, BreaksAsBlanks(HtmlToText(fields[i])));
        }
    }
    // The named columns are read where they are: a copy per row cost more than its use.
    const std::vector<Role>& roles = m_ourRoles ? *m_ourRoles : m_rowRoles;
    m_rowRoles.clear();
    if (m_ourRoles) {
        for (std::size_t i = roles.size(); i < fields.size(); ++i) {
            if (!Trim(fields[i]).empty()) {
                return Report(
                    true, Rule::kTooManyColumns,
                    {FindingValue::Number(fields.size()), FindingValue::Number(roles.size())});
            }
        }
    } else {
        Role next = kText;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (std::find(m_ignored.begin(), m_ignored.end(), i) != m_ignored.end() ||
                next >= kBack) {
                m_rowRoles.push_back(kIgnore);
            } else {
                m_rowRoles.push_back(next);
                next = static_cast<Role>(next + 1);
            }
        }
    }

    std::optional<std::string_view> text, dictionary, back;
    std::array<std::string_view, kDefinitionLines> meanings{};
    for (std::size_t i = 0; i < fields.size() && i < roles.size(); ++i) {
        const Role role = roles[i];
        if (role == kText) {
            text = fields[i];
        } else if (role == kDictionary) {
            dictionary = fields[i];
        } else if (role == kBack) {
            back = fields[i];
        } else if (role >= kMeaning1 && role < kMeaning1 + kDefinitionLines) {
            meanings[role - kMeaning1] = fields[i];
        }
    }
    if (back) {
        std::size_t count = 0;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = back->find(';', start);
            const std::string_view piece = Trim(back->substr(start, end - start));
            if (!piece.empty()) {
                if (count < kDefinitionLines) meanings[count] = piece;
                ++count;
            }
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
        if (count == 0) return Report(true, Rule::kNoMeaningInRow);
    }

    if (!dictionary) {
        const std::string_view front = Trim(text.value_or(""));
        if (front.empty()) return Report(true, Rule::kNoLatin);
        m_headword = BaseWord(front);
        return Write(m_headword, front, meanings);
    }
    Write(text.value_or(""), *dictionary, meanings);
}

template <bool overreadable>
void CImporter::Write(std::string_view headword, std::string_view more,
                      const std::array<std::string_view, kDefinitionLines>& meanings) {
    const std::uint64_t word = m_totals.words;
    const std::uint64_t offset = m_line - std::min(m_line, word);
    if (m_lineOffset != offset) {
        m_block.lineSteps.emplace_back(word, offset);
        m_lineOffset = offset;
    }
    // Sized once and copied into, so that no line's append checks the room again.
    std::size_t size = headword.size() + (more.empty() ? 0 : more.size() + 1) + 2;
    for (const auto& m : meanings) size += m.size() + 2;
    char* to = m_out.Extend(size);
    const auto copy = [&to](std::string_view text) {
        if constexpr (overreadable) {
            CopyOverreading(to, text.data(), text.size());
        } else {
            CopyShort(to, text.data(), text.size());
        }
        to += text.size();
    };
    const auto put = [&](std::string_view line) {
        copy(line);
        *to++ = '\r';
        *to++ = '\n';
    };
    copy(headword);
    if (!more.empty()) {
        *to++ = ' ';
        copy(more);
    }
    put({});
    for (const auto& m : meanings) put(m);
    ++m_totals.words;
}

void CImporter::Flush() {
    if (m_out.empty() && m_block.findings.empty() && m_block.lineSteps.empty()) return;
    m_sink(std::move(m_block));
    // The bytes of a block that the sink is done with, left for the next: a new block's pages
    // would each be a fault and a page of zeros.
    CBytes bytes = std::move(m_block.bytes);
    bytes.clear();
    m_block = {};
    m_out = std::move(bytes);
    m_out.Reserve(kOutBlock + 4 * kVocLineBytes);
}

}  // namespace

struct CListImporter::State {
    State(std::streambuf& in, const ImportOptions& options, const BlockSink& sink)
        : reader(in), importer(options, sink) {}
    CDelimitedReader reader;
    CImporter importer;
};

CListImporter::CListImporter(std::streambuf& in, const ImportOptions& options, BlockSink sink)
    : m_options(options),
      m_sink(std::move(sink)),
      m_state(std::make_unique<State>(in, m_options, m_sink)) {}

CListImporter::~CListImporter() = default;

bool CListImporter::Start() { return m_state->importer.Start(m_state->reader); }
bool CListImporter::Step() { return m_state->importer.Step(); }
ConvertTotals& CListImporter::Totals() { return m_state->importer.Totals(); }
std::vector<Finding> CListImporter::TakeUnsent() { return m_state->importer.TakeUnsent(); }
