// tavrin-voc import over any bytes: it ends, what it writes is a whole vocabulary file in UTF-8
// (six lines a word, every line ending in CR LF) that check finds whole, and that file exported
// to CSV and imported again comes back byte for byte. The bytes are read once with the
// separator and columns guessed, and once more, after their first byte, with the options that
// byte picks: a format, a separator, the roles of the columns.
#include <sstream>
#include <string>
#include <string_view>

#include "Findings.h"
#include "FuzzSupport.h"
#include "VocText.h"

namespace {

// Imports `input` with check's rules run, checks what was written, and returns it.
std::string ImportChecked(std::string_view input, const ImportOptions& options) {
    std::istringstream in{std::string(input)};
    std::ostringstream diagnostics;
    std::string voc;
    const ConvertTotals totals = ImportDelimitedStream(
        in, "in", options, [&](std::string_view bytes) { voc += bytes; }, diagnostics);

    std::uint64_t lines = 0;
    for (std::size_t start = 0; start < voc.size(); ++lines) {
        const std::size_t lf = voc.find('\n', start);
        FUZZ_CHECK(lf != std::string::npos && lf > start && voc[lf - 1] == '\r');
        start = lf + 1;
    }
    FUZZ_CHECK(lines % 6 == 0 && lines / 6 == totals.words);
    FUZZ_CHECK(IsValidUtf8(voc));
    FUZZ_CHECK(totals.words + totals.cloze + totals.notWords <= totals.rows);
    FUZZ_CHECK(!totals.refused || totals.words == 0);

    // Check's rules on the structure of the file: every word whole, every line end CR LF.
    std::istringstream vocIn(voc);
    std::ostringstream findings;
    CheckVocStream(vocIn, "out.voc", findings);
    for (std::string_view structural :
         {"cut short", "empty line after the last word", "in LF alone", "has no line end"}) {
        FUZZ_CHECK(findings.str().find(structural) == std::string::npos);
    }
    return voc;
}

}  // namespace

void FuzzCliImport(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string voc = ImportChecked(bytes, ImportOptions{});

    std::istringstream vocIn(voc);
    std::ostringstream diagnostics;
    std::string csv;
    ExportVoc(
        *vocIn.rdbuf(), "out.voc", false, [&](std::string_view b) { csv += b; }, diagnostics);
    std::istringstream csvIn(csv);
    std::string back;
    ImportDelimitedStream(
        csvIn, "out.csv", ImportOptions{}, [&](std::string_view b) { back += b; }, diagnostics);
    FUZZ_CHECK(back == voc);

    if (size == 0) return;
    static constexpr ImportFormat kFormats[] = {ImportFormat::kAuto, ImportFormat::kCsv,
                                                ImportFormat::kTsv, ImportFormat::kAnki,
                                                ImportFormat::kLines};
    static constexpr const char* kSeparators[] = {"", "tab", ";", "|", " - ", ": "};
    static constexpr const char* kColumns[] = {"", "latin,meaning", "form,latin,meaning,skip",
                                               "skip,latin,latin,meaning,meaning"};
    const unsigned pick = data[0];
    ImportOptions options;
    options.format = kFormats[pick % 5];
    options.separator = kSeparators[(pick / 5) % 6];
    options.columns = kColumns[(pick / 30) % 4];
    ImportChecked(bytes.substr(1), options);
}
