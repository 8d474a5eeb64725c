// The one door through which the file layer reaches the system.
//
// Every system call of the read and write paths of CTextFile and CReplaceFile goes through these
// thin wrappers. They behave exactly as the calls they wrap (return value and errno), except
// when a test has armed a fault: then a chosen call fails with a chosen errno without reaching
// the system, or a hook runs just before it. Proving that no single failing call can lose data
// needs exactly that: fail the first call, then the second, and so on, until the operation
// completes without meeting the fault. A test may also have the opens that would make a new
// file refused, as a folder we may not write refuses them even where the tests run as root.
//
// When nothing is armed, each wrapper costs one relaxed load of a global flag.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <atomic>

namespace sys {

// What a call is for. A fault names one kind, or kAny to count calls of every kind.
enum class Call {
    kAny,
    kOpen,      // open, openat (also a folder's, for its fsync)
    kTempFile,  // openat with O_TMPFILE: an unnamed file in a folder
    kRead,
    kWrite,
    kFsync,  // fsync, also of a folder
    kRename,
    kTruncate,  // ftruncate
    kAllocate,  // fallocate
    kClose,
    kLink,  // linkat
    kUnlink,
    kChmod,  // fchmod
    kStat,   // fstat, fstatat
    kLock,   // flock
    kSeek,   // lseek
};

namespace fault {

extern std::atomic<bool> g_armed;

// Counts the call and tells whether it must fail; errno is then set. Only called when armed.
// `fd` is the descriptor flushed by a kFsync, -1 for every other call.
bool Strikes(Call kind, int fd);
// Tells whether opening `name` (in `dirfd`) with `flags` falls under RefuseNewFiles(); errno is
// then set. Only called when armed.
bool RefusesNewFile(int dirfd, const char* name, int flags);

// Makes the `nth` call of `kind` from now on (1 is the next one) fail with `err`: that call
// alone, or with `andAfter` every later one of that kind too.
void Arm(Call kind, long nth, int err, bool andAfter = false);
// Runs `hook` before every call from now on, with the call's kind, its number among all calls
// since it was set (from 1) and, for a kFsync, the descriptor it flushes (else -1). A test may
// stop the process from there, or note what is on the disk at that instant.
void SetHook(void (*hook)(Call kind, long n, int fd));
// Makes every open that would make a new file fail with `err`, as a folder we may not write
// refuses them: an unnamed file (O_TMPFILE), or O_CREAT on a name that is not there. A file
// that is there opens as before, also for writing. Holds beside Arm() and SetHook(), until
// Disarm(); its refusals are no fault met for Disarm()'s answer.
void RefuseNewFiles(int err);
// Disarms everything. Returns whether the armed fault was met since Arm().
bool Disarm();
// Calls of the armed kind met since Arm() or SetHook(), whatever happened to them.
long Calls();

}  // namespace fault

inline bool Fails(Call kind, int fd = -1) {
    return fault::g_armed.load(std::memory_order_relaxed) && fault::Strikes(kind, fd);
}

inline bool RefusedAsNew(int dirfd, const char* name, int flags) {
    return fault::g_armed.load(std::memory_order_relaxed) &&
           fault::RefusesNewFile(dirfd, name, flags);
}

int Open(const char* path, int flags, mode_t mode = 0);
int OpenAt(int dirfd, const char* name, int flags, mode_t mode = 0);
ssize_t Read(int fd, void* buffer, size_t count);
ssize_t Pread(int fd, void* buffer, size_t count, off_t offset);  // a kRead
// Writes all of `count` bytes, going on after a short write or EINTR. Returns false with errno
// set when a write fails; what was written before stays written.
bool WriteAll(int fd, const void* data, size_t count);
int Fsync(int fd);
int RenameAt(int fromDir, const char* from, int toDir, const char* to);
int Ftruncate(int fd, off_t length);
int Fallocate(int fd, off_t length);
// Closes `fd`. Even when this fails (also an injected failure) the descriptor is released, as
// the system's close releases it.
int Close(int fd);
int LinkAt(int fromDir, const char* from, int toDir, const char* to, int flags);
int UnlinkAt(int dirfd, const char* name);
int Fchmod(int fd, mode_t mode);
int Fstat(int fd, struct stat* st);
int FstatAt(int dirfd, const char* name, struct stat* st, int flags);
int Flock(int fd, int operation);
off_t Lseek(int fd, off_t offset, int whence);

}  // namespace sys
