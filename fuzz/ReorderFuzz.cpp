// The reordering over any file: the output holds the input's entries, each whole (six lines,
// every one ending in CR LF), in the interleaved order, and nothing else is left in the folder.
#include <dirent.h>

#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "Reorder.h"
#include "TempDir.h"

namespace {

// The entries as the reordering must write them: lines split at LF, a CR before the LF
// dropped, every line ended with CR LF, the last entry filled up with empty lines.
std::vector<std::string> ExpectedEntries(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(std::string(line) + "\r\n");
        if (lf == std::string_view::npos) break;
        bytes.remove_prefix(lf + 1);
    }
    while (lines.size() % 6 != 0) lines.emplace_back("\r\n");
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < lines.size(); i += 6) {
        std::string entry;
        for (std::size_t j = i; j < i + 6; ++j) entry += lines[j];
        entries.push_back(std::move(entry));
    }
    return entries;
}

int CountNames(const std::string& folder) {
    int count = 0;
    DIR* dir = ::opendir(folder.c_str());
    FUZZ_CHECK(dir);
    while (const dirent* e = ::readdir(dir)) count += e->d_name[0] != '.' || e->d_name[1] == 't';
    ::closedir(dir);
    return count;
}

}  // namespace

void FuzzReorder(const std::uint8_t* data, std::size_t size) {
    // Removed at exit. scripts/fuzz.sh points TMPDIR at memory: a disk's fsync per input
    // would slow the run.
    static const TempDir dir;
    const std::string folder = dir.path().string();
    const std::string path = folder + "/words.voc";
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        FUZZ_CHECK(f);
        FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
        FUZZ_CHECK(std::fclose(f) == 0);
    }
    FUZZ_CHECK(ReorderVocFile(path) == (ReorderResult{ReorderOutcome::kRewritten, 0}));

    const auto entries = ExpectedEntries(input);
    std::string expected;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        expected += entries[InterleavedPosition(entries.size(), k)];
    }
    FUZZ_CHECK(ReadBytes(path) == expected);
    FUZZ_CHECK(CountNames(folder) == 1);
}
