#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ReplaceFile.h"
#include "SysCall.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

// Runs the body once with unnamed temporary files and once as on a file system without them.
class ReplaceFileTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (!GetParam()) sys::fault::Arm(sys::Call::kTempFile, 1, EOPNOTSUPP, true);
    }
    void TearDown() override { sys::fault::Disarm(); }

    // Writes `bytes` to `target` and commits; returns the errno of a failure, 0 on success.
    int Replace(const std::string& target, const std::string& bytes, bool replaceExisting) {
        CReplaceFile out;
        CFileException error;
        if (!out.Begin(target, &error)) return error.m_lOsError;
        try {
            out.Write(bytes);
            out.Commit(replaceExisting);
        } catch (const CFileException& e) {
            return e.m_lOsError;
        }
        return 0;
    }

    TempDir dir;
};

TEST_P(ReplaceFileTest, CommitReplacesOrRefusesAsAsked) {
    struct Case {
        const char* name;
        bool exists;
        bool replaceExisting;
        int err;
        const char* after;
    };
    const Case cases[] = {
        {"new file, replace", false, true, 0, "new"},
        {"new file, no replace", false, false, 0, "new"},
        {"existing file, replace", true, true, 0, "new"},
        {"existing file, no replace", true, false, EEXIST, "old"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File("out.voc");
        fs::remove(path);
        if (c.exists) dir.Write("out.voc", "old");
        EXPECT_EQ(Replace(path, "new", c.replaceExisting), c.err) << c.name;
        EXPECT_EQ(ReadBytes(path), c.after) << c.name;
        EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"out.voc"}) << c.name;
    }
}

TEST_P(ReplaceFileTest, PiecesOfEverySizeArriveInTheirOrder) {
    // Small pieces are gathered, large ones written as they come: neither may overtake the other.
    const std::size_t sizes[] = {3, 256 << 10, 1, (1 << 20) + 1, 5, (256 << 10) - 1, 1 << 20, 7};
    CReplaceFile out;
    const std::string path = dir.File("pieces.voc");
    ASSERT_TRUE(out.Begin(path, nullptr));
    std::string all;
    char letter = 'a';
    for (const std::size_t size : sizes) {
        const std::string piece(size, letter++);
        out.Write(piece);
        all += piece;
    }
    out.Commit(true);
    EXPECT_EQ(ReadBytes(path), all);
}

TEST_P(ReplaceFileTest, ANewFileGetsTheUmaskAndAReplacedOneKeepsItsBits) {
    const mode_t old = ::umask(027);
    const std::string fresh = dir.File("fresh.voc");
    EXPECT_EQ(Replace(fresh, "x", false), 0);
    EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0640));
    ::umask(old);

    const std::string kept = dir.Write("kept.voc", "old");
    fs::permissions(kept, fs::perms(0604));
    EXPECT_EQ(Replace(kept, "new", true), 0);
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms(0604));
}

TEST_P(ReplaceFileTest, DiscardLeavesTheTargetAndNothingElse) {
    const std::string path = dir.Write("words.voc", "old");
    for (bool commitAttempted : {false, true}) {
        CReplaceFile out;
        ASSERT_TRUE(out.Begin(path, nullptr));
        out.Write("never");
        if (commitAttempted) {
            EXPECT_THROW(out.Commit(false), CFileException);
        }
        out.Discard();
        EXPECT_EQ(ReadBytes(path), "old");
        EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"words.voc"});
    }
    {
        CReplaceFile dropped;
        ASSERT_TRUE(dropped.Begin(dir.File("other.voc"), nullptr));
        dropped.Write(std::string(3 << 20, 'x'));  // past the buffer: on disk already
    }
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"words.voc"});
}

TEST_P(ReplaceFileTest, ALinkStaysALinkAndWhatCannotBeWrittenIsRefusedAtBegin) {
    fs::create_directory(dir.path() / "real");
    const std::string target = dir.Write("real/words.voc", "old");
    fs::create_symlink("real/words.voc", dir.path() / "link.voc");
    EXPECT_EQ(Replace(dir.File("link.voc"), "new", true), 0);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.voc"));
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(Listing(dir.path() / "real"), std::vector<std::string>{"words.voc"});

    struct Case {
        std::string path;
        int err;
    };
    const Case refused[] = {
        {dir.path().string(), EISDIR},
        {dir.File("missing/words.voc"), ENOENT},
        {"/dev/null", EINVAL},
    };
    for (const auto& c : refused) {
        CReplaceFile out;
        CFileException error;
        EXPECT_FALSE(out.Begin(c.path, &error)) << c.path;
        EXPECT_EQ(error.m_lOsError, c.err) << c.path;
        EXPECT_EQ(error.m_cause, CFileException::CauseFromErrno(c.err)) << c.path;
    }
}

INSTANTIATE_TEST_SUITE_P(TempFiles, ReplaceFileTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Unnamed" : "Named"; });

TEST(ReplaceFileLeftovers, OnlyOursThatNoOneHoldsAreRemoved) {
    TempDir dir;
    for (const char* name : {".tavrin-new-abc123", ".tavrin-order-XYZ789", ".tavrin-new-held00",
                             ".tavrin-new-notes.txt", ".tavrin-other", "words.voc"}) {
        dir.Write(name, "x");
    }
    fs::create_directory(dir.path() / ".tavrin-new-folder");
    const int held = ::open(dir.File(".tavrin-new-held00").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    CReplaceFile out;
    ASSERT_TRUE(out.Begin(dir.File("words.voc"), nullptr));
    out.Discard();
    ::close(held);
    EXPECT_EQ(Listing(dir.path()),
              (std::vector<std::string>{".tavrin-new-folder", ".tavrin-new-held00",
                                        ".tavrin-new-notes.txt", ".tavrin-other", "words.voc"}));
}

}  // namespace
