#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "TextFile.h"

namespace {

std::string ReadRest(CTextFile& file, std::size_t chunk) {
    std::string bytes;
    std::string buffer(chunk, '\0');
    while (std::size_t n = file.Read(buffer.data(), buffer.size())) bytes.append(buffer, 0, n);
    return bytes;
}

TEST(TextFileRead, GivesTheBytesAsStoredAfterWhatReadStringTook) {
    TempDir dir;
    std::string big(200000, 'x');
    const std::string bytes = "amo amare\r\nlove\n" + big + "\r\nend";
    const std::string path = dir.Write("raw.voc", bytes);
    for (std::size_t chunk : {1u, 7u, 65536u, 1000000u}) {
        CTextFile file;
        ASSERT_TRUE(file.Open(path, CTextFile::modeRead, nullptr));
        std::string line;
        ASSERT_TRUE(file.ReadString(line));
        EXPECT_EQ(line, "amo amare");
        // The rest of the read-ahead first, then the file itself, line ends untouched.
        EXPECT_EQ(ReadRest(file, chunk), bytes.substr(11)) << chunk;
        char c;
        EXPECT_EQ(file.Read(&c, 1), 0u);
        EXPECT_FALSE(file.ReadString(line));
    }
}

TEST(TextFileRead, RefusesAFileOpenForWriting) {
    TempDir dir;
    CTextFile file;
    ASSERT_TRUE(file.Open(dir.File("out.voc"),
                          CTextFile::modeCreate | CTextFile::shareExclusive | CTextFile::modeWrite,
                          nullptr));
    char c;
    EXPECT_THROW(file.Read(&c, 1), CFileException);
    CTextFile closed;
    EXPECT_THROW(closed.Read(&c, 1), CFileException);
}

}  // namespace
