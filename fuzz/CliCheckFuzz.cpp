// tavrin-voc check over any file: it ends, its summary counts one word per headword line, and
// every finding is "NAME:LINE: error: " or "NAME:LINE: warning: " with LINE a line of the file,
// as editors that jump to the line need. The quick look at plain words finds what the rules
// find line by line.
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "Findings.h"
#include "FuzzSupport.h"

namespace {

// The file's lines as check counts them (split at LF) and whether each holds any byte but a
// CR before its line end.
std::vector<bool> LinesWithText(std::string_view bytes) {
    std::vector<bool> lines;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(!line.empty());
        if (lf == std::string_view::npos) break;
        bytes.remove_prefix(lf + 1);
    }
    return lines;
}

// Reads the decimal number at the start of `text`, taking it off; false when there is none.
bool TakeNumber(std::string_view& text, std::uint64_t& n) {
    std::size_t i = 0;
    n = 0;
    while (i < text.size() && i < 19 && text[i] >= '0' && text[i] <= '9')
        n = n * 10 + (text[i++] - '0');
    text.remove_prefix(i);
    return i > 0;
}

}  // namespace

void FuzzCliCheck(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::istringstream in{std::string(input)};
    std::ostringstream out;
    const CheckTotals totals = CheckVocStream(in, "f.voc", out);

    // A headword line every six lines; empty lines after the last word are no word.
    const std::vector<bool> lines = LinesWithText(input);
    std::uint64_t words = (lines.size() + 5) / 6;
    if (lines.size() % 6 != 0) {
        bool any = false;
        for (std::size_t i = lines.size() / 6 * 6; i < lines.size(); ++i) any = any || lines[i];
        if (!any) --words;
    }
    FUZZ_CHECK(totals.words == words);

    const std::string report = out.str();
    FUZZ_CHECK(!report.empty() && report.back() == '\n');
    std::vector<std::string_view> rows;
    for (std::string_view rest = report; !rest.empty();) {
        const std::size_t lf = rest.find('\n');
        rows.push_back(rest.substr(0, lf));
        rest.remove_prefix(lf + 1);
    }
    std::uint64_t errors = 0, warnings = 0;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        std::string_view row = rows[i];
        FUZZ_CHECK(row.starts_with("f.voc:"));
        row.remove_prefix(6);
        std::uint64_t line = 0;
        FUZZ_CHECK(TakeNumber(row, line));
        FUZZ_CHECK(line >= 1 && line <= lines.size());
        if (row.starts_with(": error: ")) {
            ++errors;
        } else {
            FUZZ_CHECK(row.starts_with(": warning: "));
            ++warnings;
        }
    }
    FUZZ_CHECK(errors == totals.errors && warnings == totals.warnings);

    const auto found = [&](bool lineByLine) {
        std::istringstream again{std::string(input)};
        CFindingList sink;
        CheckOptions options;
        options.lineByLine = lineByLine;
        CheckWords(*again.rdbuf(), sink, options);
        return sink.findings;
    };
    FUZZ_CHECK(found(false) == found(true));
    auto count = [](std::uint64_t n, const char* one, const char* many) {
        return std::to_string(n) + ' ' + (n == 1 ? one : many);
    };
    FUZZ_CHECK(rows.back() == "f.voc: " + count(words, "word", "words") + ", " +
                                  count(errors, "error", "errors") + ", " +
                                  count(warnings, "warning", "warnings"));
}
