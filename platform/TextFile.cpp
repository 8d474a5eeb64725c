#include "TextFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "SysCall.h"
#include "Tr.h"

namespace {

constexpr std::size_t kChunk = 64 * 1024;

const char* const kCauseTexts[] = {
    N_("no error"),
    N_("an unspecified error occurred"),
    N_("the file could not be found"),
    N_("all or part of the path is invalid"),
    N_("too many files are open"),
    N_("the file could not be accessed"),
    N_("the file is not a valid text file"),
    N_("the current directory cannot be removed"),
    N_("there are no more directory entries"),
    N_("an error occurred while seeking in the file"),
    N_("a hardware error occurred while reading or writing"),
    N_("the file is in use by another program or window"),
    N_("the file is locked"),
    N_("the disk is full"),
    N_("the end of the file was reached"),
};

// A new file's name reaches the disk only with its folder's fsync: without it, a power cut
// could take away the file and every word already flushed into it.
bool SyncFolderOf(const std::string& path) {
    const int fd = sys::Open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = sys::Fsync(fd) == 0;
    const int err = errno;
    sys::Close(fd);
    errno = err;
    return synced;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int CFileException::CauseFromErrno(int err) {
    switch (err) {
        case 0:
            return none;
        case ENOENT:
            return fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return badPath;
        case EMFILE:
        case ENFILE:
            return tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
            return accessDenied;
        case EWOULDBLOCK:
            return sharingViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return diskFull;
        case EIO:
            return hardIO;
        default:
            return genericException;
    }
}

const char* CFileException::what() const noexcept {
    if (m_cause >= 0 && m_cause < static_cast<int>(std::size(kCauseTexts))) {
        return kCauseTexts[m_cause];
    }
    return kCauseTexts[genericException];
}

CTextFile::~CTextFile() {
    try {
        Close();
    } catch (const CFileException&) {
        // Nothing can report it any more; the descriptor is closed either way.
    }
}

bool CTextFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    bool created = false;
    auto fail = [&](int cause, int osError) {
        if (m_fd >= 0) {
            sys::Close(m_fd);
            m_fd = -1;
        }
        // A create that failed half way leaves no empty file that the user never got.
        if (created) sys::UnlinkAt(AT_FDCWD, path.c_str());
        if (error) *error = CFileException(cause, osError);
        return false;
    };
    if (IsOpen()) {
        // The file held stays open and held.
        if (error) *error = CFileException(CFileException::genericException, 0);
        return false;
    }

    const bool readWrite = (flags & modeReadWrite) != 0;
    const bool write = readWrite || (flags & modeWrite) != 0;
    const bool create = (flags & modeCreate) != 0;
    const bool keep = (flags & modeNoTruncate) != 0;
    const bool truncate = create && !keep;
    // O_NONBLOCK keeps a FIFO from hanging the open; only regular files are accepted below.
    const int access = readWrite ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    int oflags = access | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    m_fd = -1;
    if (create) {
        m_fd = sys::Open(path.c_str(), oflags | O_CREAT | O_EXCL, 0666);
        created = m_fd >= 0;
        if (m_fd < 0 && errno == EEXIST) m_fd = sys::Open(path.c_str(), oflags);
        // A link to a file that does not exist yet: create what it names.
        if (m_fd < 0 && errno == ENOENT) m_fd = sys::Open(path.c_str(), oflags | O_CREAT, 0666);
    } else {
        m_fd = sys::Open(path.c_str(), oflags);
    }
    if (m_fd < 0) return fail(CFileException::CauseFromErrno(errno), errno);

    struct stat st {};
    if (sys::Fstat(m_fd, &st) != 0) return fail(CFileException::CauseFromErrno(errno), errno);
    if (S_ISDIR(st.st_mode)) return fail(CFileException::accessDenied, EISDIR);
    if (!S_ISREG(st.st_mode)) return fail(CFileException::invalidFile, EINVAL);

    if (sys::Flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        return fail(err == EWOULDBLOCK ? CFileException::sharingViolation
                                       : CFileException::CauseFromErrno(err),
                    err);
    }
    // Truncate only now that the lock is ours; and for good, so that a power cut cannot bring
    // back the words of a file the user was told had been emptied.
    if (truncate && (sys::Ftruncate(m_fd, 0) != 0 || (st.st_size > 0 && sys::Fsync(m_fd) != 0))) {
        return fail(CFileException::CauseFromErrno(errno), errno);
    }
    // A kept file is written on at its end, as it stands once the lock is ours.
    if (write && keep && sys::Lseek(m_fd, 0, SEEK_END) < 0) {
        return fail(CFileException::CauseFromErrno(errno), errno);
    }
    if (created && !SyncFolderOf(path)) return fail(CFileException::CauseFromErrno(errno), errno);

    int fl = ::fcntl(m_fd, F_GETFL);
    if (fl >= 0) ::fcntl(m_fd, F_SETFL, fl & ~O_NONBLOCK);

    m_bWrite = write;
    m_path = path;
    m_buffer.clear();
    m_pos = 0;
    m_bEof = false;
    return true;
}

void CTextFile::ThrowLastError() const {
    int err = errno;
    throw CFileException(CFileException::CauseFromErrno(err), err);
}

bool CTextFile::FillBuffer() {
    if (m_bEof) return false;
    m_buffer.erase(0, m_pos);
    m_pos = 0;
    std::size_t old = m_buffer.size();
    m_buffer.resize(old + kChunk);
    const ssize_t n = sys::Read(m_fd, m_buffer.data() + old, kChunk);
    if (n < 0) {
        m_buffer.resize(old);
        ThrowLastError();
    }
    m_buffer.resize(old + static_cast<std::size_t>(n));
    if (n == 0) m_bEof = true;
    return n > 0;
}

bool CTextFile::ReadString(std::string& line, std::size_t keep, bool* cut) {
    line.clear();
    if (cut) *cut = false;
    if (!IsOpen() || m_bWrite) throw CFileException(CFileException::invalidFile, EBADF);
    // One byte more than is kept, so that a CR ending a line of exactly `keep` bytes is seen.
    const std::size_t room = std::min(keep, line.max_size() - 1) + 1;
    bool seen = false;     // the line has bytes
    bool dropped = false;  // bytes of the line were passed over unkept
    for (;;) {
        const char* begin = m_buffer.data() + m_pos;
        const std::size_t avail = m_buffer.size() - m_pos;
        const void* lf = std::memchr(begin, '\n', avail);
        const std::size_t len = lf ? static_cast<const char*>(lf) - begin : avail;
        const std::size_t take = std::min(len, room - line.size());
        line.append(begin, take);
        dropped |= take < len;
        seen |= len > 0;
        // What is passed over leaves the buffer at once: a line with no end in sight costs one
        // chunk of memory, not its length.
        m_pos += lf ? len + 1 : len;
        if (lf || !FillBuffer()) {
            // At the end of the file, the last line has no line end; or there is no line.
            if (!lf && !seen) return false;
            if (lf && !dropped && !line.empty() && line.back() == '\r') line.pop_back();
            if (dropped || line.size() > keep) {
                line.resize(keep);
                if (cut) *cut = true;
            }
            return true;
        }
    }
}

std::size_t CTextFile::Read(void* buffer, std::size_t count) {
    if (!IsOpen() || m_bWrite) throw CFileException(CFileException::invalidFile, EBADF);
    if (m_pos < m_buffer.size()) {
        const std::size_t n = std::min(count, m_buffer.size() - m_pos);
        std::memcpy(buffer, m_buffer.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    if (m_bEof || count == 0) return 0;
    const ssize_t n = sys::Read(m_fd, buffer, count);
    if (n < 0) ThrowLastError();
    if (n == 0) m_bEof = true;
    return static_cast<std::size_t>(n);
}

std::size_t CTextFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (!IsOpen()) throw CFileException(CFileException::invalidFile, EBADF);
    const ssize_t n = sys::Pread(m_fd, buffer, count, static_cast<off_t>(offset));
    if (n < 0) ThrowLastError();
    return static_cast<std::size_t>(n);
}

void CTextFile::WriteString(std::string_view text) {
    if (!IsOpen() || !m_bWrite) throw CFileException(CFileException::invalidFile, EBADF);
    for (;;) {
        std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos) {
            m_buffer.append(text);
            break;
        }
        m_buffer.append(text.substr(0, lf));
        m_buffer.append("\r\n");
        text.remove_prefix(lf + 1);
    }
    if (m_buffer.size() >= kChunk) Flush();
}

void CTextFile::Flush() {
    if (!IsOpen() || !m_bWrite || m_buffer.empty()) return;
    bool ok = sys::WriteAll(m_fd, m_buffer.data(), m_buffer.size());
    int err = errno;
    m_buffer.clear();
    if (!ok) throw CFileException(CFileException::CauseFromErrno(err), err);
}

void CTextFile::Sync() {
    Flush();
    if (IsOpen() && m_bWrite && sys::Fsync(m_fd) != 0) ThrowLastError();
}

std::uint64_t CTextFile::GetLength() {
    Flush();
    struct stat st {};
    if (!IsOpen() || sys::Fstat(m_fd, &st) != 0) ThrowLastError();
    return static_cast<std::uint64_t>(st.st_size);
}

void CTextFile::SetLength(std::uint64_t length) {
    if (!IsOpen() || !m_bWrite) throw CFileException(CFileException::invalidFile, EBADF);
    m_buffer.clear();
    if (sys::Ftruncate(m_fd, static_cast<off_t>(length)) != 0) ThrowLastError();
    if (sys::Lseek(m_fd, static_cast<off_t>(length), SEEK_SET) < 0) ThrowLastError();
}

void CTextFile::Close() {
    if (!IsOpen()) return;
    try {
        Flush();
    } catch (...) {
        Abort();
        throw;
    }
    int fd = m_fd;
    m_fd = -1;
    m_buffer.clear();
    if (sys::Close(fd) != 0 && errno != EINTR) ThrowLastError();
}

void CTextFile::Abort() {
    if (m_fd >= 0) sys::Close(m_fd);
    m_fd = -1;
    m_buffer.clear();
    m_pos = 0;
    m_bEof = false;
}
