// The text-file reader: lines come back as the bytes between line feeds, a CR before a line
// feed dropped; a bounded read keeps the start of each line and cuts the rest; a vocabulary
// line is always valid UTF-8 and bounded.
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "TextFile.h"
#include "VocText.h"

namespace {

std::vector<std::string> ExpectedLines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        if (lf == std::string_view::npos) {
            lines.emplace_back(bytes);
            break;
        }
        std::string_view line = bytes.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        bytes.remove_prefix(lf + 1);
    }
    return lines;
}

}  // namespace

void FuzzTextFile(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    // The first byte picks how much of a line the bounded read keeps.
    const std::size_t keep = data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string path = MemoryFile(data + 1, size - 1);
    const auto expected = ExpectedLines(bytes);

    CTextFile whole, bounded, voc;
    FUZZ_CHECK(whole.Open(path, CTextFile::modeRead, nullptr));
    std::string line;
    for (const auto& want : expected) {
        FUZZ_CHECK(whole.ReadString(line));
        FUZZ_CHECK(line == want);
    }
    FUZZ_CHECK(!whole.ReadString(line) && line.empty());
    whole.Close();

    FUZZ_CHECK(bounded.Open(path, CTextFile::modeRead, nullptr));
    for (const auto& want : expected) {
        bool cut = false;
        FUZZ_CHECK(bounded.ReadString(line, keep, &cut));
        FUZZ_CHECK(cut == (want.size() > keep));
        FUZZ_CHECK(line == want.substr(0, keep));
    }
    FUZZ_CHECK(!bounded.ReadString(line));
    bounded.Close();

    FUZZ_CHECK(voc.Open(path, CTextFile::modeRead, nullptr));
    std::size_t count = 0;
    while (ReadVocLine(voc, line)) {
        FUZZ_CHECK(count < expected.size());
        FUZZ_CHECK(IsValidUtf8(line));
        // Windows-1252 takes at most three bytes a character, the cut mark three more.
        FUZZ_CHECK(line.size() <= 3 * kVocLineBytes + 3);
        if (IsValidUtf8(expected[count]) && expected[count].size() <= kVocLineBytes) {
            FUZZ_CHECK(line == expected[count]);
        }
        ++count;
    }
    FUZZ_CHECK(count == expected.size());
}
