#include "QuizFiles.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>

#include "Output.h"
#include "VocFormat.h"

namespace {

[[noreturn]] void ThrowErrno() {
    const int err = errno;
    throw CFileException(CFileException::CauseFromErrno(err), err);
}

// An unnamed file in the temporary folder; in memory where that folder cannot have one.
int MakeUnnamedFile() {
    const char* dir = std::getenv("TMPDIR");
    if (!dir || !*dir) dir = "/tmp";
    int fd = ::open(dir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) fd = ::memfd_create("tavrin-quiz", MFD_CLOEXEC);
    if (fd < 0) ThrowErrno();
    return fd;
}

void WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowErrno();
        }
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

bool ReadWholeEntry(CTextFile& file, std::string& entry) {
    entry.clear();
    std::string line;
    if (!file.ReadString(line)) return false;
    for (int i = 0; i < kLinesPerEntry; ++i) {
        if (i > 0) file.ReadString(line);  // empty past the end
        entry += line;
        entry += "\r\n";
    }
    return true;
}

std::vector<std::size_t> ShuffledOrder(std::size_t count, std::uint64_t seed) {
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = i;
    std::mt19937_64 random(seed);
    for (std::size_t i = count; i > 1; --i) {
        // A draw below i without the bias of a plain remainder.
        const std::uint64_t n = i;
        const std::uint64_t threshold = (0 - n) % n;
        std::uint64_t x;
        do x = random();
        while (x < threshold);
        std::swap(order[i - 1], order[x % n]);
    }
    return order;
}

CReorderedCopy::~CReorderedCopy() {
    if (m_fd >= 0) ::close(m_fd);
}

void CReorderedCopy::Append(std::string_view bytes) {
    if (m_fd < 0) m_fd = MakeUnnamedFile();
    WriteAll(m_fd, bytes);
}

void CReorderedCopy::Write(const std::vector<std::string>& entries,
                           const std::vector<std::size_t>& order) {
    if (m_fd < 0) m_fd = MakeUnnamedFile();
    std::string chunk;
    for (std::size_t position : order) {
        chunk += entries[position];
        if (chunk.size() >= 64 * 1024) {
            WriteAll(m_fd, chunk);
            chunk.clear();
        }
    }
    WriteAll(m_fd, chunk);
}

std::string CReorderedCopy::Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

std::size_t CopyEntries(const std::string& path, const std::vector<std::size_t>& positions,
                        COutput& out) {
    CTextFile file;
    CFileException error;
    if (!file.Open(path, CTextFile::modeRead, &error)) throw error;
    std::size_t found = 0;
    std::size_t position = 0;
    std::string entry;
    for (std::size_t wanted : positions) {
        // Entries before the next one wanted are read past, one at a time: memory stays small.
        bool got = false;
        while (position <= wanted && (got = ReadWholeEntry(file, entry))) ++position;
        if (!got) break;
        out.Write(entry);
        ++found;
    }
    return found;
}
