// tavrin-voc import over any delimited text: it ends, what it writes is a whole vocabulary
// file in UTF-8 (six lines a word, every line ending in CR LF), and that file exported to CSV
// and imported again comes back byte for byte.
#include <sstream>
#include <string>
#include <string_view>

#include "Convert.h"
#include "FuzzSupport.h"
#include "VocText.h"

void FuzzCliImport(const std::uint8_t* data, std::size_t size) {
    std::istringstream in{std::string(reinterpret_cast<const char*>(data), size)};
    std::ostringstream diagnostics;
    std::string voc;
    const ConvertTotals totals = ImportDelimitedStream(
        in, "in", ImportFormat::kAuto, [&](std::string_view bytes) { voc += bytes; }, diagnostics);

    std::uint64_t lines = 0;
    for (std::size_t start = 0; start < voc.size(); ++lines) {
        const std::size_t lf = voc.find('\n', start);
        FUZZ_CHECK(lf != std::string::npos && lf > start && voc[lf - 1] == '\r');
        start = lf + 1;
    }
    FUZZ_CHECK(lines % 6 == 0 && lines / 6 == totals.words);
    FUZZ_CHECK(IsValidUtf8(voc));

    std::istringstream vocIn(voc);
    std::string csv;
    ExportVoc(
        *vocIn.rdbuf(), "out.voc", false, [&](std::string_view bytes) { csv += bytes; },
        diagnostics);
    std::istringstream csvIn(csv);
    std::string back;
    ImportDelimited(
        *csvIn.rdbuf(), "out.csv", ImportFormat::kAuto, "csv",
        [&](std::string_view bytes) { back += bytes; }, diagnostics);
    FUZZ_CHECK(back == voc);
}
