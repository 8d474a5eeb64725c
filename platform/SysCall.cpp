#include "SysCall.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace sys {

namespace fault {

std::atomic<bool> g_armed{false};

namespace {

// Tests arm faults from one thread at a time; the calls they fail run on that thread too.
Call g_kind = Call::kAny;
long g_nth = 0;
bool g_every = false;
int g_err = 0;
long g_seen = 0;
long g_all = 0;
bool g_met = false;
void (*g_hook)(Call, long, int) = nullptr;
int g_refuseNew = 0;  // errno for an open that would make a new file; 0: such opens go on

}  // namespace

bool RefusesNewFile(int dirfd, const char* name, int flags) {
    if (g_refuseNew == 0) return false;
    bool creates = (flags & O_TMPFILE) == O_TMPFILE;
    if (!creates && (flags & O_CREAT) != 0) {
        const int saved = errno;
        struct stat st {};
        creates = ::fstatat(dirfd, name, &st, 0) != 0 && errno == ENOENT;
        errno = saved;
    }
    if (creates) errno = g_refuseNew;
    return creates;
}

bool Strikes(Call kind, int fd) {
    const int saved = errno;
    ++g_all;
    if (g_hook) g_hook(kind, g_all, fd);
    errno = saved;
    if (g_nth == 0 || (g_kind != Call::kAny && g_kind != kind)) return false;
    ++g_seen;
    if (g_every ? g_seen < g_nth : g_seen != g_nth) return false;
    g_met = true;
    errno = g_err;
    return true;
}

void Arm(Call kind, long nth, int err, bool andAfter) {
    g_kind = kind;
    g_every = andAfter;
    g_nth = nth;
    g_err = err;
    g_seen = 0;
    g_all = 0;
    g_met = false;
    g_armed.store(true, std::memory_order_relaxed);
}

void SetHook(void (*hook)(Call, long, int)) {
    g_hook = hook;
    g_all = 0;
    g_armed.store(true, std::memory_order_relaxed);
}

void RefuseNewFiles(int err) {
    g_refuseNew = err;
    g_armed.store(true, std::memory_order_relaxed);
}

bool Disarm() {
    g_armed.store(false, std::memory_order_relaxed);
    g_nth = 0;
    g_hook = nullptr;
    g_refuseNew = 0;
    return g_met;
}

long Calls() { return g_hook ? g_all : g_seen; }

}  // namespace fault

int Open(const char* path, int flags, mode_t mode) {
    if (Fails(Call::kOpen) || RefusedAsNew(AT_FDCWD, path, flags)) return -1;
    return ::open(path, flags, mode);
}

int OpenAt(int dirfd, const char* name, int flags, mode_t mode) {
    if (Fails((flags & O_TMPFILE) == O_TMPFILE ? Call::kTempFile : Call::kOpen) ||
        RefusedAsNew(dirfd, name, flags)) {
        return -1;
    }
    return ::openat(dirfd, name, flags, mode);
}

ssize_t Read(int fd, void* buffer, size_t count) {
    if (Fails(Call::kRead)) return -1;
    ssize_t n;
    do {
        n = ::read(fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    return n;
}

ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) {
    if (Fails(Call::kRead)) return -1;
    ssize_t n;
    do {
        n = ::pread(fd, buffer, count, offset);
    } while (n < 0 && errno == EINTR);
    return n;
}

bool WriteAll(int fd, const void* data, size_t count) {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        if (Fails(Call::kWrite)) return false;
        const ssize_t n = ::write(fd, p, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

int Fsync(int fd) {
    if (Fails(Call::kFsync, fd)) return -1;
    return ::fsync(fd);
}

int RenameAt(int fromDir, const char* from, int toDir, const char* to) {
    if (Fails(Call::kRename)) return -1;
    return ::renameat(fromDir, from, toDir, to);
}

int Ftruncate(int fd, off_t length) {
    if (Fails(Call::kTruncate)) return -1;
    return ::ftruncate(fd, length);
}

int Fallocate(int fd, off_t length) {
    if (Fails(Call::kAllocate)) return -1;
    return ::fallocate(fd, 0, 0, length);
}

int Close(int fd) {
    if (Fails(Call::kClose)) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    return ::close(fd);
}

int LinkAt(int fromDir, const char* from, int toDir, const char* to, int flags) {
    if (Fails(Call::kLink)) return -1;
    return ::linkat(fromDir, from, toDir, to, flags);
}

int UnlinkAt(int dirfd, const char* name) {
    if (Fails(Call::kUnlink)) return -1;
    return ::unlinkat(dirfd, name, 0);
}

int Fchmod(int fd, mode_t mode) {
    if (Fails(Call::kChmod)) return -1;
    return ::fchmod(fd, mode);
}

int Fstat(int fd, struct stat* st) {
    if (Fails(Call::kStat)) return -1;
    return ::fstat(fd, st);
}

int FstatAt(int dirfd, const char* name, struct stat* st, int flags) {
    if (Fails(Call::kStat)) return -1;
    return ::fstatat(dirfd, name, st, flags);
}

int Flock(int fd, int operation) {
    if (Fails(Call::kLock)) return -1;
    return ::flock(fd, operation);
}

off_t Lseek(int fd, off_t offset, int whence) {
    if (Fails(Call::kSeek)) return -1;
    return ::lseek(fd, offset, whence);
}

}  // namespace sys
