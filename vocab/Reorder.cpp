#include "Reorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "TextFile.h"
#include "VocFormat.h"

namespace {

int Cause(int err) { return CFileException::CauseFromErrno(err); }

[[noreturn]] void ThrowErrno() {
    const int err = errno;
    throw CFileException(Cause(err), err);
}

// Owns one descriptor; closes it unless released.
class CFd {
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // Closes now and reports the result, since a late write error may only show here.
    void Close() {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR) ThrowErrno();
    }

private:
    int m_fd;
};

// The whole file in one buffer, every line ending in a single LF, and where each entry starts.
// One allocation of about the file's size, rather than a string per line, keeps a large file
// within reach of the memory it already takes on disk.
struct EntryText {
    std::string text;
    std::vector<std::size_t> starts;
    std::uint64_t lines = 0;

    std::string_view Entry(std::size_t i) const {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
        return std::string_view(text).substr(starts[i], end - starts[i]);
    }
};

void ReadEntries(CTextFile& file, EntryText& entries) {
    // CR LF shrinks to LF; at most a last line end and five missing lines are added.
    entries.text.reserve(static_cast<std::size_t>(file.GetLength()) + kLinesPerEntry);
    std::string line;
    while (file.ReadString(line)) {
        if (entries.lines % kLinesPerEntry == 0) entries.starts.push_back(entries.text.size());
        entries.text.append(line);
        entries.text.push_back('\n');
        ++entries.lines;
    }
    // A cut-short last entry is completed with empty lines so that the entries written after
    // it keep their six lines each.
    while (entries.lines % kLinesPerEntry != 0) {
        entries.text.push_back('\n');
        ++entries.lines;
    }
}

// Writes text to a descriptor, each LF stored as CR LF. Failures are thrown as CFileException.
class CCrLfWriter {
public:
    explicit CCrLfWriter(int fd) : m_fd(fd) { m_buffer.reserve(kChunk + 2); }

    void Write(std::string_view text) {
        while (!text.empty()) {
            const void* lf = std::memchr(text.data(), '\n', text.size());
            if (!lf) {
                m_buffer.append(text);
                break;
            }
            const std::size_t len = static_cast<const char*>(lf) - text.data();
            m_buffer.append(text.data(), len);
            m_buffer.append("\r\n", 2);
            text.remove_prefix(len + 1);
            if (m_buffer.size() >= kChunk) Flush();
        }
        if (m_buffer.size() >= kChunk) Flush();
    }

    void Flush() {
        const char* data = m_buffer.data();
        std::size_t size = m_buffer.size();
        while (size > 0) {
            const ssize_t n = ::write(m_fd, data, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                ThrowErrno();
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        m_buffer.clear();
    }

private:
    static constexpr std::size_t kChunk = 256 * 1024;
    int m_fd;
    std::string m_buffer;
};

void WriteInNewOrder(int fd, const EntryText& entries) {
    CCrLfWriter out(fd);
    const std::size_t count = entries.starts.size();
    for (std::size_t k = 0; k < count; ++k) out.Write(entries.Entry(InterleavedPosition(count, k)));
    out.Flush();
}

// The file a path finally names, so that a symbolic link is kept and its target rewritten.
std::string ResolveLinks(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes a rename in `folder` survive a crash. Failing here costs only that guarantee: the
// rename itself has already happened.
void SyncFolder(const std::string& folder) {
    CFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
}

// For a folder where no new file can be made: overwrite the original through `fd`.
ReorderResult RewriteInPlace(int fd, const EntryText& entries) {
    const std::uint64_t newSize = entries.text.size() + entries.lines;  // each LF gains a CR
    // Claim the space first, so that a full disk refuses before a byte of the original changes.
    if (newSize > 0 && ::fallocate(fd, 0, 0, static_cast<off_t>(newSize)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        return {ReorderOutcome::kWriteFailed, Cause(errno)};
    }
    try {
        if (::lseek(fd, 0, SEEK_SET) < 0) ThrowErrno();
        WriteInNewOrder(fd, entries);
        if (::ftruncate(fd, static_cast<off_t>(newSize)) != 0) ThrowErrno();
        if (::fsync(fd) != 0) ThrowErrno();
    } catch (const CFileException& e) {
        return {ReorderOutcome::kWriteFailedInPlace, e.m_cause};
    }
    return {ReorderOutcome::kRewritten, CFileException::none};
}

ReorderResult ReplaceWithNewOrder(const std::string& target, int originalFd,
                                  const EntryText& entries) {
    struct stat st {};
    if (::fstat(originalFd, &st) != 0) return {ReorderOutcome::kWriteFailed, Cause(errno)};

    const std::string folder = FolderOf(target);
    std::string tempPath = folder + "/.tavrin-order-XXXXXX";
    CFd temp(::mkostemp(tempPath.data(), O_CLOEXEC));
    if (!temp) return RewriteInPlace(originalFd, entries);

    try {
        // Keeping the owner needs root; anyone else rewrites the file as their own, with the
        // same permission bits.
        if (::fchown(temp.get(), st.st_uid, st.st_gid) != 0) {
        }
        if (::fchmod(temp.get(), st.st_mode & 07777) != 0) ThrowErrno();
        WriteInNewOrder(temp.get(), entries);
        if (::fsync(temp.get()) != 0) ThrowErrno();
        temp.Close();
        if (::rename(tempPath.c_str(), target.c_str()) != 0) ThrowErrno();
    } catch (const CFileException& e) {
        ::unlink(tempPath.c_str());
        return {ReorderOutcome::kWriteFailed, e.m_cause};
    }
    SyncFolder(folder);
    return {ReorderOutcome::kRewritten, CFileException::none};
}

}  // namespace

std::size_t InterleavedPosition(std::size_t count, std::size_t k) {
    const std::size_t evens = (count + 1) / 2;
    return k < evens ? 2 * (evens - 1 - k) : 2 * (k - evens) + 1;
}

std::vector<std::size_t> InterleavedOrder(std::size_t count) {
    std::vector<std::size_t> order(count);
    for (std::size_t k = 0; k < count; ++k) order[k] = InterleavedPosition(count, k);
    return order;
}

ReorderResult ReorderVocFile(const std::string& path) {
    // Held until the end, so that no other reader or writer of ours meets a half-done file.
    CTextFile original;
    CFileException error(CFileException::none, -1);
    if (!original.Open(path, CTextFile::modeRead, &error)) {
        return {ReorderOutcome::kCannotOpenForReading, error.m_cause};
    }
    EntryText entries;
    try {
        ReadEntries(original, entries);
    } catch (const CFileException& e) {
        return {ReorderOutcome::kReadFailed, e.m_cause};
    }

    const std::string target = ResolveLinks(path);
    // A file we may not write is refused before anything is written. Opening for writing
    // without truncating changes nothing; no lock is taken, since ours is held already.
    CFd writable(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!writable) return {ReorderOutcome::kCannotOpenForWriting, Cause(errno)};

    return ReplaceWithNewOrder(target, writable.get(), entries);
}
