#include <algorithm>
#include <array>
#include <cstdlib>
#include <istream>
#include <optional>
#include <ostream>
#include <vector>

#include "Convert.h"
#include "Delimited.h"
#include "VocFormat.h"
#include "VocText.h"

namespace {

// What a column holds. Meaning columns are kMeaning1 + 0 to 4.
enum Role : int { kIgnore = -1, kText = 0, kDictionary = 1, kMeaning1 = 2, kBack = 7 };

constexpr std::size_t kMostColumns = 2 + kDefinitionLines;

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The role a column name stands for: ours, Anki's, and the plain names people give columns.
std::optional<Role> RoleOfName(std::string_view name) {
    const std::string n = Lower(Trim(name));
    if (n == "text form" || n == "front" || n == "latin" || n == "word") return kText;
    if (n == "dictionary form") return kDictionary;
    if (n == "back" || n == "meanings" || n == "english") return kBack;
    if (n.size() == 9 && n.starts_with("meaning ") && n[8] >= '1' && n[8] <= '5') {
        return static_cast<Role>(kMeaning1 + (n[8] - '1'));
    }
    if (n == "tags" || n == "deck" || n == "notetype" || n == "guid") return kIgnore;
    return std::nullopt;
}

// Roles for a row of names, or nothing when the row is not a header (a name we do not know,
// or no text form column).
std::optional<std::vector<Role>> RolesOfNames(const std::vector<std::string>& names) {
    std::vector<Role> roles;
    bool text = false;
    for (const auto& name : names) {
        if (Trim(name).empty()) {
            roles.push_back(kIgnore);
            continue;
        }
        const auto role = RoleOfName(name);
        if (!role) return std::nullopt;
        text = text || *role == kText;
        roles.push_back(*role);
    }
    if (!text) return std::nullopt;
    return roles;
}

bool IsOurHeader(const std::vector<std::string>& fields) {
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) joined += (i ? "," : "") + fields[i];
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

class CImporter {
public:
    CImporter(const std::string& name, const ByteSink& sink, std::ostream& diagnostics)
        : m_name(name), m_sink(sink), m_diagnostics(diagnostics) {}

    void Run(CDelimitedReader& reader, ImportFormat format, std::string_view extension);
    // Hands what is still held to the sink.
    void Flush();
    const ConvertTotals& Totals() const { return m_totals; }

private:
    void Report(bool error, const std::string& text) {
        m_diagnostics << m_name << ':' << m_line << (error ? ": error: " : ": warning: ") << text
                      << '\n';
        ++(error ? m_totals.errors : m_totals.warnings);
    }
    void ReadAnkiHeaders(CDelimitedReader& reader);
    void Row(std::vector<std::string>& fields);
    void Write(std::string_view headword, const std::array<std::string, kDefinitionLines>& meanings);

    const std::string& m_name;
    const ByteSink& m_sink;
    std::ostream& m_diagnostics;
    ConvertTotals m_totals;
    std::uint64_t m_line = 0;

    char m_separator = ',';
    bool m_html = false;
    bool m_exact = false;                    // the input is an export of ours: every row a word
    std::optional<std::vector<Role>> m_roles;  // from a header; otherwise by the number of columns
    std::vector<std::size_t> m_ignored;      // columns that Anki's header lines set aside
    // Kept from row to row so that a row allocates nothing.
    std::vector<Role> m_rowRoles;
    std::array<std::string, kDefinitionLines> m_meanings;
    std::string m_headword;
    // Words are handed to the sink in blocks: a call per word cost as much as reading it.
    std::string m_out;
};

constexpr std::size_t kOutBlock = 1 << 16;

void CImporter::ReadAnkiHeaders(CDelimitedReader& reader) {
    std::string line;
    std::string columns;
    while (reader.NextLineStartsWith('#') && reader.ReadRawLine(line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = Lower(Trim(std::string_view(line).substr(1, colon - 1)));
        const std::string_view value = std::string_view(line).substr(colon + 1);
        if (key == "separator") {
            m_separator = SeparatorOfName(value);
        } else if (key == "html") {
            m_html = Lower(Trim(value)) == "true";
        } else if (key == "columns") {
            columns = value;
        } else if (key.ends_with(" column")) {
            const std::string number(Trim(value));
            const long n = std::strtol(number.c_str(), nullptr, 10);
            const auto column = static_cast<std::size_t>(n - 1);
            if (n >= 1 && n <= 1000 &&
                std::find(m_ignored.begin(), m_ignored.end(), column) == m_ignored.end()) {
                m_ignored.push_back(column);
            }
        }
    }
    if (!columns.empty()) {
        std::vector<std::string> names;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = columns.find(m_separator, start);
            names.emplace_back(columns.substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
        m_roles = RolesOfNames(names);
    }
}

void CImporter::Run(CDelimitedReader& reader, ImportFormat format, std::string_view extension) {
    reader.SkipPrefix("\xEF\xBB\xBF");
    if (format == ImportFormat::kAuto) {
        const std::string_view first = reader.PeekLine();
        if (IsAnkiHeaderLine(first)) {
            format = ImportFormat::kAnki;
        } else if (extension == "csv") {
            format = ImportFormat::kCsv;
        } else if (extension == "tsv" || extension == "tab") {
            format = ImportFormat::kTsv;
        } else {
            format = first.find('\t') != std::string_view::npos ? ImportFormat::kTsv : ImportFormat::kCsv;
        }
    }
    m_separator = format == ImportFormat::kCsv ? ',' : '\t';
    if (format == ImportFormat::kAnki) ReadAnkiHeaders(reader);
    reader.SetSeparator(m_separator);

    std::vector<std::string> fields;
    bool first = true;
    while (reader.Next(fields)) {
        m_line = reader.RowLine();
        if (first) {
            first = false;
            if (!m_roles) {
                m_exact = IsOurHeader(fields);
                m_roles = RolesOfNames(fields);
                if (m_roles) continue;  // a header row: names, not a word
            }
        }
        Row(fields);
    }
}

void CImporter::Row(std::vector<std::string>& fields) {
    for (auto& field : fields) {
        if (!IsValidUtf8(field)) field = TextAsUtf8(field);
        if (m_html) field = BreaksAsBlanks(HtmlToText(field));
    }
    if (std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); })) {
        // A spreadsheet's blank row; in an export of ours, a word whose lines are all empty.
        if (m_exact) {
            for (auto& m : m_meanings) m.clear();
            Write("", m_meanings);
        } else if (fields.size() > 1) {
            Report(false, "empty row left out");
        }
        return;
    }
    // Which field has which role.
    std::vector<Role>& roles = m_rowRoles;
    roles.clear();
    if (m_roles) {
        roles = *m_roles;
        for (std::size_t i = roles.size(); i < fields.size(); ++i) {
            if (!Trim(fields[i]).empty()) {
                return Report(true, std::to_string(fields.size()) +
                                        " columns, more than the header names; row left out");
            }
        }
    } else {
        std::size_t used = 0;
        std::size_t last = 0;  // columns in use up to the last one that holds something
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (std::find(m_ignored.begin(), m_ignored.end(), i) != m_ignored.end()) continue;
            ++used;
            if (!fields[i].empty()) last = used;
        }
        if (last == 0) return Report(false, "only columns that are set aside; row left out");
        const std::size_t columns = std::max(last, std::min(used, kMostColumns));
        if (columns > kMostColumns) {
            return Report(true, std::to_string(columns) +
                                    " columns: a word has at most 7 (text form, dictionary "
                                    "form, meanings 1 to 5); row left out");
        }
        if (columns == 1) return Report(true, "one column only, so no meaning; row left out");
        Role next = kText;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (std::find(m_ignored.begin(), m_ignored.end(), i) != m_ignored.end()) {
                roles.push_back(kIgnore);
            } else if (columns == 2) {
                roles.push_back(next == kText ? kText : kBack);
                next = kBack;
            } else if (next < kBack) {
                roles.push_back(next);
                next = static_cast<Role>(next + 1);
            } else {
                roles.push_back(kIgnore);  // an empty column past the seventh
            }
        }
    }

    std::optional<std::string_view> text, dictionary, back;
    std::array<std::string, kDefinitionLines>& meanings = m_meanings;
    for (auto& m : meanings) m.clear();
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
        if (count == 0) return Report(true, "the back is empty, so no meaning; row left out");
        if (count > kDefinitionLines) {
            Report(false, std::to_string(count) + " meanings; only the first five were kept");
        }
    }

    std::string& headword = m_headword;
    if (!dictionary) {
        // A card's front: its first word is what the text has, the whole is the dictionary form.
        const std::string_view front = Trim(text.value_or(""));
        if (front.empty()) return Report(true, "the front is empty; row left out");
        headword = BaseWord(front);
        headword += ' ';
        headword += front;
    } else {
        headword = text.value_or("");
        if (!dictionary->empty()) {
            headword += ' ';
            headword += *dictionary;
        }
        if (!m_exact && std::all_of(meanings.begin(), meanings.end(),
                                    [](const std::string& m) { return m.empty(); })) {
            Report(false, "no meaning; 'tavrin-voc check' reports this word as an error");
        }
    }
    Write(headword, meanings);
}

void CImporter::Write(std::string_view headword,
                      const std::array<std::string, kDefinitionLines>& meanings) {
    m_out.append(headword);
    m_out.append("\r\n");
    for (const auto& m : meanings) {
        m_out.append(m);
        m_out.append("\r\n");
    }
    ++m_totals.words;
    if (m_out.size() >= kOutBlock) Flush();
}

void CImporter::Flush() {
    if (m_out.empty()) return;
    m_sink(m_out);
    m_out.clear();
}

}  // namespace

ConvertTotals ImportDelimited(std::streambuf& in, const std::string& name, ImportFormat format,
                              std::string_view extension, const ByteSink& sink,
                              std::ostream& diagnostics) {
    CDelimitedReader reader(in);
    CImporter importer(name, sink, diagnostics);
    importer.Run(reader, format, extension);
    importer.Flush();
    return importer.Totals();
}

ConvertTotals ImportDelimitedStream(std::istream& in, const std::string& name, ImportFormat format,
                                    const ByteSink& sink, std::ostream& diagnostics) {
    return ImportDelimited(*in.rdbuf(), name, format, "", sink, diagnostics);
}
