#include "ReplaceFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "SysCall.h"

namespace {

constexpr char kPrefix[] = ".tavrin-new-";
// What an earlier version named its temporary file; a stop could leave one behind.
constexpr char kOldPrefix[] = ".tavrin-order-";
constexpr std::size_t kRandomChars = 6;

// Large enough that the system's cost per write vanishes; small beside any large file.
constexpr std::size_t kChunk = 1024 * 1024;
// Bytes given at least this many at once are written as they are, not copied into the buffer
// first, which would only copy every byte once more.
constexpr std::size_t kDirect = 256 * 1024;
constexpr std::uint64_t kStartEvery = 8 * 1024 * 1024;

std::string RandomName() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kRandomChars];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // Only a name that must not collide with a neighbour's; the O_EXCL create checks it.
        static unsigned counter = 0;
        const unsigned long seed = static_cast<unsigned long>(::getpid()) * 2654435761u ^
                                   static_cast<unsigned long>(std::time(nullptr)) ^ ++counter;
        for (std::size_t i = 0; i < sizeof bytes; ++i) bytes[i] = (seed >> (i * 5)) & 0xff;
    }
    std::string name = kPrefix;
    for (unsigned char b : bytes) name += kChars[b % (sizeof kChars - 1)];
    return name;
}

bool IsLeftoverName(std::string_view name) {
    for (std::string_view prefix : {std::string_view(kPrefix), std::string_view(kOldPrefix)}) {
        if (name.size() == prefix.size() + kRandomChars &&
            name.substr(0, prefix.size()) == prefix) {
            return true;
        }
    }
    return false;
}

// The file a path finally names, so that a symbolic link is kept and its target rewritten.
std::string ResolveLinks(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

void CloseFd(int& fd) {
    if (fd >= 0) sys::Close(fd);
    fd = -1;
}

}  // namespace

void CReplaceFile::Throw(int err) {
    throw CFileException(CFileException::CauseFromErrno(err), err);
}

bool CReplaceFile::Begin(const std::string& target, CFileException* error, bool inPlaceWhenNoRoom) {
    Discard();
    m_inPlace = false;
    auto fail = [&](int err) {
        Discard();
        if (error) *error = CFileException(CFileException::CauseFromErrno(err), err);
        return false;
    };
    m_target = ResolveLinks(target);
    const std::string folder = FolderOf(m_target);
    const std::size_t slash = m_target.rfind('/');
    m_base = slash == std::string::npos ? m_target : m_target.substr(slash + 1);

    // Opening for writing without truncating changes nothing, and refuses what we may not
    // write before any work is done. O_NONBLOCK keeps a FIFO from hanging the open.
    m_existing = sys::Open(m_target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (m_existing < 0 && errno != ENOENT) return fail(errno);
    if (m_existing >= 0) {
        struct stat st {};
        if (sys::Fstat(m_existing, &st) != 0) return fail(errno);
        if (!S_ISREG(st.st_mode)) return fail(EINVAL);
        m_mode = st.st_mode & 07777;
        m_uid = st.st_uid;
        m_gid = st.st_gid;
    }

    m_dir = sys::Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dir >= 0) {
        RemoveLeftovers(m_dir);
        if (MakeTempFile()) return true;
    }
    const int err = errno;
    if (m_existing >= 0 && inPlaceWhenNoRoom) {
        m_inPlace = true;
        m_fd = m_existing;
        m_existing = -1;
        return true;
    }
    return fail(err);
}

bool CReplaceFile::MakeTempFile() {
    m_fd = sys::OpenAt(m_dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd < 0) return MakeNamedTempFile();
    // Held until the file is renamed or gone, so that no one takes it for a leftover.
    if (sys::Flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        CloseFd(m_fd);
        errno = err;
        return false;
    }
    return true;
}

bool CReplaceFile::MakeNamedTempFile() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = RandomName();
        m_fd = sys::OpenAt(m_dir, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        m_tempName = std::move(name);
        m_named = true;
        // Between the create and the lock, another run's clean-up may have taken the new file
        // for a leftover; then it holds the lock or has removed the name, and we start again.
        struct stat st {};
        if (sys::Flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            if (sys::Fstat(m_fd, &st) != 0) {
                const int err = errno;
                DropTemp();
                errno = err;
                return false;
            }
            if (st.st_nlink > 0) return true;
        } else if (errno != EWOULDBLOCK) {
            const int err = errno;
            DropTemp();
            errno = err;
            return false;
        }
        // The clean-up that holds it removes the name.
        m_tempName.clear();
        CloseFd(m_fd);
    }
    errno = EEXIST;
    return false;
}

void CReplaceFile::RemoveLeftovers(int dirfd) {
    const int listFd = ::dup(dirfd);
    if (listFd < 0) return;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return;
    }
    ::rewinddir(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (!IsLeftoverName(e->d_name)) continue;
        int fd = sys::OpenAt(dirfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            fd = sys::OpenAt(dirfd, e->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        // Only our own regular files that no live writer holds; and only the very file we
        // locked, not one that took its name since.
        struct stat held {
        }, named{};
        if (sys::Fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            sys::Flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            sys::FstatAt(dirfd, e->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
            sys::UnlinkAt(dirfd, e->d_name);
        }
        sys::Close(fd);
    }
    ::closedir(dir);
}

void CReplaceFile::Reserve(std::uint64_t size) {
    if (!m_inPlace || size == 0) return;
    if (sys::Fallocate(m_fd, static_cast<off_t>(size)) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS) {
        Throw(errno);
    }
}

void CReplaceFile::Write(std::string_view bytes) {
    if (m_fd < 0) Throw(EBADF);
    const bool direct = bytes.size() >= kDirect;
    if (m_buffer.size() + bytes.size() > kChunk || (direct && !m_buffer.empty())) FlushBuffer();
    if (!direct) {
        if (m_buffer.capacity() < kChunk) m_buffer.reserve(kChunk);
        m_buffer.append(bytes);
        return;
    }
    WriteOut(bytes);
}

void CReplaceFile::FlushBuffer() {
    WriteOut(m_buffer);
    m_buffer.clear();
}

void CReplaceFile::WriteOut(std::string_view bytes) {
    if (!sys::WriteAll(m_fd, bytes.data(), bytes.size())) Throw(errno);
    m_written += bytes.size();
    // Start the disk on what is written so far, so that the closing fsync finds little left to
    // do. Only a hint: where it fails, the fsync does all the work.
    if (m_written - m_started >= kStartEvery) {
        ::sync_file_range(m_fd, static_cast<off_t>(m_started),
                          static_cast<off_t>(m_written - m_started), SYNC_FILE_RANGE_WRITE);
        m_started = m_written;
    }
}

void CReplaceFile::Commit(bool replaceExisting) {
    if (m_fd < 0) Throw(EBADF);
    try {
        FlushBuffer();
        if (m_inPlace) {
            if (sys::Ftruncate(m_fd, static_cast<off_t>(m_written)) != 0) Throw(errno);
            if (sys::Fsync(m_fd) != 0) Throw(errno);
        } else {
            if (m_existing >= 0) {
                // Keeping the owner needs root; anyone else rewrites the file as their own,
                // with the same permission bits.
                [[maybe_unused]] const int ownerKept = ::fchown(m_fd, m_uid, m_gid);
                if (sys::Fchmod(m_fd, m_mode) != 0) Throw(errno);
            }
            if (sys::Fsync(m_fd) != 0) Throw(errno);
            NameNewFile(replaceExisting);
            // Makes the new name survive a crash. Failing here costs only that guarantee: the
            // file is in place already.
            sys::Fsync(m_dir);
        }
    } catch (const CFileException&) {
        Discard();
        throw;
    }
    // The data is on the disk; what close could still say changes nothing.
    m_tempName.clear();
    m_inPlace = false;
    Discard();
}

void CReplaceFile::NameNewFile(bool replaceExisting) {
    const char* target = m_base.c_str();
    if (m_named) {
        if (replaceExisting) {
            if (sys::RenameAt(m_dir, m_tempName.c_str(), m_dir, target) != 0) Throw(errno);
        } else {
            if (sys::LinkAt(m_dir, m_tempName.c_str(), m_dir, target, 0) != 0) Throw(errno);
            sys::UnlinkAt(m_dir, m_tempName.c_str());
        }
        m_tempName.clear();
        return;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    auto link = [&](const char* name) {
        return sys::LinkAt(AT_FDCWD, self.c_str(), m_dir, name, AT_SYMLINK_FOLLOW);
    };
    // A link never replaces a name, which is just what a new file needs.
    if (!replaceExisting) {
        if (link(target) != 0) Throw(errno);
        return;
    }
    // Replacing takes two steps: a hidden name first, then its rename over the target.
    for (int attempt = 0;; ++attempt) {
        std::string name = RandomName();
        if (link(name.c_str()) == 0) {
            m_tempName = std::move(name);
            break;
        }
        if (errno != EEXIST || attempt == 100) Throw(errno);
    }
    if (sys::RenameAt(m_dir, m_tempName.c_str(), m_dir, target) != 0) Throw(errno);
    m_tempName.clear();
}

void CReplaceFile::DropTemp() noexcept {
    if (!m_tempName.empty() && m_dir >= 0) sys::UnlinkAt(m_dir, m_tempName.c_str());
    m_tempName.clear();
    CloseFd(m_fd);
}

void CReplaceFile::Discard() noexcept {
    DropTemp();
    CloseFd(m_existing);
    CloseFd(m_dir);
    m_named = false;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_written = m_started = 0;
}
