// Import in its steps: records (delimited rows, or the lines of a line list) -> the role of
// each column -> a word (the Latin into a headword line, the meaning cells into meanings) ->
// the writer, whose words check's rules read as they are written. Only the first rows are
// held, to judge the separator and the columns; the rest stream through.
#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <istream>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
#include <emmintrin.h>
#endif

#include "Check.h"
#include "Convert.h"
#include "Delimited.h"
#include "ImportRules.h"
#include "Tr.h"
#include "VocFormat.h"
#include "VocText.h"

namespace {

// The columns of our own exports. Meaning columns are kMeaning1 + 0 to 4.
enum Role : int { kIgnore = -1, kText = 0, kDictionary = 1, kMeaning1 = 2, kBack = 7 };

constexpr std::size_t kMostColumns = 2 + kDefinitionLines;
// Rows looked at before any is written, to judge the separator and the columns.
constexpr std::size_t kSampleRows = 50;
constexpr std::size_t kSampleBytes = 1 << 20;
// Distinct findings held to be reported with their count; past them, findings are printed at
// once, so that memory stays bounded whatever the input.
constexpr std::size_t kHeldFindings = 2000;
// Lines named for a finding that many rows share.
constexpr std::size_t kLinesNamed = 5;

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The layouts our own exports write, whose columns are taken as they are, so that the round
// trip is exact: the CSV header, and the Anki export's "#columns:" line.
std::optional<std::vector<Role>> RolesOfOurNames(const std::vector<std::string>& names) {
    std::vector<Role> roles;
    for (const auto& name : names) {
        const std::string n = Lower(Trim(name));
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
    const std::string v = Lower(Trim(value));
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

// Findings of import and of check's rules, by input line. The same finding on many rows is
// told once, with how many rows and the first of their lines.
class CFindings {
public:
    CFindings(const std::string& name, std::ostream& out, ConvertTotals& totals)
        : m_name(name), m_out(out), m_totals(totals) {}

    void Add(std::uint64_t line, bool error, std::string text) {
        ++(error ? m_totals.errors : m_totals.warnings);
        std::string key = error ? "e" : "w";
        key += text;
        auto it = m_index.find(key);
        if (it == m_index.end()) {
            if (m_groups.size() == kHeldFindings)
                return Print({line, error, std::move(text), 1, {}});
            it = m_index.emplace(std::move(key), m_groups.size()).first;
            m_groups.push_back({line, error, std::move(text), 0, {}});
        }
        Group& group = m_groups[it->second];
        if (group.lines.size() < kLinesNamed) group.lines.push_back(line);
        ++group.count;
    }

    // Prints what is held, in the order of first lines.
    void Finish() {
        std::stable_sort(m_groups.begin(), m_groups.end(),
                         [](const Group& a, const Group& b) { return a.first < b.first; });
        for (const auto& group : m_groups) Print(group);
        m_groups.clear();
        m_index.clear();
    }

private:
    struct Group {
        std::uint64_t first;
        bool error;
        std::string text;
        std::uint64_t count;
        std::vector<std::uint64_t> lines;
    };

    void Print(const Group& group) {
        std::string text = group.text;
        if (group.count > 1) {
            std::string lines;
            for (std::size_t i = 0; i < group.lines.size(); ++i) {
                if (i > 0) lines += ", ";
                lines += std::to_string(group.lines[i]);
            }
            const std::vector<std::string> values{text, std::to_string(group.count), lines};
            text = group.count > group.lines.size()
                       ? P_("%s (the same on %s row, the first on lines %s, ...)",
                            "%s (the same on %s rows, the first on lines %s, ...)", group.count,
                            values)
                       : P_("%s (the same on %s row, on lines %s)",
                            "%s (the same on %s rows, on lines %s)", group.count, values);
        }
        // The frame stays English, as check's: editors and scripts parse it.
        m_out << m_name << ':' << group.first << (group.error ? ": error: " : ": warning: ") << text
              << '\n';
    }

    const std::string& m_name;
    std::ostream& m_out;
    ConvertTotals& m_totals;
    std::vector<Group> m_groups;
    std::unordered_map<std::string, std::size_t> m_index;
};

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

constexpr std::size_t kOverread = CDelimitedReader::kOverread;

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

// Bytes written, in a buffer that is not cleared before it is written over: a string's
// resize set each word's bytes to zero before the word was copied in.
class CBytes {
public:
    CBytes() = default;
    CBytes(CBytes&& other) noexcept { *this = std::move(other); }
    CBytes& operator=(CBytes&& other) noexcept {
        m_data = std::move(other.m_data);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        return *this;
    }

    // Makes `n` bytes more, to be written, and returns the first. The kOverread bytes after
    // them may be written too, and are then written over by what comes next.
    char* Extend(std::size_t n) {
        if (m_size + n + kOverread > m_capacity) Grow(m_size + n + kOverread);
        char* at = m_data.get() + m_size;
        m_size += n;
        return at;
    }
    void Reserve(std::size_t n) {
        if (n > m_capacity) Grow(n);
    }
    char* data() { return m_data.get(); }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    void clear() { m_size = 0; }
    operator std::string_view() const { return {m_data.get(), m_size}; }

private:
    void Grow(std::size_t n) {
        const std::size_t capacity = std::max(n, 2 * m_capacity);
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_size > 0) std::memcpy(data.get(), m_data.get(), m_size);
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// A block of written words, with what the import found while making it: the findings of its
// rows, and where the input line of a word stops being its number plus the last offset (pairs
// of a word's number and its line minus that number; one pair for a list of one row per line).
// Check's pass over the words takes the findings in with the block, so that every finding is
// told in the same order whether or not that pass runs beside the import.
struct WordBlock {
    struct Finding {
        std::uint64_t line;
        bool error;
        std::string text;
    };
    CBytes bytes;
    std::vector<Finding> findings;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> lineSteps;
};

// Takes a block; it may leave in the block the bytes of one taken before, to be written over.
using BlockSink = std::function<void(WordBlock&&)>;

// One row of the input and the line it starts on.
struct Record {
    std::uint64_t line = 0;
    std::vector<std::string> fields;
    bool ascii = false;  // every byte of the row: its fields need no UTF-8 check
};

class CImporter {
public:
    CImporter(const std::string& name, const ImportOptions& options, const BlockSink& sink,
              std::ostream& diagnostics)
        : m_name(name),
          m_options(options),
          m_sink(sink),
          m_diagnostics(diagnostics),
          m_findings(name, diagnostics, m_totals) {}

    // Reads the start of the input and settles the separator and the columns. Returns false
    // when the columns cannot be told, having said so: nothing is then read or written.
    bool Start(CDelimitedReader& reader);
    // Takes rows until a block of words has gone to the sink. Returns false at the end.
    bool Step();
    CFindings& Findings() { return m_findings; }
    ConvertTotals& Totals() { return m_totals; }
    // Takes into the findings those of the block not yet handed on (when handing it on
    // failed, or the import stopped before).
    void TakeUnsentFindings() {
        for (auto& f : m_block.findings) m_findings.Add(f.line, f.error, std::move(f.text));
        m_block.findings.clear();
    }

private:
    void Report(bool error, std::string text) {
        m_block.findings.push_back({m_line, error, std::move(text)});
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

    const std::string& m_name;
    const ImportOptions& m_options;
    const BlockSink& m_sink;
    std::ostream& m_diagnostics;
    ConvertTotals m_totals;
    CFindings m_findings;
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
        const std::string key = Lower(Trim(std::string_view(line).substr(1, colon - 1)));
        const std::string_view value = std::string_view(line).substr(colon + 1);
        if (key == "separator") {
            m_separator.delimiter = SeparatorOfName(value);
        } else if (key == "html") {
            m_html = Lower(Trim(value)) == "true";
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
            Report(true, tr::Format(_("a quote opened on this line is not closed within %s lines "
                                      "or %s bytes; row left out, and reading goes on at the "
                                      "next line"),
                                    {std::to_string(CDelimitedReader::kQuotedLines),
                                     std::to_string(CDelimitedReader::kQuotedBytes)}));
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
        if (m_frontMatter || IsNonWordLine(trimmed) ||
            trimmed.find(m_separator.lineList) == std::string_view::npos) {
            ++m_totals.rows;
            ++m_totals.notWords;
            continue;
        }
        std::string_view text = trimmed;
        for (std::string_view bullet : {"- ", "* ", "+ ", "\xE2\x80\xA2 "}) {
            if (text.starts_with(bullet)) text.remove_prefix(bullet.size());
        }
        SplitLine(text, m_separator.lineList, m_listFields);
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
        const std::string named = Lower(s);
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
    const auto header = first ? RolesOfHeader(*first) : std::nullopt;
    m_headerTaken = header.has_value();
    if (!m_options.columns.empty()) {
        m_columns = ParseColumnRoles(m_options.columns).value_or(std::vector<ColumnRole>{});
        return true;
    }
    if (m_ankiColumns) {
        m_columns = *m_ankiColumns;
        return true;
    }
    if (header) {
        m_columns = *header;
        return true;
    }
    // Without names: the columns Anki sets aside go; what is left is judged by its content.
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
    std::vector<std::optional<ColumnRole>> guess = RolesOfContent(rows);
    const bool latin = std::count(guess.begin(), guess.end(), ColumnRole::kLatin) > 0;
    const bool meaning = std::count(guess.begin(), guess.end(), ColumnRole::kMeaning) > 0;
    const bool told = latin && meaning && std::count(guess.begin(), guess.end(), std::nullopt) == 0;
    if (width <= 2) {
        // A card: Latin, then meanings, unless the content plainly says the other way round.
        const std::vector<std::optional<ColumnRole>> reversed{ColumnRole::kMeaning,
                                                              ColumnRole::kLatin};
        if (guess != reversed) guess = {ColumnRole::kLatin, ColumnRole::kMeaning};
    } else if (!told && sevenWide && m_separator.lineList.empty()) {
        m_ours = true;
        return true;
    } else if (!told) {
        Refuse(guess);
        return false;
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
    ++m_totals.errors;
    m_diagnostics << m_name << ':' << m_line << ": error: "
                  << _("the role of each column cannot be told from the content; give it with "
                       "--columns, one of form, latin, meaning or skip for each column in order. "
                       "The first row, column by column:")
                  << '\n';
    const auto& fields = m_sample[0].fields;
    std::string told;
    for (std::size_t i = 0; i < fields.size() && i < kMostJudgedColumns; ++i) {
        m_diagnostics << "  " << (i + 1) << ": " << fields[i] << '\n';
        if (i > 0) told += ',';
        told += i < guess.size() && guess[i] ? RoleName(*guess[i]) : "?";
    }
    m_diagnostics << tr::Format(_("Told so far (? where it cannot be told): --columns %s"), {told})
                  << '\n';
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
                m_block.findings.push_back(
                    {m_firstCloze, false,
                     P_("an Anki cloze note was left out: it is not a word with its meanings",
                        "%lu Anki cloze notes were left out, the first here: they are not words "
                        "with their meanings",
                        m_totals.cloze)});
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
                            Lower(fields[*m_notetype]).find("cloze") != std::string::npos);
        if (cloze) {
            if (m_totals.cloze++ == 0) m_firstCloze = m_line;
            return;
        }
    }
    if (std::all_of(fields.begin(), fields.end(), IsBlank)) {
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
                true,
                tr::Format(_("the row has %s columns, more than the %s named; row left out"),
                           {std::to_string(fields.size()), std::to_string(m_columns.size())}));
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
        return Report(
            true, picture ? _("the Latin is only a picture, which cannot be asked; row left out")
                          : _("no Latin in this row; row left out"));
    }
    if (meanings.empty()) {
        return Report(true,
                      meaningPicture
                          ? _("the meaning is only a picture, which cannot be typed; row left out")
                          : _("no meaning in this row; row left out"));
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
        Report(false, tr::Format(_("%s meanings, more than the five a word holds: the first five "
                                   "were kept, and these left out: %s"),
                                 {std::to_string(meanings.size()), rest}));
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
                    true,
                    tr::Format(_("the row has %s columns, more than the %s named; row left out"),
                               {std::to_string(fields.size()), std::to_string(roles.size())}));
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
        if (count == 0) return Report(true, _("no meaning in this row; row left out"));
    }

    if (!dictionary) {
        const std::string_view front = Trim(text.value_or(""));
        if (front.empty()) return Report(true, _("no Latin in this row; row left out"));
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

// Blocks of words on their way from the import to the check of what it wrote, which runs
// beside it on a thread of its own: a few at a time, so that memory stays flat.
class CBlockQueue {
public:
    // Waits while the queue is full; drops the block when the taker has stopped.
    void Push(WordBlock&& block) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_blocks.size() < kHeld || m_stopped; });
        if (m_stopped) return;
        m_blocks.push_back(std::move(block));
        m_changed.notify_all();
    }
    // The bytes of a block taken, for the maker to write its next block into.
    void GiveBack(CBytes&& bytes) {
        const std::lock_guard lock(m_mutex);
        // As many as can be out at once (the maker's, those held, the taker's): past them, a block
        // of this size would be given back to the system and taken again, a fault per page.
        if (m_spare.size() < kHeld + 2) m_spare.push_back(std::move(bytes));
    }
    // Bytes given back, or none.
    CBytes Spare() {
        const std::lock_guard lock(m_mutex);
        if (m_spare.empty()) return {};
        CBytes bytes = std::move(m_spare.back());
        m_spare.pop_back();
        return bytes;
    }
    // Waits for the next block; false when there is none and will be none.
    bool Pop(WordBlock& block) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_blocks.empty() || m_closed || m_stopped; });
        if (m_blocks.empty() || m_stopped) return false;
        block = std::move(m_blocks.front());
        m_blocks.pop_front();
        m_changed.notify_all();
        return true;
    }
    // The maker's end: no more blocks come.
    void Close() {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }
    // The taker's end, or the maker's after a failure: no more blocks are taken.
    void Stop() {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        for (auto& block : m_blocks) block.bytes = {};  // their findings are still to be told
        m_changed.notify_all();
    }
    // The blocks never taken, once both sides are done.
    std::deque<WordBlock> Left() {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_blocks, {});
    }
    bool Stopped() {
        const std::lock_guard lock(m_mutex);
        return m_stopped;
    }

private:
    // A few keep both sides busy; check reads 256 KiB at once, one block.
    static constexpr std::size_t kHeld = 3;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<WordBlock> m_blocks;
    std::vector<CBytes> m_spare;
    bool m_closed = false;
    bool m_stopped = false;
};

// Where each written word's input line is, from the blocks' line steps.
class CInputLines {
public:
    void Take(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& steps) {
        m_steps.insert(m_steps.end(), steps.begin(), steps.end());
    }

    // The input line of the word that the vocabulary file's line `vocLine` belongs to.
    std::uint64_t Of(std::uint64_t vocLine) const {
        const std::uint64_t word = vocLine == 0 ? 0 : (vocLine - 1) / kLinesPerEntry;
        auto it = std::upper_bound(m_steps.begin(), m_steps.end(),
                                   std::make_pair(word, std::numeric_limits<std::uint64_t>::max()));
        if (it == m_steps.begin()) return vocLine;
        return word + std::prev(it)->second;
    }

private:
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_steps;
};

// The words of an import, as check reads them: block by block from the queue, each block's
// findings of the import told as it is taken, as they would be were the two not side by side.
class CImportedWords : public std::streambuf {
public:
    CImportedWords(CBlockQueue& queue, CFindings& findings, CInputLines& lines)
        : m_queue(queue), m_findings(findings), m_lines(lines) {}

protected:
    int_type underflow() override {
        if (!m_block.bytes.empty()) m_queue.GiveBack(std::move(m_block.bytes));
        m_block.bytes.clear();
        while (m_block.bytes.empty()) {
            if (!m_queue.Pop(m_block)) return traits_type::eof();
            for (auto& f : m_block.findings) m_findings.Add(f.line, f.error, std::move(f.text));
            m_lines.Take(m_block.lineSteps);
        }
        setg(m_block.bytes.data(), m_block.bytes.data(),
             m_block.bytes.data() + m_block.bytes.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    CBlockQueue& m_queue;
    CFindings& m_findings;
    CInputLines& m_lines;
    WordBlock m_block;
};

// Check's findings, line by line, as findings of the import at the input's lines.
class CCheckFindings : public std::streambuf {
public:
    CCheckFindings(CFindings& findings, const CInputLines& lines, std::uint64_t& unanswerable)
        : m_findings(findings), m_lines(lines), m_unanswerable(unanswerable) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (c == '\n') {
            Take(m_line);
            m_line.clear();
        } else {
            m_line.push_back(traits_type::to_char_type(c));
        }
        return c;
    }

private:
    // ":LINE: error: TEXT"; check's summary line (": 3 words, ...") is not a finding.
    void Take(std::string_view line) {
        if (line.size() < 2 || line[0] != ':' || line[1] < '0' || line[1] > '9') return;
        const std::size_t colon = line.find(':', 1);
        if (colon == std::string_view::npos) return;
        const std::uint64_t vocLine =
            std::strtoull(std::string(line.substr(1, colon - 1)).c_str(), nullptr, 10);
        std::string_view rest = line.substr(colon);
        const bool error = rest.starts_with(": error: ");
        rest.remove_prefix(error ? 9 : rest.starts_with(": warning: ") ? 11 : 0);
        std::string text(rest);
        // Check's findings come translated; the line of an earlier word is found by the
        // translated format's text around its value.
        const std::string same = tr::Format(_(kSameTextForm), {"\n"});
        const std::string_view before = std::string_view(same).substr(0, same.find('\n'));
        const std::string_view after = std::string_view(same).substr(same.find('\n') + 1);
        if (text.starts_with(before) && text.ends_with(after) &&
            text.size() > before.size() + after.size()) {
            const std::uint64_t earlier = std::strtoull(text.c_str() + before.size(), nullptr, 10);
            text = tr::Format(_(kSameTextForm), {std::to_string(m_lines.Of(earlier))});
        }
        if (error && m_lines.Of(vocLine) != m_lastUnanswerable) {
            m_lastUnanswerable = m_lines.Of(vocLine);
            ++m_unanswerable;
        }
        m_findings.Add(m_lines.Of(vocLine), error, std::move(text));
    }

    CFindings& m_findings;
    const CInputLines& m_lines;
    std::uint64_t& m_unanswerable;
    std::string m_line;
    std::uint64_t m_lastUnanswerable = 0;
};

}  // namespace

ConvertTotals ImportDelimited(std::streambuf& in, const std::string& name,
                              const ImportOptions& options, const ByteSink& sink,
                              std::ostream& diagnostics) {
    CDelimitedReader reader(in);
    if (!options.check) {
        CImporter* self = nullptr;
        const BlockSink inOrder = [&](WordBlock&& block) {
            for (auto& f : block.findings) {
                self->Findings().Add(f.line, f.error, std::move(f.text));
            }
            block.findings.clear();  // told: not to be told again should the write fail
            if (!block.bytes.empty()) sink(block.bytes);
        };
        CImporter importer(name, options, inOrder, diagnostics);
        self = &importer;
        if (!importer.Start(reader)) return importer.Totals();
        try {
            while (importer.Step()) {
            }
        } catch (...) {
            // What was found before the failure is told before it.
            importer.TakeUnsentFindings();
            importer.Findings().Finish();
            throw;
        }
        importer.Findings().Finish();
        return importer.Totals();
    }

    // Check's rules run over the words written on a second thread, block by block behind the
    // import, so that an import costs little more than its reading. The findings of both are told
    // there, in the order they would have been told one after the other. Every system call stays on
    // this thread (the check reads from memory), so their order is the same on every run.
    CBlockQueue queue;
    const BlockSink toCheck = [&](WordBlock&& block) {
        if (!block.bytes.empty()) sink(block.bytes);
        queue.Push(std::move(block));
        block.bytes = queue.Spare();
    };
    CImporter importer(name, options, toCheck, diagnostics);
    if (!importer.Start(reader)) return importer.Totals();
    std::exception_ptr checkFailed;
    std::uint64_t unanswerable = 0;
    std::thread check([&] {
        try {
            CInputLines lines;
            CImportedWords words(queue, importer.Findings(), lines);
            CCheckFindings findings(importer.Findings(), lines, unanswerable);
            std::ostream findingsOut(&findings);
            CheckVoc(words, "", findingsOut);
        } catch (...) {
            checkFailed = std::current_exception();
            queue.Stop();
        }
    });
    // Whatever stops the import, the findings held for their count, and those of the blocks
    // the check never took, are told before it stops: they are what the user fixes first.
    const auto tellFindings = [&] {
        for (auto& block : queue.Left()) {
            for (auto& f : block.findings) {
                importer.Findings().Add(f.line, f.error, std::move(f.text));
            }
        }
        importer.TakeUnsentFindings();
        importer.Findings().Finish();
    };
    try {
        // A failed check (or write) ends the import too.
        while (importer.Step() && !queue.Stopped()) {
        }
    } catch (...) {
        queue.Stop();
        check.join();
        tellFindings();
        throw;
    }
    queue.Close();
    check.join();
    if (checkFailed) {
        tellFindings();
        std::rethrow_exception(checkFailed);
    }
    importer.Totals().unanswerable = unanswerable;
    importer.Findings().Finish();
    ConvertTotals& t = importer.Totals();
    // Each count follows its label, so no plural form is needed; the name is the frame.
    diagnostics << name << ": "
                << tr::Format(
                       _("rows read: %s; words written: %s; rows left out: %s (cannot be "
                         "used: %s, Anki cloze notes: %s, blank or not words: %s); words that "
                         "can never be answered right: %s"),
                       {std::to_string(t.rows), std::to_string(t.words),
                        std::to_string(t.rows - t.words),
                        std::to_string(t.rows - t.words - t.cloze - t.notWords),
                        std::to_string(t.cloze), std::to_string(t.notWords),
                        std::to_string(t.unanswerable)})
                << '\n';
    return t;
}

ConvertTotals ImportDelimitedStream(std::istream& in, const std::string& name,
                                    const ImportOptions& options, const ByteSink& sink,
                                    std::ostream& diagnostics) {
    return ImportDelimited(*in.rdbuf(), name, options, sink, diagnostics);
}
