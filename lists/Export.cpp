#include <array>

#include "Convert.h"
#include "Delimited.h"
#include "LineReader.h"
#include "VocFormat.h"
#include "VocText.h"

namespace {

// The text form and dictionary form columns of a headword line (see Convert.h).
std::pair<std::string_view, std::string_view> HeadwordColumns(std::string_view line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos || blank + 1 == line.size()) return {line, {}};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

class CExporter {
public:
    CExporter(bool anki, const ByteSink& sink, IFindingSink& findings)
        : m_anki(anki), m_sink(sink), m_findings(findings) {}

    void Begin() {
        m_sink(m_anki ? "#separator:tab\n#html:false\n#columns:Front\tBack\tDictionary form\n"
                      : std::string(kCsvHeader) + "\r\n");
    }

    void Word(const std::array<std::string, kLinesPerEntry>& lines) {
        const auto [text, dictionary] = HeadwordColumns(lines[0]);
        m_row.clear();
        if (m_anki) {
            AppendField(m_row, text, '\t', true);
            m_row.push_back('\t');
            std::string back;
            for (int i = 1; i < kLinesPerEntry; ++i) {
                if (lines[i].empty()) continue;
                if (!back.empty()) back += "; ";
                back += lines[i];
            }
            AppendField(m_row, back, '\t');
            m_row.push_back('\t');
            AppendField(m_row, dictionary, '\t');
            m_row.push_back('\n');
        } else {
            AppendField(m_row, text, ',');
            m_row.push_back(',');
            AppendField(m_row, dictionary, ',');
            for (int i = 1; i < kLinesPerEntry; ++i) {
                m_row.push_back(',');
                AppendField(m_row, lines[i], ',');
            }
            m_row.append("\r\n");
        }
        m_sink(m_row);
        ++m_totals.words;
    }

    void Warn(std::uint64_t line, Rule rule) {
        ++m_totals.warnings;
        m_findings.Take({line, false, rule, {}});
    }

    const ConvertTotals& Totals() const { return m_totals; }

private:
    bool m_anki;
    const ByteSink& m_sink;
    IFindingSink& m_findings;
    std::string m_row;
    ConvertTotals m_totals;
};

}  // namespace

ConvertTotals ExportWords(std::streambuf& in, bool anki, const ByteSink& sink,
                          IFindingSink& findings) {
    CExporter exporter(anki, sink, findings);
    exporter.Begin();
    CLineReader reader(in);
    CLineReader::Line line;
    std::array<std::string, kLinesPerEntry> lines;
    int count = 0;
    std::uint64_t wordLine = 0;
    bool anyText = false;
    while (reader.Next(line)) {
        if (count == 0) {
            wordLine = reader.LineNumber();
            anyText = false;
        }
        anyText = anyText || !line.text.empty();
        if (!IsValidUtf8(line.text)) {
            exporter.Warn(reader.LineNumber(), Rule::kConvertedFromCp1252);
            lines[count] = TextAsUtf8(line.text);
        } else {
            lines[count].swap(line.text);
        }
        if (++count == kLinesPerEntry) {
            exporter.Word(lines);
            count = 0;
        }
    }
    if (count > 0) {
        if (anyText) {
            exporter.Warn(wordLine, Rule::kMissingMeanings);
            for (int i = count; i < kLinesPerEntry; ++i) lines[i].clear();
            exporter.Word(lines);
        } else {
            exporter.Warn(wordLine, Rule::kEmptyLinesLeftOut);
        }
    }
    return exporter.Totals();
}
