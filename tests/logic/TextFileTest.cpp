#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TextFile.h"

namespace {

constexpr unsigned kRead = CTextFile::modeRead;
constexpr unsigned kCreate = CTextFile::modeCreate | CTextFile::shareExclusive | CTextFile::modeWrite;

std::vector<std::string> ReadAllLines(const std::string& path) {
    CTextFile f;
    CFileException e;
    EXPECT_TRUE(f.Open(path, kRead, &e)) << e.m_cause;
    std::vector<std::string> lines;
    std::string line;
    while (f.ReadString(line)) lines.push_back(line);
    EXPECT_EQ(line, "");
    return lines;
}

TEST(TextFile, ReadsCrLfAndBareLfAlike) {
    TempDir dir;
    using V = std::vector<std::string>;
    EXPECT_EQ(ReadAllLines(dir.Write("crlf", "amo amare\r\nlove\r\n\r\n")), (V{"amo amare", "love", ""}));
    EXPECT_EQ(ReadAllLines(dir.Write("lf", "amo amare\nlove\n\n")), (V{"amo amare", "love", ""}));
    EXPECT_EQ(ReadAllLines(dir.Write("mixed", "a\r\nb\nc\r\n")), (V{"a", "b", "c"}));
}

TEST(TextFile, LastLineWithoutLineEndIsStillALine) {
    TempDir dir;
    using V = std::vector<std::string>;
    EXPECT_EQ(ReadAllLines(dir.Write("f", "one\r\ntwo")), (V{"one", "two"}));
    EXPECT_EQ(ReadAllLines(dir.Write("g", "lonely")), (V{"lonely"}));
}

TEST(TextFile, EmptyFileHasNoLinesAndEveryReadPastTheEndIsEmpty) {
    TempDir dir;
    CTextFile f;
    ASSERT_TRUE(f.Open(dir.Write("empty.voc", ""), kRead, nullptr));
    std::string line = "stale";
    EXPECT_FALSE(f.ReadString(line));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(f.ReadString(line));
}

TEST(TextFile, LongLinesAcrossBufferBoundariesReadWhole) {
    TempDir dir;
    std::string big(200000, 'x');
    big[65535] = '\r';  // a CR inside a line stays part of it
    auto lines = ReadAllLines(dir.Write("big", big + "\r\n" + big + "\n"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], big);
    EXPECT_EQ(lines[1], big);
}

TEST(TextFile, WritingStoresEachLineFeedAsCrLf) {
    TempDir dir;
    std::string path = dir.File("out.voc");
    {
        CTextFile f;
        ASSERT_TRUE(f.Open(path, kCreate, nullptr));
        f.WriteString("portas ");
        f.WriteString("porto portare\n");
        f.WriteString("\n");
        f.Close();
    }
    EXPECT_EQ(ReadBytes(path), "portas porto portare\r\n\r\n");
}

TEST(TextFile, DestructorFlushesAndReleasesTheFile) {
    TempDir dir;
    std::string path = dir.File("out.voc");
    {
        CTextFile f;
        ASSERT_TRUE(f.Open(path, kCreate, nullptr));
        f.WriteString("a\n");
    }
    EXPECT_EQ(ReadBytes(path), "a\r\n");
    CTextFile again;
    EXPECT_TRUE(again.Open(path, kRead, nullptr));
}

TEST(TextFile, SecondOpenFailsWithSharingCauseAndLeavesTheFileAlone) {
    TempDir dir;
    std::string path = dir.Write("held.voc", "amo amare\r\nlove\r\n");
    CTextFile holder;
    ASSERT_TRUE(holder.Open(path, kRead, nullptr));

    CTextFile reader;
    CFileException e;
    EXPECT_FALSE(reader.Open(path, kRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
    EXPECT_FALSE(reader.IsOpen());

    CTextFile writer;
    CFileException we;
    EXPECT_FALSE(writer.Open(path, kCreate, &we));
    EXPECT_EQ(we.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(ReadBytes(path), "amo amare\r\nlove\r\n");  // not emptied by the failed create

    holder.Close();
    EXPECT_TRUE(reader.Open(path, kRead, nullptr));
}

TEST(TextFile, OpenFromAnotherProcessIsRefusedWhileHeld) {
    TempDir dir;
    std::string path = dir.Write("held.voc", "x\r\n");
    CTextFile holder;
    ASSERT_TRUE(holder.Open(path, kRead, nullptr));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CTextFile other;
        CFileException e;
        bool opened = other.Open(path, kRead, &e);
        ::_exit(!opened && e.m_cause == CFileException::sharingViolation ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(TextFile, OpenFailuresCarryTheirCause) {
    TempDir dir;
    struct Case {
        std::string path;
        unsigned flags;
        int cause;
    };
    const std::string file = dir.Write("plain.voc", "x\n");
    const Case cases[] = {
        {dir.File("missing.voc"), kRead, CFileException::fileNotFound},
        {dir.File("nofolder/new.voc"), kCreate, CFileException::fileNotFound},
        {file + "/below.voc", kRead, CFileException::badPath},
        {dir.path().string(), kRead, CFileException::accessDenied},
        {dir.path().string(), kCreate, CFileException::accessDenied},
        {"", kRead, CFileException::fileNotFound},
    };
    for (const auto& c : cases) {
        CTextFile f;
        CFileException e;
        EXPECT_FALSE(f.Open(c.path, c.flags, &e)) << c.path;
        EXPECT_EQ(e.m_cause, c.cause) << c.path;
        EXPECT_FALSE(f.IsOpen());
    }
}

TEST(TextFile, CreateEmptiesAnExistingFile) {
    TempDir dir;
    std::string path = dir.Write("old.voc", "old content\r\n");
    CTextFile f;
    ASSERT_TRUE(f.Open(path, kCreate, nullptr));
    EXPECT_EQ(ReadBytes(path), "");
}

TEST(TextFile, SetLengthCutsBackAndDropsPendingText) {
    TempDir dir;
    std::string path = dir.File("cut.voc");
    CTextFile f;
    ASSERT_TRUE(f.Open(path, kCreate, nullptr));
    f.WriteString("keep\n");
    const auto kept = f.GetLength();
    EXPECT_EQ(kept, 6u);
    f.WriteString("half an ent");
    f.SetLength(kept);
    f.WriteString("next\n");
    f.Close();
    EXPECT_EQ(ReadBytes(path), "keep\r\nnext\r\n");
}

TEST(TextFile, WriteFailureIsThrownWithDiskFullCause) {
    CTextFile f;
    ASSERT_TRUE(f.Open("/dev/full", kRead, nullptr) == false);  // not a regular file
    TempDir dir;
    // A full disk is imitated with a file-size limit in a child process.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        struct rlimit lim {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        ::signal(SIGXFSZ, SIG_IGN);
        CTextFile out;
        if (!out.Open(dir.File("full.voc"), kCreate, nullptr)) ::_exit(2);
        try {
            for (int i = 0; i < 10000; ++i) out.WriteString("0123456789\n");
            out.Close();
        } catch (const CFileException& e) {
            ::_exit(e.m_cause == CFileException::diskFull ? 0 : 3);
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace

namespace {

TEST(TextFile, ALineLongerThanWhatIsKeptIsCutAndTheNextLineReadWhole) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        std::string first;
        bool cut;
    };
    const std::string big(300000, 'x');  // spans several read chunks
    const Case cases[] = {
        {"shorter", "abc\r\nnext\r\n", "abc", false},
        {"exactly kept", "abcde\r\nnext\r\n", "abcde", false},
        {"exactly kept, bare LF", "abcde\nnext\n", "abcde", false},
        {"one byte more", "abcdef\r\nnext\r\n", "abcde", true},
        {"a CR at the cut is text", "abcde\rf\nnext\n", "abcde", true},
        {"long, across chunks", big + "\r\nnext\r\n", "xxxxx", true},
        {"long, no line end", big, "xxxxx", true},
    };
    for (const auto& c : cases) {
        CTextFile f;
        ASSERT_TRUE(f.Open(dir.Write("f", c.bytes), kRead, nullptr));
        std::string line;
        bool cut = !c.cut;
        ASSERT_TRUE(f.ReadString(line, 5, &cut)) << c.name;
        EXPECT_EQ(line, c.first) << c.name;
        EXPECT_EQ(cut, c.cut) << c.name;
        const bool more = f.ReadString(line, 5, &cut);
        EXPECT_EQ(more, c.bytes.find("next") != std::string::npos) << c.name;
        if (more) {
            EXPECT_EQ(line, "next") << c.name;
        }
        EXPECT_FALSE(f.ReadString(line)) << c.name;
    }
}

}  // namespace
