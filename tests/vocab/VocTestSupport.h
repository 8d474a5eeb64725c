// Helpers shared by the vocabulary tests: entries as they lie on disk, and child processes for
// what must not happen in the test process itself (a file-size limit, a change of user).
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

// One word entry as stored: six lines, each ending in CR LF.
inline std::string Entry(const std::string& headword, const std::string& d1 = "",
                         const std::string& d2 = "", const std::string& d3 = "",
                         const std::string& d4 = "", const std::string& d5 = "") {
    std::string text;
    for (const std::string* line : {&headword, &d1, &d2, &d3, &d4, &d5}) text += *line + "\r\n";
    return text;
}

// Exit code of a child that could not give up root; the test skips itself then.
constexpr int kCannotDropRoot = 200;

// Runs `body` in a forked child and returns its exit code, or -1 when it did not exit.
template <class Body>
int InChild(Body body) {
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        int rc = 98;
        try {
            rc = body();
        } catch (...) {
            rc = 99;
        }
        ::_exit(rc);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Makes writes past `bytes` fail as on a full disk (EFBIG), without killing the process.
inline void LimitFileSize(rlim_t bytes) {
    struct rlimit lim = {};
    lim.rlim_cur = lim.rlim_max = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lim);
    ::signal(SIGXFSZ, SIG_IGN);
}

// Root passes every permission check, so a child that tests permissions becomes `nobody`.
// Returns false when that fails; a non-root user keeps its own identity.
inline bool DropRoot() {
    if (::geteuid() != 0) return true;
    const struct passwd* nobody = ::getpwnam("nobody");
    if (!nobody) return false;
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 &&
           ::setuid(nobody->pw_uid) == 0 && ::geteuid() != 0;
}
