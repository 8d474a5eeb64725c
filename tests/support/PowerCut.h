// A power cut at any system call of the file layer, as the disk shows it when the power returns.
//
// The kernel keeps written bytes and new names in memory until an fsync sends them to the disk:
// the file's fsync for its bytes and length, the folder's for its names (creates, links,
// renames, removals). A cut loses all the rest. While a PowerCut watches a folder it notes, at
// every fsync, what that call made durable; at the chosen call (before it runs) it takes the
// disk's picture: each name the folder held at its last fsync, with its file's bytes as of that
// file's last fsync, and no name whose file was never flushed. PowerOn() then rewrites the
// folder as that picture. What the folder held when the watch began counts as on the disk.
//
// Between the cut and PowerOn() the code under test runs on as if nothing had happened; its
// later calls change nothing the disk shows. A cut after the last call (or none chosen) shows
// what the disk holds once the operation has returned: all of it must be durable by then.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "SysCall.h"

class PowerCut {
public:
    using Disk = std::map<std::string, std::string>;  // name -> bytes

    explicit PowerCut(const std::filesystem::path& folder) {
        State& s = Get();
        s = State{};
        s.dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st {};
        ::fstat(s.dir, &st);
        s.dirIno = st.st_ino;
        s.path = folder;
        s.names = List();
        for (const auto& [name, ino] : s.names) {
            const int fd = ::openat(s.dir, name.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) Note(fd), ::close(fd);
        }
        sys::fault::SetHook(Hook);
    }
    ~PowerCut() { Stop(); }
    PowerCut(const PowerCut&) = delete;
    PowerCut& operator=(const PowerCut&) = delete;

    // The cut comes just before call `n` (from 1, counted from the watch's start).
    void CutAt(long n) { Get().cutAt = n; }
    long Calls() const { return Get().calls; }

    // Rewrites the folder as the disk shows it after the cut and returns that picture.
    Disk PowerOn() {
        State& s = Get();
        if (!s.picture) s.picture = Picture();
        const Disk disk = *s.picture;
        Stop();
        for (const auto& e : std::filesystem::directory_iterator(s.path)) {
            std::filesystem::remove(e.path());
        }
        for (const auto& [name, bytes] : disk) {
            std::ofstream(s.path / name, std::ios::binary) << bytes;
        }
        return disk;
    }

private:
    struct State {
        int dir = -1;
        ino_t dirIno = 0;
        std::filesystem::path path;
        std::map<std::string, ino_t> names;  // the folder as of its last fsync
        std::map<ino_t, std::string> bytes;  // each file as of its last fsync
        // Held open so that no new file takes the number of one the picture may still show.
        std::vector<int> held;
        long cutAt = 0, calls = 0;
        std::optional<Disk> picture;
    };
    static State& Get() {
        static State state;
        return state;
    }

    static void Hook(sys::Call kind, long n, int fd) {
        State& s = Get();
        s.calls = n;
        if (n == s.cutAt) s.picture = Picture();
        struct stat st {};
        if (kind != sys::Call::kFsync || fd < 0 || ::fstat(fd, &st) != 0) return;
        if (S_ISDIR(st.st_mode) && st.st_ino == s.dirIno) s.names = List();
        if (S_ISREG(st.st_mode)) Note(fd);
    }

    // Keeps the bytes of the file open as `fd`, whatever way it was opened.
    static void Note(int fd) {
        State& s = Get();
        struct stat st {};
        const int own = ::open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY);
        if (own < 0 || ::fstat(own, &st) != 0) return;
        std::string bytes;
        char buffer[4096];
        for (ssize_t n; (n = ::pread(own, buffer, sizeof buffer, off_t(bytes.size()))) > 0;) {
            bytes.append(buffer, size_t(n));
        }
        s.bytes[st.st_ino] = bytes;
        s.held.push_back(own);
    }

    static std::map<std::string, ino_t> List() {
        std::map<std::string, ino_t> names;
        DIR* d = ::fdopendir(::dup(Get().dir));
        ::rewinddir(d);
        while (const dirent* e = ::readdir(d)) {
            struct stat st {};
            if (::fstatat(Get().dir, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode)) {
                names[e->d_name] = st.st_ino;
            }
        }
        ::closedir(d);
        return names;
    }

    static Disk Picture() {
        Disk disk;
        for (const auto& [name, ino] : Get().names) {
            const auto found = Get().bytes.find(ino);
            if (found != Get().bytes.end()) disk[name] = found->second;
        }
        return disk;
    }

    static void Stop() {
        State& s = Get();
        if (s.dir < 0) return;
        sys::fault::Disarm();
        for (int fd : s.held) ::close(fd);
        ::close(s.dir);
        s.held.clear();
        s.dir = -1;
    }
};
