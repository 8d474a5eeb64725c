// A reordering stopped dead (kill -9, a power cut) at any instant leaves the original or the
// whole new file, and whatever hidden file the stop leaves is removed by the next run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "Reorder.h"
#include "ReplaceFile.h"
#include "SysCall.h"
#include "TempDir.h"
#include "VocTestSupport.h"

namespace fs = std::filesystem;

namespace {

long g_stopAt = 0;
void StopAtCall(sys::Call, long n, int) {
    if (n == g_stopAt) ::raise(SIGKILL);
}
void CountCalls(sys::Call, long, int) {}

// Large enough for many writes of the reordering's buffer.
std::string LargeVocabulary(std::string* reordered) {
    const int count = 4000;
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        entries.push_back(Entry("w" + n + " verbum" + n, std::string(900, 'a' + i % 26), "d" + n));
    }
    std::string text;
    for (const auto& e : entries) text += e;
    reordered->clear();
    for (std::size_t k = 0; k < entries.size(); ++k) {
        *reordered += entries[InterleavedPosition(entries.size(), k)];
    }
    return text;
}

class HardStopTest : public ::testing::TestWithParam<bool> {
protected:
    // Where unnamed temporary files are missing, the reordering names its file at once.
    void WithoutUnnamedFiles() {
        if (!GetParam()) sys::fault::Arm(sys::Call::kTempFile, 1, EOPNOTSUPP, true);
    }
};

TEST_P(HardStopTest, AStopAtAnyCallLeavesTheOriginalOrTheWholeNewFile) {
    TempDir dir;
    std::string reordered;
    const std::string original = LargeVocabulary(&reordered);
    const std::string path = dir.Write("large.voc", original);

    WithoutUnnamedFiles();
    sys::fault::SetHook(CountCalls);
    ASSERT_EQ(ReorderVocFile(path).outcome, ReorderOutcome::kRewritten);
    const long calls = sys::fault::Calls();
    sys::fault::Disarm();
    ASSERT_GT(calls, 10);

    int rewritten = 0, leftovers = 0;
    for (long k = 1; k <= calls; ++k) {
        dir.Write("large.voc", original);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            WithoutUnnamedFiles();
            g_stopAt = k;
            sys::fault::SetHook(StopAtCall);
            ReorderVocFile(path);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "call " << k;

        const std::string after = ReadBytes(path);
        ASSERT_TRUE(after == original || after == reordered) << "stopped before call " << k;
        rewritten += after == reordered;
        const auto names = Listing(dir.path());
        if (names.size() > 1) {
            ++leftovers;
            ASSERT_EQ(names.size(), 2u) << "call " << k;
            EXPECT_EQ(names[0].rfind(".tavrin-new-", 0), 0u) << names[0];
        }
        // The next run in the folder clears what the stop left.
        const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        CReplaceFile::RemoveLeftovers(folder);
        ::close(folder);
        EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"large.voc"}) << "call " << k;
    }
    EXPECT_GE(rewritten, 1);  // the stops after the rename
    // An unnamed file has a name only between its link and its rename; a named one from its
    // creation on.
    if (GetParam())
        EXPECT_EQ(leftovers, 1);
    else
        EXPECT_GT(leftovers, 1);
}

INSTANTIATE_TEST_SUITE_P(TempFiles, HardStopTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Unnamed" : "Named"; });

}  // namespace
