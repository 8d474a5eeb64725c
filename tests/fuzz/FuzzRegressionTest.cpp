// Replays every kept input of every fuzz target through its checking function in the normal
// build: the seeds, and each input that once found a fault (regressions/TARGET/).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Target {
    const char* name;
    void (*check)(const std::uint8_t*, std::size_t);
};

class FuzzRegression : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzRegression, KeptInputsHoldTheProperties) {
    int replayed = 0;
    for (const char* kind : {"seeds", "regressions"}) {
        const fs::path folder = fs::path(TAVRIN_FUZZ_DIR) / kind / GetParam().name;
        if (!fs::is_directory(folder)) continue;
        for (const auto& e : fs::directory_iterator(folder)) {
            SCOPED_TRACE(e.path().string());
            const std::string bytes = ReadBytes(e.path().string());
            GetParam().check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression,
                         ::testing::Values(Target{"text_file", FuzzTextFile},
                                           Target{"headword", FuzzHeadword},
                                           Target{"test_page", FuzzTestPage},
                                           Target{"reorder", FuzzReorder},
                                           Target{"cli_check", FuzzCliCheck},
                                           Target{"cli_import", FuzzCliImport},
                                           Target{"shown_text", FuzzShownText},
                                           Target{"progress_store", FuzzProgressStore}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
