#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Reorder.h"
#include "TempDir.h"
#include "TextFile.h"
#include "VocTestSupport.h"

namespace fs = std::filesystem;

void PrintTo(const ReorderResult& r, std::ostream* os) {
    *os << "{outcome " << static_cast<int>(r.outcome) << ", cause " << r.cause << "}";
}

namespace {

using Positions = std::vector<std::size_t>;

struct OrderCase {
    std::size_t count;
    Positions positions;
};

class InterleavedOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(InterleavedOrderTest, EvensDownThenOddsUp) {
    EXPECT_EQ(InterleavedOrder(GetParam().count), GetParam().positions);
}

INSTANTIATE_TEST_SUITE_P(Counts, InterleavedOrderTest,
                         ::testing::Values(OrderCase{0, {}}, OrderCase{1, {0}},
                                           OrderCase{2, {0, 1}}, OrderCase{3, {2, 0, 1}},
                                           OrderCase{4, {2, 0, 1, 3}},
                                           OrderCase{5, {4, 2, 0, 1, 3}},
                                           OrderCase{6, {4, 2, 0, 1, 3, 5}}),
                         [](const ::testing::TestParamInfo<OrderCase>& info) {
                             return std::to_string(info.param.count) + "Entries";
                         });

// Entries A, B, C, ... each with its letter in every line, so a line moved out of its entry shows.
std::string Letters(const std::string& letters) {
    std::string text;
    for (char c : letters) {
        const std::string l(1, c);
        text += Entry(l + " " + l + "x", l + "1", l + "2", l + "3", l + "4", l + "5");
    }
    return text;
}

ReorderResult Rewritten() { return {ReorderOutcome::kRewritten, 0}; }

// A result as a child process's exit code, which is all a child can hand back.
int ExitCode(const ReorderResult& r) { return static_cast<int>(r.outcome) * 16 + r.cause; }

const char kNoUnprivilegedUser[] =
    "running as root and cannot become 'nobody', which permission bits would stop";

TEST(Reorder, WritesEntriesInTheInterleavedOrder) {
    TempDir dir;
    struct Case {
        std::string before, after;
    };
    const Case cases[] = {
        {"", ""},         {"A", "A"},         {"AB", "AB"},         {"ABC", "CAB"},
        {"ABCD", "CABD"}, {"ABCDE", "ECABD"}, {"ABCDEF", "ECABDF"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Write("f.voc", Letters(c.before));
        EXPECT_EQ(ReorderVocFile(path), Rewritten()) << c.before;
        EXPECT_EQ(ReadBytes(path), Letters(c.after)) << c.before;
        EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"f.voc"});
    }
}

TEST(Reorder, RepeatedRunsCycleBackToTheFirstOrder) {
    TempDir dir;
    struct Case {
        std::string letters;
        int period;
    };
    for (const auto& c : {Case{"ABC", 3}, Case{"ABCD", 3}, Case{"ABCDE", 5}, Case{"ABCDEF", 5}}) {
        const std::string original = Letters(c.letters);
        const std::string path = dir.Write("cycle.voc", original);
        for (int run = 1; run <= c.period; ++run) {
            ASSERT_EQ(ReorderVocFile(path), Rewritten());
            EXPECT_EQ(ReadBytes(path) == original, run == c.period)
                << c.letters << " after run " << run;
        }
    }
}

TEST(Reorder, EveryLineComesBackWholeWithCrLf) {
    TempDir dir;
    const std::string h78(78, 'h'), h79(79, 'i'), d198(198, 'd'), d199(199, 'e');
    const std::string huge(300000, 'x');
    struct Case {
        const char* name;
        std::string before, after;
    };
    const Case cases[] = {
        {"bare LF ends", "a ax\na1\n\n\n\n\nb bx\nb1\n\n\n\n\nc cx\n\n\n\n\nc5\n",
         Entry("c cx", "", "", "", "", "c5") + Entry("a ax", "a1") + Entry("b bx", "b1")},
        {"mixed ends", "a ax\r\na1\n\r\n\n\r\n\nb bx\nb1\r\n\n\n\n\r\n",
         Entry("a ax", "a1") + Entry("b bx", "b1")},
        {"78 and 198 characters", Entry(h78, d198) + Entry("b", d198, d198, d198, d198, d198),
         Entry(h78, d198) + Entry("b", d198, d198, d198, d198, d198)},
        {"79 and 199 characters", Entry("a", "1") + Entry(h79, d199) + Entry("c", d199),
         Entry("c", d199) + Entry("a", "1") + Entry(h79, d199)},
        {"very long lines", Entry("a", huge) + Entry(huge) + Entry("c " + huge),
         Entry("c " + huge) + Entry("a", huge) + Entry(huge)},
        {"a CR inside a line is text", Entry("a\rb", "x\ry"), Entry("a\rb", "x\ry")},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Write("lines.voc", c.before);
        EXPECT_EQ(ReorderVocFile(path), Rewritten()) << c.name;
        EXPECT_TRUE(ReadBytes(path) == c.after) << c.name;
    }
}

TEST(Reorder, ACutShortLastEntryIsWrittenWhole) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string before, after;
    };
    const Case cases[] = {
        {"last line without a line end", Letters("AB") + "c cx\r\nc1\r\nc2\r\nc3\r\nc4\r\nc5",
         Entry("c cx", "c1", "c2", "c3", "c4", "c5") + Letters("AB")},
        {"definition lines missing", Letters("AB") + "c cx\r\nc1\r\n",
         Entry("c cx", "c1") + Letters("AB")},
        {"headword line alone, no line end", Letters("AB") + "c cx", Entry("c cx") + Letters("AB")},
        {"one extra empty line", Letters("AB") + "\r\n", Entry("") + Letters("AB")},
        {"a lone headword", "a ax\n", Entry("a ax")},
        {"a lone bare line end", "\n", Entry("")},
        {"bare LF ends, cut short, no last line end", "a ax\na1\n\n\n\n\nb bx\n\n\n\n\n\nc cx\nc1",
         Entry("c cx", "c1") + Entry("a ax", "a1") + Entry("b bx")},
        {"a CR as the last byte stays text", "a\r", Entry("a\r")},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Write("short.voc", c.before);
        EXPECT_EQ(ReorderVocFile(path), Rewritten()) << c.name;
        EXPECT_EQ(ReadBytes(path), c.after) << c.name;
    }
}

TEST(Reorder, LineEndsAtEveryOffsetAreFound) {
    // Lines of 0 to 40 characters put line ends at every place within a block of the scan.
    TempDir dir;
    for (const char* end : {"\n", "\r\n"}) {
        std::vector<std::string> entries;
        std::string before;
        for (int n = 0; n <= 40; ++n) {
            const std::string word(n, static_cast<char>('a' + n % 26));
            std::string raw, stored;
            for (int line = 0; line < 6; ++line) {
                const std::string text = word.substr(0, (n + line) % (n + 1));
                raw += text + end;
                stored += text + "\r\n";
            }
            before += raw;
            entries.push_back(stored);
        }
        std::string after;
        for (int i = 40; i >= 0; i -= 2) after += entries[i];
        for (int i = 1; i <= 40; i += 2) after += entries[i];
        const std::string path = dir.Write("offsets.voc", before);
        EXPECT_EQ(ReorderVocFile(path), Rewritten());
        EXPECT_TRUE(ReadBytes(path) == after) << (end[0] == '\n' ? "LF" : "CR LF");
    }
}

TEST(Reorder, TenThousandEntries) {
    TempDir dir;
    constexpr int kCount = 10000;
    auto word = [](int i) {
        const std::string n = std::to_string(i);
        return Entry("w" + n + " verbum" + n, "d" + n, "", "e" + n, "", "f" + n);
    };
    std::string before, after;
    for (int i = 0; i < kCount; ++i) before += word(i);
    for (int i = kCount - 2; i >= 0; i -= 2) after += word(i);
    for (int i = 1; i < kCount; i += 2) after += word(i);
    const std::string path = dir.Write("many.voc", before);
    EXPECT_EQ(ReorderVocFile(path), Rewritten());
    EXPECT_TRUE(ReadBytes(path) == after);
}

TEST(Reorder, FilesThatCannotBeReadAreLeftAlone) {
    TempDir dir;
    EXPECT_EQ(ReorderVocFile(dir.File("missing.voc")),
              (ReorderResult{ReorderOutcome::kCannotOpenForReading, CFileException::fileNotFound}));
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{});

    const std::string path = dir.Write("held.voc", Letters("ABC"));
    CTextFile holder;
    ASSERT_TRUE(holder.Open(path, CTextFile::modeRead, nullptr));
    EXPECT_EQ(ReorderVocFile(path), (ReorderResult{ReorderOutcome::kCannotOpenForReading,
                                                   CFileException::sharingViolation}));
    EXPECT_EQ(ReadBytes(path), Letters("ABC"));
}

TEST(Reorder, AFailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    TempDir dir;
    const std::string original = Letters("ABCDEFGHIJ");
    const std::string path = dir.Write("full.voc", original);
    const int rc = InChild([&] {
        LimitFileSize(original.size() / 2);
        return ExitCode(ReorderVocFile(path));
    });
    EXPECT_EQ(rc, ExitCode({ReorderOutcome::kWriteFailed, CFileException::diskFull}));
    EXPECT_TRUE(ReadBytes(path) == original);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"full.voc"});
}

TEST(Reorder, PermissionBitsAreKept) {
    TempDir dir;
    for (fs::perms mode : {fs::perms(0640), fs::perms(0600), fs::perms(0664), fs::perms(0444)}) {
        const std::string path = dir.Write("mode.voc", Letters("ABC"));
        fs::permissions(path, mode);
        // As root a read-only file is still written; the bits must carry over all the same.
        if (::geteuid() != 0 && (mode & fs::perms::owner_write) == fs::perms::none) continue;
        EXPECT_EQ(ReorderVocFile(path), Rewritten());
        EXPECT_EQ(ReadBytes(path), Letters("CAB"));
        EXPECT_EQ(fs::status(path).permissions(), mode);
    }
}

TEST(Reorder, ASymbolicLinkStaysALinkAndItsTargetIsRewritten) {
    TempDir dir;
    fs::create_directory(dir.path() / "words");
    const std::string target = dir.Write("words/real.voc", Letters("ABC"));
    const fs::path link = dir.path() / "link.voc";
    fs::create_symlink("words/real.voc", link);

    EXPECT_EQ(ReorderVocFile(link.string()), Rewritten());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "words/real.voc");
    EXPECT_EQ(ReadBytes(target), Letters("CAB"));
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"link.voc", "words"}));
    EXPECT_EQ(Listing(dir.path() / "words"), std::vector<std::string>{"real.voc"});
}

// The permission cases run as an unprivileged user: root would write anything.
class ReorderPermissionTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Others may enter the folder and read, but not make files in it.
        fs::permissions(dir.path(), fs::perms(0755));
    }

    // Runs `body` in a child as `nobody` (or as ourselves when not root); its exit code.
    template <class Body>
    int Unprivileged(Body body) {
        return InChild([&] { return DropRoot() ? body() : kCannotDropRoot; });
    }

    TempDir dir;
};

TEST_F(ReorderPermissionTest, AReadOnlyFileIsRefusedWithTheWritingCause) {
    const std::string path = dir.Write("locked.voc", Letters("ABCDE"));
    fs::permissions(path, fs::perms(0444));
    const int rc = Unprivileged([&] { return ExitCode(ReorderVocFile(path)); });
    if (rc == kCannotDropRoot) GTEST_SKIP() << kNoUnprivilegedUser;
    EXPECT_EQ(rc, ExitCode({ReorderOutcome::kCannotOpenForWriting, CFileException::accessDenied}));
    EXPECT_EQ(ReadBytes(path), Letters("ABCDE"));
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"locked.voc"});
}

TEST_F(ReorderPermissionTest, AFolderWithoutRoomForATemporaryFileIsRewrittenInPlace) {
    const std::string path = dir.Write("shared.voc", Letters("ABCDE"));
    fs::permissions(path, fs::perms(0666));
    const auto links = fs::hard_link_count(path);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const int rc = Unprivileged([&] { return ExitCode(ReorderVocFile(path)); });
    if (rc == kCannotDropRoot) GTEST_SKIP() << kNoUnprivilegedUser;
    EXPECT_EQ(rc, ExitCode(Rewritten()));
    EXPECT_EQ(ReadBytes(path), Letters("ECABD"));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(fs::hard_link_count(path), links);
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"shared.voc"});
}

TEST_F(ReorderPermissionTest, InPlaceRewriteRefusesAFullDiskBeforeWriting) {
    // Bare LF ends grow by a CR each when rewritten, past the limit set below.
    std::string original;
    for (char c : std::string("ABCDE")) original += std::string(1, c) + " x\n1\n2\n3\n4\n5\n";
    const std::string path = dir.Write("grow.voc", original);
    fs::permissions(path, fs::perms(0666));
    const int rc = Unprivileged([&] {
        LimitFileSize(original.size() + 5);
        return ExitCode(ReorderVocFile(path));
    });
    if (rc == kCannotDropRoot) GTEST_SKIP() << kNoUnprivilegedUser;
    EXPECT_EQ(rc, ExitCode({ReorderOutcome::kWriteFailed, CFileException::diskFull}));
    EXPECT_EQ(ReadBytes(path), original);
}

}  // namespace
